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

// True for a path the updater or the console keeps for itself, whatever
// the letter case: UpdateTemp and UpdateBack and anything below them, the
// installed QfwUpdate.ini, the mark of an install under way, the four
// databases and the error logs. A release
// that replaced one would replace a folder of the updater's or the user's
// rules and records.
bool IsReservedReleasePath(const CString &path);

// True for the file name of a program the release may stop: one safe name
// with no folder, ending in ".exe".
bool IsProgramFileName(const CString &name);

// True for an address the updater may ask: http:// or https:// and a host,
// with no blank or control character.
bool IsUpdateAddress(const CString &url);
