// The options page in the main window over a fresh program folder, driven
// by real clicks and key strokes: its marks from Config.dat, the switches
// stored or refused, the start with Windows in the machine's Run key, the
// console password set, the console logged off and on again with what the
// main window shows, the updater started from the program folder, and the
// updater's request to quit while one of the page's dialogs is open.
//
// Passwords never reach the test's output: comparisons that hold one report
// only that they differ.
#include "ConsoleUnderTest.h"

#include <ConsoleInstance.h>
#include <ConsoleMessages.h>
#include <ConsoleSettings.h>
#include <Installer.h>
#include <LoggedOn.h>
#include <OptionsResources.h>
#include <ProgramFolder.h>
#include <SystemPageIds.h>

#include <DialogDriver.h>
#include "PasswordLeaks.h"
#include <GuiPump.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <tlhelp32.h>

#include <string>
#include <thread>

namespace {

std::string TextOf(HWND window)
{
    char text[512] = "";
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

bool FileExists(const CString &path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// The console's Run value as stored, or "<absent>".
std::string RunValue()
{
    char value[MAX_PATH + 8] = "";
    if (!CInstaller::ReadRegValue(kRunValue, value, sizeof value, HKEY_LOCAL_MACHINE, kRunKey, REG_SZ))
        return "<absent>";
    return value;
}

std::string OwnPath()
{
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(NULL, path, MAX_PATH);
    return path;
}

// How many processes run a program file of that name.
int ProcessesNamed(const char *exe)
{
    int count = 0;
    HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot, &entry); more; more = ::Process32Next(snapshot, &entry))
        count += lstrcmpiA(entry.szExeFile, exe) == 0;
    ::CloseHandle(snapshot);
    return count;
}

// The Run key, while it lives, lets every account read it and none write
// it; the access list it had comes back at the end.
class CReadOnlyRunKey
{
public:
    CReadOnlyRunKey()
    {
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, NULL, 0, READ_CONTROL | WRITE_DAC, NULL, &m_key,
                              NULL) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof m_saved;
        if (::RegGetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved, &size) != ERROR_SUCCESS)
            return;
        SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
        PSID everyone = NULL;
        ::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone);
        ::InitializeAcl(reinterpret_cast<PACL>(m_acl), sizeof m_acl, ACL_REVISION);
        ::AddAccessAllowedAce(reinterpret_cast<PACL>(m_acl), ACL_REVISION, KEY_READ, everyone);
        ::FreeSid(everyone);
        SECURITY_DESCRIPTOR descriptor;
        ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
        ::SetSecurityDescriptorDacl(&descriptor, TRUE, reinterpret_cast<PACL>(m_acl), FALSE);
        m_locked = ::RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, &descriptor) == ERROR_SUCCESS;
    }
    ~CReadOnlyRunKey()
    {
        if (m_locked)
            ::RegSetKeySecurity(m_key, DACL_SECURITY_INFORMATION, m_saved);
        if (m_key)
            ::RegCloseKey(m_key);
    }
    // Whether the key now refuses a write.
    bool Locked() const
    {
        HKEY key;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
            return m_locked;
        ::RegCloseKey(key);
        return false;
    }

private:
    HKEY m_key = NULL;
    alignas(8) BYTE m_saved[4096] = {};
    alignas(8) BYTE m_acl[256] = {};
    bool m_locked = false;
};

class OptionsPage : public ConsoleWindowTest
{
protected:
    void SetUp() override
    {
        ConsoleWindowTest::SetUp();
        CInstaller().SetAutoStart(FALSE);
        m_driver.LookAtBoxes([this](HWND box) {
            SaveTestScreen(box, ("box" + std::to_string(m_driver.Boxes().size())).c_str());
        });
    }

    void TearDown() override
    {
        CInstaller().SetAutoStart(FALSE);
        ConsoleWindowTest::TearDown();
        LoggedOn = 1;
    }

    // The main window shown with the options page, the pointer away from it.
    bool ShowPage()
    {
        if (!ShowMainWindow())
            return false;
        ClickControl(Control(IDC_SIDE_OPTIONS));
        MovePointerTo(POINT{5, 5});
        PumpFor(200);
        return ::IsWindowVisible(Page()) != FALSE;
    }
    HWND Page() const { return TheConsole().MainFrame().SystemPage().GetSafeHwnd(); }
    HWND Item(int id) const { return ::GetDlgItem(Page(), id); }

