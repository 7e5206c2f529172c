#include "PortList.h"

#include <cstdlib>

CString FormatPortList(BYTE portType, const WORD (&ports)[NET_RULE_PORT_COUNT])
{
    CString text;
    if (portType == PORT_RULE_NONE)
        return text;
    for (int i = 0; i < NET_RULE_PORT_COUNT && ports[i] != 0; i++)
    {
        CString line;
        line.Format("%d\n", ports[i]);
        text += line;
    }
    return text;
}

// The port that one piece of the text names, or 0 when it names none.
static WORD PortOfPiece(LPCTSTR piece)
{
    const long value = strtol(piece, nullptr, 10);
    return value >= 1 && value <= 65535 ? static_cast<WORD>(value) : 0;
}

void ParsePortList(BYTE portType, LPCTSTR text, WORD (&ports)[NET_RULE_PORT_COUNT])
{
    for (WORD &port : ports)
        port = 0;
    if (portType == PORT_RULE_NONE)
        return;

    const CString list(text);
    int filled = 0;
    int start = 0;
    while (filled < NET_RULE_PORT_COUNT && start < list.GetLength())
    {
        const int end = list.Find('\n', start);
        CString piece = end < 0 ? list.Mid(start) : list.Mid(start, end - start);
        if (end >= 0)
        {
            piece.TrimLeft();
            piece.TrimRight();
        }
        start = end < 0 ? list.GetLength() : end + 1;
        if (piece.IsEmpty())
            continue;
        const WORD port = PortOfPiece(piece);
        if (port != 0)
            ports[filled++] = port;
    }
}
