#include "Formatting.h"

namespace {

// The value in thousandths of a unit of 1024, rounded half up in integers:
// the CRT's rounding of exact halves differs from one runtime to another.
ULONGLONG Thousandths(DWORD value)
{
    return (static_cast<ULONGLONG>(value) * 1000 + 512) / 1024;
}

// "whole.ddd unit", the whole part grouped by commas every three digits.
CString Decimal(ULONGLONG thousandths, LPCTSTR unit)
{
    CString text;
    text.Format("%lu", static_cast<unsigned long>(thousandths / 1000));
    for (int comma = text.GetLength() - 3; comma > 0; comma -= 3)
        text.Insert(comma, ',');
    CString fraction;
    fraction.Format(".%03u %s", static_cast<unsigned>(thousandths % 1000), unit);
    return text + fraction;
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
