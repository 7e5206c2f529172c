#include "Formatting.h"

namespace {

// The value in thousandths of a unit of 1024, rounded half up in integers:
// the CRT's rounding of exact halves differs from one runtime to another.
// Split into whole units and the rest, so that no 64-bit count overflows.
ULONGLONG Thousandths(ULONGLONG value)
{
    return value / 1024 * 1000 + (value % 1024 * 1000 + 512) / 1024;
}

// The digits of a whole number, grouped by commas every three.
CString GroupedDigits(ULONGLONG value)
{
    char digits[32];
    int length = 0;
    do {
        digits[length++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    CString text;
    for (int i = length - 1; i >= 0; --i) {
        text += digits[i];
        if (i > 0 && i % 3 == 0)
            text += ',';
    }
    return text;
}

// "whole.ddd unit", the whole part grouped by commas every three digits.
CString Decimal(ULONGLONG thousandths, LPCTSTR unit)
{
    CString fraction;
    fraction.Format(".%03u %s", static_cast<unsigned>(thousandths % 1000), unit);
    return GroupedDigits(thousandths / 1000) + fraction;
}

} // namespace

CString IpToText(const DWORD *address)
{
    CString text;
    if (address)
        text.Format("%d.%d.%d.%d", int(*address >> 24 & 0xFF), int(*address >> 16 & 0xFF),
                    int(*address >> 8 & 0xFF), int(*address & 0xFF));
    return text;
}

CString FormatByteCount(DWORD count)
{
    return FormatByteCount64(count);
}

CString FormatByteCount64(ULONGLONG count)
{
    if (count < 1024) {
        CString text;
        text.Format("%d B", int(count));
        return text;
    }
    if (count < 0x100000)
        return Decimal(Thousandths(count), "K");
    // Megabytes drop the lowest 10 bits before dividing.
    return Decimal(Thousandths(count >> 10), "M");
}

CString ProtocolName(BYTE kind)
{
    static const char *const names[] = {"",     "TCP",  "UDP",  "FTP", "TELNET",
                                        "HTTP", "NNTP", "POP3", "SMTP", "ICMP"};
    return kind < sizeof names / sizeof names[0] ? CString(names[kind]) : CString();
}
