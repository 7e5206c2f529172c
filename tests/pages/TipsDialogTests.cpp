// The tips window over a fresh program folder whose Language.ini holds three
// tips: which tip opens, what is stored and when, and how it closes, driven
// by real clicks and keys.
#include "TipsDialog.h"

#include "ConsoleMessages.h"
#include "OptionsResources.h"

#include "GuiPump.h"
#include "HostDialog.h"
#include "ProgramFolderFixture.h"
#include "RealInput.h"
#include "TestScreens.h"

#include <DataBase.h>
#include <MessageMap.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The main window's part: it keeps the pointer of the open tips window and
// forgets it on WM_TIPS_CLOSED.
class CTipsOwner : public CWnd
{
public:
    CTipsDialog *m_tips = nullptr;
    int m_closedCount = 0;

protected:
    afx_msg LRESULT OnTipsClosed(WPARAM, LPARAM)
    {
        ++m_closedCount;
        m_tips = nullptr;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTipsOwner, CWnd)
    ON_MESSAGE(WM_TIPS_CLOSED, OnTipsClosed)
END_MESSAGE_MAP()

std::string Text(HWND window)
{
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

class TipsDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_settings.Open(m_folder.File("Config.dat"));
        SetTipCount("3");
        m_host.Show();
        ASSERT_TRUE(m_owner.SubclassWindow(m_host.Handle()));
    }

    void TearDown() override
    {
        if (m_owner.m_tips)
            m_owner.m_tips->DestroyWindow();
        m_owner.UnsubclassWindow();
    }

    void SetTipCount(const char *count)
    {
        const CString file = m_folder.LanguageFile();
        WritePrivateProfileStringA("DLG_TIPS", "Tips_Count", count, file);
        for (int i = 0; i < 3; ++i) {
            const std::string key = "Tips_" + std::to_string(i);
            WritePrivateProfileStringA("DLG_TIPS", key.c_str(), ("Tip number " + std::to_string(i)).c_str(), file);
        }
    }

    void StoreTipIndex(const char *value) { ASSERT_TRUE(m_settings.SetString("TipIndex", value, "Options")); }
    std::string Stored(const char *key) { return static_cast<LPCTSTR>(m_settings.GetString(key, "Options")); }

    // Opens the window as the main window does and waits for its layout.
    CTipsDialog *Open()
    {
        CTipsDialog *tips = new CTipsDialog(&m_owner, m_settings, m_folder.LanguageFile(), m_folder.SkinFile(""));
        EXPECT_TRUE(tips->CreateAndShow());
        m_owner.m_tips = tips;
        m_window = tips->GetSafeHwnd();
        PumpFor(200);
        return tips;
    }

    // A second click on the same control, late enough not to make a
    // double click of the two.
    static void ClickAgain(HWND control)
    {
        PumpFor(GetDoubleClickTime() + 100);
        ClickControl(control);
    }

    HWND Control(int id) const { return GetDlgItem(m_window, id); }
    std::string ShownTip() const { return Text(Control(IDC_TIPS_TEXT)); }

    CProgramFolderFixture m_folder;
    CDataBase m_settings;
    CHostDialog m_host;
    CTipsOwner m_owner;
    HWND m_window = nullptr;
};

struct IndexCase {
    const char *name;
    const char *stored;
    int shown;
    const char *storedAtClose;
};

class TipsIndexTable : public TipsDialogTest, public ::testing::WithParamInterface<IndexCase>
{
};

