// The item tree in a shown dialog: the item objects live exactly as long as
// their items, the insert forms carry their data, and the items are drawn
// through their objects, driven by real clicks and the wheel.
#include <ItemTree.h>

#include <FoundationUi.h>

#include <GuiPump.h>
#include <HostDialog.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

const UINT ID_TREE = 1200;
const RECT TREE_RECT = {10, 10, 260, 190};
const COLORREF WHITE = RGB(255, 255, 255);
const COLORREF OBJECT_RED = RGB(200, 0, 0);

bool IsDark(COLORREF colour)
{
    return GetRValue(colour) + GetGValue(colour) + GetBValue(colour) < 3 * 128;
}

int CountDark(const CDib &shot, const RECT &area)
{
    int dark = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            dark += IsDark(shot.Pixel(x, y)) ? 1 : 0;
    return dark;
}

class ItemTreeTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SetPumpFilter(AfxPreTranslateMessage);
        AfxInitCommonControls();
        m_baseline = CTItemBase::LiveCount();
        m_host.reset(new CHostDialog);
        ASSERT_TRUE(m_tree.CreateEx(0, WC_TREEVIEWA, "",
                                    WS_CHILD | WS_VISIBLE | WS_VSCROLL | TVS_HASBUTTONS |
                                        TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                                    TREE_RECT.left, TREE_RECT.top, TREE_RECT.right - TREE_RECT.left,
                                    TREE_RECT.bottom - TREE_RECT.top, m_host->Handle(),
                                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_TREE))));
    }
    void TearDown() override
    {
        m_host.reset();
        SetPumpFilter(NULL);
        AfxDeleteTempObjects();
    }

    LONG Live() const { return CTItemBase::LiveCount() - m_baseline; }

    void Show()
    {
        m_host->Show();
        BringToFront(m_host->Handle());
        m_tree.Invalidate();
        PumpFor(100);
    }

    // A process with a protocol under it and two connections under that.
    HTREEITEM AddProcess(const char *name)
    {
        HTREEITEM process = m_tree.InsertItem(name, 0, 0);
        HTREEITEM protocol = m_tree.InsertItem("TCP", 0, 0, process);
        m_tree.InsertItem("10.0.0.1:80", 0, 0, protocol);
        m_tree.InsertItem("10.0.0.2:443", 0, 0, protocol);
        return process;
    }

    RECT TextRect(HTREEITEM item)
    {
        RECT rect = {};
        EXPECT_TRUE(m_tree.GetItemRect(item, &rect, TRUE));
        return rect;
    }

    std::unique_ptr<CHostDialog> m_host;
    CItemTree m_tree;
    LONG m_baseline = 0;
};

TEST_F(ItemTreeTest, DeletingAProcessFreesTheObjectsOfItsWholeSubtree)
{
    HTREEITEM first = AddProcess("svchost.exe");
    AddProcess("browser.exe");
    ASSERT_EQ(8, Live());

    ASSERT_TRUE(m_tree.DeleteItem(first));
    EXPECT_EQ(4, Live()) << "the process, its protocol and both connections";
    EXPECT_EQ(4u, m_tree.GetCount());

    ASSERT_TRUE(m_tree.DeleteAllItems());
    EXPECT_EQ(0, Live()) << "every depth";
    EXPECT_EQ(0u, m_tree.GetCount());
}

TEST_F(ItemTreeTest, ClosingTheDialogFreesTheObjectsLeft)
{
    AddProcess("svchost.exe");
    AddProcess("browser.exe");
    ASSERT_EQ(8, Live());
    m_host.reset();
    EXPECT_EQ(0, Live());
    EXPECT_EQ(NULL, m_tree.GetSafeHwnd());
}

TEST_F(ItemTreeTest, TheInsertFormsCarryTheirTextAndData)
{
    TVINSERTSTRUCTA withParam = {};
    withParam.hParent = TVI_ROOT;
    withParam.hInsertAfter = TVI_LAST;
    withParam.item.mask = TVIF_TEXT | TVIF_PARAM;
    withParam.item.pszText = const_cast<LPSTR>("structure");
    withParam.item.lParam = 88;
    TVINSERTSTRUCTA textOnly = withParam;
    textOnly.item.mask = TVIF_TEXT;
    textOnly.item.pszText = const_cast<LPSTR>("structure, no data");
    TVINSERTSTRUCTA callback = withParam;
    callback.item.pszText = LPSTR_TEXTCALLBACKA;

    struct Case {
        HTREEITEM item;
        const char *text;
        DWORD data;
    } cases[] = {
        {m_tree.InsertItem("images", 1, 2), "images", 0},
        {m_tree.InsertItem("plain"), "plain", 0},
        {m_tree.InsertItem(TVIF_TEXT | TVIF_PARAM, "full", 0, 0, 0, 0, 77, TVI_ROOT, TVI_LAST), "full", 77},
        {m_tree.InsertItem(TVIF_TEXT, "full, no data", 0, 0, 0, 0, 66, TVI_ROOT, TVI_LAST), "full, no data", 66},
        {m_tree.InsertItem(&withParam), "structure", 88},
        {m_tree.InsertItem(&textOnly), "structure, no data", 0},
        {m_tree.InsertItem(&callback), "", 88},
    };
    for (const Case &c : cases) {
        ASSERT_NE(nullptr, c.item) << c.text;
        ASSERT_NE(nullptr, m_tree.GetItemObject(c.item)) << c.text;
        EXPECT_STREQ(c.text, m_tree.GetItemText(c.item)) << c.text;
        EXPECT_EQ(c.data, m_tree.GetItemData(c.item)) << c.text;
    }
    EXPECT_EQ(7, Live());

    HTREEITEM item = cases[1].item;
    ASSERT_TRUE(m_tree.SetItemText(item, "renamed"));
    EXPECT_STREQ("renamed", m_tree.GetItemObject(item)->GetText());
    EXPECT_STREQ("renamed", static_cast<CTreeCtrl &>(m_tree).GetItemText(item)) << "the control's own text";
    ASSERT_TRUE(m_tree.SetItemData(item, 4242));
    EXPECT_EQ(4242u, m_tree.GetItemData(item));
    EXPECT_TRUE(m_tree.SetItemColor(item, OBJECT_RED));
    EXPECT_EQ(OBJECT_RED, m_tree.GetItemObject(item)->m_crText);
}

