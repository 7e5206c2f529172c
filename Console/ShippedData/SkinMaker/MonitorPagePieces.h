// The traffic monitor page's own pictures: its two tab buttons (four
// states, no mask), the two graphs' scale buttons and the end-process
// button (three states, no mask), and the four icons of its connection
// tree that the console's resource script compiles in.
#pragma once

#include <string>

bool DrawMonitorPagePieces(const std::string &skinFolder);

// MonitorListening.ico (146), MonitorConnection.ico (147),
// MonitorUdpGroup.ico (148) and MonitorTcpGroup.ico (149).
bool DrawMonitorIcons(const std::string &resourceFolder);
