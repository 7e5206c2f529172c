// The slide-in alert over a fresh program folder: its texts for a refused
// connection, its rectangle at every tick of the rise, the hold and the
// sinking, a real click that sends it down at once, and the focus that
// stays where it was.
#include <AlertPopup.h>
#include <RefusalAlert.h>

#include <FoundationUi.h>

#include <GuiPump.h>
#include <ProgramFolderFixture.h>
#include <RealInput.h>
#include <RecordingParent.h>
#include <RefusedWindows.h>
#include <TestScreens.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <mmsystem.h>

namespace {

const int kStep = 130 / ALERT_STEPS;

SessionRecord Refused(BYTE direction)
{
    SessionRecord record;
    memset(&record, 0, sizeof record);
    record.Socket = 0x700;
    record.Direction = direction;
    record.Verdict = 2;
    record.ByRule = 1;
    record.LocalPort = 1234;
    record.RemoteIp = 0x0A000102;
    record.RemotePort = 8080;
    strcpy(record.Path, "C:\\No such folder\\wsclient.exe");
    strcpy(record.Detail, "www.example.test");
    return record;
}

std::string Show(const RECT &r)
{
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

BOOL CALLBACK CollectAlert(HWND window, LPARAM found)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    if (strcmp(name, "#32770") == 0 && (exStyle & WS_EX_NOACTIVATE))
        reinterpret_cast<std::vector<HWND> *>(found)->push_back(window);
    return TRUE;
}

// The alert windows of this thread.
std::vector<HWND> AlertHandles()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectAlert, reinterpret_cast<LPARAM>(&found));
    return found;
}
int AlertWindows()
{
    return static_cast<int>(AlertHandles().size());
}
// The alert windows that are not among `before`.
std::vector<HWND> NewAlerts(const std::vector<HWND> &before)
{
    std::vector<HWND> added;
    for (HWND alert : AlertHandles()) {
        if (std::find(before.begin(), before.end(), alert) == before.end())
            added.push_back(alert);
    }
    return added;
}
std::string AlertText(HWND alert, UINT id)
{
    char text[256] = "";
    GetDlgItemTextA(alert, id, text, sizeof text);
    return text;
}

RECT WorkArea()
{
    RECT work = {};
    SystemParametersInfo(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

class AlertPopupTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetPumpFilter(AfxPreTranslateMessage);
        m_owner.reset(new CRecordingParent);
        m_page.Attach(m_owner->Handle());
        SetForegroundWindow(m_owner->Handle());
        PumpFor(50);
    }
    void TearDown() override
    {
        if (m_alert && IsWindow(m_alert))
            DestroyWindow(m_alert);
        m_page.Detach();
        m_owner.reset();
        SetPumpFilter(NULL);
        AfxDeleteTempObjects();
    }

    // A new alert, hidden as it starts; its handle.
    HWND Open(const SessionRecord &record)
    {
        CAlertPopup *alert = new CAlertPopup(&m_page, record, m_folder.SkinFile(""));
        EXPECT_TRUE(alert->Show());
        m_alert = alert->GetSafeHwnd();
        return m_alert;
    }

    std::string Text(UINT id) const
    {
        char text[256] = "";
        GetDlgItemTextA(m_alert, id, text, sizeof text);
        return text;
    }

    RECT Rect() const
    {
        RECT rect = {};
        GetWindowRect(m_alert, &rect);
        return rect;
    }

    void Tick(UINT_PTR timer) { SendMessage(m_alert, WM_TIMER, timer, 0); }

    CProgramFolderFixture m_folder;
    std::unique_ptr<CRecordingParent> m_owner;
    CWnd m_page;
    HWND m_alert = NULL;
};

