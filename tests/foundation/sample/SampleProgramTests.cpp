// The sample application, started afresh for each test and driven by real
// input only; what it did is read from its log, what it shows from the
// screen.
#include "DialogDriver.h"
#include "GuiPump.h"
#include "RealInput.h"
#include "SampleIds.h"
#include "TestScreens.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
const UINT HELP_BUTTON = 0xE146;
const COLORREF PRESSED_FACE = RGB(123, 136, 170);
const COLORREF RAISED_FACE = RGB(194, 218, 239);

std::string ProgramFolder()
{
    char szPath[MAX_PATH];
    ::GetModuleFileNameA(NULL, szPath, sizeof szPath);
    std::string path(szPath);
    return path.substr(0, path.rfind('\\') + 1);
}

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    reinterpret_cast<std::vector<HWND> *>(lParam)->push_back(hWnd);
    return TRUE;
}

std::vector<HWND> TopLevelWindowsOf(DWORD dwThreadId)
{
    std::vector<HWND> windows;
    ::EnumThreadWindows(dwThreadId, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::string ClassOf(HWND hWnd)
{
    char szClass[64] = "";
    ::GetClassNameA(hWnd, szClass, sizeof szClass);
    return szClass;
}

std::string TextOf(HWND hWnd)
{
    char szText[256] = "";
    ::GetWindowTextA(hWnd, szText, sizeof szText);
    return szText;
}

// Where a window lies inside a screenshot of another.
RECT RectIn(HWND hWnd, HWND hShot)
{
    RECT rect, origin;
    ::GetWindowRect(hWnd, &rect);
    ::GetWindowRect(hShot, &origin);
    ::OffsetRect(&rect, -origin.left, -origin.top);
    return rect;
}

int Area(const RECT &rect)
{
    return (rect.right - rect.left) * (rect.bottom - rect.top);
}

class SampleProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        char szTemp[MAX_PATH], szLog[MAX_PATH];
        ::GetTempPathA(sizeof szTemp, szTemp);
        ::GetTempFileNameA(szTemp, "smp", 0, szLog);
        m_logPath = szLog;
        ::SetEnvironmentVariableA("QFW_SAMPLE_LOG", szLog);

        std::string program = ProgramFolder() + "foundation_sample_program.exe";
        std::string commandLine = "\"" + program + "\"";
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        ASSERT_TRUE(::CreateProcessA(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL,
                                     NULL, &si, &m_process));
        ASSERT_TRUE(WaitForLine("ready", 20000)) << Log();
        m_hMain = FindWindowOf([](HWND hWnd) { return TextOf(hWnd) == "Sample main"; });
        ASSERT_NE(m_hMain, nullptr);
        m_hPage = ::FindWindowExA(m_hMain, NULL, "#32770", NULL);
        ASSERT_NE(m_hPage, nullptr);
        BringToFront(m_hMain);
    }

    void TearDown() override
    {
        if (m_process.hProcess == NULL)
            return;
        if (::WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT && ::IsWindow(m_hMain))
            ::PostMessageA(m_hMain, WM_CLOSE, 0, 0);
        if (::WaitForSingleObject(m_process.hProcess, 20000) == WAIT_TIMEOUT)
        {
            ::TerminateProcess(m_process.hProcess, 1);
            ADD_FAILURE() << "the sample program did not end";
        }
        ::CloseHandle(m_process.hThread);
        ::CloseHandle(m_process.hProcess);
        ::DeleteFileA(m_logPath.c_str());
    }

    std::string Log() const
    {
        std::ifstream file(m_logPath);
        std::stringstream contents;
        contents << file.rdbuf();
        return contents.str();
    }

    std::vector<std::string> LogLines() const
    {
        std::vector<std::string> lines;
        std::istringstream stream(Log());
        for (std::string line; std::getline(stream, line);)
            lines.push_back(line);
        return lines;
    }

    int CountLines(const std::string &line) const
    {
        std::vector<std::string> lines = LogLines();
        return static_cast<int>(std::count(lines.begin(), lines.end(), line));
    }

    bool WaitForLine(const std::string &line, DWORD dwTimeoutMs = 5000) const
    {
        return PumpUntil([&] { return CountLines(line) > 0; }, dwTimeoutMs);
    }

    template <class Match> HWND FindWindowOf(Match match) const
    {
        for (HWND hWnd : TopLevelWindowsOf(m_process.dwThreadId))
            if (::IsWindowVisible(hWnd) && match(hWnd))
                return hWnd;
        return NULL;
    }

    template <class Match> HWND WaitForWindow(Match match) const
    {
        HWND hFound = NULL;
        PumpUntil([&] { return (hFound = FindWindowOf(match)) != NULL; }, 5000);
        return hFound;
    }

    HWND WaitForModal() const
    {
        return WaitForWindow([](HWND hWnd) { return TextOf(hWnd) == "Sample modal"; });
    }

    HWND WaitForMenu() const
    {
        return WaitForWindow([](HWND hWnd) { return ClassOf(hWnd) == "#32768"; });
    }

    HWND PageItem(int nID) const { return ::GetDlgItem(m_hPage, nID); }
    HWND MainItem(int nID) const { return ::GetDlgItem(m_hMain, nID); }

    // The window with the keyboard focus in the sample's thread.
    HWND Focus() const
    {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        ::GetGUIThreadInfo(m_process.dwThreadId, &info);
        return info.hwndFocus;
    }

    // Waits for the program to end by itself; its exit code.
    DWORD WaitForExit()
    {
        DWORD dwCode = ~0u;
        if (::WaitForSingleObject(m_process.hProcess, 20000) == WAIT_OBJECT_0)
            ::GetExitCodeProcess(m_process.hProcess, &dwCode);
        return dwCode;
    }

    std::string m_logPath;
    PROCESS_INFORMATION m_process = {};
    HWND m_hMain = NULL;
    HWND m_hPage = NULL;
};

