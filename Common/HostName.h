// The host name of an IPv4 address as the driver knows it.
#pragma once

#include <windows.h>

// On the Windows 9x family: the name of the driver's name list (asked for
// once), or "%u.%u.%u.%u" of the address when it has none. On the NT
// family: what the driver's lookup writes. out always ends in a NUL within
// its outSize bytes; the result is true when a name was found.
bool IpToHostName(DWORD address, char *out, DWORD outSize);
