// CMenu over the test program's own menu resource: ownership of menus and
// sub-menus, and the by-position edits context menus make.
#include "TestResources.h"

#include <CMenu.h>
#include <CString.h>

#include <gtest/gtest.h>

namespace {

CString MenuText(HMENU hMenu, UINT nPos)
{
    char text[64] = "";
    ::GetMenuString(hMenu, nPos, text, sizeof(text), MF_BYPOSITION);
    return text;
}

TEST(Menu, LoadedMenuGoesWithItsObject)
{
    HMENU hMenu;
    HMENU hSub;
    {
        CMenu menu;
        ASSERT_TRUE(menu.LoadMenu(IDR_TEST_CONTEXT));
        EXPECT_FALSE(menu.LoadMenu(IDR_TEST_CONTEXT)) << "already holds a menu";
        hMenu = menu.GetSafeHmenu();
        hSub = ::GetSubMenu(hMenu, 1);
        EXPECT_EQ(2, menu.GetMenuItemCount());
    }
    EXPECT_FALSE(::IsMenu(hMenu));
    EXPECT_FALSE(::IsMenu(hSub));

    CMenu missing;
    EXPECT_FALSE(missing.LoadMenu(4321));
    EXPECT_FALSE(missing.DestroyMenu());
}

TEST(Menu, SubMenuTemporaryNeverDestroysTheSubMenu)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_CONTEXT));
    CMenu *pTray = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, pTray);
    HMENU hTray = pTray->GetSafeHmenu();
    EXPECT_EQ(pTray, menu.GetSubMenu(0)) << "one temporary per menu";
    EXPECT_EQ(nullptr, pTray->GetSubMenu(0)) << "a plain command opens nothing";

    AfxDeleteTempObjects();
    EXPECT_TRUE(::IsMenu(hTray));
    EXPECT_EQ(3, ::GetMenuItemCount(hTray));
    EXPECT_EQ(static_cast<UINT>(ID_TEST_EXIT), ::GetMenuItemID(hTray, 2));
}

struct ItemIdCase
{
    int subMenu;
    int position;
    UINT id;
};

TEST(Menu, GetMenuItemIdByPosition)
{
    const ItemIdCase cases[] = {
        {0, 0, ID_TEST_OPEN}, {0, 1, 0} /* separator */, {0, 2, ID_TEST_EXIT},
        {1, 0, static_cast<UINT>(-1)} /* a sub-menu */, {1, 1, ID_TEST_OPEN},
        {1, 9, static_cast<UINT>(-1)} /* no such item */,
    };
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_CONTEXT));
    for (const ItemIdCase &c : cases) {
        EXPECT_EQ(c.id, menu.GetSubMenu(c.subMenu)->GetMenuItemID(c.position))
            << "sub-menu " << c.subMenu << " position " << c.position;
    }
    AfxDeleteTempObjects();
}

TEST(Menu, ModifyMenuByPositionWithPopupKeepsTheSubMenu)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_CONTEXT));
    CMenu *pZones = menu.GetSubMenu(1);
    HMENU hAdd = pZones->GetSubMenu(0)->GetSafeHmenu();

    ASSERT_TRUE(pZones->ModifyMenu(0, MF_BYPOSITION | MF_POPUP | MF_STRING,
                                   reinterpret_cast<UINT_PTR>(hAdd), "Add to zone"));
    EXPECT_TRUE(::IsMenu(hAdd));
    EXPECT_EQ(hAdd, ::GetSubMenu(*pZones, 0));
    EXPECT_EQ(2, ::GetMenuItemCount(hAdd));
    EXPECT_STREQ("Add to zone", MenuText(*pZones, 0));
    AfxDeleteTempObjects();
}

struct CheckCase
{
    UINT position;
    UINT check;
    UINT expectedPrevious;
    UINT expectedState;   // MF_CHECKED bit afterwards
};

TEST(Menu, CheckMenuItemByPositionReturnsThePreviousState)
{
    const CheckCase steps[] = {
        {0, MF_CHECKED, MF_UNCHECKED, MF_CHECKED},
        {0, MF_CHECKED, MF_CHECKED, MF_CHECKED},
        {0, MF_UNCHECKED, MF_CHECKED, MF_UNCHECKED},
        {2, MF_CHECKED, MF_UNCHECKED, MF_CHECKED},
        {7, MF_CHECKED, static_cast<UINT>(-1), 0},
    };
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_CONTEXT));
    CMenu *pTray = menu.GetSubMenu(0);
    for (const CheckCase &c : steps) {
        EXPECT_EQ(c.expectedPrevious, pTray->CheckMenuItem(c.position, MF_BYPOSITION | c.check))
            << "position " << c.position;
        if (c.expectedPrevious != static_cast<UINT>(-1)) {
            EXPECT_EQ(c.expectedState, ::GetMenuState(*pTray, c.position, MF_BYPOSITION) & MF_CHECKED);
        }
    }
    AfxDeleteTempObjects();
}

TEST(Menu, EnableAndDefaultItem)
{
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_CONTEXT));
    CMenu *pTray = menu.GetSubMenu(0);
    EXPECT_EQ(static_cast<UINT>(MF_ENABLED), pTray->EnableMenuItem(ID_TEST_EXIT, MF_BYCOMMAND | MF_GRAYED));
    EXPECT_TRUE(::GetMenuState(*pTray, ID_TEST_EXIT, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(pTray->SetDefaultItem(ID_TEST_OPEN));
    EXPECT_EQ(static_cast<UINT>(ID_TEST_OPEN), ::GetMenuDefaultItem(*pTray, FALSE, 0));
    EXPECT_TRUE(pTray->SetDefaultItem(2, TRUE));
    EXPECT_EQ(2u, ::GetMenuDefaultItem(*pTray, TRUE, GMDI_USEDISABLED)) << "Exit, greyed above";
    AfxDeleteTempObjects();
}

TEST(Menu, TrackingNeedsAMenuAndAnOwnerWindow)
{
    CMenu none;
    EXPECT_FALSE(none.TrackPopupMenu(TPM_LEFTALIGN, 10, 10, NULL));
    CMenu popup;
    ASSERT_TRUE(popup.CreatePopupMenu());
    ASSERT_TRUE(popup.AppendMenu(MF_STRING, ID_TEST_OPEN, "Open"));
    EXPECT_FALSE(popup.TrackPopupMenu(TPM_LEFTALIGN, 10, 10, NULL));
}

} // namespace
