// The program page's own pictures: its three view buttons, the seven
// schedule buttons, the schedules' Apply button and the advanced rule
// dialog's two zone tabs, each a strip of four states (normal, hover,
// pressed, checked or switched off) without a mask.
#pragma once

#include <windows.h>

#include <string>

class SkinCanvas;

// One cell of a page's button: a flat face with a 1-pixel slate edge, the
// accent lighter on hover (state 1), darker and moved by a pixel when
// pressed (2); state 3, checked, is the slate blue with white bold text.
void PaintPageButtonCell(SkinCanvas &canvas, const RECT &cell, int state, const char *text);
// A page's four-state button strip without a mask; false (reported) when
// it cannot be written.
bool DrawPageButtonStrip(const std::string &folder, const char *name, int width, int height,
                         const char *text);

bool DrawProgramPagePieces(const std::string &skinFolder);

// The icons the console's resource script compiles in for the program grid:
// ProgramNoIcon.ico (301) for a program file without an icon of its own,
// ProgramLost.ico (302) for a program file that cannot be read.
bool DrawProgramIcons(const std::string &resourceFolder);
