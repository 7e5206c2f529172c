// The program page's own pictures: its three view buttons, the seven
// schedule buttons and the schedules' Apply button, each a strip of four
// states (normal, hover, pressed, checked or switched off) without a mask.
#pragma once

#include <string>

bool DrawProgramPagePieces(const std::string &skinFolder);

// The icons the console's resource script compiles in for the program grid:
// ProgramNoIcon.ico (301) for a program file without an icon of its own,
// ProgramLost.ico (302) for a program file that cannot be read.
bool DrawProgramIcons(const std::string &resourceFolder);
