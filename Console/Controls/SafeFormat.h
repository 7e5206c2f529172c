// SafeFormat: fills a format text read from Language.ini with its arguments,
// without trusting the text.
//
// The arguments come as a typed list, each a text or a 32-bit integer. Each
// conversion of the format must fit the next argument: %s a text; %d, %u
// and %x an integer; with flags, width and precision digits; %% is a percent
// sign. A format with fewer conversions than arguments is fine. Anything
// else - a conversion of the wrong kind, more conversions than arguments,
// %n, %*d, a length letter, a lone % - refuses the whole format: the result
// is the empty text, as for a missing key, and the refusal is reported
// (KIT_REFUSED_FORMAT). printf never sees a refused format.
#pragma once

#include <CString.h>

#include <initializer_list>

class FormatArg
{
public:
    enum Kind { Text, Integer };

    FormatArg(LPCTSTR text) : m_kind(Text), m_text(text ? text : ""), m_integer(0) {}
    FormatArg(const CString &text) : FormatArg(static_cast<LPCTSTR>(text)) {}
    FormatArg(int value) : m_kind(Integer), m_text(""), m_integer(static_cast<UINT>(value)) {}
    FormatArg(UINT value) : m_kind(Integer), m_text(""), m_integer(value) {}
    FormatArg(long value) : m_kind(Integer), m_text(""), m_integer(static_cast<UINT>(value)) {}
    FormatArg(DWORD value) : m_kind(Integer), m_text(""), m_integer(value) {}
    // 64-bit values do not fit a 32-bit conversion.
    FormatArg(long long) = delete;
    FormatArg(unsigned long long) = delete;

    Kind GetKind() const { return m_kind; }
    LPCTSTR GetText() const { return m_text; }
    UINT GetInteger() const { return m_integer; }

private:
    Kind m_kind;
    LPCTSTR m_text;     // the caller's text, alive for the call
    UINT m_integer;     // the bits; %d reads them signed
};

CString SafeFormat(LPCTSTR format, std::initializer_list<FormatArg> args);