TEST_F(SampleProgram, TheMainDialogIsMadeHiddenWithoutAParentAndShowsThePage)
{
    EXPECT_EQ(CountLines("main made; visible 0, parent 0"), 1) << Log();
    EXPECT_TRUE(::IsWindowVisible(m_hPage));
    EXPECT_EQ(::GetParent(m_hPage), m_hMain);

    CDib shot = SaveTestScreen(m_hMain, "page-in-main");
    // The list's odd rows are drawn by the list itself on the light blue.
    EXPECT_GT(shot.CountColour(RAISED_FACE, RectIn(PageItem(IDC_LIST), m_hMain)), 0);
}

TEST_F(SampleProgram, AClickOnTheCheckBoxFlipsItBeforeThePageReadsTheMark)
{
    ClickControl(PageItem(IDC_CHECK));
    ASSERT_TRUE(WaitForLine("page reads check 1")) << Log();
    PumpFor(::GetDoubleClickTime() + 100); // two clicks, not a double click
    ClickControl(PageItem(IDC_CHECK));
    ASSERT_TRUE(WaitForLine("page reads check 0")) << Log();

    const std::vector<std::string> expected = {"check flips to 1", "page reads check 1",
                                               "check flips to 0", "page reads check 0"};
    std::vector<std::string> lines = LogLines();
    lines.erase(lines.begin(), std::find(lines.begin(), lines.end(), "ready") + 1);
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(TextOf(PageItem(IDC_CHECK)), "[ ] Log the connections");
}

