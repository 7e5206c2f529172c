// CLanguageText: the texts of one window, read from a profile file
// (Language.ini beside the program) by section and key.
//
// Nothing is cached: every lookup reads the file again, so a changed file
// shows at the next lookup. A value may carry the escapes "\t", "\r", "\n"
// (a backslash and a letter) and "&nbsp;", which become TAB, CR, LF and a
// space; nothing else is interpreted. A missing file, section or key gives
// the empty text (and a report, see KitMissReport.h).
#pragma once

#include <CString.h>

class CLanguageText
{
public:
    CLanguageText() {}
    virtual ~CLanguageText() {}

    // The file, the section used when a lookup names none, the section of
    // the shared texts and the key of the program's name in it.
    void SetSource(const CString &file, const CString &defaultSection,
                   const CString &appSection, const CString &appNameKey);
    void SetFile(const CString &file) { m_file = file; }
    void SetDefaultSection(const CString &section) { m_defaultSection = section; }

    // An empty section reads the default section.
    CString GetText(const CString &key, const CString &section = CString()) const;
    // The program's name: the application-name key of the application section.
    CString GetAppName() const { return GetText(m_appNameKey, m_appSection); }

private:
    CString m_file;
    CString m_defaultSection;
    CString m_appSection;
    CString m_appNameKey;
};
