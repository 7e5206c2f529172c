// Data exchange between a page's controls and its members.
#include <gtest/gtest.h>

#include <string>

#include "FoundationUi.h"
#include "GuiPump.h"
#include "UiTestIds.h"

namespace
{
// Counts what reaches a bound edit control.
class CCountingEdit : public CWnd
{
public:
    int m_nSetText = 0;

protected:
    afx_msg LRESULT OnSetText(WPARAM, LPARAM)
    {
        ++m_nSetText;
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CCountingEdit, CWnd)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

class CDataPage : public CDialog
{
public:
    CDataPage() : CDialog(IDD_PAGE) {}

    CCountingEdit m_textEdit;
    CString m_strText;
    int m_nNumber = 0;
    CTime m_date;
    BOOL m_bWithMissingControl = FALSE;
    int m_nChanges = 0;

    void OnOK() override {}
    void OnCancel() override {}

protected:
    void DoDataExchange(CDataExchange *pDX) override
    {
        DDX_Control(pDX, IDC_TEXT, m_textEdit);
        DDX_Text(pDX, IDC_TEXT, m_strText);
        DDX_Text(pDX, IDC_NUMBER, m_nNumber);
        DDX_DateTimeCtrl(pDX, IDC_DATE, m_date);
        if (m_bWithMissingControl)
            DDX_Text(pDX, IDD_MISSING, m_strText);
    }
    afx_msg void OnTextChange() { ++m_nChanges; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDataPage, CDialog)
    ON_EN_CHANGE(IDC_TEXT, OnTextChange)
    ON_EN_CHANGE(IDC_NUMBER, OnTextChange)
END_MESSAGE_MAP()

class DataExchangeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_main.Create(IDD_MAIN));
        ASSERT_TRUE(m_page.Create(IDD_PAGE, &m_main));
    }
    void TearDown() override
    {
        m_main.DestroyWindow();
        AfxDeleteTempObjects();
    }
    struct WindowSearch
    {
        HWND hWndMain;
        int nFound;
    };
    static BOOL CALLBACK CountVisibleOther(HWND hWnd, LPARAM lParam)
    {
        WindowSearch *pSearch = reinterpret_cast<WindowSearch *>(lParam);
        if (hWnd != pSearch->hWndMain && ::IsWindowVisible(hWnd))
            ++pSearch->nFound;
        return TRUE;
    }
    // Visible windows of this thread other than the main dialog (a message box).
    static int CountOtherTopLevelWindows(HWND hWndMain)
    {
        WindowSearch search = {hWndMain, 0};
        ::EnumThreadWindows(::GetCurrentThreadId(), CountVisibleOther, reinterpret_cast<LPARAM>(&search));
        return search.nFound;
    }

    CDialog m_main{IDD_MAIN};
    CDataPage m_page;
};

TEST_F(DataExchangeTest, TextRoundTrips)
{
    const CString kTexts[] = {"", "\xD6\xD0\xCE\xC4 mixed \\ text", CString('x', 1000)};
    for (const CString &text : kTexts)
    {
        m_page.m_strText = text;
        ASSERT_TRUE(m_page.UpdateData(FALSE));
        m_page.m_strText = "overwritten";
        ASSERT_TRUE(m_page.UpdateData(TRUE));
        EXPECT_STREQ(text, m_page.m_strText) << text.GetLength();
    }
}

struct NumberCase
{
    const char *pszTyped;
    int nSaved;
};

class NumberSaveTest : public DataExchangeTest, public ::testing::WithParamInterface<NumberCase>
{
};

TEST_P(NumberSaveTest, SavesTheLeadingNumberWithoutValidating)
{
    m_page.SetDlgItemText(IDC_NUMBER, GetParam().pszTyped);
    m_page.m_nNumber = 99;
    EXPECT_TRUE(m_page.UpdateData(TRUE));
    EXPECT_EQ(GetParam().nSaved, m_page.m_nNumber);
    PumpFor(0);
    EXPECT_EQ(0, CountOtherTopLevelWindows(m_main.m_hWnd));
}

const NumberCase kNumberCases[] = {{"12abc", 12}, {"", 0}, {"-5", -5}, {"abc", 0}, {"2147483647", 2147483647}};
INSTANTIATE_TEST_SUITE_P(Typed, NumberSaveTest, ::testing::ValuesIn(kNumberCases));

TEST_F(DataExchangeTest, NumberLoadsAsDecimal)
{
    m_page.m_nNumber = -2147483647 - 1;
    ASSERT_TRUE(m_page.UpdateData(FALSE));
    CString text;
    m_page.GetDlgItemText(IDC_NUMBER, text);
    EXPECT_STREQ("-2147483648", text);
}

TEST_F(DataExchangeTest, LoadingTheSameTextSetsNothingAndNotificationsAreHeldBack)
{
    m_page.m_strText = "same";
    ASSERT_TRUE(m_page.UpdateData(FALSE));
    const int nSetText = m_page.m_textEdit.m_nSetText;
    m_page.m_nChanges = 0;
    ASSERT_TRUE(m_page.UpdateData(FALSE));
    EXPECT_EQ(nSetText, m_page.m_textEdit.m_nSetText);

    // A changed text is set once; its EN_CHANGE is dropped while the exchange runs.
    m_page.m_strText = "changed";
    ASSERT_TRUE(m_page.UpdateData(FALSE));
    EXPECT_EQ(nSetText + 1, m_page.m_textEdit.m_nSetText);
    EXPECT_EQ(0, m_page.m_nChanges);
    // Outside an exchange the page hears about changes.
    m_page.SetDlgItemText(IDC_TEXT, "typed");
    EXPECT_EQ(1, m_page.m_nChanges);
}

TEST_F(DataExchangeTest, DateBefore1970RoundTripsInLocalTime)
{
    const CTime kDates[] = {CTime(1965, 7, 4, 0, 0, 0), CTime(1969, 12, 31, 0, 0, 0), CTime(2040, 1, 2, 0, 0, 0)};
    for (const CTime &date : kDates)
    {
        m_page.m_date = date;
        ASSERT_TRUE(m_page.UpdateData(FALSE));
        m_page.m_date = CTime();
        ASSERT_TRUE(m_page.UpdateData(TRUE));
        EXPECT_EQ(date.GetTime(), m_page.m_date.GetTime());
    }
}

TEST_F(DataExchangeTest, AMissingControlFailsTheExchangeQuietly)
{
    m_page.m_bWithMissingControl = TRUE;
    EXPECT_FALSE(m_page.UpdateData(TRUE));
    EXPECT_FALSE(m_page.UpdateData(FALSE));
    m_page.m_bWithMissingControl = FALSE;
    EXPECT_TRUE(m_page.UpdateData(TRUE));
}

TEST(DataExchange, ControlOfAMissingIdFailsAndBindsNothing)
{
    CDialog main(IDD_MAIN);
    ASSERT_TRUE(main.Create(IDD_MAIN));
    CWnd control;
    CDataExchange dx(&main, FALSE);
    DDX_Control(&dx, IDD_MISSING, control);
    EXPECT_TRUE(dx.HasFailed());
    EXPECT_EQ(NULL, control.m_hWnd);
    main.DestroyWindow();
}
} // namespace