TEST_F(SampleProgram, TypingInTheNumberFieldChangesItOncePerKeyAndSavesTheLeadingNumber)
{
    ClickControl(PageItem(IDC_NUMBER));
    PressKey(VK_END);
    PressKey(VK_BACK); // the 0 loaded into the field
    ASSERT_TRUE(WaitForLine("number change ''")) << Log();
    const size_t nBefore = LogLines().size();

    ASSERT_TRUE(TypeText("12abc"));
    ClickControl(PageItem(IDC_SAVE));
    ASSERT_TRUE(WaitForLine("save 1: name 'Browser' number 12")) << Log();

    const std::vector<std::string> lines = LogLines();
    const std::vector<std::string> expected = {
        "number change '1'",    "number change '12'",  "number change '12a'",
        "number change '12ab'", "number change '12abc'", "save 1: name 'Browser' number 12"};
    EXPECT_EQ(std::vector<std::string>(lines.begin() + nBefore, lines.end()), expected);
    EXPECT_EQ(FindWindowOf([](HWND hWnd) { return IsMessageBox(hWnd); }), nullptr);
    EXPECT_TRUE(::IsWindowVisible(m_hMain));
}

// The page's controls are part of the main dialog's tab order: Tab walks
// them in the template's order, then the main dialog's buttons, then comes
// back to the page.
TEST_F(SampleProgram, TabWalksThePagesControlsInOrder)
{
    ClickControl(PageItem(IDC_NAME));
    ASSERT_EQ(Focus(), PageItem(IDC_NAME));
    const HWND order[] = {PageItem(IDC_NUMBER), PageItem(IDC_SAVE),   PageItem(IDC_LIST),
                          PageItem(HELP_BUTTON), MainItem(IDC_OPEN_MODAL), MainItem(IDC_SHOW_POPUP),
                          MainItem(HELP_BUTTON), PageItem(IDC_NAME)};
    for (HWND hNext : order)
    {
        PressKey(VK_TAB);
        EXPECT_EQ(Focus(), hNext) << "expected control " << ::GetDlgCtrlID(hNext) << ", focus on "
                                  << ::GetDlgCtrlID(Focus());
    }
    EXPECT_EQ(LogLines().size(), 2u) << Log();
}

// The page's empty OnOK and OnCancel take the keys; the main dialog's
// would hide it or end the program.
TEST_F(SampleProgram, EnterAndEscOnThePageCloseNothing)
{
    ClickControl(PageItem(IDC_NAME));
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitForLine("page OnOK")) << Log();
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitForLine("page OnCancel")) << Log();

    PumpFor(200);
    EXPECT_EQ(CountLines("main OnOK"), 0) << Log();
    EXPECT_EQ(CountLines("main OnCancel"), 0) << Log();
    EXPECT_TRUE(::IsWindowVisible(m_hMain));
    EXPECT_TRUE(::IsWindowVisible(m_hPage));
}

TEST_F(SampleProgram, TheModalDialogDisablesTheMainWindowHoldsABoxAndEndsOnEsc)
{
    ClickControl(MainItem(IDC_OPEN_MODAL));
    HWND hModal = WaitForModal();
    ASSERT_NE(hModal, nullptr) << Log();
    EXPECT_EQ(::GetWindow(hModal, GW_OWNER), m_hMain);
    EXPECT_FALSE(::IsWindowEnabled(m_hMain));
    EXPECT_EQ(CountLines("modal up; main window enabled 0"), 1) << Log();
    SaveTestScreen(hModal, "modal");

    ClickControl(::GetDlgItem(hModal, IDC_ASK));
    HWND hBox = WaitForWindow([](HWND hWnd) { return IsMessageBox(hWnd); });
    ASSERT_NE(hBox, nullptr) << Log();
    const BoxRecord box = ReadMessageBox(hBox);
    EXPECT_EQ(box.text, "Keep the changes?");
    EXPECT_EQ(box.caption, "foundation_sample_program");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDYES, IDNO}));
    EXPECT_EQ(box.owner, hModal);
    SaveTestScreen(hBox, "box-in-modal");
    ClickControl(::GetDlgItem(hBox, IDNO));
    ASSERT_TRUE(WaitForLine("box answered 7")) << Log();

    BringToFront(hModal);
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(WaitForLine("modal returned 2; main window enabled 1")) << Log();
    EXPECT_TRUE(::IsWindowEnabled(m_hMain));
}

