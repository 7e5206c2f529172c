// The checks on what a downloaded update description may name. The server
// copy comes from the network, and its file names become paths under the
// program folder, so each must stay inside it.
#pragma once

#include "CString.h"

// True for a path relative to the program folder made of plain names
// joined by backslashes: not empty, no '/' or ':', no empty, "." or ".."
// part, no part ending in a dot or a blank, no device name (with or without
// an extension), no control character and none of *?"<>|.
bool IsSafeReleasePath(const CString &path);
