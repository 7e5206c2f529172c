#include "SafeFormat.h"

#include "KitMissReport.h"

#include <cstring>

namespace {

// Wider fields than this are no label's and would only cost memory.
const int kMaxFieldDigits = 3;

struct Conversion
{
    char letter;
    const char *flags;  // the flags that this letter takes
    FormatArg::Kind kind;
};

const Conversion kConversions[] = {
    {'s', "-", FormatArg::Text},
    {'d', "-+ 0", FormatArg::Integer},
    {'u', "-0", FormatArg::Integer},
    {'x', "-0#", FormatArg::Integer},
};

const Conversion *FindConversion(char letter)
{
    for (const Conversion &conversion : kConversions)
        if (conversion.letter == letter)
            return &conversion;
    return nullptr;
}

// Reads up to kMaxFieldDigits digits at *p; false when there are more.
bool SkipDigits(const char *&p)
{
    int count = 0;
    while (*p >= '0' && *p <= '9') {
        if (++count > kMaxFieldDigits)
            return false;
        ++p;
    }
    return true;
}

class Formatter
{
public:
    Formatter(LPCTSTR format, std::initializer_list<FormatArg> args)
        : m_format(format ? format : ""), m_next(args.begin()), m_end(args.end())
    {
    }

    // The filled text, or the empty text after a report.
    CString Run()
    {
        const char *p = m_format;
        while (*p) {
            // No double-byte code page has '%' as a trail byte, so bytes
            // other than '%' are copied as they come.
            if (*p != '%') {
                m_result += *p++;
            } else if (p[1] == '%') {
                m_result += '%';
                p += 2;
            } else if (!Convert(p)) {
                ReportKitMiss(KIT_REFUSED_FORMAT, m_format, m_why);
                return CString();
            }
        }
        return m_result;
    }

private:
    // One conversion at p (its '%'); moves p past it.
    bool Convert(const char *&p)
    {
        const char *start = p++;
        const char *flags = p;
        while (*p && strchr("-+ 0#", *p))
            ++p;
        const CString flagText(flags, static_cast<int>(p - flags));
        if (!SkipDigits(p))
            return Refuse(start, "has a field wider than three digits");
        if (*p == '.') {
            ++p;
            if (!SkipDigits(p))
                return Refuse(start, "has a precision of more than three digits");
        }
        const Conversion *conversion = FindConversion(*p);
        if (!conversion)
            return Refuse(start, *p ? "is no conversion of a text or an integer" : "ends the text");
        for (int i = 0; i < flagText.GetLength(); ++i)
            if (!strchr(conversion->flags, flagText[i]))
                return Refuse(start, "has a flag its conversion does not take");
        if (m_next == m_end)
            return Refuse(start, "has no argument left");
        if (m_next->GetKind() != conversion->kind)
            return Refuse(start, conversion->kind == FormatArg::Text ? "wants a text, not an integer"
                                                                   : "wants an integer, not a text");
        ++p;
        CString piece;
        const CString written(start, static_cast<int>(p - start));
        if (conversion->kind == FormatArg::Text)
            piece.Format(written, m_next->GetText());
        else
            piece.Format(written, m_next->GetInteger());
        m_result += piece;
        ++m_next;
        return true;
    }

    bool Refuse(const char *at, const char *why)
    {
        m_why.Format("the conversion at byte %d %s", static_cast<int>(at - m_format), why);
        return false;
    }

    LPCTSTR m_format;
    const FormatArg *m_next;
    const FormatArg *m_end;
    CString m_result;
    CString m_why;
};

} // namespace

CString SafeFormat(LPCTSTR format, std::initializer_list<FormatArg> args)
{
    return Formatter(format, args).Run();
}
