// The logon and password dialogs, run modally over a fresh program folder
// and driven by real clicks and key strokes. The password itself never
// reaches the test's output: comparisons report only what differs.
#include "LogonDialog.h"
#include "OptionsResources.h"
#include "PasswordDialog.h"

#include "DialogDriver.h"
#include "PasswordLeaks.h"
#include "ProgramFolderFixture.h"
#include "RealInput.h"
#include "TestScreens.h"

#include <DataBase.h>
#include <sqlite3.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The stored password as SQLite reads it, past the store.
std::string StoredPassword(const CString &databasePath)
{
    sqlite3 *db = nullptr;
    std::string value = "<unreadable>";
    if (sqlite3_open(databasePath, &db) == SQLITE_OK) {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db, "select Val from UI_Config where Key='WP';", -1, &statement, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            value = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return value;
}

// What the fixture's Language.ini says for a key.
std::string LanguageText(const CProgramFolderFixture &folder, LPCSTR section, LPCSTR key)
{
    CLanguageText texts;
    texts.SetSource(folder.LanguageFile(), section, "APP", "APP_NAME");
    return static_cast<LPCTSTR>(texts.GetText(key));
}

class OptionDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // The fixture made the file already: Open then reports (and logs)
        // the row it did not have to add, so its result says nothing here.
        m_settings.Open(m_folder.File("Config.dat"));
        DeleteFileA(m_folder.File("sqlite_err.log"));
        ASSERT_TRUE(m_settings.SetString("Skins", "Default", "UI_Config")) << "the settings store is not open";
        m_driver.LookAtBoxes([this](HWND box) {
            SaveTestScreen(box, ("box" + std::to_string(m_driver.Boxes().size())).c_str());
        });
    }

    void Store(LPCSTR password) { ASSERT_TRUE(m_settings.SetPassword(password)); }

    // Clicks into the entry and types the text.
    static void TypeInto(HWND dialog, int id, const char *text)
    {
        if (!*text)
            return;
        ClickControl(GetDlgItem(dialog, id));
        ASSERT_TRUE(TypeText(text)) << "an entry's text has no key strokes";
    }

    static void Click(HWND dialog, int id) { ClickControl(GetDlgItem(dialog, id)); }

    void ExpectPasswordNowhere(const std::string &password)
    {
        ::ExpectPasswordNowhere(m_driver, m_folder, password);
    }

    CProgramFolderFixture m_folder;
    CDataBase m_settings;
    CDialogDriver m_driver;
};

// ---------------------------------------------------------------- password

struct PasswordCase {
    const char *name;
    const char *stored;
    const char *oldText;
    const char *newText;
    const char *confirm;
    int emptyAnswer;        // the answer to ERR_NewEmpty, when it is asked
    const char *boxKey;     // the refusal shown, or NULL
    int focus;              // the entry with the focus after a refusal
    const char *storedAfter;
};

class PasswordDialogTable : public OptionDialogTest, public ::testing::WithParamInterface<PasswordCase>
{
};

