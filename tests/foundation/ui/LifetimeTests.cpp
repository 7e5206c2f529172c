// Windows whose objects end with them: PostNcDestroy deleting the object,
// "delete this" inside the object's own handlers, owned windows going with
// their owner, and deleting an object whose window lives. Run with Wine's
// heap checks; a heap complaint fails the program.
#include <gtest/gtest.h>

#include <string>

#include "FoundationUi.h"
#include "RealInput.h"
#include "TestScreens.h"
#include "GuiPump.h"
#include "RefusedWindows.h"
#include "UiTestIds.h"

namespace
{
int g_nLiveObjects = 0;
std::string g_log;

// A modeless pop-up that deletes itself when its window is gone.
class CSelfDeletingPopup : public CDialog
{
public:
    explicit CSelfDeletingPopup(UINT nTimerDelay = 0) : CDialog(IDD_POPUP), m_nTimerDelay(nTimerDelay)
    {
        ++g_nLiveObjects;
    }
    ~CSelfDeletingPopup() override { --g_nLiveObjects; }

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (m_nTimerDelay != 0)
            SetTimer(1, m_nTimerDelay);
        return TRUE;
    }
    // The timer ends the object, which destroys the window.
    afx_msg void OnTimer(UINT)
    {
        KillTimer(1);
        g_log += "timer;";
        delete this;
    }
    // The Close button ends the object the same way.
    void OnCancel() override
    {
        g_log += "close;";
        delete this;
    }
    void PostNcDestroy() override
    {
        g_log += "postncdestroy;";
        delete this;
    }

    UINT m_nTimerDelay;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfDeletingPopup, CDialog)
    ON_WM_TIMER()
END_MESSAGE_MAP()

