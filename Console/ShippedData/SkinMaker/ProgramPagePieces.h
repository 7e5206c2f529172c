// The program page's own pictures: its three view buttons, the seven
// schedule buttons and the schedules' Apply button, each a strip of four
// states (normal, hover, pressed, checked or switched off) without a mask.
#pragma once

#include <string>

bool DrawProgramPagePieces(const std::string &skinFolder);
