// The pictures of the firewall page and of its zone editor: the page's
// three view buttons and the text buttons of the zone editor and the
// advanced rule dialog, in the one look.
#pragma once

#include <string>

// Draws them into the skin folder; false when any could not be written
// (each failure is reported on stderr).
bool DrawFirewallPieces(const std::string &skinFolder);
