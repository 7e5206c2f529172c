// CTreeCtrl over a real tree view: the four insertion forms, navigation,
// item data and texts, rectangles and hit tests.
#include "ControlHost.h"
#include "TestScreens.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const RECT kTreeRect = {5, 5, 305, 305};

class TreeCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Add(m_tree, WC_TREEVIEW,
                               TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                               kTreeRect, 1));
        ASSERT_TRUE(m_images.Create(16, 16, ILC_COLOR32, 4, 1));
        m_tree.SetImageList(&m_images, TVSIL_NORMAL);
        // Every form of insertion, building:
        //   Zones
        //     Trusted (images 1, 2)
        //     Blocked
        //   Programs (data 77)
        m_hZones = m_tree.InsertItem("Zones");
        TVINSERTSTRUCTA insert = {};
        insert.hParent = m_hZones;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = const_cast<LPSTR>("Blocked");
        m_hBlocked = m_tree.InsertItem(&insert);
        m_hTrusted = m_tree.InsertItem("Trusted", 1, 2, m_hZones, TVI_FIRST);
        m_hPrograms = m_tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "Programs", 0, 0, 0, 0, 77,
                                        TVI_ROOT, TVI_LAST);
        ASSERT_NE(nullptr, m_hZones);
        ASSERT_NE(nullptr, m_hBlocked);
        ASSERT_NE(nullptr, m_hTrusted);
        ASSERT_NE(nullptr, m_hPrograms);
        m_tree.Expand(m_hZones, TVE_EXPAND);
    }

    CControlHost m_host;
    CTreeCtrl m_tree;
    CImageList m_images;
    HTREEITEM m_hZones = NULL;
    HTREEITEM m_hBlocked = NULL;
    HTREEITEM m_hTrusted = NULL;
    HTREEITEM m_hPrograms = NULL;
};

TEST_F(TreeCtrlTest, InsertFormsBuildTheTree)
{
    EXPECT_EQ(4u, m_tree.GetCount());
    EXPECT_STREQ("Zones", m_tree.GetItemText(m_hZones));
    EXPECT_STREQ("Trusted", m_tree.GetItemText(m_hTrusted));
    EXPECT_STREQ("Blocked", m_tree.GetItemText(m_hBlocked));
    EXPECT_EQ(77u, m_tree.GetItemData(m_hPrograms));
    int image = -1, selected = -1;
    ASSERT_TRUE(m_tree.GetItemImage(m_hTrusted, image, selected));
    EXPECT_EQ(1, image);
    EXPECT_EQ(2, selected);
    EXPECT_TRUE(m_tree.ItemHasChildren(m_hZones));
    EXPECT_FALSE(m_tree.ItemHasChildren(m_hPrograms));
}

TEST_F(TreeCtrlTest, Navigation)
{
    struct Step
    {
        const char *name;
        HTREEITEM found;
        HTREEITEM expected;
    };
    const Step steps[] = {
        {"root", m_tree.GetRootItem(), m_hZones},
        {"first child", m_tree.GetChildItem(m_hZones), m_hTrusted},
        {"next sibling", m_tree.GetNextSiblingItem(m_hTrusted), m_hBlocked},
        {"last sibling", m_tree.GetNextSiblingItem(m_hBlocked), NULL},
        {"previous sibling", m_tree.GetPrevSiblingItem(m_hBlocked), m_hTrusted},
        {"parent", m_tree.GetParentItem(m_hBlocked), m_hZones},
        {"parent of a root", m_tree.GetParentItem(m_hZones), NULL},
        {"root sibling", m_tree.GetNextSiblingItem(m_hZones), m_hPrograms},
        {"no child", m_tree.GetChildItem(m_hPrograms), NULL},
        {"first visible", m_tree.GetFirstVisibleItem(), m_hZones},
        {"next visible", m_tree.GetNextVisibleItem(m_hZones), m_hTrusted},
        {"visible after the children", m_tree.GetNextVisibleItem(m_hBlocked), m_hPrograms},
    };
    for (const Step &step : steps)
        EXPECT_EQ(step.expected, step.found) << step.name;
}

TEST_F(TreeCtrlTest, RectanglesAndHitTests)
{
    CRect whole, text;
    ASSERT_TRUE(m_tree.GetItemRect(m_hTrusted, whole, FALSE));
    ASSERT_TRUE(m_tree.GetItemRect(m_hTrusted, text, TRUE));
    EXPECT_GT(text.left, whole.left) << "the text stands right of the lines and image";
    EXPECT_EQ(whole.top, text.top);

    UINT flags = 0;
    const CPoint onText((text.left + text.right) / 2, (text.top + text.bottom) / 2);
    EXPECT_EQ(m_hTrusted, m_tree.HitTest(onText, &flags));
    EXPECT_TRUE(flags & TVHT_ONITEMLABEL);
    EXPECT_EQ(nullptr, m_tree.HitTest(CPoint(5, 290), &flags)) << "below the items";
    EXPECT_TRUE(flags & TVHT_NOWHERE);

    SaveTestScreen(m_host, "expanded");
    CRect next;
    ASSERT_TRUE(m_tree.GetItemRect(m_hBlocked, next, FALSE));
    EXPECT_LE(whole.bottom, next.top) << "the next item is below";

    m_tree.Expand(m_hZones, TVE_COLLAPSE);
    CRect hidden;
    EXPECT_FALSE(m_tree.GetItemRect(m_hTrusted, hidden, FALSE)) << "a collapsed child is not shown";
    SaveTestScreen(m_host, "collapsed");
}

TEST_F(TreeCtrlTest, SelectionStateTextsAndDeletion)
{
    ASSERT_TRUE(m_tree.SelectItem(m_hBlocked));
    EXPECT_EQ(m_hBlocked, m_tree.GetSelectedItem());
    EXPECT_EQ(static_cast<UINT>(TVIS_SELECTED), m_tree.GetItemState(m_hBlocked, TVIS_SELECTED));
    EXPECT_EQ(0u, m_tree.GetItemState(m_hTrusted, TVIS_SELECTED));

    const std::string longText(1500, 'x');
    ASSERT_TRUE(m_tree.SetItemText(m_hPrograms, longText.c_str()));
    EXPECT_EQ(1500, m_tree.GetItemText(m_hPrograms).GetLength());
    ASSERT_TRUE(m_tree.SetItemData(m_hTrusted, 5));
    EXPECT_EQ(5u, m_tree.GetItemData(m_hTrusted));

    ASSERT_TRUE(m_tree.DeleteItem(m_hZones));
    EXPECT_EQ(1u, m_tree.GetCount()) << "the children go with their parent";
    EXPECT_EQ(m_hPrograms, m_tree.GetRootItem());
    ASSERT_TRUE(m_tree.DeleteAllItems());
    EXPECT_EQ(0u, m_tree.GetCount());
    EXPECT_EQ(nullptr, m_tree.GetRootItem());
}

TEST(TreeCtrl, AWrapperWithoutAWindowFails)
{
    CTreeCtrl tree;
    EXPECT_EQ(nullptr, tree.InsertItem("a"));
    EXPECT_EQ(nullptr, tree.GetRootItem());
    EXPECT_EQ(0u, tree.GetCount());
    CRect rect;
    EXPECT_FALSE(tree.GetItemRect(NULL, rect, FALSE));
}

} // namespace
