// A control's notifications are handed back to the control's own map first:
// the plain reflected forms consume them, the "_EX" forms consume them only
// when they return TRUE, and the parent's map sees the rest.
#include <gtest/gtest.h>

#include <string>

#include "FoundationUi.h"

namespace
{
const UINT kChildId = 500;
const LRESULT kChildNotifyResult = 7;
const LRESULT kParentNotifyResult = 9;
HBRUSH ChildBrush() { return static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH)); }
HBRUSH ParentBrush() { return static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)); }

std::string g_log;

enum ChildKind
{
    kNoReflection,   // no reflected entries
    kPlain,          // the plain forms; the brush; DrawItem
    kExDeclines,     // the "_EX" forms returning FALSE; no brush; DrawItem declines
    kExConsumes,     // the "_EX" forms returning TRUE; the brush; DrawItem
};

class CChildNone : public CWnd
{
};

class CChildPlain : public CWnd
{
protected:
    afx_msg void OnClicked() { g_log += "child;"; }
    afx_msg void OnNotifyClick(NMHDR *, LRESULT *pResult)
    {
        g_log += "child;";
        *pResult = kChildNotifyResult;
    }
    afx_msg HBRUSH CtlColor(CDC *pDC, UINT nCtlColor)
    {
        g_log += nCtlColor == CTLCOLOR_STATIC && pDC != NULL ? "child;" : "child-wrong;";
        return ChildBrush();
    }
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *pResult) override
    {
        if (message != WM_DRAWITEM)
            return CWnd::OnChildNotify(message, wParam, lParam, pResult);
        g_log += "child-draw;";
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CChildPlain, CWnd)
    ON_CONTROL_REFLECT(STN_CLICKED, OnClicked)
    ON_NOTIFY_REFLECT(NM_CLICK, OnNotifyClick)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnNotifyClick)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CChildEx : public CWnd
{
public:
    explicit CChildEx(BOOL bConsume) : bConsume(bConsume) {}

protected:
    const BOOL bConsume;

    afx_msg BOOL OnClicked()
    {
        g_log += "child;";
        return bConsume;
    }
    afx_msg BOOL OnNotifyClick(NMHDR *, LRESULT *pResult)
    {
        g_log += "child;";
        *pResult = kChildNotifyResult;
        return bConsume;
    }
    afx_msg HBRUSH CtlColor(CDC *, UINT)
    {
        g_log += "child;";
        return bConsume ? ChildBrush() : NULL;
    }
    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT *pResult) override
    {
        if (message != WM_DRAWITEM)
            return CWnd::OnChildNotify(message, wParam, lParam, pResult);
        g_log += "child-draw;";
        return bConsume;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CChildEx, CWnd)
    ON_CONTROL_REFLECT_EX(STN_CLICKED, OnClicked)
    ON_NOTIFY_REFLECT_EX(NM_CLICK, OnNotifyClick)
    ON_NOTIFY_REFLECT_EX(NM_CUSTOMDRAW, OnNotifyClick)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

class CParentNone : public CWnd
{
};

