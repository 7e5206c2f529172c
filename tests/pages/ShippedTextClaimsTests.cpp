// What the shipped texts say about the console's own controls, read against
// the live windows: every control name that a text quotes is what a control
// of the console reads, and the tip that tells where the lock switch is
// tells where the main window has it.
#include "ConsoleUnderTest.h"

#include <ConsoleMessages.h>
#include <ConsoleResources.h>
#include <OptionsResources.h>
#include <ProgramQueryDialog.h>

#include <GuiPump.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <set>
#include <string>
#include <vector>

namespace {

struct ShippedText {
    std::string section, key, value;
};

// Every key of every section of the file, as the file holds it.
std::vector<ShippedText> ReadShippedTexts(const CString &path)
{
    std::vector<ShippedText> texts;
    std::vector<char> sections(64 * 1024), keys(64 * 1024);
    ::GetPrivateProfileSectionNamesA(sections.data(), static_cast<DWORD>(sections.size()), path);
    for (const char *section = sections.data(); *section; section += strlen(section) + 1) {
        ::GetPrivateProfileSectionA(section, keys.data(), static_cast<DWORD>(keys.size()), path);
        for (const char *line = keys.data(); *line; line += strlen(line) + 1) {
            const std::string entry = line;
            const size_t equals = entry.find('=');
            if (equals != std::string::npos)
                texts.push_back({section, entry.substr(0, equals), entry.substr(equals + 1)});
        }
    }
    return texts;
}

// The texts between pairs of double quotes.
std::vector<std::string> QuotedNames(const std::string &text)
{
    std::vector<std::string> names;
    for (size_t open = text.find('"'); open != std::string::npos; open = text.find('"', open)) {
        const size_t close = text.find('"', open + 1);
        if (close == std::string::npos)
            break;
        names.push_back(text.substr(open + 1, close - open - 1));
        open = close + 1;
    }
    return names;
}

BOOL CALLBACK CollectText(HWND window, LPARAM shown)
{
    char text[512] = "";
    if (::GetWindowTextA(window, text, sizeof text) > 0)
        reinterpret_cast<std::set<std::string> *>(shown)->insert(text);
    return TRUE;
}

BOOL CALLBACK FindTips(HWND window, LPARAM found)
{
    if (::GetDlgItem(window, IDC_TIPS_NEXT)) {
        *reinterpret_cast<HWND *>(found) = window;
        return FALSE;
    }
    return TRUE;
}

class ShippedTextClaims : public ConsoleWindowTest
{
protected:
    // What every control of the window and of its pages reads.
    void CollectFrom(HWND window) { ::EnumChildWindows(window, CollectText, reinterpret_cast<LPARAM>(&m_shown)); }

    HWND OpenTips()
    {
        ::SendMessageA(Main(), WM_COMMAND, ID_TRAY_SHOW_TIPS, 0);
        PumpFor(200);
        HWND tips = NULL;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindTips, reinterpret_cast<LPARAM>(&tips));
        return tips;
    }

    std::set<std::string> m_shown;
};

TEST_F(ShippedTextClaims, EveryControlThatAShippedTextNamesReadsAsItIsNamed)
{
    ASSERT_TRUE(ShowMainWindow());
    CollectFrom(Main());
    HWND tips = OpenTips();
    ASSERT_NE(tips, (HWND)NULL);
    CollectFrom(tips);
    BringToFront(tips);
    PumpFor(150);
    SaveTestScreen(tips, "first-tip");
    ClickControl(::GetDlgItem(tips, IDC_TIPS_NEXT));
    PumpFor(150);
    SaveTestScreen(tips, "second-tip");

    // A question about this test program, on a record of the test's own.
    SessionRecord record = {};
    ::GetModuleFileNameA(NULL, record.Path, sizeof record.Path);
    record.State = SESSION_SHOWN;
    record.Direction = DIR_OUTBOUND;
    record.Protocol = PROTO_TCP;
    record.Zone = ZONE_INTERNET;
    CProgramQueryDialog *popup =
        new CProgramQueryDialog(&TheConsole().MainFrame().ProgramPage(), WM_PROGRAM_LIST_CHANGED,
                                &TheConsole().Publisher(), m_folder.LanguageFile(), m_folder.SkinFile(""));
    popup->ForgetLayeredFunction();
    ASSERT_TRUE(popup->ShowForRecord(&record));
    PumpFor(200);
    const HWND question = popup->GetSafeHwnd();
    CollectFrom(question);
    SaveTestScreen(question, "question");
    ::DestroyWindow(question);
    PumpFor(50);

    int named = 0;
    for (const ShippedText &text : ReadShippedTexts(m_folder.LanguageFile())) {
        for (const std::string &name : QuotedNames(text.value)) {
            ++named;
            EXPECT_EQ(m_shown.count(name), 1u)
                << text.section << " " << text.key << " names \"" << name << "\", which no control reads";
        }
    }
    EXPECT_GT(named, 0) << "the tips name controls";
}

// The places a text may give, and whether a control's centre lies there.
struct Place {
    const char *words;
    bool (*holds)(POINT centre, SIZE window);
};

const Place kPlaces[] = {
    {"top right", [](POINT c, SIZE w) { return c.y < w.cy / 3 && c.x > w.cx * 2 / 3; }},
    {"top left", [](POINT c, SIZE w) { return c.y < w.cy / 3 && c.x < w.cx / 3; }},
    {"bottom right", [](POINT c, SIZE w) { return c.y > w.cy * 2 / 3 && c.x > w.cx * 2 / 3; }},
    {"bottom left", [](POINT c, SIZE w) { return c.y > w.cy * 2 / 3 && c.x < w.cx / 3; }},
    {"at the top", [](POINT c, SIZE w) { return c.y < w.cy / 3; }},
    {"at the bottom", [](POINT c, SIZE w) { return c.y > w.cy * 2 / 3; }},
};

TEST_F(ShippedTextClaims, TheTipOnTheLockSwitchPlacesItWhereTheMainWindowHasIt)
{
    ASSERT_TRUE(ShowMainWindow());
    RECT client, lock;
    ::GetClientRect(Main(), &client);
    ::GetWindowRect(Control(IDC_LOCK_SWITCH), &lock);
    ::MapWindowPoints(NULL, Main(), reinterpret_cast<POINT *>(&lock), 2);
    const POINT centre = {(lock.left + lock.right) / 2, (lock.top + lock.bottom) / 2};
    const SIZE window = {client.right, client.bottom};
    SaveTestScreen(Main(), "lock-switch");

    int tipsOnTheSwitch = 0;
    for (const ShippedText &text : ReadShippedTexts(m_folder.LanguageFile())) {
        if (text.section != "DLG_TIPS" || text.value.find("lock switch") == std::string::npos)
            continue;
        ++tipsOnTheSwitch;
        int placed = 0;
        for (const Place &place : kPlaces) {
            if (text.value.find(place.words) == std::string::npos)
                continue;
            ++placed;
            EXPECT_TRUE(place.holds(centre, window)) << text.key << " puts the lock switch " << place.words;
        }
        EXPECT_GT(placed, 0) << text.key << " tells no place";
    }
    EXPECT_EQ(tipsOnTheSwitch, 1);
}

} // namespace