TEST_F(AlertPopupTest, TextsNameTheProgramTheKindAndThePeer)
{
    struct Case {
        BYTE Direction;
        BYTE HostMatched;
        const char *Title, *Message, *RemoteLabel, *Remote;
    } cases[] = {
        {1, 0, "Connection blocked", "wsclient was refused an outgoing connection.", "Remote IP:", "10.0.1.2"},
        {4, 1, "Web site blocked", "wsclient was refused to listen for connections.", "Web site:", "www.example.test"},
        {0, 0, "Connection blocked", "wsclient was refused an incoming connection.", "Remote IP:", "10.0.1.2"},
    };
    for (const Case &c : cases) {
        SessionRecord record = Refused(c.Direction);
        record.HostMatchDone = c.HostMatched;
        Open(record);
        ASSERT_TRUE(IsWindow(m_alert));
        EXPECT_FALSE(IsWindowVisible(m_alert)) << "shown by the first tick";
        EXPECT_EQ(c.Title, Text(IDC_ALERT_TITLE));
        EXPECT_EQ(c.Message, Text(IDC_ALERT_MESSAGE));
        EXPECT_EQ("Local port:", Text(IDC_ALERT_LOCAL_PORT_LABEL));
        EXPECT_EQ("1234", Text(IDC_ALERT_LOCAL_PORT));
        EXPECT_EQ(c.RemoteLabel, Text(IDC_ALERT_REMOTE_LABEL));
        EXPECT_EQ(c.Remote, Text(IDC_ALERT_REMOTE));
        EXPECT_EQ("Remote port:", Text(IDC_ALERT_REMOTE_PORT_LABEL));
        EXPECT_EQ("8080", Text(IDC_ALERT_REMOTE_PORT));
        DestroyWindow(m_alert);
    }
    SessionRecord noPort = Refused(1);
    noPort.LocalPort = 0;
    Open(noPort);
    EXPECT_EQ("N/A", Text(IDC_ALERT_LOCAL_PORT));
}

// Its window dies in its creation for want of its labels: the alert is
// deleted once (the heap check sees a second time), and nothing stays.
// The program is named from its file only when the connection's path is a
// full path on this computer: the test's own file, named without its folder
// or through a share, is not read (read, it would give its file title).
TEST_F(AlertPopupTest, AProgramPathThatIsNotALocalFullPathIsNeverOpened)
{
    char self[MAX_PATH];
    GetModuleFileNameA(NULL, self, sizeof self);
    struct Case {
        std::string path;
        const char *message;
    } cases[] = {
        {self, "alert_popup_tests.exe was refused an outgoing connection."},
        {"alert_popup_tests.exe", "alert_popup_tests was refused an outgoing connection."},
        {"\\\\127.0.0.1\\share\\alert_popup_tests.exe", "alert_popup_tests was refused an outgoing connection."},
    };
    for (const Case &c : cases) {
        SessionRecord record = Refused(1);
        strcpy(record.Path, c.path.c_str());
        Open(record);
        ASSERT_TRUE(IsWindow(m_alert));
        EXPECT_EQ(c.message, Text(IDC_ALERT_MESSAGE)) << c.path;
        DestroyWindow(m_alert);
    }
}

TEST_F(AlertPopupTest, AnAlertWhoseWindowCannotBeMadeIsGoneOnce)
{
    const int alertsBefore = AlertWindows();
    CAlertPopup *alert = new CAlertPopup(&m_page, Refused(1), m_folder.SkinFile(""));
    {
        CRefusedWindows noLabels("Static");
        EXPECT_FALSE(alert->Show());
        EXPECT_GT(noLabels.Refused(), 0);
    }
    PumpFor(50);
    EXPECT_EQ(alertsBefore, AlertWindows());
    Open(Refused(1));
    EXPECT_TRUE(IsWindow(m_alert)) << "the next alert is made";
}