// An item that has no object keeps a raw value, which is never taken for
// an object: not freed, not drawn through, not reported as data.
TEST_F(ItemTreeTest, ARawValueOnAnItemWithoutObjectIsNeverAnObject)
{
    HTREEITEM bare = static_cast<CTreeCtrl &>(m_tree).InsertItem("bare");
    HTREEITEM owned = m_tree.InsertItem("owned");
    ASSERT_EQ(1, Live());
    // The value of another item's object, set raw.
    const DWORD alias = static_cast<DWORD>(reinterpret_cast<DWORD_PTR>(m_tree.GetItemObject(owned)));
    ASSERT_TRUE(m_tree.SetItemData(bare, alias));
    EXPECT_EQ(alias, static_cast<CTreeCtrl &>(m_tree).GetItemData(bare));
    EXPECT_EQ(0u, m_tree.GetItemData(bare));
    EXPECT_EQ(nullptr, m_tree.GetItemObject(bare));
    EXPECT_FALSE(m_tree.SetItemColor(bare, OBJECT_RED));
    EXPECT_STREQ("bare", m_tree.GetItemText(bare));

    Show();
    m_tree.SelectItem(bare);
    const CDib shot = SaveTestScreen(m_tree, "bare-selected");
    const RECT rect = TextRect(bare);
    EXPECT_GT(shot.CountColour(::GetSysColor(COLOR_HIGHLIGHT), rect), 0);

    ASSERT_TRUE(m_tree.DeleteItem(bare));
    EXPECT_EQ(1, Live()) << "the object whose address was set raw is still there";
    EXPECT_STREQ("owned", m_tree.GetItemText(owned));
}

TEST_F(ItemTreeTest, ClicksSelectBoldAndExpandAsDrawnByTheObjects)
{
    // The first item is selected when the tree first takes the focus.
    HTREEITEM empty = m_tree.InsertItem("");
    HTREEITEM plain = m_tree.InsertItem("Same text here");
    HTREEITEM bold = m_tree.InsertItem(TVIF_TEXT | TVIF_STATE, "Same text here", 0, 0, TVIS_BOLD,
                                       TVIS_BOLD, 0, TVI_ROOT, TVI_LAST);
    HTREEITEM process = AddProcess("browser.exe");
    HTREEITEM protocol = m_tree.GetChildItem(process);
    m_tree.SetItemColor(protocol, OBJECT_RED);
    Show();

    // Selection by a click on the text.
    const RECT plainRect = TextRect(plain);
    m_host->Log().Clear();
    ClickControlAt(m_tree, POINT{(plainRect.left + plainRect.right) / 2, (plainRect.top + plainRect.bottom) / 2});
    PumpFor(100);
    ASSERT_EQ(plain, m_tree.GetSelectedItem());
    EXPECT_EQ(1, m_host->Log().Count(WM_NOTIFY, ID_TREE, TVN_SELCHANGEDA) +
                     m_host->Log().Count(WM_NOTIFY, ID_TREE, TVN_SELCHANGEDW));
    CDib shot = SaveTestScreen(m_tree, "selected");
    const int area = (plainRect.right - plainRect.left) * (plainRect.bottom - plainRect.top);
    const int highlighted = shot.CountColour(::GetSysColor(COLOR_HIGHLIGHT), plainRect);
    EXPECT_GT(highlighted, area / 2) << "filled with the highlight";
    const RECT edge = {plainRect.left, plainRect.top, plainRect.right, plainRect.top + 1};
    EXPECT_LT(shot.CountColour(::GetSysColor(COLOR_HIGHLIGHT), edge), plainRect.right - plainRect.left)
        << "a focus rectangle on the edge";
    EXPECT_GT(shot.CountColour(::GetSysColor(COLOR_HIGHLIGHTTEXT), plainRect), 0) << "the text";

    // Unselected items on white; the bold one covers more pixels.
    const RECT boldRect = TextRect(bold);
    EXPECT_EQ(0, shot.CountColour(::GetSysColor(COLOR_HIGHLIGHT), boldRect));
    EXPECT_GT(shot.CountColour(WHITE, boldRect), 0);
    ClickControlAt(m_tree, POINT{TextRect(process).left + 4, (TextRect(process).top + TextRect(process).bottom) / 2});
    shot = SaveTestScreen(m_tree, "bold");
    const RECT plainAgain = TextRect(plain);
    const int plainDark = CountDark(shot, plainAgain);
    const int boldDark = CountDark(shot, boldRect);
    EXPECT_GT(plainDark, 0);
    EXPECT_GT(boldDark, plainDark) << "weight 700 against 400";

    // An empty text: only its white rectangle.
    const RECT emptyRect = TextRect(empty);
    EXPECT_EQ((emptyRect.right - emptyRect.left) * (emptyRect.bottom - emptyRect.top),
              shot.CountColour(WHITE, emptyRect));

    // The expand button lies left of the text, on the item's row.
    RECT protocolRect = {};
    ASSERT_FALSE(m_tree.GetItemRect(protocol, &protocolRect, TRUE)) << "collapsed at first";
    const RECT processRect = TextRect(process);
    const int rowMiddle = (processRect.top + processRect.bottom) / 2;
    POINT button = {-1, rowMiddle};
    for (int x = processRect.left; x >= 0 && button.x < 0; --x) {
        UINT flags = 0;
        if (m_tree.HitTest(CPoint(x, rowMiddle), &flags) == process && (flags & TVHT_ONITEMBUTTON))
            button.x = x;
    }
    ASSERT_GE(button.x, 0) << "no expand button found";
    ClickControlAt(m_tree, button);
    PumpFor(100);
    ASSERT_TRUE(m_tree.GetItemRect(protocol, &protocolRect, TRUE)) << "the children show";
    shot = SaveTestScreen(m_tree, "expanded");
    EXPECT_GT(shot.CountColour(OBJECT_RED, protocolRect), 0) << "drawn through its object's colour";
}

