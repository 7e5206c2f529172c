#include "CString.h"
#include "StringCodePage.h"

#include <cassert>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Copies that accept an empty source given as NULL.
void CopyBytes(LPTSTR dest, LPCTSTR src, int nCount)
{
    if (nCount > 0)
        memcpy(dest, src, nCount);
}

int TextLength(LPCTSTR lpsz)
{
    size_t n = lpsz ? strlen(lpsz) : 0;
    if (n >= INT_MAX)
        throw std::bad_alloc();
    return static_cast<int>(n);
}

int AddLengths(int a, int b)
{
    if (b > INT_MAX - 1 - a)
        throw std::bad_alloc();
    return a + b;
}

// Bytes of the character at p: 2 for a lead byte with its trail before end.
int CharSize(LPCTSTR p, LPCTSTR end)
{
    return (p + 1 < end && IsStringLeadByte(*p)) ? 2 : 1;
}

// Whether the n bytes from the character boundary p end on a boundary too,
// so that a match never takes half of a double-byte character.
bool EndsOnBoundary(LPCTSTR p, int n, LPCTSTR end)
{
    LPCTSTR stop = p + n;
    while (p < stop)
        p += CharSize(p, end);
    return p == stop;
}

bool IsTrimSpace(TCHAR ch)
{
    return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\v' || ch == '\f' || ch == '\r';
}

int Clamp(int n, int low, int high)
{
    return n < low ? low : (n > high ? high : n);
}

} // namespace

CString::CString(const CString &stringSrc) : CString()
{
    Assign(stringSrc.m_pchData, stringSrc.m_nDataLength);
}

CString::CString(CString &&stringSrc) noexcept
    : m_pchData(stringSrc.m_pchData),
      m_nDataLength(stringSrc.m_nDataLength),
      m_nAllocLength(stringSrc.m_nAllocLength)
{
    stringSrc.m_pchData = nullptr;
    stringSrc.m_nDataLength = 0;
    stringSrc.m_nAllocLength = 0;
}

CString::CString(LPCTSTR lpsz) : CString()
{
    Assign(lpsz, TextLength(lpsz));
}

CString::CString(LPCTSTR lpch, int nLength) : CString()
{
    if (lpch)
        Assign(lpch, nLength < 0 ? 0 : nLength);
}

CString::CString(TCHAR ch, int nRepeat) : CString()
{
    if (nRepeat <= 0)
        return;
    LPTSTR p = new TCHAR[AddLengths(nRepeat, 1)];
    memset(p, ch, nRepeat);
    p[nRepeat] = '\0';
    TakeBuffer(p, nRepeat, nRepeat);
}

CString &CString::operator=(const CString &stringSrc)
{
    Assign(stringSrc.m_pchData, stringSrc.m_nDataLength);
    return *this;
}

CString &CString::operator=(CString &&stringSrc) noexcept
{
    if (this != &stringSrc) {
        Release();
        std::swap(m_pchData, stringSrc.m_pchData);
        std::swap(m_nDataLength, stringSrc.m_nDataLength);
        std::swap(m_nAllocLength, stringSrc.m_nAllocLength);
    }
    return *this;
}

CString &CString::operator=(LPCTSTR lpsz)
{
    Assign(lpsz, TextLength(lpsz));
    return *this;
}

CString &CString::operator=(TCHAR ch)
{
    Assign(&ch, 1);
    return *this;
}

void CString::Empty()
{
    Release();
}

TCHAR CString::GetAt(int nIndex) const
{
    assert(nIndex >= 0 && nIndex < m_nDataLength);
    if (nIndex < 0 || nIndex >= m_nDataLength)
        return '\0';
    return m_pchData[nIndex];
}

LPTSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength < m_nDataLength)
        nMinBufLength = m_nDataLength;
    if (!m_pchData || nMinBufLength > m_nAllocLength) {
        LPTSTR p = new TCHAR[AddLengths(nMinBufLength, 1)];
        CopyBytes(p, m_pchData, m_nDataLength);
        p[m_nDataLength] = '\0';
        TakeBuffer(p, m_nDataLength, nMinBufLength);
    }
    return m_pchData;
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (!m_pchData)
        return;
    if (nNewLength == -1)
        nNewLength = static_cast<int>(strnlen(m_pchData, m_nAllocLength));
    assert(nNewLength >= 0 && nNewLength <= m_nAllocLength);
    m_nDataLength = Clamp(nNewLength, 0, m_nAllocLength);
    m_pchData[m_nDataLength] = '\0';
}

CString &CString::operator+=(const CString &string)
{
    Splice(m_nDataLength, 0, string.m_pchData, string.m_nDataLength);
    return *this;
}

