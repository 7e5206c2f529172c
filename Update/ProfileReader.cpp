#include "ProfileReader.h"

#include <climits>
#include <cstdio>

CString CProfileReader::Text(LPCSTR section, LPCSTR key) const
{
    char buffer[1024] = {};
    GetPrivateProfileStringA(section, key, "", buffer, sizeof buffer - 1, m_path);
    return CString(buffer);
}

CString CProfileReader::Text(LPCSTR section, int index, LPCSTR suffix) const
{
    char key[64];
    std::snprintf(key, sizeof key, "%d%s", index, suffix);
    return Text(section, key);
}

long long CProfileReader::Number(LPCSTR section, LPCSTR key) const
{
    return ParseLeadingNumber(Text(section, key));
}

long long CProfileReader::Number(LPCSTR section, int index, LPCSTR suffix) const
{
    return ParseLeadingNumber(Text(section, index, suffix));
}

long long ParseLeadingNumber(LPCSTR text)
{
    while (*text == ' ' || *text == '\t')
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        int digit = *text - '0';
        if (value > (LLONG_MAX - digit) / 10) {
            value = LLONG_MAX;
            break;
        }
        value = value * 10 + digit;
    }
    return negative ? -value : value;
}

int NarrowNumber(long long value)
{
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