TEST_F(AlertPopupTest, RisesStepByStepHoldsSinksAndGoesWithoutTakingTheFocus)
{
    const RECT work = WorkArea();
    const int bottom = work.bottom - work.top - 2;
    const int left = work.right - 235 - work.left - 1;
    Open(Refused(1));
    for (int tick = 1; tick < ALERT_STEPS; ++tick) {
        Tick(ALERT_TIMER_RISE);
        const RECT rect = Rect();
        EXPECT_EQ(left, rect.left) << tick;
        EXPECT_EQ(left + 235, rect.right) << tick;
        EXPECT_EQ(bottom - tick * kStep, rect.top) << tick;
        EXPECT_EQ(bottom + kStep, rect.bottom) << "the bottom stays while it grows, tick " << tick;
    }
    EXPECT_TRUE(IsWindowVisible(m_alert));
    Tick(ALERT_TIMER_RISE);
    EXPECT_EQ(Show(RECT{left, bottom - 130, left + 235, bottom}), Show(Rect()));
    EXPECT_NE(m_alert, GetForegroundWindow());
    EXPECT_NE(m_alert, GetActiveWindow());
    EXPECT_EQ(m_owner->Handle(), GetForegroundWindow()) << "the focus stays";
    PumpFor(100);
    SaveTestScreen(NULL, "risen");
    SaveTestScreen(m_alert, "risen-alert");

    Tick(ALERT_TIMER_HOLD);
    EXPECT_EQ(Show(RECT{left, bottom - 125, left + 235, bottom + 5}), Show(Rect())) << "down by five when the hold ends";
    Tick(ALERT_TIMER_HOLD); // a late second hold ending changes nothing
    EXPECT_EQ(bottom - 125, Rect().top);
    for (int tick = 1; tick < ALERT_STEPS; ++tick) {
        Tick(ALERT_TIMER_SINK);
        EXPECT_EQ(bottom - 125 + tick * kStep, Rect().top) << tick;
        EXPECT_EQ(bottom + 5, Rect().bottom) << tick;
    }
    Tick(ALERT_TIMER_SINK);
    PumpFor(50);
    EXPECT_FALSE(IsWindow(m_alert)) << "gone after the last step";
}

TEST_F(AlertPopupTest, ClickWhileHoldingSinksAtOnceByItsOwnTimers)
{
    Open(Refused(1));
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(m_alert) && Rect().bottom - Rect().top == 130; }, 5000));
    const RECT risen = Rect();
    ClickAt(POINT{risen.left + 120, risen.top + 60});
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(m_alert); }, 5000)) << "sunk and gone";
    EXPECT_EQ(m_owner->Handle(), GetForegroundWindow());
}

struct SoundCall {
    std::string Path;
    HMODULE Module;
    DWORD Flags;
};
std::vector<SoundCall> g_sounds;

BOOL WINAPI RecordSound(LPCSTR sound, HMODULE module, DWORD flags)
{
    g_sounds.push_back({sound, module, flags});
    return TRUE;
}

TEST_F(AlertPopupTest, EachOptionGivesItsOwnPartOfTheAnnouncement)
{
    const AlertSoundPlayer previous = SetAlertSoundPlayer(RecordSound);
    const struct {
        bool Window, Sound;
    } cases[] = {{true, true}, {true, false}, {false, true}, {false, false}};
    for (const auto &c : cases) {
        g_sounds.clear();
        const int before = AlertWindows();
        CRefusalAnnouncer announcer; // alone: no alert standing, no sound played yet
        announcer.Announce(&m_page, Refused(1), m_folder.SkinFile(""), {c.Window, c.Sound});
        EXPECT_EQ(before + (c.Window ? 1 : 0), AlertWindows()) << c.Window << c.Sound;
        ASSERT_EQ(c.Sound ? 1u : 0u, g_sounds.size()) << c.Window << c.Sound;
        if (c.Sound) {
            EXPECT_EQ(std::string(m_folder.File("sound\\Alert.wav")), g_sounds[0].Path);
            EXPECT_EQ(NULL, g_sounds[0].Module);
            EXPECT_EQ(DWORD(SND_FILENAME | SND_ASYNC), g_sounds[0].Flags);
        }
    }
    SetAlertSoundPlayer(previous);
}