CString &CString::operator+=(LPCTSTR lpsz)
{
    Splice(m_nDataLength, 0, lpsz, TextLength(lpsz));
    return *this;
}

CString &CString::operator+=(TCHAR ch)
{
    Splice(m_nDataLength, 0, &ch, 1);
    return *this;
}

int CString::Compare(LPCTSTR lpsz) const
{
    // strcmp compares as unsigned char, so "\x80" sorts after "a".
    return strcmp(*this, lpsz ? lpsz : "");
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, m_nDataLength);
}

CString CString::Mid(int nFirst, int nCount) const
{
    nFirst = Clamp(nFirst, 0, m_nDataLength);
    nCount = Clamp(nCount, 0, m_nDataLength - nFirst);
    if (nFirst == 0 && nCount == m_nDataLength)
        return *this;
    return CString(m_pchData + nFirst, nCount);
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    nCount = Clamp(nCount, 0, m_nDataLength);
    return Mid(m_nDataLength - nCount, nCount);
}

int CString::Find(TCHAR ch, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= m_nDataLength || ch == '\0')
        return -1;
    LPCTSTR end = m_pchData + m_nDataLength;
    for (LPCTSTR p = m_pchData; p < end; p += CharSize(p, end)) {
        if (p - m_pchData >= nStart && *p == ch && CharSize(p, end) == 1)
            return static_cast<int>(p - m_pchData);
    }
    return -1;
}

int CString::Find(LPCTSTR lpszSub, int nStart) const
{
    if (nStart < 0)
        nStart = 0;
    if (nStart >= m_nDataLength)
        return -1;
    int nSub = TextLength(lpszSub);
    LPCTSTR end = m_pchData + m_nDataLength;
    for (LPCTSTR p = m_pchData; p < end; p += CharSize(p, end)) {
        if (p - m_pchData < nStart || end - p < nSub)
            continue;
        if (memcmp(p, lpszSub, nSub) == 0 && EndsOnBoundary(p, nSub, end))
            return static_cast<int>(p - m_pchData);
    }
    return -1;
}

int CString::ReverseFind(TCHAR ch) const
{
    int nFound = -1;
    if (ch == '\0')
        return nFound;
    LPCTSTR end = m_pchData + m_nDataLength;
    for (LPCTSTR p = m_pchData; p < end; p += CharSize(p, end)) {
        if (*p == ch && CharSize(p, end) == 1)
            nFound = static_cast<int>(p - m_pchData);
    }
    return nFound;
}

int CString::Replace(TCHAR chOld, TCHAR chNew)
{
    if (chOld == chNew)
        return 0;
    int nCount = 0;
    LPTSTR end = m_pchData + m_nDataLength;
    for (LPTSTR p = m_pchData; p < end; p += CharSize(p, end)) {
        if (*p == chOld && CharSize(p, end) == 1) {
            *p = chNew;
            ++nCount;
        }
    }
    return nCount;
}

int CString::Replace(LPCTSTR lpszOld, LPCTSTR lpszNew)
{
    int nOld = TextLength(lpszOld);
    if (nOld == 0)
        return 0;
    int nNew = TextLength(lpszNew);

    // Built aside, so that either argument may point into this string.
    CString result;
    int nCount = 0;
    LPCTSTR end = m_pchData + m_nDataLength;
    LPCTSTR copied = m_pchData;
    LPCTSTR p = m_pchData;
    while (p < end) {
        if (end - p >= nOld && memcmp(p, lpszOld, nOld) == 0 && EndsOnBoundary(p, nOld, end)) {
            result.Splice(result.m_nDataLength, 0, copied, static_cast<int>(p - copied));
            result.Splice(result.m_nDataLength, 0, lpszNew, nNew);
            p += nOld;
            copied = p;
            ++nCount;
        } else {
            p += CharSize(p, end);
        }
    }
    if (nCount > 0) {
        result.Splice(result.m_nDataLength, 0, copied, static_cast<int>(end - copied));
        *this = std::move(result);
    }
    return nCount;
}

int CString::Insert(int nIndex, TCHAR ch)
{
    Splice(Clamp(nIndex, 0, m_nDataLength), 0, &ch, 1);
    return m_nDataLength;
}

int CString::Insert(int nIndex, LPCTSTR lpsz)
{
    Splice(Clamp(nIndex, 0, m_nDataLength), 0, lpsz, TextLength(lpsz));
    return m_nDataLength;
}

void CString::MakeUpper()
{
    LPTSTR end = m_pchData + m_nDataLength;
    for (LPTSTR p = m_pchData; p < end; p += CharSize(p, end)) {
        if (*p >= 'a' && *p <= 'z')
            *p = static_cast<TCHAR>(*p - 'a' + 'A');
    }
}

