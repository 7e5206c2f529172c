// The pictures of the options page, the tips window and the about page: the
// text buttons (set password, log on and off, check for updates, close,
// next) and the about page's three pictures, in the one look.
#pragma once

#include <string>

// Draws them into the skin folder; false when any could not be written
// (each failure is reported on stderr).
bool DrawOptionsPieces(const std::string &skinFolder);
