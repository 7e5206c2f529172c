// The pictures of the firewall page and of its zone editor: the page's
// three view buttons and the editor's text buttons, in the one look.
#pragma once

#include <string>

// Draws them into the skin folder; false when any could not be written
// (each failure is reported on stderr).
bool DrawFirewallPieces(const std::string &skinFolder);