TEST_P(PasswordDialogTable, RefusesInOrderOrStoresTheNewPassword)
{
    const PasswordCase &c = GetParam();
    Store(c.stored);
    CPasswordDialog dialog(m_settings, m_folder.LanguageFile());
    bool oldEnabled = true;
    HWND focusAfter = nullptr;
    HWND expectedFocus = nullptr;
    m_driver.RunInNextDialog([&](HWND window) {
        oldEnabled = IsWindowEnabled(GetDlgItem(window, IDC_PW_OLD)) != FALSE;
        TypeInto(window, IDC_PW_OLD, c.oldText);
        TypeInto(window, IDC_PW_NEW, c.newText);
        TypeInto(window, IDC_PW_CONFIRM, c.confirm);
        SaveTestScreen(window, "filled");
        if (c.emptyAnswer)
            m_driver.AnswerNextBox(c.emptyAnswer);
        if (c.boxKey && strcmp(c.boxKey, "ERR_NewEmpty"))
            m_driver.AnswerNextBox(IDOK);
        Click(window, IDOK);
        focusAfter = GetFocus();
        expectedFocus = GetDlgItem(window, c.focus);
        // A refusal leaves the dialog open for Cancel; an ended dialog's
        // loop stops when these steps return.
        if (c.boxKey)
            Click(window, IDCANCEL);
    });
    const INT_PTR result = dialog.DoModal();

    EXPECT_EQ(oldEnabled, *c.stored != 0) << "the old entry is usable only with a stored password";
    if (c.boxKey) {
        EXPECT_EQ(result, IDCANCEL);
        ASSERT_GE(m_driver.Boxes().size(), 1u);
        const BoxRecord &box = m_driver.Boxes().back();
        EXPECT_EQ(box.text, LanguageText(m_folder, "DLG_PW", c.boxKey));
        EXPECT_EQ(box.caption, "Ferrowind");
        const bool question = !strcmp(c.boxKey, "ERR_NewEmpty");
        EXPECT_EQ(box.icon, question ? static_cast<UINT>(MB_ICONEXCLAMATION) : static_cast<UINT>(MB_ICONHAND));
        EXPECT_EQ(box.buttons, question ? (std::vector<int>{IDYES, IDNO}) : std::vector<int>{IDOK});
        EXPECT_EQ(focusAfter, expectedFocus) << "focus on control " << GetDlgCtrlID(focusAfter);
    } else {
        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(m_driver.Boxes().size(), c.emptyAnswer ? 1u : 0u);
    }
    EXPECT_TRUE(StoredPassword(m_folder.File("Config.dat")) == c.storedAfter)
        << "the stored password is not the expected one";
    EXPECT_EQ(m_driver.Pending(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordDialogTable,
    ::testing::Values(
        PasswordCase{"FirstPasswordWithoutOld", "", "", "Kite7", "Kite7", 0, nullptr, 0, "Kite7"},
        PasswordCase{"OldEmpty", "Kite7", "", "Owl2", "Owl2", 0, "ERR_OldEmpty", IDC_PW_OLD, "Kite7"},
        PasswordCase{"OldWrongByCase", "Kite7", "kite7", "Owl2", "Owl2", 0, "ERR_OldErr", IDC_PW_OLD,
                     "Kite7"},
        PasswordCase{"ConfirmErrorBeforeNewEmpty", "Kite7", "Kite7", "", "Owl2", 0, "ERR_ConfirmError",
                     IDC_PW_CONFIRM, "Kite7"},
        PasswordCase{"NewEmptyNo", "Kite7", "Kite7", "", "", IDNO, "ERR_NewEmpty", IDC_PW_NEW, "Kite7"},
        PasswordCase{"NewEmptyYesClears", "Kite7", "Kite7", "", "", IDYES, nullptr, 0, ""},
        PasswordCase{"Changed", "Kite7", "Kite7", "Owl2", "Owl2", 0, nullptr, 0, "Owl2"},
        PasswordCase{"QuoteAndPercentStoredExactly", "Kite7", "Kite7", "it's 100%d%s'--",
                     "it's 100%d%s'--", 0, nullptr, 0, "it's 100%d%s'--"}),
    [](const ::testing::TestParamInfo<PasswordCase> &info) { return std::string(info.param.name); });

TEST_F(OptionDialogTest, PasswordDialogWithoutPasswordFocusesTheNewEntry)
{
    CPasswordDialog dialog(m_settings, m_folder.LanguageFile());
    HWND focus = nullptr, expected = nullptr;
    std::string labels[3];
    m_driver.RunInNextDialog([&](HWND window) {
        focus = GetFocus();
        expected = GetDlgItem(window, IDC_PW_NEW);
        char text[128];
        for (int i = 0; i < 3; ++i) {
            GetDlgItemTextA(window, IDC_PW_OLD_LABEL + i, text, sizeof text);
            labels[i] = text;
        }
        SaveTestScreen(window, "opened");
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(focus, expected);
    EXPECT_EQ(labels[0], LanguageText(m_folder, "DLG_PW", "L_Old"));
    EXPECT_EQ(labels[1], LanguageText(m_folder, "DLG_PW", "L_New"));
    EXPECT_EQ(labels[2], LanguageText(m_folder, "DLG_PW", "L_Confirm"));
}

// A store that cannot be written (another connection holds the write lock)
// keeps the dialog open with ERR_SaveFailed and the old password in force;
// the failure's log line and the box do not show the new password.
TEST_F(OptionDialogTest, PasswordDialogKeepsOpenWhenTheStoreFails)
{
    Store("Kite7");
    const char *secret = "Heron9";
    sqlite3 *other = nullptr;
    ASSERT_EQ(sqlite3_open(m_folder.File("Config.dat"), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "begin immediate;", nullptr, nullptr, nullptr), SQLITE_OK);

    CPasswordDialog dialog(m_settings, m_folder.LanguageFile());
    m_driver.RunInNextDialog([&](HWND window) {
        TypeInto(window, IDC_PW_OLD, "Kite7");
        TypeInto(window, IDC_PW_NEW, secret);
        TypeInto(window, IDC_PW_CONFIRM, secret);
        m_driver.AnswerNextBox(IDOK);
        Click(window, IDOK);
        Click(window, IDCANCEL);
    });
    // Cancel's result: OK had left the dialog open.
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    sqlite3_exec(other, "rollback;", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    ASSERT_EQ(m_driver.Boxes().size(), 1u);
    EXPECT_EQ(m_driver.Boxes()[0].text, LanguageText(m_folder, "DLG_PW", "ERR_SaveFailed"));
    EXPECT_EQ(m_driver.Boxes()[0].icon, static_cast<UINT>(MB_ICONHAND));
    EXPECT_FALSE(FileText(m_folder.File("sqlite_err.log")).empty()) << "the failed write was not logged";
    EXPECT_TRUE(StoredPassword(m_folder.File("Config.dat")) == "Kite7");
    ExpectPasswordNowhere(secret);
}

// ------------------------------------------------------------------- logon

struct LogonCase {
    const char *name;
    const char *stored;
    const char *typed;
    bool accepted;
};

class LogonDialogTable : public OptionDialogTest, public ::testing::WithParamInterface<LogonCase>
{
};

TEST_P(LogonDialogTable, AcceptsOnlyTheExactStoredPassword)
{
    const LogonCase &c = GetParam();
    Store(c.stored);
    CLogonDialog dialog(m_settings, m_folder.LanguageFile());
    HWND focusAfter = nullptr, entry = nullptr;
    std::string kept;
    m_driver.RunInNextDialog([&](HWND window) {
        entry = GetDlgItem(window, IDC_LOGON_PASSWORD);
        TypeInto(window, IDC_LOGON_PASSWORD, c.typed);
        SaveTestScreen(window, "typed");
        if (!c.accepted)
            m_driver.AnswerNextBox(IDOK);
        Click(window, IDOK);
        focusAfter = GetFocus();
        char text[128] = "";
        GetWindowTextA(entry, text, sizeof text);
        kept = text;
        if (!c.accepted)
            Click(window, IDCANCEL);
    });
    const INT_PTR result = dialog.DoModal();
    if (c.accepted) {
        EXPECT_EQ(result, IDOK);
        EXPECT_TRUE(m_driver.Boxes().empty());
    } else {
        EXPECT_EQ(result, IDCANCEL) << "OK did not leave the dialog open";
        ASSERT_EQ(m_driver.Boxes().size(), 1u);
        EXPECT_EQ(m_driver.Boxes()[0].text, LanguageText(m_folder, "DLG_LOGON", "ERR_PWError"));
        EXPECT_EQ(m_driver.Boxes()[0].caption, "Ferrowind");
        EXPECT_EQ(m_driver.Boxes()[0].icon, static_cast<UINT>(MB_ICONHAND));
        EXPECT_EQ(focusAfter, entry);
        EXPECT_TRUE(kept == c.typed) << "the entry lost its text";
    }
    if (*c.stored)
        ExpectPasswordNowhere(c.stored);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LogonDialogTable,
    ::testing::Values(LogonCase{"Exact", "Kite7", "Kite7", true},
                      LogonCase{"OtherCase", "Kite7", "kITE7", false},
                      LogonCase{"Prefix", "Kite7", "Kite", false},
                      LogonCase{"Longer", "Kite7", "Kite77", false},
                      LogonCase{"EmptyEntryNeverLogsOnWithoutPassword", "", "", false}),
    [](const ::testing::TestParamInfo<LogonCase> &info) { return std::string(info.param.name); });

TEST_F(OptionDialogTest, LogonCancelEndsWithCancelAndShowsItsTexts)
{
    Store("Kite7");
    CLogonDialog dialog(m_settings, m_folder.LanguageFile());
    std::string caption, label;
    m_driver.RunInNextDialog([&](HWND window) {
        char text[128] = "";
        GetWindowTextA(window, text, sizeof text);
        caption = text;
        GetDlgItemTextA(window, IDC_LOGON_LABEL, text, sizeof text);
        label = text;
        SaveTestScreen(window, "opened");
        Click(window, IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(caption, LanguageText(m_folder, "DLG_LOGON", "L_Title"));
    EXPECT_EQ(label, LanguageText(m_folder, "DLG_LOGON", "L_PW"));
    EXPECT_TRUE(m_driver.Boxes().empty());
}

} // namespace