void CString::MakeLower()
{
    LPTSTR end = m_pchData + m_nDataLength;
    for (LPTSTR p = m_pchData; p < end; p += CharSize(p, end)) {
        if (*p >= 'A' && *p <= 'Z')
            *p = static_cast<TCHAR>(*p - 'A' + 'a');
    }
}

void CString::TrimLeft()
{
    int n = 0;
    while (n < m_nDataLength && IsTrimSpace(m_pchData[n]))
        ++n;
    if (n > 0)
        Splice(0, n, nullptr, 0);
}

void CString::TrimRight()
{
    // White space is single-byte, but a trail byte is only known as such
    // by walking from the start.
    LPCTSTR end = m_pchData + m_nDataLength;
    LPCTSTR keep = m_pchData;
    for (LPCTSTR p = m_pchData; p < end;) {
        int n = CharSize(p, end);
        if (n > 1 || !IsTrimSpace(*p))
            keep = p + n;
        p += n;
    }
    int nKeep = static_cast<int>(keep - m_pchData);
    if (nKeep < m_nDataLength)
        Splice(nKeep, m_nDataLength - nKeep, nullptr, 0);
}

void CString::Format(LPCTSTR lpszFormat, ...)
{
    va_list argList;
    va_start(argList, lpszFormat);
    FormatV(lpszFormat, argList);
    va_end(argList);
}

void CString::FormatV(LPCTSTR lpszFormat, va_list argList)
{
    if (!lpszFormat) {
        Empty();
        return;
    }
    // Measured first, then printed into a new buffer, which replaces the
    // old one only afterwards: an argument may be this string's own text.
    va_list measureList;
    va_copy(measureList, argList);
    int nLength = _vscprintf(lpszFormat, measureList);
    va_end(measureList);
    if (nLength <= 0) {
        Empty();
        return;
    }
    LPTSTR p = new TCHAR[AddLengths(nLength, 1)];
    _vsnprintf(p, nLength + 1, lpszFormat, argList);
    p[nLength] = '\0';
    TakeBuffer(p, nLength, nLength);
}

void CString::Assign(LPCTSTR lpch, int nLength)
{
    Splice(0, m_nDataLength, lpch, nLength);
}

void CString::Splice(int nIndex, int nOldCount, LPCTSTR lpch, int nLength)
{
    int nNewLength = AddLengths(m_nDataLength - nOldCount, nLength);
    int nTail = m_nDataLength - nIndex - nOldCount;
    if (nNewLength == 0) {
        Release();
        return;
    }
    bool sourceInside = m_pchData && lpch >= m_pchData && lpch <= m_pchData + m_nAllocLength;
    if (m_pchData && nNewLength <= m_nAllocLength && !sourceInside) {
        memmove(m_pchData + nIndex + nLength, m_pchData + nIndex + nOldCount, nTail);
        CopyBytes(m_pchData + nIndex, lpch, nLength);
        m_nDataLength = nNewLength;
        m_pchData[nNewLength] = '\0';
        return;
    }
    // Appending grows by half again, so that a loop of += stays linear.
    int nAlloc = nNewLength;
    if (nIndex == m_nDataLength && nNewLength > m_nAllocLength && m_nAllocLength > 0)
        nAlloc = Clamp(m_nAllocLength + m_nAllocLength / 2, nNewLength, INT_MAX - 1);
    LPTSTR p = new TCHAR[nAlloc + 1];
    CopyBytes(p, m_pchData, nIndex);
    CopyBytes(p + nIndex, lpch, nLength);
    CopyBytes(p + nIndex + nLength, m_pchData + nIndex + nOldCount, nTail);
    p[nNewLength] = '\0';
    TakeBuffer(p, nNewLength, nAlloc);
}

void CString::TakeBuffer(LPTSTR pchData, int nLength, int nAllocLength)
{
    delete[] m_pchData;
    m_pchData = pchData;
    m_nDataLength = nLength;
    m_nAllocLength = nAllocLength;
}

void CString::Release()
{
    TakeBuffer(nullptr, 0, 0);
}

CString operator+(const CString &string1, const CString &string2)
{
    CString result(string1);
    result += string2;
    return result;
}

CString operator+(const CString &string, LPCTSTR lpsz)
{
    CString result(string);
    result += lpsz;
    return result;
}

CString operator+(LPCTSTR lpsz, const CString &string)
{
    CString result(lpsz);
    result += string;
    return result;
}

CString operator+(const CString &string, TCHAR ch)
{
    CString result(string);
    result += ch;
    return result;
}

CString operator+(TCHAR ch, const CString &string)
{
    CString result(ch);
    result += string;
    return result;
}
