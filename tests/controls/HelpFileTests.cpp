// The shipped help file opened the way the console opens a topic: HTML Help
// from hhctrl.ocx, loaded on first use. Wine has no HTML engine here, so the
// window shows no page; that it opens, and with what title, is what a test
// can see.
#include <GuiPump.h>
#include <TestScreens.h>

#include <gtest/gtest.h>

#include <string>

namespace {

const UINT kDisplayTopic = 0;   // HH_DISPLAY_TOPIC
typedef HWND(WINAPI *HtmlHelpProc)(HWND owner, LPCSTR file, UINT command, DWORD_PTR data);

std::string ProgramFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1) + "..\\program\\";
}

class HelpFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_library = LoadLibraryA("hhctrl.ocx");
        ASSERT_NE(nullptr, m_library);
        m_htmlHelp = reinterpret_cast<HtmlHelpProc>(reinterpret_cast<void (*)()>(GetProcAddress(m_library, "HtmlHelpA")));
        ASSERT_NE(nullptr, m_htmlHelp);
    }
    void TearDown() override
    {
        if (m_window && IsWindow(m_window))
            DestroyWindow(m_window);
        PumpFor(100);
    }

    HMODULE m_library = nullptr;
    HtmlHelpProc m_htmlHelp = nullptr;
    HWND m_window = nullptr;
};

TEST_F(HelpFileTest, TheStartPageOpensAWindowTitledAsTheHelpFile)
{
    const std::string topic = ProgramFolder() + "Ferrowind.chm::/Welcome.htm";
    m_window = m_htmlHelp(nullptr, topic.c_str(), kDisplayTopic, 0);
    ASSERT_NE(nullptr, m_window);
    PumpFor(500);
    char title[256] = {};
    GetWindowTextA(m_window, title, sizeof title);
    EXPECT_STREQ("Ferrowind Help", title);
    SaveTestScreen(m_window, "welcome");
}

TEST_F(HelpFileTest, AMissingHelpFileOpensNoWindow)
{
    const std::string topic = ProgramFolder() + "NoSuchHelp.chm::/Welcome.htm";
    m_window = m_htmlHelp(nullptr, topic.c_str(), kDisplayTopic, 0);
    EXPECT_EQ(nullptr, m_window);
}

} // namespace
