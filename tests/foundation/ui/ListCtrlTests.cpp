// CListCtrl and CHeaderCtrl over real list views: column defaults, long
// texts, sorting, finding, check states, rectangles, image lists, and the
// header's owner drawing reached through the list.
#include "ControlHost.h"
#include "TestScreens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const RECT kListRect = {5, 5, 405, 305};

// A list that notes the column structure each insertion hands the control.
class CColumnProbeList : public CListCtrl
{
public:
    std::vector<UINT> m_masks;
    std::vector<int> m_subItems;

protected:
    afx_msg LRESULT OnInsertColumn(WPARAM, LPARAM lParam)
    {
        const LVCOLUMNA *pColumn = reinterpret_cast<const LVCOLUMNA *>(lParam);
        m_masks.push_back(pColumn->mask);
        m_subItems.push_back(pColumn->iSubItem);
        return Default();
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColumnProbeList, CListCtrl)
    ON_MESSAGE(LVM_INSERTCOLUMNA, OnInsertColumn)
END_MESSAGE_MAP()

struct ColumnCase
{
    int width;
    int subItem;
    UINT expectedMask;
};

TEST(ListCtrl, InsertColumnSetsWidthAndSubItemOnlyWhenGiven)
{
    const ColumnCase cases[] = {
        {-1, -1, LVCF_TEXT | LVCF_FMT},
        {120, -1, LVCF_TEXT | LVCF_FMT | LVCF_WIDTH},
        {-1, 0, LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM},
        {80, 3, LVCF_TEXT | LVCF_FMT | LVCF_WIDTH | LVCF_SUBITEM},
    };
    CControlHost host;
    CColumnProbeList list;
    ASSERT_TRUE(host.Add(list, WC_LISTVIEW, LVS_REPORT, kListRect, 1));
    int column = 0;
    for (const ColumnCase &c : cases) {
        EXPECT_EQ(column, list.InsertColumn(column, "Heading", LVCFMT_LEFT, c.width, c.subItem));
        ASSERT_EQ(static_cast<size_t>(column + 1), list.m_masks.size());
        EXPECT_EQ(c.expectedMask, list.m_masks.back()) << "width " << c.width << " sub-item " << c.subItem;
        if (c.subItem != -1) {
            EXPECT_EQ(c.subItem, list.m_subItems.back());
        }
        if (c.width != -1) {
            EXPECT_EQ(c.width, list.GetColumnWidth(column));
        }
        ++column;
    }
    EXPECT_EQ(list.InsertColumn(9, "Format", LVCFMT_COL_HAS_IMAGES), column) << "appended";
}

TEST(ListCtrl, GetItemTextReturnsTextsOfAnyLength)
{
    CControlHost host;
    CListCtrl list;
    ASSERT_TRUE(host.Add(list, WC_LISTVIEW, LVS_REPORT, kListRect, 1));
    ASSERT_EQ(0, list.InsertColumn(0, "Name", LVCFMT_LEFT, 100));
    ASSERT_EQ(1, list.InsertColumn(1, "Path", LVCFMT_LEFT, 100, 1));
    const int lengths[] = {0, 1, 254, 255, 256, 511, 2000};
    for (int length : lengths) {
        std::string text;
        for (int i = 0; i < length; ++i)
            text += static_cast<char>('a' + i % 26);
        const int item = list.InsertItem(list.GetItemCount(), "row");
        ASSERT_GE(item, 0);
        ASSERT_TRUE(list.SetItemText(item, 1, text.c_str()));
        EXPECT_STREQ(text.c_str(), list.GetItemText(item, 1)) << "length " << length;
        EXPECT_EQ(length, list.GetItemText(item, 1).GetLength());
    }
    EXPECT_STREQ("row", list.GetItemText(0, 0));
    EXPECT_STREQ("", list.GetItemText(99, 0)) << "no such item";
}

int CALLBACK CompareByData(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort)
{
    const int order = static_cast<int>(lParam1 - lParam2);
    return lParamSort ? -order : order;
}

TEST(ListCtrl, SortItemsWithACallbackAndFindItemByData)
{
    CControlHost host;
    CListCtrl list;
    ASSERT_TRUE(host.Add(list, WC_LISTVIEW, LVS_REPORT, kListRect, 1));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    const char *names[] = {"three", "one", "two"};
    const LPARAM data[] = {3, 1, 2};
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(i, list.InsertItem(LVIF_TEXT | LVIF_PARAM, i, names[i], 0, 0, 0, data[i]));

    ASSERT_TRUE(list.SortItems(CompareByData, 0));
    EXPECT_STREQ("one", list.GetItemText(0, 0));
    EXPECT_STREQ("two", list.GetItemText(1, 0));
    EXPECT_STREQ("three", list.GetItemText(2, 0));
    EXPECT_EQ(1u, list.GetItemData(0));

    ASSERT_TRUE(list.SortItems(CompareByData, 1));
    EXPECT_STREQ("three", list.GetItemText(0, 0));

    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = 2;
    EXPECT_EQ(1, list.FindItem(&find));
    find.lParam = 7;
    EXPECT_EQ(-1, list.FindItem(&find));

    ASSERT_TRUE(list.SetItemData(1, 42));
    EXPECT_EQ(42u, list.GetItemData(1));
    find.lParam = 42;
    EXPECT_EQ(1, list.FindItem(&find));
    EXPECT_EQ(-1, list.FindItem(&find, 1)) << "the search starts after nStart";
}

TEST(ListCtrl, GetCheckIsMinusOneWithoutCheckBoxes)
{
    CControlHost host;
    CListCtrl list;
    ASSERT_TRUE(host.Add(list, WC_LISTVIEW, LVS_REPORT, kListRect, 1));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 100);
    list.InsertItem(0, "a");
    list.InsertItem(1, "b");
    EXPECT_EQ(-1, list.GetCheck(0));

