// Where a window stands against another, as a person sees it: in front of
// it, and centred over it.
#pragma once

#include <windows.h>

#include <string>

// `front` comes before `back` in the z-order of the top-level windows.
bool IsInFrontOf(HWND front, HWND back);

// Empty when the window's centre lies within a pixel of the owner's centre;
// else the two rectangles.
std::string CentringFault(HWND window, HWND owner);