TEST_F(ItemTreeTest, AnAmpersandInAProgramsNameIsDrawnAsItIs)
{
    m_tree.InsertItem(""); // takes the selection with the focus
    HTREEITEM process = m_tree.InsertItem("R&D.exe", 0, 0);
    Show();
    ASSERT_NE(process, m_tree.GetSelectedItem());
    const CDib shot = SaveTestScreen(m_tree, "ampersand");

    // The object's drawing: the tree's font in weight 400, 2 pixels in from
    // the text's sides and 1 from its top and bottom, in the window text
    // colour on white.
    LOGFONTA logFont = {};
    HFONT treeFont = reinterpret_cast<HFONT>(m_tree.SendMessage(WM_GETFONT));
    if (!treeFont || !GetObjectA(treeFont, sizeof logFont, &logFont))
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof logFont, &logFont);
    logFont.lfWeight = FW_NORMAL;
    HFONT font = CreateFontIndirectA(&logFont);
    RECT inner = TextRect(process);
    InflateRect(&inner, -2, -1);
    const SIZE size = {inner.right - inner.left, inner.bottom - inner.top};
    const COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
    const UINT format = DT_SINGLELINE | DT_VCENTER;
    const int whole = DrawTextPicture("R&D.exe", font, format | DT_NOPREFIX, size, text, WHITE).CountColour(text);
    ASSERT_NE(whole, DrawTextPicture("R&D.exe", font, format, size, text, WHITE).CountColour(text))
        << "an underlined D looks otherwise";
    EXPECT_EQ(whole, shot.CountColour(text, TextRect(process)));
    DeleteObject(font);
}

TEST_F(ItemTreeTest, TheWheelBringsItemsIntoViewDrawnThroughTheirObjects)
{
    HTREEITEM first = NULL;
    for (int i = 0; i < 200; ++i) {
        HTREEITEM item = m_tree.InsertItem(("connection " + std::to_string(i)).c_str());
        m_tree.SetItemColor(item, OBJECT_RED);
        if (i == 0)
            first = item;
    }
    Show();
    ClickControlAt(m_tree, POINT{60, 8});
    ASSERT_EQ(first, m_tree.GetFirstVisibleItem());

    TurnWheelAt(CentreOf(m_tree), -5);
    PumpFor(200);
    HTREEITEM top = m_tree.GetFirstVisibleItem();
    ASSERT_NE(first, top) << "the wheel scrolled the tree";
    const CDib shot = SaveTestScreen(m_tree, "scrolled");
    int drawn = 0;
    for (HTREEITEM item = top; item != NULL; item = m_tree.GetNextVisibleItem(item)) {
        RECT rect = {};
        if (!m_tree.GetItemRect(item, &rect, TRUE) || rect.bottom > TREE_RECT.bottom - TREE_RECT.top)
            break;
        EXPECT_GT(shot.CountColour(OBJECT_RED, rect), 0) << static_cast<LPCTSTR>(m_tree.GetItemText(item));
        ++drawn;
    }
    EXPECT_GT(drawn, 5);
}

} // namespace
