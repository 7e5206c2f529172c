// Screenshots of the window states a test builds, kept for people to look at
// in <build>/screens/: the folder beside <build>/bin, where the test programs
// live and run.
#pragma once

#include "Dib.h"

#include <string>

// The folder with its trailing backslash, made on first use.
std::string ScreensFolder();

// Saves the bitmap as <screens>/<name>.png; the path, or empty on failure.
// Characters a file name cannot hold become '_'.
std::string SaveScreen(const CDib &dib, const std::string &name);
