// The text form of a port rule's ports in ProgramsRule.dat: each port in
// decimal followed by a line feed, in list order ("80\n8080\n").
#pragma once

#include <windows.h>

#include "CString.h"
#include "NetRuleSettings.h"

// The ports up to the first 0 (at most NET_RULE_PORT_COUNT); an empty text
// when the port type is PORT_RULE_NONE.
CString FormatPortList(BYTE portType, const WORD (&ports)[NET_RULE_PORT_COUNT]);

// Sets all ports to 0, then, unless the port type is PORT_RULE_NONE, fills
// them in order from the text: pieces ended by a line feed are trimmed of
// blanks, empty pieces are skipped, and a piece that is not a port from 1 to
// 65535 is dropped rather than cut to 16 bits.
void ParsePortList(BYTE portType, LPCTSTR text, WORD (&ports)[NET_RULE_PORT_COUNT]);
