// CWnd members that do more than forward one call.
#include <gtest/gtest.h>

#include "FoundationUi.h"
#include "UiTestIds.h"

namespace
{
TEST(RegisterWndClass, OneNamePerSetOfArgumentsForTheLifeOfTheProcess)
{
    LPCTSTR pszPlain = AfxRegisterWndClass(0);
    LPCTSTR pszAgain = AfxRegisterWndClass(0);
    LPCTSTR pszOther = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorA(NULL, IDC_ARROW));
    ASSERT_NE(nullptr, pszPlain);
    ASSERT_NE(nullptr, pszOther);
    EXPECT_EQ(pszPlain, pszAgain);
    EXPECT_STRNE(pszPlain, pszOther);
    WNDCLASSA wc;
    ASSERT_TRUE(::GetClassInfoA(AfxGetInstanceHandle(), pszOther, &wc));
    EXPECT_EQ(static_cast<UINT>(CS_DBLCLKS), wc.style);
}

TEST(Members, GetWindowTextTakesAnyLength)
{
    CWnd edit;
    ASSERT_TRUE(edit.CreateEx(0, "Edit", "", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 100, 20, NULL, NULL));
    edit.SendMessage(EM_LIMITTEXT, 0);
    const CString kLong('y', 5000);
    edit.SetWindowText(kLong);
    CString text;
    edit.GetWindowText(text);
    EXPECT_EQ(5000, text.GetLength());
    EXPECT_STREQ(kLong, text);
    EXPECT_EQ(5000, edit.GetWindowTextLength());
    edit.DestroyWindow();
}

TEST(Members, GetOwnerIsTheOwnerElseTheParent)
{
    CDialog main(IDD_MAIN);
    ASSERT_TRUE(main.Create(IDD_MAIN));
    CDialog page(IDD_PAGE);
    ASSERT_TRUE(page.Create(IDD_PAGE, &main));
    CDialog popup(IDD_POPUP);
    ASSERT_TRUE(popup.Create(IDD_POPUP, &page));

    EXPECT_EQ(&main, popup.GetOwner());
    EXPECT_EQ(&main, popup.GetParent());   // a pop-up's parent is its owner
    EXPECT_EQ(&main, page.GetOwner());
    EXPECT_EQ(&page, page.GetDlgItem(IDC_TEXT)->GetOwner());
    EXPECT_EQ(nullptr, main.GetOwner());
    popup.DestroyWindow();
    main.DestroyWindow();
    AfxDeleteTempObjects();
}

TEST(Members, ModifyStyleChangesTheStyleAndReportsAChange)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "styled", WS_POPUP, 0, 0, 50, 50, NULL, NULL));
    EXPECT_TRUE(wnd.ModifyStyle(0, WS_CAPTION, SWP_FRAMECHANGED));
    EXPECT_EQ(static_cast<DWORD>(WS_CAPTION), wnd.GetStyle() & WS_CAPTION);
    // The frame was recomputed: the caption takes part of the window.
    CRect rcWindow, rcClient;
    wnd.GetWindowRect(&rcWindow);
    wnd.GetClientRect(&rcClient);
    EXPECT_LT(rcClient.Height(), rcWindow.Height());
    EXPECT_FALSE(wnd.ModifyStyle(0, WS_CAPTION));
    EXPECT_TRUE(wnd.ModifyStyleEx(0, WS_EX_TOOLWINDOW));
    EXPECT_TRUE(wnd.GetExStyle() & WS_EX_TOOLWINDOW);
    wnd.DestroyWindow();
}

TEST(Members, GetFontIsNullWithoutAFontAndTheFontAfterSetFont)
{
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, "Static", "text", WS_POPUP, 0, 0, 50, 20, NULL, NULL));
    EXPECT_EQ(nullptr, wnd.GetFont());
    CFont font;
    ASSERT_TRUE(font.CreateFont(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
    wnd.SetFont(&font);
    ASSERT_NE(nullptr, wnd.GetFont());
    EXPECT_EQ(font.m_hObject, wnd.GetFont()->m_hObject);
    wnd.DestroyWindow();
    AfxDeleteTempObjects();
}
} // namespace
