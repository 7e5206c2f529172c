// A fresh program folder for a test of windows, as the programs find it
// beside them: the shipped rule databases and every shipped asset (copied
// from <build>/program), a settings store and a connection log made by
// their stores' Open, the error logs, and the console's program folder set
// to it. While it lives, a text or picture that the folder lacks fails the
// test, unless the test said it expects that miss.
#pragma once

#include <CString.h>
#include <KitMissReport.h>

#include <string>
#include <vector>

class CProgramFolderFixture
{
public:
    CProgramFolderFixture();
    ~CProgramFolderFixture();

    CProgramFolderFixture(const CProgramFolderFixture &) = delete;
    CProgramFolderFixture &operator=(const CProgramFolderFixture &) = delete;

    // The folder, with its trailing backslash.
    const CString &Path() const { return m_path; }
    CString File(LPCTSTR name) const { return m_path + name; }
    CString LanguageFile() const { return File("Language.ini"); }
    // A picture of the default skin.
    CString SkinFile(LPCTSTR name) const { return File("Skins\\Default\\") + name; }

    // A miss whose subject or detail contains `what` (a key such as
    // "APP/NO_SUCH_KEY", a picture's file name) is no failure.
    void ExpectMiss(KitMiss kind, LPCTSTR what);

    struct Miss
    {
        KitMiss kind;
        std::string subject;
        std::string detail;
        bool expected;
    };
    // Every miss reported while the folder lived, expected or not.
    const std::vector<Miss> &Misses() const { return m_misses; }

private:
    static void OnMiss(KitMiss kind, LPCTSTR subject, LPCTSTR detail);
    void Record(KitMiss kind, LPCTSTR subject, LPCTSTR detail);

    CString m_path;
    CString m_previousFolder;
    CString m_previousLogFolder;
    KitMissObserver m_previousObserver;
    std::vector<std::pair<KitMiss, std::string>> m_expected;
    std::vector<Miss> m_misses;
};