TEST_F(AlertPopupTest, RefusalsOfOneProgramAndPeerGoToTheStandingAlertWithTheirNumber)
{
    CRefusalAnnouncer announcer;
    const std::vector<HWND> before = AlertHandles();
    for (int i = 0; i < 100; ++i)
        announcer.Announce(&m_page, Refused(1), m_folder.SkinFile(""), {true, false});
    const std::vector<HWND> added = NewAlerts(before);
    ASSERT_EQ(1u, added.size()) << "one alert for a hundred refusals";
    m_alert = added[0];
    EXPECT_NE(std::string::npos, AlertText(m_alert, IDC_ALERT_MESSAGE).find("\nRefused 100 times."))
        << AlertText(m_alert, IDC_ALERT_MESSAGE);
    ASSERT_TRUE(PumpUntil([&] { return IsWindowVisible(m_alert) && Rect().bottom - Rect().top == 130; }, 5000));
    PumpFor(100);
    SaveTestScreen(m_alert, "counted-alert");

    // Another peer, another program: alerts of their own, up to the limit.
    SessionRecord otherPeer = Refused(1);
    otherPeer.RemoteIp = 0x0A000103;
    SessionRecord otherProgram = Refused(1);
    strcpy(otherProgram.Path, "C:\\No such folder\\other.exe");
    SessionRecord beyond = Refused(1);
    beyond.RemoteIp = 0x0A000104;
    for (const SessionRecord &record : {otherPeer, otherProgram, beyond, otherPeer})
        announcer.Announce(&m_page, record, m_folder.SkinFile(""), {true, false});
    EXPECT_EQ(size_t(CRefusalAnnouncer::MAX_STANDING_ALERTS), NewAlerts(before).size());
    EXPECT_EQ(size_t(CRefusalAnnouncer::MAX_STANDING_ALERTS), announcer.StandingAlerts());

    // One sinks away: the next refusal of a new peer rises.
    const RECT risen = Rect();
    ClickAt(POINT{risen.left + 120, risen.top + 60});
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(m_alert); }, 5000));
    EXPECT_EQ(size_t(CRefusalAnnouncer::MAX_STANDING_ALERTS - 1), announcer.StandingAlerts());
    announcer.Announce(&m_page, beyond, m_folder.SkinFile(""), {true, false});
    EXPECT_EQ(size_t(CRefusalAnnouncer::MAX_STANDING_ALERTS), NewAlerts(before).size());
    for (HWND alert : NewAlerts(before))
        DestroyWindow(alert);
    EXPECT_EQ(0u, announcer.StandingAlerts()) << "each alert forgotten as it went";
}

TEST_F(AlertPopupTest, ASinkingAlertTakesNoMoreRefusalsAndANewOneRises)
{
    CRefusalAnnouncer announcer;
    const std::vector<HWND> before = AlertHandles();
    announcer.Announce(&m_page, Refused(1), m_folder.SkinFile(""), {true, false});
    ASSERT_EQ(1u, NewAlerts(before).size());
    m_alert = NewAlerts(before)[0];
    SendMessage(m_alert, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 60)); // starts the sinking
    announcer.Announce(&m_page, Refused(1), m_folder.SkinFile(""), {true, false});
    const std::vector<HWND> added = NewAlerts(before);
    ASSERT_EQ(2u, added.size());
    EXPECT_EQ(std::string::npos, AlertText(m_alert, IDC_ALERT_MESSAGE).find("Refused"));
    for (HWND alert : added)
        EXPECT_EQ(std::string::npos, AlertText(alert, IDC_ALERT_MESSAGE).find("Refused")) << "each shows one";
    for (HWND alert : added)
        DestroyWindow(alert);
}

TEST_F(AlertPopupTest, TheSoundPlaysAtMostOnceASecond)
{
    const AlertSoundPlayer previous = SetAlertSoundPlayer(RecordSound);
    g_sounds.clear();
    CRefusalAnnouncer announcer;
    const DWORD start = GetTickCount();
    for (int i = 0; i < 100; ++i)
        announcer.Announce(&m_page, Refused(1), m_folder.SkinFile(""), {false, true});
    const DWORD elapsed = GetTickCount() - start;
    EXPECT_GE(g_sounds.size(), 1u);
    EXPECT_LE(g_sounds.size(), 1u + elapsed / CRefusalAnnouncer::SOUND_INTERVAL_MS) << elapsed << " ms";

    const size_t played = g_sounds.size();
    PumpFor(CRefusalAnnouncer::SOUND_INTERVAL_MS + 50);
    announcer.Announce(&m_page, Refused(1), m_folder.SkinFile(""), {false, true});
    EXPECT_EQ(played + 1, g_sounds.size()) << "a second later it plays again";
    SetAlertSoundPlayer(previous);
}

} // namespace