    static std::string PageText(const char *key)
    {
        return std::string(TheConsole().Texts().GetText(key, "FRAME_SYSTEM"));
    }
    static std::string BoxText(const char *section, const char *key)
    {
        return std::string(TheConsole().Texts().GetText(key, section));
    }

    // The control's rectangle in the page's client area.
    CRect PlaceOf(int id) const
    {
        CRect rect;
        ::GetWindowRect(Item(id), &rect);
        ::MapWindowPoints(NULL, Page(), reinterpret_cast<POINT *>(&rect), 2);
        return rect;
    }

    // Whether the box shows its mark: the strokes inside the white box.
    bool MarkShown(int id)
    {
        const CDib shot = CaptureWindow(Item(id));
        int inked = 0;
        for (int y = 5; y < 13; ++y)
            for (int x = 3; x < 11; ++x)
                inked += shot.Pixel(x, y) != RGB(255, 255, 255);
        return inked > 6;
    }

    // Whether the button shows that cell of its strip.
    bool ShowsCell(int id, const char *picture, int columns, int rows, int column, int row)
    {
        const CDib strip = ReadPictureFile(m_folder.SkinFile(picture));
        if (strip.IsEmpty())
            return false;
        const int w = strip.Width() / columns, h = strip.Height() / rows;
        const CDib cell = strip.Part(RECT{column * w, row * h, (column + 1) * w, (row + 1) * h});
        return CaptureWindow(Item(id)).CountDifferences(cell) == 0;
    }
    bool ShowsLogOnCell(int column, int row)
    {
        return ShowsCell(IDC_SYS_LOG_ON_OFF, "But_Log_on_off.bmp", 4, 2, column, row);
    }

    // The pointer comes onto the control from outside, as a person's does.
    void HoverOver(int id)
    {
        MovePointerTo(POINT{5, 5});
        PumpFor(50);
        MovePointerTo(CentreOf(Item(id)));
        PumpFor(100);
    }

    void Click(int id)
    {
        ClickControl(Item(id));
        PumpFor(150);
    }

    static void TypeInto(HWND dialog, int id, const char *text)
    {
        if (!*text)
            return;
        ClickControl(::GetDlgItem(dialog, id));
        ASSERT_TRUE(TypeText(text)) << "an entry's text has no key strokes";
    }

    void StoreOptions(const char *autoStart, const char *windowAlert, const char *soundAlert,
                      const char *autoUpdate)
    {
        CDataBase &settings = ConsoleSettings();
        ASSERT_TRUE(settings.SetString("EnableAutoStart", autoStart, "Options"));
        ASSERT_TRUE(settings.SetString("EnableWndAlert", windowAlert, "Options"));
        ASSERT_TRUE(settings.SetString("EnableSoundAlert", soundAlert, "Options"));
        ASSERT_TRUE(settings.SetString("EnableAutoUpdate", autoUpdate, "Options"));
    }
    std::string Options()
    {
        std::string all;
        for (const char *key : {"EnableAutoStart", "EnableWndAlert", "EnableSoundAlert", "EnableAutoUpdate"})
            all += std::string(key) + "=" + std::string(Setting(key, "Options")) + " ";
        return all;
    }

    void ExpectPasswordNowhere(const std::string &password)
    {
        ::ExpectPasswordNowhere(m_driver, m_folder, password);
    }

    CDialogDriver m_driver;
};

// ------------------------------------------------------------------ set-up

struct MarksCase {
    const char *name;
    const char *stored[4]; // EnableAutoStart, EnableWndAlert, EnableSoundAlert, EnableAutoUpdate
    bool shown[4];
};

class OptionsPageMarks : public OptionsPage, public ::testing::WithParamInterface<MarksCase>
{
};

const int kBoxes[4] = {IDC_SYS_AUTO_START, IDC_SYS_WINDOW_ALARM, IDC_SYS_SOUND_ALARM, IDC_SYS_AUTO_UPDATE};

TEST_P(OptionsPageMarks, ComeFromConfigDat)
{
    const MarksCase &c = GetParam();
    StoreOptions(c.stored[0], c.stored[1], c.stored[2], c.stored[3]);
    ASSERT_TRUE(ShowPage());
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(MarkShown(kBoxes[i]), c.shown[i]) << "box " << kBoxes[i] << ", stored " << c.stored[i];
    SaveTestScreen(Main(), "page");
}

