// CString: a text of bytes in the system code page, with value semantics.
//
// Every copy owns its buffer (no sharing, no reference counts), so strings
// may be handed between threads freely. The empty string holds no buffer at
// all, which keeps a default-constructed CString constant-initialised and
// usable during static initialisation, inside a DLL as in a program.
//
// Lengths and indexes count bytes. The searching, replacing and case
// members step over double-byte characters of the string code page (see
// StringCodePage.h), so a trail byte such as '\\' (0x5C) inside a character
// is never taken for a character of its own.
#pragma once

#include <windows.h>
#include <cstdarg>

class CString
{
public:
    constexpr CString() noexcept : m_pchData(nullptr), m_nDataLength(0), m_nAllocLength(0) {}
    CString(const CString &stringSrc);
    CString(CString &&stringSrc) noexcept;
    CString(LPCTSTR lpsz);                  // NULL gives the empty string
    CString(LPCTSTR lpch, int nLength);     // exactly nLength bytes
    CString(TCHAR ch, int nRepeat = 1);
    ~CString() { delete[] m_pchData; }

    CString &operator=(const CString &stringSrc);
    CString &operator=(CString &&stringSrc) noexcept;
    CString &operator=(LPCTSTR lpsz);
    CString &operator=(TCHAR ch);

    int GetLength() const { return m_nDataLength; }
    BOOL IsEmpty() const { return m_nDataLength == 0; }
    void Empty();

    // An index outside the string is a caller error; it reads as '\0'.
    TCHAR GetAt(int nIndex) const;
    TCHAR operator[](int nIndex) const { return GetAt(nIndex); }

    // Never NULL: the empty string gives "".
    operator LPCTSTR() const { return m_pchData ? m_pchData : ""; }

    // A writable buffer of at least nMinBufLength bytes plus the terminator,
    // holding the current text. ReleaseBuffer(-1) takes the length up to the
    // first '\0'.
    LPTSTR GetBuffer(int nMinBufLength);
    void ReleaseBuffer(int nNewLength = -1);

    CString &operator+=(const CString &string);
    CString &operator+=(LPCTSTR lpsz);
    CString &operator+=(TCHAR ch);

    // Case-sensitive, unsigned byte order: <0, 0 or >0.
    int Compare(LPCTSTR lpsz) const;

    // Indexes are clamped: a negative value counts as 0, a count past the
    // end stops at the end.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;

    // -1 when not found, or when nStart is at or past the end.
    int Find(TCHAR ch) const { return Find(ch, 0); }
    int Find(TCHAR ch, int nStart) const;
    int Find(LPCTSTR lpszSub) const { return Find(lpszSub, 0); }
    int Find(LPCTSTR lpszSub, int nStart) const;
    int ReverseFind(TCHAR ch) const;

    // Both return the number of replacements. The text form scans the
    // original left to right without overlap and never rescans a
    // replacement; an empty old text changes nothing.
    int Replace(TCHAR chOld, TCHAR chNew);
    int Replace(LPCTSTR lpszOld, LPCTSTR lpszNew);

    // An index past the end appends. Both return the new length.
    int Insert(int nIndex, TCHAR ch);
    int Insert(int nIndex, LPCTSTR lpsz);

    // ASCII letters only; double-byte characters are left alone.
    void MakeUpper();
    void MakeLower();

    // ASCII white space: " \t\n\v\f\r".
    void TrimLeft();
    void TrimRight();

    // The CRT's printf, with no fixed buffer; an argument may point into
    // this string. A CString argument must be cast to LPCTSTR: the class is
    // not trivially copyable, so passing it through "..." does not compile.
    void __attribute__((format(ms_printf, 2, 3))) Format(LPCTSTR lpszFormat, ...);
    void FormatV(LPCTSTR lpszFormat, va_list argList);

private:
    // Makes this string the given bytes; the source may lie in this string.
    void Assign(LPCTSTR lpch, int nLength);
    // Replaces the bytes [nIndex, nIndex + nOldCount) by lpch; the source
    // may lie in this string.
    void Splice(int nIndex, int nOldCount, LPCTSTR lpch, int nLength);
    void TakeBuffer(LPTSTR pchData, int nLength, int nAllocLength);
    void Release();

    LPTSTR m_pchData;       // NULL for the empty string
    int m_nDataLength;
    int m_nAllocLength;     // bytes usable for text, the terminator not counted
};

CString operator+(const CString &string1, const CString &string2);
CString operator+(const CString &string, LPCTSTR lpsz);
CString operator+(LPCTSTR lpsz, const CString &string);
CString operator+(const CString &string, TCHAR ch);
CString operator+(TCHAR ch, const CString &string);

inline bool operator==(const CString &s1, const CString &s2) { return s1.Compare(s2) == 0; }
inline bool operator==(const CString &s1, LPCTSTR s2) { return s1.Compare(s2) == 0; }
inline bool operator==(LPCTSTR s1, const CString &s2) { return s2.Compare(s1) == 0; }
inline bool operator!=(const CString &s1, const CString &s2) { return s1.Compare(s2) != 0; }
inline bool operator!=(const CString &s1, LPCTSTR s2) { return s1.Compare(s2) != 0; }
inline bool operator!=(LPCTSTR s1, const CString &s2) { return s2.Compare(s1) != 0; }
inline bool operator<(const CString &s1, const CString &s2) { return s1.Compare(s2) < 0; }
inline bool operator<(const CString &s1, LPCTSTR s2) { return s1.Compare(s2) < 0; }
inline bool operator<(LPCTSTR s1, const CString &s2) { return s2.Compare(s1) > 0; }
inline bool operator>(const CString &s1, const CString &s2) { return s1.Compare(s2) > 0; }
inline bool operator>(const CString &s1, LPCTSTR s2) { return s1.Compare(s2) > 0; }
inline bool operator>(LPCTSTR s1, const CString &s2) { return s2.Compare(s1) < 0; }
inline bool operator<=(const CString &s1, const CString &s2) { return s1.Compare(s2) <= 0; }
inline bool operator<=(const CString &s1, LPCTSTR s2) { return s1.Compare(s2) <= 0; }
inline bool operator<=(LPCTSTR s1, const CString &s2) { return s2.Compare(s1) >= 0; }
inline bool operator>=(const CString &s1, const CString &s2) { return s1.Compare(s2) >= 0; }
inline bool operator>=(const CString &s1, LPCTSTR s2) { return s1.Compare(s2) >= 0; }
inline bool operator>=(LPCTSTR s1, const CString &s2) { return s2.Compare(s1) <= 0; }
