#include "LanguageText.h"

#include "KitMissReport.h"

namespace {

// What the profile function reads at most: 1022 characters of a value.
const DWORD kValueBuffer = 1024;

// Given as the default of a second lookup, to tell a missing key from an
// empty value when someone watches for misses. No text of the file holds it.
const char kAbsent[] = "\x01\x02kit-absent\x02\x01";

CString ReadValue(LPCTSTR section, LPCTSTR key, LPCTSTR absent, LPCTSTR file)
{
    char buffer[kValueBuffer] = {};
    GetPrivateProfileStringA(section, key, absent, buffer, kValueBuffer - 1, file);
    return CString(buffer);
}

// The value's escapes, in this order; each pass scans left to right and
// never rescans what it put in. Double-byte characters are stepped over, so
// a trail byte 0x5C followed by 'n' stays part of its character.
void ReplaceEscapes(CString &text)
{
    text.Replace("\\t", "\t");
    text.Replace("\\r", "\r");
    text.Replace("\\n", "\n");
    text.Replace("&nbsp;", " ");
}

} // namespace

void CLanguageText::SetSource(const CString &file, const CString &defaultSection,
                              const CString &appSection, const CString &appNameKey)
{
    m_file = file;
    m_defaultSection = defaultSection;
    m_appSection = appSection;
    m_appNameKey = appNameKey;
}

CString CLanguageText::GetText(const CString &key, const CString &section) const
{
    const CString &where = section.IsEmpty() ? m_defaultSection : section;
    CString text = ReadValue(where, key, "", m_file);
    if (text.IsEmpty() && HasKitMissObserver() &&
        ReadValue(where, key, kAbsent, m_file) == kAbsent)
        ReportKitMiss(KIT_MISSING_TEXT, m_file, where + "/" + key);
    ReplaceEscapes(text);
    return text;
}
