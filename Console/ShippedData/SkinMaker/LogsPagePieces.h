// The log page's own pictures: its two tab buttons (four states, no mask),
// the Go button (three states over a mask, with notched corners) and the
// arrow between the two dates (image over mask).
#pragma once

#include <string>

bool DrawLogsPagePieces(const std::string &skinFolder);
