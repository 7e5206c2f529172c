// The frame pieces of the skinned windows: title, bottom and border bands,
// the main window's tool bar and size grip, the framed client areas, and
// the six page titles, for every kind of window, in the one look.
#pragma once

#include <string>

// Draws them all into the skin folder; false when any could not be written
// (each failure is reported on stderr).
bool DrawFramePieces(const std::string &skinFolder);