TEST_F(SampleProgram, TheListsMenuRunsTheListsCommandAndThePagesStrayCommandStaysOnThePage)
{
    HWND hList = PageItem(IDC_LIST);
    RECT header;
    ::GetWindowRect(::FindWindowExA(hList, NULL, "SysHeader32", NULL), &header);
    ClickAt(POINT{header.left + 30, header.bottom + 6}, MouseButton::Right);
    ASSERT_NE(WaitForMenu(), nullptr) << Log();
    EXPECT_EQ(CountLines("list menu opens on row 0, owned by the list"), 1) << Log();
    SaveTestScreen(NULL, "list-menu-open");
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitForLine("list marks row 0")) << Log();

    RECT page;
    ::GetWindowRect(m_hPage, &page);
    ClickAt(POINT{page.right - 20, page.top + 8}, MouseButton::Right);
    ASSERT_TRUE(WaitForLine("page menu opens")) << Log();
    ASSERT_NE(WaitForMenu(), nullptr);
    PressKey(VK_DOWN);
    PressKey(VK_RETURN);
    ASSERT_TRUE(WaitForLine("page command 32772")) << Log();
    PumpFor(200);
    EXPECT_EQ(CountLines("main command 32772"), 0) << Log();
    EXPECT_TRUE(::IsWindowVisible(m_hMain));
}

TEST_F(SampleProgram, HelpButtonsAskForTheirDialogsTopics)
{
    ClickControl(PageItem(HELP_BUTTON));
    ASSERT_TRUE(WaitForLine("WinHelp 0x2012d 1")) << Log(); // 0x20000 + the page's 301
    ClickControl(MainItem(HELP_BUTTON));
    ASSERT_TRUE(WaitForLine("WinHelp 0x2012c 1")) << Log(); // 0x20000 + the main dialog's 300
    EXPECT_EQ(LogLines().size(), 4u) << Log();
}

TEST_F(SampleProgram, TheOwnerDrawnButtonShowsItsPressedFace)
{
    HWND hSave = PageItem(IDC_SAVE);
    BringToFront(m_hMain);
    const POINT centre = CentreOf(hSave);
    PressMouseAt(centre);
    CDib pressed = SaveTestScreen(m_hMain, "pressed-button");
    ReleaseMouseAt(centre);
    ASSERT_TRUE(WaitForLine("save 1: name 'Browser' number 0")) << Log();
    CDib raised = CaptureWindow(m_hMain);

    const RECT button = RectIn(hSave, m_hMain);
    EXPECT_GT(pressed.CountColour(PRESSED_FACE, button), Area(button) / 2);
    EXPECT_GT(raised.CountColour(RAISED_FACE, button), Area(button) / 2);
}

TEST_F(SampleProgram, APopupDeletesItselfFromItsTimer)
{
    ClickControl(MainItem(IDC_SHOW_POPUP));
    ASSERT_TRUE(WaitForLine("popup deleted")) << Log();
    EXPECT_EQ(CountLines("popup timer 1"), 1);

    ::PostMessageA(m_hMain, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(), 0u);
    EXPECT_EQ(CountLines("ExitInstance; pop-ups alive 0"), 1) << Log();
}

TEST_F(SampleProgram, DestroyingTheMainWindowDuringTheModalDialogEndsTheProgramOnce)
{
    ClickControl(MainItem(IDC_OPEN_MODAL));
    HWND hModal = WaitForModal();
    ASSERT_NE(hModal, nullptr) << Log();

    ClickControl(::GetDlgItem(hModal, IDC_CLOSE_ALL));

    EXPECT_EQ(WaitForExit(), 0u) << Log();
    const std::vector<std::string> lines = LogLines();
    const std::vector<std::string> tail = {"main window destroys itself",
                                           "modal returned -1; main window enabled 0",
                                           "ExitInstance; pop-ups alive 0"};
    ASSERT_GE(lines.size(), tail.size()) << Log();
    EXPECT_EQ(std::vector<std::string>(lines.end() - tail.size(), lines.end()), tail) << Log();
}

} // namespace