class CParentWithHandlers : public CWnd
{
protected:
    afx_msg void OnClicked() { g_log += "parent;"; }
    afx_msg void OnNotifyClick(NMHDR *, LRESULT *pResult)
    {
        g_log += "parent;";
        *pResult = kParentNotifyResult;
    }
    afx_msg LRESULT OnCtlColorStatic(WPARAM, LPARAM)
    {
        g_log += "parent;";
        return reinterpret_cast<LRESULT>(ParentBrush());
    }
    afx_msg LRESULT OnDrawItem(WPARAM, LPARAM)
    {
        g_log += "parent-draw;";
        return 5;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWithHandlers, CWnd)
    ON_STN_CLICKED(kChildId, OnClicked)
    ON_NOTIFY(NM_CLICK, kChildId, OnNotifyClick)
    ON_NOTIFY(NM_CUSTOMDRAW, kChildId, OnNotifyClick)
    ON_MESSAGE(WM_CTLCOLORSTATIC, OnCtlColorStatic)
    ON_MESSAGE(WM_DRAWITEM, OnDrawItem)
END_MESSAGE_MAP()

enum Notification
{
    kStaticClicked,
    kNotifyClick,
    kCustomDraw,
    kCtlColorStatic,
    kDrawItem,
};

struct ReflectionCase
{
    const char *pszName;
    ChildKind child;
    bool bParentHandles;
    Notification notification;
    const char *pszLog;
    LRESULT lResult;   // -1: whatever the default procedure gives
};

const LRESULT kChildBrush = -2;
const LRESULT kParentBrush = -3;
const LRESULT kAny = -1;

const ReflectionCase kCases[] = {
    {"clicked_none_parent", kNoReflection, true, kStaticClicked, "parent;", 0},
    {"clicked_none_none", kNoReflection, false, kStaticClicked, "", 0},
    {"clicked_plain_parent", kPlain, true, kStaticClicked, "child;", 0},
    {"clicked_exfalse_parent", kExDeclines, true, kStaticClicked, "child;parent;", 0},
    {"clicked_exfalse_none", kExDeclines, false, kStaticClicked, "child;", 0},
    {"clicked_extrue_parent", kExConsumes, true, kStaticClicked, "child;", 0},
    {"nmclick_none_parent", kNoReflection, true, kNotifyClick, "parent;", kParentNotifyResult},
    {"nmclick_plain_parent", kPlain, true, kNotifyClick, "child;", kChildNotifyResult},
    {"nmclick_exfalse_parent", kExDeclines, true, kNotifyClick, "child;parent;", kParentNotifyResult},
    {"nmclick_exfalse_none", kExDeclines, false, kNotifyClick, "child;", 0},
    {"nmclick_extrue_parent", kExConsumes, true, kNotifyClick, "child;", kChildNotifyResult},
    {"customdraw_plain_none", kPlain, false, kCustomDraw, "child;", kChildNotifyResult},
    {"customdraw_none_parent", kNoReflection, true, kCustomDraw, "parent;", kParentNotifyResult},
    {"customdraw_extrue_parent", kExConsumes, true, kCustomDraw, "child;", kChildNotifyResult},
    {"ctlcolor_plain_parent", kPlain, true, kCtlColorStatic, "child;", kChildBrush},
    {"ctlcolor_null_parent", kExDeclines, true, kCtlColorStatic, "child;parent;", kParentBrush},
    {"ctlcolor_none_parent", kNoReflection, true, kCtlColorStatic, "parent;", kParentBrush},
    {"ctlcolor_null_none", kExDeclines, false, kCtlColorStatic, "child;", kAny},
    {"drawitem_plain_parent", kPlain, true, kDrawItem, "child-draw;", TRUE},
    {"drawitem_declines_parent", kExDeclines, true, kDrawItem, "child-draw;parent-draw;", 5},
    {"drawitem_none_parent", kNoReflection, true, kDrawItem, "parent-draw;", 5},
};

CWnd *NewChild(ChildKind kind)
{
    switch (kind)
    {
    case kPlain: return new CChildPlain;
    case kExDeclines: return new CChildEx(FALSE);
    case kExConsumes: return new CChildEx(TRUE);
    default: return new CChildNone;
    }
}

class ReflectionTest : public ::testing::TestWithParam<ReflectionCase>
{
};

TEST_P(ReflectionTest, HandlersRunInOrderAndTheResultIsTheConsumers)
{
    const ReflectionCase &c = GetParam();
    CWnd *pParent = c.bParentHandles ? static_cast<CWnd *>(new CParentWithHandlers) : new CParentNone;
    ASSERT_TRUE(pParent->CreateEx(0, AfxRegisterWndClass(0), "parent", WS_POPUP, 0, 0, 200, 100, NULL, NULL));
    CWnd *pChild = NewChild(c.child);
    ASSERT_TRUE(pChild->CreateEx(0, "Static", "child", WS_CHILD | SS_NOTIFY, 0, 0, 50, 20, pParent->m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<UINT_PTR>(kChildId))));

    g_log.clear();
    LRESULT lResult = 0;
    NMHDR nmhdr = {pChild->m_hWnd, kChildId, 0};
    switch (c.notification)
    {
    case kStaticClicked:
        lResult = pParent->SendMessage(WM_COMMAND, MAKEWPARAM(kChildId, STN_CLICKED),
                                       reinterpret_cast<LPARAM>(pChild->m_hWnd));
        break;
    case kNotifyClick:
    case kCustomDraw:
    {
        nmhdr.code = c.notification == kNotifyClick ? NM_CLICK : NM_CUSTOMDRAW;
        lResult = pParent->SendMessage(WM_NOTIFY, kChildId, reinterpret_cast<LPARAM>(&nmhdr));
        break;
    }
    case kCtlColorStatic:
    {
        HDC hDC = ::GetDC(pChild->m_hWnd);
        lResult = pParent->SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hDC),
                                       reinterpret_cast<LPARAM>(pChild->m_hWnd));
        ::ReleaseDC(pChild->m_hWnd, hDC);
        break;
    }
    case kDrawItem:
    {
        DRAWITEMSTRUCT dis = {};
        dis.CtlType = ODT_BUTTON;
        dis.CtlID = kChildId;
        dis.hwndItem = pChild->m_hWnd;
        lResult = pParent->SendMessage(WM_DRAWITEM, kChildId, reinterpret_cast<LPARAM>(&dis));
        break;
    }
    }

    EXPECT_EQ(c.pszLog, g_log);
    if (c.lResult == kChildBrush)
    {
        EXPECT_EQ(reinterpret_cast<LRESULT>(ChildBrush()), lResult);
    }
    else if (c.lResult == kParentBrush)
    {
        EXPECT_EQ(reinterpret_cast<LRESULT>(ParentBrush()), lResult);
    }
    else if (c.lResult != kAny)
    {
        EXPECT_EQ(c.lResult, lResult);
    }

    delete pChild;
    delete pParent;
    AfxDeleteTempObjects();
}

INSTANTIATE_TEST_SUITE_P(Cases, ReflectionTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<ReflectionCase> &info) {
                             return std::string(info.param.pszName);
                         });
} // namespace
