// Reading one description file through the profile functions: values of at
// most 1022 characters, missing keys empty, numbers read as their leading
// digits.
#pragma once

#include "CString.h"

class CProfileReader
{
public:
    explicit CProfileReader(const CString &path) : m_path(path) {}

    CString Text(LPCSTR section, LPCSTR key) const;
    // Key "<index><suffix>", as "3_file".
    CString Text(LPCSTR section, int index, LPCSTR suffix) const;

    // The leading sign and digits of the value, 0 without any; a value
    // beyond the 64-bit range stops growing at its limit.
    long long Number(LPCSTR section, LPCSTR key) const;
    long long Number(LPCSTR section, int index, LPCSTR suffix) const;

private:
    CString m_path;
};

// A profile number as the C library's atoi reads it, in 64 bits.
long long ParseLeadingNumber(LPCSTR text);

// The same, cut to the 32-bit range as atoi would leave a usual value.
int NarrowNumber(long long value);
