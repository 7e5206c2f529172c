// The column text of the grid and report lists: pairs of a title and a
// width in pixels, the two separated by a comma and the pairs by
// semicolons, as in "Name,120;Path,300" (a last semicolon is allowed).
#pragma once

#include <CString.h>

#include <functional>

// Calls addColumn(title, width) for each pair in order and stops at the
// first call that gives false; false then, else true. A text without a
// comma holds no pair.
bool ForEachColumn(const CString &columns, const std::function<bool(const CString &title, int width)> &addColumn);