    list.SetExtendedStyle(list.GetExtendedStyle() | LVS_EX_CHECKBOXES);
    EXPECT_TRUE(list.GetExtendedStyle() & LVS_EX_CHECKBOXES);
    EXPECT_EQ(0, list.GetCheck(0));
    ASSERT_TRUE(list.SetCheck(1));
    EXPECT_EQ(1, list.GetCheck(1));
    EXPECT_EQ(0, list.GetCheck(0));
    SaveTestScreen(host, "second-checked");
}

TEST(ListCtrl, GetSubItemRectFollowsTheColumns)
{
    CControlHost host;
    CListCtrl list;
    ASSERT_TRUE(host.Add(list, WC_LISTVIEW, LVS_REPORT, kListRect, 1));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 50);
    list.InsertColumn(1, "Path", LVCFMT_LEFT, 80, 1);
    list.InsertItem(0, "a");
    list.InsertItem(1, "b");

    CRect first, second, nextRow;
    ASSERT_TRUE(list.GetSubItemRect(0, 1, LVIR_BOUNDS, first));
    EXPECT_EQ(50, first.left);
    EXPECT_EQ(80, first.Width());
    ASSERT_TRUE(list.GetSubItemRect(1, 1, LVIR_BOUNDS, nextRow));
    EXPECT_EQ(first.bottom, nextRow.top);
    ASSERT_TRUE(list.GetSubItemRect(0, 0, LVIR_BOUNDS, second));
    EXPECT_EQ(first.top, second.top);

    SaveTestScreen(host, "two-columns");
    LVHITTESTINFO hit = {};
    hit.pt = CPoint(first.left + 5, first.top + 2);
    EXPECT_EQ(0, list.SubItemHitTest(&hit));
    EXPECT_EQ(1, hit.iSubItem);
}

