// Texts for the user: addresses, byte counts and protocol kinds.
#pragma once

#include <windows.h>
#include "CString.h"

// "%d.%d.%d.%d" from the most significant byte down (0xC0A80001 gives
// "192.168.0.1"); empty for a null pointer.
CString IpToText(const DWORD *address);

// "n B" below 1024, else kilobytes or megabytes with three decimals
// ("1.000 K", "1,000.000 M"), the thousands grouped by commas.
CString FormatByteCount(DWORD count);
// The same for a 64-bit count: megabytes go on growing above 4 GiB.
CString FormatByteCount64(ULONGLONG count);

// "TCP", "UDP", "FTP", "TELNET", "HTTP", "NNTP", "POP3", "SMTP", "ICMP" for
// the kinds 1 to 9; empty for any other.
CString ProtocolName(BYTE kind);