class CLoggingWnd : public CWnd
{
public:
    CLoggingWnd() { ++g_nLiveObjects; }
    ~CLoggingWnd() override { --g_nLiveObjects; }

protected:
    afx_msg void OnDestroy() { g_log += "destroy;"; }
    void PostNcDestroy() override { g_log += "postncdestroy;"; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CLoggingWnd, CWnd)
    ON_WM_DESTROY()
END_MESSAGE_MAP()

// A self-deleting window whose creation fails in its own OnCreate.
class CRefusingWnd : public CLoggingWnd
{
protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
    void PostNcDestroy() override
    {
        CLoggingWnd::PostNcDestroy();
        delete this;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CRefusingWnd, CLoggingWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

class LifetimeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_log.clear();
        g_nLiveObjects = 0;
    }
    void TearDown() override
    {
        PumpFor(0);
        AfxDeleteTempObjects();
        EXPECT_EQ(0, g_nLiveObjects);
    }
};

TEST_F(LifetimeTest, DestroyWindowEndsAnObjectThatDeletesItselfAfterTheLastMessage)
{
    CSelfDeletingPopup *pPopup = new CSelfDeletingPopup;
    ASSERT_TRUE(pPopup->Create(IDD_POPUP));
    HWND hWnd = pPopup->m_hWnd;
    EXPECT_TRUE(pPopup->DestroyWindow());
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ("postncdestroy;", g_log);
}

TEST_F(LifetimeTest, DeleteThisInsideTheObjectsOwnTimer)
{
    CDialog owner(IDD_MAIN);
    ASSERT_TRUE(owner.Create(IDD_MAIN));
    CSelfDeletingPopup *pPopup = new CSelfDeletingPopup(10);
    ASSERT_TRUE(pPopup->Create(IDD_POPUP, &owner));
    HWND hWnd = pPopup->m_hWnd;
    EXPECT_TRUE(PumpUntil([] { return g_nLiveObjects == 0; }));
    EXPECT_FALSE(::IsWindow(hWnd));
    // The window died with its object: no PostNcDestroy of a deleted object.
    EXPECT_EQ("timer;", g_log);
    owner.DestroyWindow();
}

TEST_F(LifetimeTest, DeleteThisInsideAButtonHandler)
{
    CSelfDeletingPopup *pPopup = new CSelfDeletingPopup;
    ASSERT_TRUE(pPopup->Create(IDD_POPUP));
    pPopup->SetWindowPos(NULL, 200, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    pPopup->ShowWindow(SW_SHOW);
    pPopup->SetForegroundWindow();
    HWND hWnd = pPopup->m_hWnd;
    PumpFor(0);
    SaveTestScreen(hWnd, "popup_before_close");
    ClickControl(::GetDlgItem(hWnd, IDCANCEL));
    EXPECT_TRUE(PumpUntil([] { return g_nLiveObjects == 0; }));
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ("close;", g_log);
}

// The window dies inside Create: the object is the caller's, deleted once.
TEST_F(LifetimeTest, AFailedCreateLeavesTheSelfDeletingObjectToItsCaller)
{
    CSelfDeletingPopup *pPopup = new CSelfDeletingPopup;
    {
        CRefusedWindows noButtons("Button"); // the template's Close button
        EXPECT_FALSE(pPopup->Create(IDD_POPUP));
        EXPECT_GT(noButtons.Refused(), 0);
    }
    EXPECT_EQ(NULL, pPopup->m_hWnd);
    EXPECT_EQ(1, g_nLiveObjects);
    EXPECT_EQ("", g_log);
    delete pPopup;

    CRefusingWnd *pWnd = new CRefusingWnd;
    EXPECT_FALSE(pWnd->CreateEx(0, AfxRegisterWndClass(0), "refused", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    EXPECT_EQ(NULL, pWnd->m_hWnd);
    EXPECT_EQ(1, g_nLiveObjects);
    EXPECT_EQ("", g_log); // Wine ends it without WM_DESTROY
    delete pWnd;

    // Created, the same kind of object goes with its window alone.
    g_log.clear();
    pPopup = new CSelfDeletingPopup;
    ASSERT_TRUE(pPopup->Create(IDD_POPUP));
    pPopup->DestroyWindow();
    EXPECT_EQ(0, g_nLiveObjects);
    EXPECT_EQ("postncdestroy;", g_log);
}

TEST_F(LifetimeTest, AnOwnedPopupGoesWithItsOwnerThroughPostNcDestroy)
{
    CDialog owner(IDD_MAIN);
    ASSERT_TRUE(owner.Create(IDD_MAIN));
    CDialog page(IDD_PAGE);
    ASSERT_TRUE(page.Create(IDD_PAGE, &owner));
    // Under the page: the main dialog owns it.
    CSelfDeletingPopup *pPopup = new CSelfDeletingPopup;
    ASSERT_TRUE(pPopup->Create(IDD_POPUP, &page));
    owner.DestroyWindow();
    EXPECT_EQ(0, g_nLiveObjects);
    EXPECT_EQ("postncdestroy;", g_log);
    EXPECT_EQ(NULL, page.m_hWnd);
}

TEST_F(LifetimeTest, EndDialogOfAModelessDialogOnlyHidesIt)
{
    CDialog popup(IDD_POPUP);
    ASSERT_TRUE(popup.Create(IDD_POPUP));
    popup.ShowWindow(SW_SHOWNA);
    popup.EndDialog(IDOK);
    PumpFor(0);
    EXPECT_TRUE(::IsWindow(popup.m_hWnd));
    EXPECT_FALSE(popup.IsWindowVisible());
    popup.DestroyWindow();
}

TEST_F(LifetimeTest, DeletingTheObjectOfALiveWindowDestroysItWithoutItsHandlers)
{
    CLoggingWnd *pWnd = new CLoggingWnd;
    ASSERT_TRUE(pWnd->CreateEx(0, AfxRegisterWndClass(0), "live", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    HWND hWnd = pWnd->m_hWnd;
    delete pWnd;
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(hWnd));
    EXPECT_EQ("", g_log);
}

TEST_F(LifetimeTest, DestroyingAWindowRunsOnDestroyThenPostNcDestroy)
{
    CLoggingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "live", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ("destroy;postncdestroy;", g_log);
    EXPECT_FALSE(wnd.DestroyWindow());
}

TEST_F(LifetimeTest, TemporariesAreReleasedAtTheIdleCleanUpUnlessLocked)
{
    CLoggingWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), "live", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    HWND hButton = ::CreateWindowExA(0, "Button", "b", WS_CHILD, 0, 0, 5, 5, wnd.m_hWnd, NULL, NULL, NULL);
    CWnd *pTemporary = CWnd::FromHandle(hButton);
    EXPECT_NE(nullptr, pTemporary);
    EXPECT_EQ(pTemporary, CWnd::FromHandle(hButton));
    EXPECT_EQ(NULL, CWnd::FromHandlePermanent(hButton));

    AfxLockTempMaps();
    AfxDeleteTempObjects();
    EXPECT_EQ(hButton, pTemporary->m_hWnd);   // still the same object
    EXPECT_TRUE(AfxUnlockTempMaps());
    // Released: the temporary never owned the window.
    EXPECT_TRUE(::IsWindow(hButton));
    wnd.DestroyWindow();
}
} // namespace