TEST(ListCtrl, ImageListsAndTheHeader)
{
    CControlHost host;
    CListCtrl list;
    ASSERT_TRUE(host.Add(list, WC_LISTVIEW, LVS_REPORT | LVS_SHAREIMAGELISTS, kListRect, 1));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 70);
    list.InsertColumn(1, "Path", LVCFMT_LEFT, 90, 1);

    CImageList small, other;
    ASSERT_TRUE(small.Create(16, 16, ILC_COLOR32, 1, 1));
    ASSERT_TRUE(other.Create(16, 16, ILC_COLOR32, 1, 1));
    EXPECT_EQ(nullptr, list.GetImageList(LVSIL_SMALL));
    EXPECT_EQ(nullptr, list.SetImageList(&small, LVSIL_SMALL));
    ASSERT_NE(nullptr, list.GetImageList(LVSIL_SMALL));
    EXPECT_EQ(small.GetSafeHandle(), list.GetImageList(LVSIL_SMALL)->GetSafeHandle());
    CImageList *pPrevious = list.SetImageList(&other, LVSIL_SMALL);
    ASSERT_NE(nullptr, pPrevious);
    EXPECT_EQ(small.GetSafeHandle(), pPrevious->GetSafeHandle());

    CHeaderCtrl *pHeader = list.GetHeaderCtrl();
    ASSERT_NE(nullptr, pHeader);
    EXPECT_EQ(2, pHeader->GetItemCount());
    char text[64] = "";
    HDITEMA item = {};
    item.mask = HDI_TEXT | HDI_WIDTH;
    item.pszText = text;
    item.cchTextMax = sizeof(text);
    ASSERT_TRUE(pHeader->GetItem(1, &item));
    EXPECT_STREQ("Path", text);
    EXPECT_EQ(90, item.cxy);
    CRect rect;
    ASSERT_TRUE(pHeader->GetItemRect(1, rect));
    EXPECT_EQ(70, rect.left);
    EXPECT_EQ(160, rect.right);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(*pHeader)) << "a temporary subclasses nothing";
    list.SetImageList(NULL, LVSIL_SMALL);
}

// A header that draws its owner-drawn items in one colour and notes them.
class CPaintedHeader : public CHeaderCtrl
{
public:
    std::vector<UINT> m_drawnItems;

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        EXPECT_EQ(static_cast<UINT>(ODT_HEADER), lpDrawItemStruct->CtlType);
        m_drawnItems.push_back(lpDrawItemStruct->itemID);
        CDC::FromHandle(lpDrawItemStruct->hDC)->FillSolidRect(&lpDrawItemStruct->rcItem, RGB(0, 160, 0));
    }
};

TEST(HeaderCtrl, OwnerDrawnItemsReachDrawItemThroughTheList)
{
    CControlHost host;
    CListCtrl list;
    ASSERT_TRUE(host.Add(list, WC_LISTVIEW, LVS_REPORT, kListRect, 1));
    list.InsertColumn(0, "Name", LVCFMT_LEFT, 70);
    list.InsertColumn(1, "Path", LVCFMT_LEFT, 90, 1);

    CPaintedHeader header;
    ASSERT_TRUE(header.SubclassWindow(list.GetHeaderCtrl()->GetSafeHwnd()));
    EXPECT_EQ(&header, list.GetHeaderCtrl()) << "the subclassing object, not a temporary";

    HDITEMA item = {};
    item.mask = HDI_FORMAT;
    item.fmt = HDF_OWNERDRAW;
    ASSERT_TRUE(header.SetItem(1, &item));
    header.Invalidate();
    header.UpdateWindow();
    ASSERT_TRUE(PumpUntil([&] { return !header.m_drawnItems.empty(); }));
    EXPECT_EQ(1u, header.m_drawnItems.front());

    CRect rect;
    header.GetItemRect(1, rect);
    CDC *pDC = header.GetDC();
    EXPECT_EQ(RGB(0, 160, 0), ::GetPixel(*pDC, (rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    header.ReleaseDC(pDC);
    SaveTestScreen(host, "second-column-owner-drawn");
    header.UnsubclassWindow();
}

TEST(ListCtrl, AWrapperWithoutAWindowFails)
{
    CListCtrl list;
    EXPECT_EQ(-1, list.InsertColumn(0, "Name"));
    EXPECT_EQ(-1, list.InsertItem(0, "a"));
    EXPECT_EQ(0, list.GetItemCount());
    EXPECT_STREQ("", list.GetItemText(0, 0));
    EXPECT_EQ(-1, list.GetNextItem(-1, LVNI_ALL));
    EXPECT_EQ(nullptr, list.GetHeaderCtrl());
    EXPECT_EQ(nullptr, list.GetImageList(LVSIL_SMALL));
    CRect rect;
    EXPECT_FALSE(list.GetSubItemRect(0, 0, LVIR_BOUNDS, rect));
}

} // namespace