TEST_P(TipsIndexTable, OpensOnTheStoredTipAndStoresTheNextAtClose)
{
    const IndexCase &c = GetParam();
    StoreTipIndex(c.stored);
    Open();
    EXPECT_EQ(ShownTip(), "Tip number " + std::to_string(c.shown));
    ClickControl(Control(IDCANCEL));
    EXPECT_EQ(Stored("TipIndex"), c.storedAtClose);
    EXPECT_EQ(m_owner.m_closedCount, 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, TipsIndexTable,
                         ::testing::Values(IndexCase{"First", "0", 0, "1"}, IndexCase{"Last", "2", 2, "3"},
                                           IndexCase{"PastTheEnd", "3", 0, "1"},
                                           IndexCase{"NotANumber", "abc", 0, "1"},
                                           IndexCase{"Negative", "-1", 0, "1"}),
                         [](const ::testing::TestParamInfo<IndexCase> &info) { return std::string(info.param.name); });

TEST_F(TipsDialogTest, ShowsItsTextsAndNextWrapsToTheFirstTip)
{
    StoreTipIndex("2");
    Open();
    EXPECT_EQ(Text(Control(IDC_TIPS_TITLE)), "Tips");
    EXPECT_EQ(Text(Control(IDC_TIPS_HEADING)), "Did you know...");
    EXPECT_EQ(Text(Control(IDC_TIPS_SHOW_AT_START)), "Show tips at startup");
    SaveTestScreen(m_window, "opened");
    ClickControl(Control(IDC_TIPS_NEXT));
    EXPECT_EQ(ShownTip(), "Tip number 0");
    ClickAgain(Control(IDC_TIPS_NEXT));
    EXPECT_EQ(ShownTip(), "Tip number 1");
    SaveTestScreen(m_window, "after-next");
    ClickControl(Control(IDC_TIPS_CROSS));
    EXPECT_EQ(Stored("TipIndex"), "2");
}

TEST_F(TipsDialogTest, TheBoxStoresItsMarkAtOnce)
{
    ASSERT_TRUE(m_settings.SetEnableShowTips(1));
    CTipsDialog *tips = Open();
    ClickControl(Control(IDC_TIPS_SHOW_AT_START));
    EXPECT_EQ(Stored("EnableShowTips"), "0");
    EXPECT_EQ(m_owner.m_tips, tips) << "the window closed";
    SaveTestScreen(m_window, "box-cleared");
    ClickAgain(Control(IDC_TIPS_SHOW_AT_START));
    EXPECT_EQ(Stored("EnableShowTips"), "1");
    ClickControl(Control(IDCANCEL));
}

// Close, the cross and Esc: the index stored, the owner told once, the
// window gone, and the next opening is a new window.
class TipsClosing : public TipsDialogTest, public ::testing::WithParamInterface<int>
{
};

TEST_P(TipsClosing, StoresTellsTheOwnerAndGoes)
{
    StoreTipIndex("1");
    Open();
    const HWND first = m_window;
    switch (GetParam()) {
    case IDCANCEL:
    case IDC_TIPS_CROSS:
        ClickControl(Control(GetParam()));
        break;
    default:
        BringToFront(m_window);
        PressKey(VK_ESCAPE);
        break;
    }
    PumpFor(100);
    EXPECT_EQ(Stored("TipIndex"), "2");
    EXPECT_EQ(m_owner.m_closedCount, 1);
    EXPECT_EQ(m_owner.m_tips, nullptr);
    EXPECT_FALSE(IsWindow(first));
    Open();
    EXPECT_TRUE(IsWindow(m_window));
    EXPECT_EQ(ShownTip(), "Tip number 2");
    ClickControl(Control(IDCANCEL));
    EXPECT_EQ(m_owner.m_closedCount, 2);
}

INSTANTIATE_TEST_SUITE_P(Ways, TipsClosing, ::testing::Values(IDCANCEL, IDC_TIPS_CROSS, 0),
                         [](const ::testing::TestParamInfo<int> &info) {
                             return std::string(info.param == IDCANCEL ? "Close"
                                                : info.param ? "Cross" : "Escape");
                         });

TEST_F(TipsDialogTest, EnterOnlyHidesTheWindow)
{
    StoreTipIndex("0");
    CTipsDialog *tips = Open();
    BringToFront(m_window);
    PressKey(VK_RETURN);
    PumpFor(100);
    EXPECT_TRUE(IsWindow(m_window));
    EXPECT_FALSE(IsWindowVisible(m_window));
    EXPECT_EQ(m_owner.m_tips, tips);
    EXPECT_EQ(m_owner.m_closedCount, 0);
    EXPECT_EQ(Stored("TipIndex"), "0");
}

TEST_F(TipsDialogTest, WithoutTipsShowsAnEmptyTipAndStoresZero)
{
    SetTipCount("0");
    StoreTipIndex("2");
    Open();
    EXPECT_EQ(ShownTip(), "");
    ClickControl(Control(IDC_TIPS_NEXT));
    EXPECT_EQ(ShownTip(), "");
    SaveTestScreen(m_window, "empty");
    ClickControl(Control(IDCANCEL));
    EXPECT_EQ(Stored("TipIndex"), "0");
}

TEST_F(TipsDialogTest, AHugeCountReadsAThousandTips)
{
    SetTipCount("2147483647");
    m_folder.ExpectMiss(KIT_MISSING_TEXT, "DLG_TIPS/Tips_");
    StoreTipIndex("999");
    CTipsDialog *tips = Open();
    EXPECT_EQ(ShownTip(), "");
    EXPECT_EQ(tips->NextIndex(), 1000u);
    ClickControl(Control(IDC_TIPS_NEXT));
    EXPECT_EQ(ShownTip(), "Tip number 0");
    ClickControl(Control(IDCANCEL));
    EXPECT_EQ(Stored("TipIndex"), "1");
}

} // namespace