INSTANTIATE_TEST_SUITE_P(
    Stored, OptionsPageMarks,
    ::testing::Values(MarksCase{"AutoStartAndSound", {"1", "0", "1", "0"}, {true, false, true, false}},
                      MarksCase{"WindowAndUpdate", {"0", "1", "0", "1"}, {false, true, false, true}},
                      MarksCase{"AnyNumberButZero", {"7", "abc", "", "-1"}, {true, false, false, true}}),
    [](const ::testing::TestParamInfo<MarksCase> &info) { return std::string(info.param.name); });

TEST_F(OptionsPage, ShowsItsTextsAtTheirPlaces)
{
    ASSERT_TRUE(ShowPage());
    CRect client;
    ::GetClientRect(Page(), &client);
    const int W = client.Width();
    const CDib setPassword = ReadPictureFile(m_folder.SkinFile("But_SetPw.bmp"));
    const CDib logOn = ReadPictureFile(m_folder.SkinFile("But_Log_on_off.bmp"));
    const CDib checkUpdate = ReadPictureFile(m_folder.SkinFile("But_CheckUpdate.bmp"));
    const int wSet = setPassword.Width() / 4;
    const struct {
        int id;
        const char *key;
        CRect place;
    } controls[] = {
        {IDC_SYS_PASSWORD_GROUP, "GP_Pw", CRect(10, 35, W - 10, 90)},
        {IDC_SYS_SET_PASSWORD, nullptr, CRect(40, 58, 40 + wSet, 58 + setPassword.Height())},
        {IDC_SYS_LOG_ON_OFF, nullptr,
         CRect(50 + wSet, 58, 50 + wSet + logOn.Width() / 4, 58 + logOn.Height() / 2)},
        {IDC_SYS_UPDATE_GROUP, "GP_Update", CRect(10, 100, W - 10, 155)},
        {IDC_SYS_AUTO_UPDATE, "LB_AutoUpdate", CRect(40, 125, 240, 145)},
        {IDC_SYS_CHECK_UPDATE, nullptr,
         CRect(250, 122, 250 + checkUpdate.Width() / 4, 122 + checkUpdate.Height())},
        {IDC_SYS_ALARM_GROUP, "GP_Alarm", CRect(10, 165, W - 10, 230)},
        {IDC_SYS_SOUND_ALARM, "LB_SoudAlarm", CRect(40, 185, 390, 205)},
        {IDC_SYS_WINDOW_ALARM, "LB_WndAlarm", CRect(40, 207, 390, 227)},
        {IDC_SYS_GENERAL_GROUP, "GP_General", CRect(10, 240, W - 10, 295)},
        {IDC_SYS_AUTO_START, "LB_AutoStart", CRect(40, 265, 390, 285)},
    };
    for (const auto &control : controls) {
        EXPECT_EQ(PlaceOf(control.id), control.place) << "control " << control.id;
        if (control.key) {
            EXPECT_NE(PageText(control.key), "") << control.key;
            EXPECT_EQ(TextOf(Item(control.id)), PageText(control.key)) << control.key;
        }
    }
    EXPECT_TRUE(ShowsCell(IDC_SYS_SET_PASSWORD, "But_SetPw.bmp", 4, 1, 0, 0));
    EXPECT_TRUE(ShowsCell(IDC_SYS_CHECK_UPDATE, "But_CheckUpdate.bmp", 4, 1, 0, 0));
}

struct LogOnButtonCase {
    const char *name;
    const char *stored;
    int loggedOn;
    bool enabled;
    int row;
};

class OptionsPageLogOnButton : public OptionsPage, public ::testing::WithParamInterface<LogOnButtonCase>
{
};

// Without a password the button is switched off: its checked column.
TEST_P(OptionsPageLogOnButton, FollowsThePasswordAndTheState)
{
    const LogOnButtonCase &c = GetParam();
    ASSERT_TRUE(ConsoleSettings().SetPassword(c.stored));
    LoggedOn = c.loggedOn;
    ASSERT_TRUE(ShowPage());
    EXPECT_EQ(::IsWindowEnabled(Item(IDC_SYS_LOG_ON_OFF)) != FALSE, c.enabled);
    EXPECT_TRUE(ShowsLogOnCell(c.enabled ? 0 : 3, c.row));
    SaveTestScreen(Main(), c.name);
}

INSTANTIATE_TEST_SUITE_P(
    States, OptionsPageLogOnButton,
    ::testing::Values(LogOnButtonCase{"NoPassword", "", 1, false, 1},
                      LogOnButtonCase{"LoggedOn", "Kite7", 1, true, 1},
                      LogOnButtonCase{"LoggedOff", "Kite7", 0, true, 0}),
    [](const ::testing::TestParamInfo<LogOnButtonCase> &info) { return std::string(info.param.name); });

// ------------------------------------------------------------- the switches

struct SwitchCase {
    const char *name;
    int id;
    const char *key;
};

const SwitchCase kSwitches[] = {{"AutoStart", IDC_SYS_AUTO_START, "EnableAutoStart"},
                                {"AutoUpdate", IDC_SYS_AUTO_UPDATE, "EnableAutoUpdate"},
                                {"SoundAlert", IDC_SYS_SOUND_ALARM, "EnableSoundAlert"},
                                {"WindowAlert", IDC_SYS_WINDOW_ALARM, "EnableWndAlert"}};

class OptionsPageSwitch : public OptionsPage, public ::testing::WithParamInterface<SwitchCase>
{
};

TEST_P(OptionsPageSwitch, RefusedWhileLoggedOffKeepsItsTurnedMark)
{
    const SwitchCase &c = GetParam();
    StoreOptions("0", "0", "0", "0");
    ASSERT_TRUE(ConsoleSettings().SetPassword("Kite7"));
    LoggedOn = 0;
    ASSERT_TRUE(ShowPage());
    const std::string before = Options();
    m_driver.AnswerNextBox(IDOK);
    Click(c.id);
    ASSERT_EQ(m_driver.Boxes().size(), 1u);
    const BoxRecord &box = m_driver.Boxes()[0];
    EXPECT_EQ(box.text, BoxText("APP", "LOG_DONT"));
    EXPECT_EQ(box.caption, std::string(TheConsole().Texts().GetAppName()));
    EXPECT_EQ(box.icon, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_TRUE(MarkShown(c.id)) << "the box keeps its turned mark";
    EXPECT_EQ(Options(), before);
    EXPECT_EQ(RunValue(), "<absent>");
    EXPECT_EQ(LoggedOn, 0);
    SaveTestScreen(Main(), "refused");
}

TEST_P(OptionsPageSwitch, StoredWhileLoggedOn)
{
    const SwitchCase &c = GetParam();
    StoreOptions("0", "0", "0", "0");
    ASSERT_TRUE(ShowPage());
    const bool autoStart = c.id == IDC_SYS_AUTO_START;

    Click(c.id);
    EXPECT_TRUE(MarkShown(c.id));
    EXPECT_EQ(Setting(c.key, "Options"), CString("1"));
    EXPECT_EQ(RunValue(), autoStart ? "\"" + OwnPath() + "\"" : "<absent>");
    SaveTestScreen(Main(), "on");

    // A second click within the double-click time would be a double click.
    PumpFor(::GetDoubleClickTime());
    Click(c.id);
    EXPECT_FALSE(MarkShown(c.id));
    EXPECT_EQ(Setting(c.key, "Options"), CString("0"));
    EXPECT_EQ(RunValue(), "<absent>");
    EXPECT_TRUE(m_driver.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(Boxes, OptionsPageSwitch, ::testing::ValuesIn(kSwitches),
                         [](const ::testing::TestParamInfo<SwitchCase> &info) {
                             return std::string(info.param.name);
                         });

struct LockedRunKeyCase {
    const char *name;
    const char *stored; // EnableAutoStart
    bool value;         // whether the Run value is there
};

class OptionsPageLockedRunKey : public OptionsPage, public ::testing::WithParamInterface<LockedRunKeyCase>
{
};

// The option mirrors the Run value: a Run key that refuses the write or the
// delete leaves the mark and the stored option as they were.
TEST_P(OptionsPageLockedRunKey, LeavesMarkAndStoreAsTheyWere)
{
    const LockedRunKeyCase &c = GetParam();
    StoreOptions(c.stored, "0", "0", "0");
    if (c.value) {
        ASSERT_EQ(CInstaller().SetAutoStart(TRUE), 1);
    }
    const std::string valueBefore = RunValue();
    ASSERT_TRUE(ShowPage());
    {
        CReadOnlyRunKey readOnly;
        ASSERT_TRUE(readOnly.Locked()) << "the Run key still takes writes";
        Click(IDC_SYS_AUTO_START);
        EXPECT_EQ(MarkShown(IDC_SYS_AUTO_START), c.value);
        EXPECT_EQ(Setting("EnableAutoStart", "Options"), CString(c.stored));
        EXPECT_EQ(RunValue(), valueBefore);
        SaveTestScreen(Main(), "kept");
    }
    EXPECT_TRUE(m_driver.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Writes, OptionsPageLockedRunKey,
    ::testing::Values(LockedRunKeyCase{"Write", "0", false}, LockedRunKeyCase{"Delete", "1", true}),
    [](const ::testing::TestParamInfo<LockedRunKeyCase> &info) { return std::string(info.param.name); });

// A Run value already gone is a delete done: the option is stored.
TEST_F(OptionsPage, ClearingStartWithWindowsWithoutARunValueIsStored)
{
    StoreOptions("1", "0", "0", "0");
    ASSERT_EQ(RunValue(), "<absent>");
    ASSERT_TRUE(ShowPage());
    ASSERT_TRUE(MarkShown(IDC_SYS_AUTO_START));
    Click(IDC_SYS_AUTO_START);
    EXPECT_FALSE(MarkShown(IDC_SYS_AUTO_START));
    EXPECT_EQ(Setting("EnableAutoStart", "Options"), CString("0"));
}

// ------------------------------------------------------------ the password

TEST_F(OptionsPage, APasswordSetWhileLoggedOnStaysLoggedOnAndSwitchesTheButtonOn)
{
    const char *secret = "Heron9";
    ASSERT_TRUE(ShowPage());
    ASSERT_FALSE(::IsWindowEnabled(Item(IDC_SYS_LOG_ON_OFF)));
    m_driver.RunInNextDialog([&](HWND dialog) {
        TypeInto(dialog, IDC_PW_NEW, secret);
        TypeInto(dialog, IDC_PW_CONFIRM, secret);
        SaveTestScreen(dialog, "password");
        ClickControl(::GetDlgItem(dialog, IDOK));
    });
    Click(IDC_SYS_SET_PASSWORD);
    PumpFor(100);
    EXPECT_EQ(m_driver.Pending(), 0u);
    EXPECT_TRUE(ConsoleSettings().GetPassword() == secret) << "the new password is not stored";
    EXPECT_EQ(LoggedOn, 1);
    EXPECT_TRUE(::IsWindowEnabled(Item(IDC_SYS_LOG_ON_OFF)));
    EXPECT_TRUE(ShowsLogOnCell(0, 1));
    ExpectPasswordNowhere(secret);
    SaveTestScreen(Main(), "set");
}

// Opened while logged off, the dialog still wants the old password; an
// empty new one, confirmed, switches the button off and the console stays
// logged off until the next start, which begins logged on.
TEST_F(OptionsPage, AnEmptyPasswordSetWhileLoggedOffSwitchesTheButtonOffAndStaysLoggedOff)
{
    const char *secret = "Kite7";
    ASSERT_TRUE(ConsoleSettings().SetPassword(secret));
    LoggedOn = 0;
    ASSERT_TRUE(ShowPage());
    bool oldEntryUsable = false;
    m_driver.RunInNextDialog([&](HWND dialog) {
        oldEntryUsable = ::IsWindowEnabled(::GetDlgItem(dialog, IDC_PW_OLD)) != FALSE;
        m_driver.AnswerNextBox(IDOK);
        ClickControl(::GetDlgItem(dialog, IDOK));
        TypeInto(dialog, IDC_PW_OLD, secret);
        m_driver.AnswerNextBox(IDYES);
        ClickControl(::GetDlgItem(dialog, IDOK));
    });
    Click(IDC_SYS_SET_PASSWORD);
    PumpFor(100);
    EXPECT_TRUE(oldEntryUsable);
    ASSERT_EQ(m_driver.Boxes().size(), 2u);
    EXPECT_EQ(m_driver.Boxes()[0].text, BoxText("DLG_PW", "ERR_OldEmpty"));
    EXPECT_EQ(m_driver.Boxes()[1].text, BoxText("DLG_PW", "ERR_NewEmpty"));
    EXPECT_TRUE(ConsoleSettings().GetPassword().IsEmpty());
    EXPECT_EQ(LoggedOn, 0);
    EXPECT_FALSE(::IsWindowEnabled(Item(IDC_SYS_LOG_ON_OFF)));
    EXPECT_TRUE(ShowsLogOnCell(3, 0));
    ExpectPasswordNowhere(secret);
    SaveTestScreen(Main(), "cleared");
}

// ------------------------------------------------------- log off and on

// Logging off and on changes the button's row and, of the rest of the
// main window, only the status picture.
TEST_F(OptionsPage, LogOffAndOnChangeOnlyTheButtonAndTheStatusPicture)
{
    const char *secret = "Kite7";
    ASSERT_TRUE(ConsoleSettings().SetPassword(secret));
    ASSERT_TRUE(ShowPage());
    CRect button;
    ::GetWindowRect(Item(IDC_SYS_LOG_ON_OFF), &button);
    ::MapWindowPoints(NULL, Main(), reinterpret_cast<POINT *>(&button), 2);
    const CRect status = TheConsole().MainFrame().StatusPictureRect();
    auto changesOutside = [&](const CDib &a, const CDib &b, int *inStatus, int *inButton) {
        int outside = 0;
        *inStatus = *inButton = 0;
        for (int y = 0; y < a.Height(); ++y)
            for (int x = 0; x < a.Width(); ++x)
                if (a.Pixel(x, y) != b.Pixel(x, y)) {
                    const POINT at = {x, y};
                    ++(status.PtInRect(at) ? *inStatus : button.PtInRect(at) ? *inButton : outside);
                }
        return outside;
    };

    HoverOver(IDC_SYS_LOG_ON_OFF);
    const CDib on = SaveTestScreen(Main(), "logged-on");
    Click(IDC_SYS_LOG_ON_OFF);
    EXPECT_EQ(LoggedOn, 0);
    HoverOver(IDC_SYS_LOG_ON_OFF);
    const CDib off = SaveTestScreen(Main(), "logged-off");
    int inStatus = 0, inButton = 0;
    EXPECT_EQ(changesOutside(on, off, &inStatus, &inButton), 0);
    EXPECT_GT(inStatus, 20);
    EXPECT_GT(inButton, 0);

    // A wrong password, then Cancel: still logged off.
    m_driver.RunInNextDialog([&](HWND dialog) {
        TypeInto(dialog, IDC_LOGON_PASSWORD, "kite7");
        m_driver.AnswerNextBox(IDOK);
        ClickControl(::GetDlgItem(dialog, IDOK));
        EXPECT_TRUE(::IsWindow(dialog)) << "a wrong password closed the dialog";
        ClickControl(::GetDlgItem(dialog, IDCANCEL));
    });
    Click(IDC_SYS_LOG_ON_OFF);
    ASSERT_EQ(m_driver.Boxes().size(), 1u);
    EXPECT_EQ(m_driver.Boxes()[0].text, BoxText("DLG_LOGON", "ERR_PWError"));
    EXPECT_EQ(LoggedOn, 0);

    // The exact password logs on again.
    m_driver.RunInNextDialog([&](HWND dialog) {
        TypeInto(dialog, IDC_LOGON_PASSWORD, secret);
        SaveTestScreen(dialog, "logon");
        ClickControl(::GetDlgItem(dialog, IDOK));
    });
    Click(IDC_SYS_LOG_ON_OFF);
    HoverOver(IDC_SYS_LOG_ON_OFF);
    EXPECT_EQ(m_driver.Pending(), 0u);
    EXPECT_EQ(LoggedOn, 1);
    const CDib again = SaveTestScreen(Main(), "logged-on-again");
    EXPECT_EQ(changesOutside(on, again, &inStatus, &inButton), 0);
    EXPECT_EQ(inStatus, 0);
    EXPECT_EQ(inButton, 0);
    EXPECT_EQ(m_driver.Boxes().size(), 1u);
    ExpectPasswordNowhere(secret);
}

// ------------------------------------------------------------- the updater

// A marker program stands for the updater: it leaves Update.opened beside
// itself.
void CopyMarkerAs(const CString &path)
{
    char bin[MAX_PATH] = "";
    ::GetModuleFileNameA(NULL, bin, MAX_PATH);
    *(strrchr(bin, '\\') + 1) = '\0';
    ASSERT_TRUE(::CopyFileA(CString(bin) + "LinkTarget.exe", path, FALSE)) << path;
}

TEST_F(OptionsPage, TheUpdateButtonStartsTheUpdaterOfTheProgramFolder)
{
    ASSERT_TRUE(ShowPage());
    const CString folder = m_folder.File("Program Files\\Ferro wind\\");
    ASSERT_TRUE(::CreateDirectoryA(m_folder.File("Program Files"), NULL));
    ASSERT_TRUE(::CreateDirectoryA(folder, NULL));
    CopyMarkerAs(folder + "Update.exe");
    SetProgramFolder(folder);
    Click(IDC_SYS_CHECK_UPDATE);
    const bool started = PumpUntil([&] { return FileExists(folder + "Update.opened"); }, 20000);
    SetProgramFolder(m_folder.Path());
    EXPECT_TRUE(started) << "the updater of " << folder << " did not start";
    EXPECT_TRUE(m_driver.Boxes().empty());
}

// With no updater in the program folder none starts: not one in the
// current folder, nor the one beside the running program.
TEST_F(OptionsPage, WithoutAnUpdaterInTheProgramFolderNoneIsSearchedFor)
{
    ASSERT_TRUE(ShowPage());
    ASSERT_FALSE(FileExists(m_folder.File("Update.exe")));
    const CString current = m_folder.File("current\\");
    ASSERT_TRUE(::CreateDirectoryA(current, NULL));
    CopyMarkerAs(current + "Update.exe");
    char previous[MAX_PATH] = "";
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(current));
    const int running = ProcessesNamed("Update.exe");
    Click(IDC_SYS_CHECK_UPDATE);
    const bool started = PumpUntil(
        [&] { return FileExists(current + "Update.opened") || ProcessesNamed("Update.exe") > running; }, 3000);
    ::SetCurrentDirectoryA(previous);
    EXPECT_FALSE(started) << "an updater outside the program folder started";
    EXPECT_TRUE(m_driver.Boxes().empty());
}

// ------------------------------------------------------ the updater's exit

struct ExitCase {
    const char *name;
    int button;
    int loggedOn;
};

class OptionsPageExit : public OptionsPage, public ::testing::WithParamInterface<ExitCase>
{
};

// The updater's request, sent from another thread while the dialog's loop
// runs: the console goes through its exit steps, the dialog with it.
TEST_P(OptionsPageExit, WhileADialogIsOpenEndsTheConsole)
{
    const ExitCase &c = GetParam();
    ASSERT_TRUE(ConsoleSettings().SetPassword("Kite7"));
    LoggedOn = c.loggedOn;
    ASSERT_TRUE(ShowPage());
    ::MoveWindow(Main(), 40, 50, 640, 480, TRUE);
    PumpFor(100);
    HWND main = Main();
    HWND dialog = NULL;
    m_driver.RunInNextDialog([&](HWND window) {
        dialog = window;
        SaveTestScreen(window, "open");
        std::thread updater([main] { ::SendMessageA(main, WM_CONSOLE_EXIT, 0, 0); });
        PumpUntil([&] { return !::IsWindow(main); });
        updater.join();
    });
    ClickControl(Item(c.button));
    PumpUntil([&] { return !::IsWindow(main); });
    ASSERT_NE(dialog, static_cast<HWND>(NULL)) << "no dialog opened";
    EXPECT_FALSE(::IsWindow(dialog));
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_EQ(FindMarkedConsoleWindow(), static_cast<HWND>(NULL));
    EXPECT_TRUE(QuitPosted()) << "the message loop ends";
    EXPECT_EQ(Setting("MainFramPos", "UI_Config"), CString("40,50,680,530"));
    EXPECT_EQ(LoggedOn, c.loggedOn);
    EXPECT_TRUE(ConsoleSettings().GetPassword() == "Kite7") << "the password changed";
    EXPECT_TRUE(m_driver.Boxes().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, OptionsPageExit,
    ::testing::Values(ExitCase{"Logon", IDC_SYS_LOG_ON_OFF, 0}, ExitCase{"Password", IDC_SYS_SET_PASSWORD, 1}),
    [](const ::testing::TestParamInfo<ExitCase> &info) { return std::string(info.param.name); });

} // namespace
