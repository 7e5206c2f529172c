// CGridList and CGridHeader: real grids in the kit's host dialog under Xvfb,
// driven by the real mouse and read back from the screen. Each state is
// saved in <build>/screens/.
#include "GridHost.h"

#include <ConsoleMessages.h>
#include <LoggedOn.h>
#include <SkinPalette.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

const UINT kActionChanged = WM_ACTION_CELL_CHANGED;
const COLORREF kSelectedRow = RGB(0xDE, 0xEB, 0xEA);

class GridListTest : public ::testing::Test
{
protected:
    void SetUp() override { m_liveBefore = CJBaseCell::LiveCount(); }
    void TearDown() override { LoggedOn = 1; }

    std::vector<std::string> Column(int subItem)
    {
        std::vector<std::string> texts;
        for (int item = 0; item < m_grid.List().GetItemCount(); ++item)
            texts.push_back(static_cast<LPCTSTR>(m_grid.List().GetItemText(item, subItem)));
        return texts;
    }

    // Clicks a header item a little right of its left edge (x apart from
    // the last click, so that no two clicks make a double click).
    void ClickHeader(int column)
    {
        CRect item;
        m_grid.List().Header().GetItemRect(column, &item);
        const int x = item.left + 12 + (m_headerClicks++ % 2) * 10;
        ClickControlAt(m_grid.List().Header().GetSafeHwnd(), POINT{x, item.Height() / 2});
        PumpFor(30);
    }

    // The captured pixels of the colour inside the rectangle.
    int PixelsOf(const CRect &rect, COLORREF color)
    {
        int count = 0;
        for (int x = rect.left; x < rect.right; ++x)
            for (int y = rect.top; y < rect.bottom; ++y)
                count += m_grid.Pixel(x, y) == color ? 1 : 0;
        return count;
    }

    GridHost m_grid;
    int m_liveBefore = 0;
    int m_headerClicks = 0;
};

// --- columns -------------------------------------------------------------------

TEST_F(GridListTest, AColumnTextMakesItsColumnsWithOrWithoutTheLastSemicolon)
{
    for (const char *columns : {"Name,120;Path,300", "Name,120;Path,300;"}) {
        GridHost grid;
        CGridList &list = grid.MakeList(RECT{10, 10, 500, 200});
        EXPECT_TRUE(list.SetColumns(columns));
        ASSERT_EQ(list.GetColumnCount(), 2) << columns;
        EXPECT_EQ(list.GetColumnWidth(0), 120);
        EXPECT_EQ(list.GetColumnWidth(1), 300);
        char title[32] = {};
        HDITEMA item = {};
        item.mask = HDI_TEXT;
        item.pszText = title;
        item.cchTextMax = sizeof title;
        list.Header().GetItem(1, &item);
        EXPECT_STREQ(title, "Path");
        EXPECT_EQ(list.Header().GetCellCount(), 2);
        // Sorted on column 0 ascending from the start.
        EXPECT_EQ(list.GetSortColumn(), 0);
        EXPECT_TRUE(list.IsSortAscending());
    }
}

TEST_F(GridListTest, ATextWithoutAPairMakesNoColumnAndASecondCallAppends)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 500, 200});
    EXPECT_TRUE(list.SetColumns(""));
    EXPECT_TRUE(list.SetColumns("abc"));
    EXPECT_EQ(list.GetColumnCount(), 0);
    EXPECT_EQ(list.Header().GetItemCount(), 0);
    EXPECT_TRUE(list.SetColumns("A,50"));
    EXPECT_TRUE(list.SetColumns("B,60;C,70"));
    EXPECT_EQ(list.GetColumnCount(), 3);
    EXPECT_EQ(list.Header().GetItemCount(), 3);
    EXPECT_EQ(list.Header().GetCellCount(), 3);
    EXPECT_EQ(list.GetColumnWidth(2), 70);
}

// --- cells and their lifetime ------------------------------------------------------

TEST_F(GridListTest, BadIndexesChangeAndFreeNothing)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 500, 200});
    list.SetColumns("A,60;B,60");
    list.AddRow({"a0", "b0"});
    // A row from before the third column: it has two cells.
    list.SetColumns("C,60");
    const int item = list.AddRow({"a1", "b1", "c1"});
    ASSERT_EQ(item, 1);
    const int live = CJBaseCell::LiveCount();

    struct Case { int item, subItem; } cases[] = {{-1, 0}, {2, 0}, {0, -1}, {0, 3}, {0, 2}};
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << c.item << "," << c.subItem);
        EXPECT_EQ(list.GetCell(c.item, c.subItem), nullptr);
        EXPECT_FALSE(list.SetCellType(c.item, c.subItem, RUNTIME_CLASS(CJActionCell)));
        EXPECT_FALSE(list.SetCellText(c.item, c.subItem, "x"));
        EXPECT_FALSE(list.SetCellValue(c.item, c.subItem, 7));
        EXPECT_EQ(list.GetCellValue(c.item, c.subItem), 0);
        EXPECT_FALSE(list.SetCellImage(c.item, c.subItem, 0));
        EXPECT_FALSE(list.SetCell(c.item, c.subItem, nullptr));
    }
    EXPECT_FALSE(list.SetRowData(2, 5));
    EXPECT_EQ(list.GetRowData(-1), 0u);
    // A row that someone inserted without a GridRow.
    list.InsertItem(list.GetItemCount(), "foreign");
    EXPECT_EQ(list.GetCell(2, 0), nullptr);
    EXPECT_FALSE(list.SetCellType(2, 0, RUNTIME_CLASS(CJActionCell)));
    EXPECT_FALSE(list.SetRowData(2, 5));
    EXPECT_EQ(CJBaseCell::LiveCount(), live);
    EXPECT_STREQ(list.GetCell(0, 1)->m_text, "b0");

    // The short row draws its missing cell as an empty one.
    m_grid.Show();
    m_grid.Capture();
    const CRect missing = m_grid.CellRect(0, 2);
    EXPECT_EQ(m_grid.Pixel(missing.left + 10, missing.top + missing.Height() / 2), list.m_backColor);
    SaveTestScreen(m_grid.Host(), "short-row");
}

TEST_F(GridListTest, SetCellTypeKeepsTextAndValueAndRefusesWhatItCannotMake)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 500, 200});
    list.SetColumns("A,60;B,60");
    list.AddRow({"a", "b"});
    list.SetCellValue(0, 1, 2);
    CJBaseCell *old = list.GetCell(0, 1);
    const int live = CJBaseCell::LiveCount();
    // Not a cell class, and a cell class that cannot be created.
    EXPECT_FALSE(list.SetCellType(0, 1, RUNTIME_CLASS(CJHIconCell)));
    EXPECT_FALSE(list.SetCellType(0, 1, RUNTIME_CLASS(CJBaseCell)));
    EXPECT_FALSE(list.SetCellType(0, 1, nullptr));
    EXPECT_EQ(list.GetCell(0, 1), old);
    EXPECT_EQ(CJBaseCell::LiveCount(), live);

    ASSERT_TRUE(list.SetCellType(0, 1, RUNTIME_CLASS(CJActionCell)));
    CJBaseCell *cell = list.GetCell(0, 1);
    EXPECT_TRUE(cell->IsKindOf(RUNTIME_CLASS(CJActionCell)));
    EXPECT_STREQ(cell->m_text, "b");
    EXPECT_EQ(cell->m_value, 2);
    EXPECT_EQ(cell->m_pOwner, &list);
    EXPECT_EQ(CJBaseCell::LiveCount(), live);
}

TEST_F(GridListTest, ReplacingTheHoveredCellForgetsIt)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 500, 200});
    list.SetColumns("A,80;B,80");
    list.AddRow({"aaaa", "bbbb"});
    m_grid.Show();
    const CRect cell = m_grid.CellRect(0, 1);
    MovePointerTo(ScreenPointOf(list.GetSafeHwnd(), POINT{cell.left + 10, cell.top + 5}));
    PumpFor(50);
    ASSERT_EQ(list.GetHoveredCell(), list.GetCell(0, 1));
    ASSERT_TRUE(list.SetCellType(0, 1, RUNTIME_CLASS(CJKeyCell)));
    EXPECT_EQ(list.GetHoveredCell(), nullptr);
}

TEST_F(GridListTest, EveryCellIsFreedWithItsRowTheListAndTheDialog)
{
    {
        GridHost grid;
        CGridList &list = grid.MakeList(RECT{10, 10, 500, 300});
        grid.FillProgramGrid(5);
        EXPECT_EQ(CJBaseCell::LiveCount(), m_liveBefore + 35);
        list.DeleteRow(1);
        EXPECT_EQ(CJBaseCell::LiveCount(), m_liveBefore + 28);
        list.DeleteRow(-1);
        list.DeleteRow(4);
        EXPECT_EQ(list.GetItemCount(), 4);
        EXPECT_EQ(CJBaseCell::LiveCount(), m_liveBefore + 28);
        list.DeleteAllRows();
        EXPECT_EQ(list.GetItemCount(), 0);
        EXPECT_EQ(CJBaseCell::LiveCount(), m_liveBefore);
        for (int row = 0; row < 3; ++row)
            list.AddRow({"again"});
        EXPECT_EQ(CJBaseCell::LiveCount(), m_liveBefore + 21);
        // The dialog closes with its list still full.
        DestroyWindow(grid.Host());
        EXPECT_EQ(CJBaseCell::LiveCount(), m_liveBefore);
    }
}

TEST_F(GridListTest, AColumnsCellClassMakesTheCellsOfTheRowsAddedAfter)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 500, 200});
    list.SetColumns("A,60;B,60;C,60");
    list.AddRow({"old", "b", "c"});
    ASSERT_TRUE(list.SetColumnCellType(1, RUNTIME_CLASS(CJActionCell)));
    ASSERT_TRUE(list.SetColumnCellType(2, RUNTIME_CLASS(CJKeyCell)));
    struct Refusal { int column; CRuntimeClass *type; } refusals[] = {
        {-1, RUNTIME_CLASS(CJKeyCell)}, {3, RUNTIME_CLASS(CJKeyCell)},
        {1, RUNTIME_CLASS(CJHIconCell)}, // not a cell of a row
        {1, RUNTIME_CLASS(CJBaseCell)},  // not dynamically creatable
    };
    for (const Refusal &refusal : refusals)
        EXPECT_FALSE(list.SetColumnCellType(refusal.column, refusal.type)) << refusal.column;
    // NULL gives the column base cells again.
    ASSERT_TRUE(list.SetColumnCellType(2, nullptr));

    const int live = CJBaseCell::LiveCount();
    const int item = list.AddRow({"a", "b", "c"});
    ASSERT_EQ(item, 1);
    EXPECT_EQ(CJBaseCell::LiveCount(), live + 3);
    CRuntimeClass *const made[] = {RUNTIME_CLASS(CJBaseCell), RUNTIME_CLASS(CJActionCell), RUNTIME_CLASS(CJBaseCell)};
    const char *const texts[] = {"a", "b", "c"};
    for (int column = 0; column < 3; ++column) {
        SCOPED_TRACE(column);
        const CJBaseCell *cell = list.GetCell(item, column);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(cell->GetRuntimeClass(), made[column]);
        EXPECT_EQ(cell->m_pOwner, &list);
        EXPECT_STREQ(cell->m_text, texts[column]);
        EXPECT_STREQ(list.GetItemText(item, column), texts[column]);
        // The row added before keeps the cells it was made with.
        EXPECT_EQ(list.GetCell(0, column)->GetRuntimeClass(), RUNTIME_CLASS(CJBaseCell));
    }
    m_grid.Show();
    SaveTestScreen(m_grid.Host(), "column-cell-classes");
}

// The grid remembers the row it added last; whatever moves the list's rows
// afterwards must not make it answer with that row for another item.
TEST_F(GridListTest, EveryItemGivesItsOwnCellsAfterTheRowsMove)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 500, 300});
    list.SetColumns("A,80;B,80");
    for (const char *text : {"b", "a"})
        list.AddRow({text, "x"});
    struct Move {
        const char *name;
        const char *added; // the row added just before the move
        std::function<void()> apply;
    } moves[] = {
        {"a foreign row inserted at the top", "c", [&] { list.InsertItem(0, "foreign"); }},
        {"sorted descending", "d", [&] { list.SortItems(0, FALSE); }},
        {"the row added last given other data", "e", [&] { list.SetItemData(list.GetItemCount() - 1, 0); }},
        {"the top row deleted", "f", [&] { list.DeleteRow(0); }},
        {"a foreign row deleted", "g", [&] {
             LVFINDINFOA find = {};
             find.flags = LVFI_STRING;
             find.psz = "foreign";
             list.DeleteItem(list.FindItem(&find));
         }},
    };
    for (const Move &move : moves) {
        SCOPED_TRACE(move.name);
        list.AddRow({move.added, "x"});
        move.apply();
        int ownRows = 0;
        for (int item = 0; item < list.GetItemCount(); ++item) {
            const CJBaseCell *cell = list.GetCell(item, 0);
            const CString text = list.GetItemText(item, 0);
            if (cell) {
                EXPECT_STREQ(cell->m_text, text) << item;
                ++ownRows;
            } else {
                // Only rows the grid did not make, or whose data was replaced.
                EXPECT_TRUE(text == "foreign" || text == "e") << item << " " << static_cast<LPCTSTR>(text);
            }
        }
        EXPECT_GT(ownRows, 0);
    }
    // The grid frees the rows it made, even one the list no longer points to.
    list.DeleteAllRows();
    EXPECT_EQ(list.GetItemCount(), 0);
    EXPECT_EQ(CJBaseCell::LiveCount(), m_liveBefore);
}

TEST_F(GridListTest, AGridObjectThatEndsBeforeItsWindowFreesItsRows)
{
    const HWND window = m_grid.MakeListWindow(RECT{10, 10, 500, 300});
    {
        CGridList list;
        ASSERT_TRUE(list.SubclassWindow(window));
        list.SetColumns("Active,40;Program,150;Internet,52");
        for (int row = 0; row < 4; ++row) {
            const std::string path = "C:\\Programs\\Tool" + std::to_string(row) + ".exe";
            const int item = list.AddRow({"", path.c_str(), ""});
            list.SetCellType(item, 2, RUNTIME_CLASS(CJActionCell));
        }
        m_grid.Show();
        SaveTestScreen(m_grid.Host(), "grid-object-ends-first");
        EXPECT_EQ(CJBaseCell::LiveCount(), m_liveBefore + 12);
    }
    // The object took its window with it, and every row and cell.
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CJBaseCell::LiveCount(), m_liveBefore);
}

// --- the comparison ---------------------------------------------------------------

struct CompareCase
{
    const char *a, *b;
    int valueA, valueB;
    int column;
    bool ascending;
    int expected; // the sign of the result
};

int SignOf(int v) { return v < 0 ? -1 : v > 0 ? 1 : 0; }

TEST_F(GridListTest, TheComparisonTakesItsKindFromTheFirstCell)
{
    const int abc = SignOf(lstrcmpA("1/2/2003", "31/12/2002"));
    const CompareCase cases[] = {
        {"12", "abc", 0, 0, 1, true, 1},              // 12 against atoi("abc") = 0
        {"2", "10", 0, 0, 1, true, -1},               // numbers, not texts
        {"10", "10", 0, 0, 1, true, 0},
        {"2", "10", 0, 0, 1, false, 1},               // descending swaps
        {"01/02/2003", "31/12/2002", 0, 0, 1, true, 1}, // the year first
        {"31/12/2002", "01/02/2003", 0, 0, 1, true, -1},
        {"05/03/2003", "04/03/2003", 0, 0, 1, true, 1},
        {"05/03/2003", "05/03/2003", 0, 0, 1, true, 0},
        {"05/03/2003", "", 0, 0, 1, true, 1},          // what b lacks counts as 0
        {"1/2/2003", "31/12/2002", 0, 0, 1, true, abc}, // not ten characters: text
        {"apple", "banana", 0, 0, 1, true, -1},
        {"apple", "banana", 0, 0, 1, false, 1},
        {"", "zzz", 3, 5, 1, true, -1},                // empty: the values
        {"", "zzz", 3, 5, 1, false, 1},
        {"", "", 7, 7, 1, true, 0},
    };
    CGridList list;
    for (const CompareCase &c : cases) {
        SCOPED_TRACE(testing::Message() << '"' << c.a << "\" vs \"" << c.b << '"');
        GridRow rows[2];
        const char *texts[2] = {c.a, c.b};
        const int values[2] = {c.valueA, c.valueB};
        CJBaseCell cells[2][2];
        for (int r = 0; r < 2; ++r) {
            for (int column = 0; column < 2; ++column) {
                cells[r][column].m_text = texts[r];
                cells[r][column].m_value = values[r];
                rows[r].cells.push_back(&cells[r][column]);
            }
        }
        list.SortItems(c.column, c.ascending);
        EXPECT_EQ(SignOf(CGridList::CompareItems(reinterpret_cast<LPARAM>(&rows[0]),
                                                 reinterpret_cast<LPARAM>(&rows[1]),
                                                 reinterpret_cast<LPARAM>(&list))),
                  c.expected);
    }
}

TEST_F(GridListTest, ColumnZeroWithoutTextComparesTheRowsValues)
{
    CGridList list;
    GridRow rows[2];
    CJBaseCell cells[2];
    rows[0].cells.push_back(&cells[0]);
    rows[1].cells.push_back(&cells[1]);
    cells[0].m_value = 9; // the cells' values play no part in column 0
    rows[0].value = 1;
    rows[1].value = 0;
    list.SortItems(0, TRUE);
    const LPARAM a = reinterpret_cast<LPARAM>(&rows[0]), b = reinterpret_cast<LPARAM>(&rows[1]);
    EXPECT_GT(CGridList::CompareItems(a, b, reinterpret_cast<LPARAM>(&list)), 0);
    list.SortItems(0, FALSE);
    EXPECT_LT(CGridList::CompareItems(a, b, reinterpret_cast<LPARAM>(&list)), 0);
    // A row without that cell compares as an empty one.
    GridRow shortRow;
    list.SortItems(1, TRUE);
    EXPECT_EQ(CGridList::CompareItems(reinterpret_cast<LPARAM>(&shortRow), a, reinterpret_cast<LPARAM>(&list)), 0);
}

// --- sorting by header clicks ------------------------------------------------------

TEST_F(GridListTest, HeaderClicksSortAscendingThenDescendingAndColumnZeroFirstDescending)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 560, 300});
    list.SetColumns("Checked,80;Count,80;Date,100;Name,100");
    list.AddRow({"", "2", "01/02/2003", "pear"});
    list.AddRow({"", "10", "31/12/2002", "apple"});
    list.AddRow({"", "1", "15/06/2003", "fig"});
    m_grid.Show();
    m_grid.Log().Clear();

    // SetColumns sorted column 0 ascending: its first click sorts descending.
    ClickHeader(0);
    EXPECT_EQ(list.GetSortColumn(), 0);
    EXPECT_FALSE(list.IsSortAscending());
    ClickHeader(1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"1", "2", "10"}));
    EXPECT_TRUE(list.IsSortAscending());
    SaveTestScreen(m_grid.Host(), "count-ascending");
    ClickHeader(1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"10", "2", "1"}));
    EXPECT_FALSE(list.IsSortAscending());
    ClickHeader(2);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"31/12/2002", "01/02/2003", "15/06/2003"}));
    EXPECT_TRUE(list.IsSortAscending());
    ClickHeader(3);
    EXPECT_EQ(Column(3), (std::vector<std::string>{"apple", "fig", "pear"}));
    ClickHeader(1);
    EXPECT_TRUE(list.IsSortAscending()) << "another column starts ascending";
    EXPECT_EQ(Column(1), (std::vector<std::string>{"1", "2", "10"}));
    SaveTestScreen(m_grid.Host(), "count-ascending-again");

    // Sorting happens inside the list: the parent hears of no column click
    // and no drawing.
    EXPECT_EQ(m_grid.Log().Count(WM_NOTIFY, GridHost::kListId, static_cast<UINT>(LVN_COLUMNCLICK)), 0);
    EXPECT_EQ(m_grid.Log().Count(WM_NOTIFY, GridHost::kListId, static_cast<UINT>(NM_CUSTOMDRAW)), 0);
}

TEST_F(GridListTest, AColumnZeroClickSortsByTheCheckBoxes)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 400, 200}, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    list.SetColumns("Checked,80;Name,100");
    list.AddRow({"", "one"});
    list.AddRow({"", "two"});
    list.AddRow({"", "three"});
    list.SetCheck(0, TRUE);
    list.SetCheck(2, TRUE);
    m_grid.Show();
    ClickHeader(0); // descending: checked rows first
    ClickHeader(0); // ascending: unchecked rows first
    EXPECT_TRUE(list.IsSortAscending());
    EXPECT_EQ(Column(1)[0], "two");
    EXPECT_EQ(list.GetCheck(0), 0);
    EXPECT_EQ(list.GetCheck(1), 1);
    EXPECT_EQ(list.GetCheck(2), 1);
    m_grid.Repaint();
    m_grid.Capture();
    // The box's stroke, and the check's strokes only in checked rows.
    const CRect unchecked = m_grid.CellRect(0, 0), checked = m_grid.CellRect(1, 0);
    EXPECT_EQ(m_grid.Pixel(unchecked.left + 9, unchecked.top + 3), RGB(0, 0, 0));
    EXPECT_NE(m_grid.Pixel(unchecked.left + 7, unchecked.top + 10), RGB(0, 0, 0));
    EXPECT_EQ(m_grid.Pixel(checked.left + 7, checked.top + 10), RGB(0, 0, 0));
    SaveTestScreen(m_grid.Host(), "check-boxes");
}

// --- drawing ------------------------------------------------------------------------

TEST_F(GridListTest, TheProgramGridDrawsItsPictureCellsAndHeader)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 600, 300});
    m_grid.FillProgramGrid(5);
    // Actions 0, 1, 2 and one with no picture; active at 0 and 5; key only at 0.
    for (int item = 0; item < 4; ++item)
        list.SetCellValue(item, 2, item);
    list.SetCellValue(1, 0, 5);
    list.SetCellValue(1, 5, 1);
    m_grid.Show();
    m_grid.Capture();
    SaveTestScreen(m_grid.Host(), "program-grid");

    const COLORREF marks[3] = {SkinPalette::CellPass, SkinPalette::CellQuery, SkinPalette::CellDeny};
    const int boxCentres[3] = {15, 28, 42};
    for (int item = 0; item < 4; ++item) {
        const CRect cell = m_grid.CellRect(item, 2);
        for (int box = 0; box < 3; ++box) {
            SCOPED_TRACE(testing::Message() << "value " << item << " box " << box);
            const COLORREF pixel = m_grid.Pixel(cell.left + boxCentres[box], cell.top + 7);
            if (item == box)
                EXPECT_EQ(pixel, marks[box]);
            else if (item == 3)
                EXPECT_EQ(pixel, list.m_backColor);
            else
                EXPECT_EQ(pixel, SkinPalette::White);
        }
    }
    const CRect idle = m_grid.CellRect(0, 0), active = m_grid.CellRect(1, 0);
    EXPECT_EQ(m_grid.Pixel(idle.left + 8, idle.top + 7), SkinPalette::Client);
    EXPECT_EQ(m_grid.Pixel(active.left + 8, active.top + 7), SkinPalette::CellActive);
    const CRect key = m_grid.CellRect(0, 5), noKey = m_grid.CellRect(1, 5);
    EXPECT_EQ(m_grid.Pixel(key.left + 4, key.top + 7), SkinPalette::CellKey);
    EXPECT_EQ(m_grid.Pixel(noKey.left + 4, noKey.top + 7), list.m_backColor);
    const CRect option = m_grid.CellRect(2, 6);
    EXPECT_EQ(m_grid.Pixel(option.left + 6, option.top + 8), SkinPalette::Slate);

    // The header: the selected background under the sort column (0), the
    // normal one elsewhere, and the icons over 5 and 6.
    CDib header = CaptureWindow(list.Header().GetSafeHwnd());
    CRect sorted, other;
    list.Header().GetItemRect(0, &sorted);
    list.Header().GetItemRect(1, &other);
    EXPECT_EQ(header.Pixel(sorted.left + 5, 0), SkinPalette::Accent);
    EXPECT_EQ(header.Pixel(other.left + 5, 0), SkinPalette::AccentHover);
    CRect lock;
    list.Header().GetItemRect(5, &lock);
    EXPECT_EQ(header.Pixel(lock.left + 7, lock.top + 11), SkinPalette::Slate);
}

TEST_F(GridListTest, AClickedRowIsDrawnInTheSelectedColoursInEveryCell)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 560, 200});
    list.SetColumns("Name,100;Path,150;Size,80");
    list.AddRow({"one", "C:\\one", "1"});
    list.AddRow({"two", "C:\\two", "2"});
    list.SetCellColors(0, 1, RGB(200, 0, 0), RGB(250, 250, 200));
    list.SetCellColors(1, 1, RGB(200, 0, 0), RGB(250, 250, 200));
    m_grid.Show();
    const CRect second = m_grid.CellRect(1, 2);
    m_grid.ClickListAt(second.left + 40, second.top + 5);
    m_grid.Repaint();
    m_grid.Capture();
    SaveTestScreen(m_grid.Host(), "clicked-row");
    for (int column = 0; column < 3; ++column) {
        const CRect clicked = m_grid.CellRect(1, column), plain = m_grid.CellRect(0, column);
        EXPECT_EQ(m_grid.Pixel(clicked.right - 3, clicked.top + 2), kSelectedRow) << column;
        EXPECT_NE(m_grid.Pixel(plain.right - 3, plain.top + 2), kSelectedRow) << column;
    }
    const CRect coloured = m_grid.CellRect(0, 1);
    EXPECT_EQ(m_grid.Pixel(coloured.right - 3, coloured.top + 2), RGB(250, 250, 200));
}

TEST_F(GridListTest, TheLogGridDrawsItsIconsAndInsetsItsTexts)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 600, 300});
    list.SetColumns("Time,110;Program,90;Dir,40;Proto,40;Local,70;Remote,70;Port,40;Sent,40;Recv,40;Rule,40");
    list.Header().LoadBackgrounds(m_grid.Folder().SkinFile("ListHead_Bk_Normal.bmp"),
                                  m_grid.Folder().SkinFile("ListHead_Bk_Select.bmp"));
    CImageList images;
    images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 1);
    images.Add(LoadIconA(NULL, MAKEINTRESOURCEA(32516))); // IDI_INFORMATION
    list.SetImageList(&images, LVSIL_NORMAL);
    // Rows high enough for the icons: a small image list of that height,
    // which the list owns.
    CImageList rowHeight;
    rowHeight.Create(1, 18, ILC_COLOR32, 0, 1);
    list.SetImageList(&rowHeight, LVSIL_SMALL);
    rowHeight.Detach();
    for (int row = 0; row < 4; ++row) {
        list.AddRow({"01/02/2003", "Tool.exe", "Out", "TCP", "10.0.0.1", "10.0.0.2", "80", "1", "2", "3"});
        list.SetCellImage(row, 0, 0);
    }
    m_grid.Show();
    m_grid.Capture();
    SaveTestScreen(m_grid.Host(), "log-grid");
    const CRect first = m_grid.CellRect(0, 0);
    // The icon at left + 2; the text 18 + 4 pixels in from the left.
    int iconPixels = 0, textLeft = -1;
    for (int x = first.left; x < first.left + 60; ++x) {
        for (int y = first.top; y < first.bottom; ++y) {
            if (m_grid.Pixel(x, y) == list.m_backColor)
                continue;
            if (x < first.left + 18)
                ++iconPixels;
            else if (textLeft == -1)
                textLeft = x - first.left;
        }
    }
    EXPECT_GT(iconPixels, 10);
    EXPECT_GE(textLeft, 22);
    EXPECT_LE(textLeft, 25);
    EXPECT_EQ(list.GetItemCount(), 4);
    EXPECT_EQ(list.Header().GetItemCount(), 10);
    // Ten titles over the header's background.
    CDib header = CaptureWindow(list.Header().GetSafeHwnd());
    CRect last;
    list.Header().GetItemRect(9, &last);
    EXPECT_EQ(header.Pixel(last.left + 2, 0), SkinPalette::AccentHover);
    EXPECT_GT(header.CountColour(RGB(0, 0, 0), last), 5) << "the last title is drawn";
    list.SetImageList(nullptr, LVSIL_NORMAL);
}

// --- clicks --------------------------------------------------------------------------

TEST_F(GridListTest, RealClicksChooseTheActionAndTellTheParentFirst)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 600, 400});
    struct ClickCase
    {
        int x, y;
        int expected; // -1: the value stays
    };
    const ClickCase cases[] = {
        {11, 2, 0}, {19, 11, 0}, {20, 5, -1}, {10, 5, -1}, {15, 12, -1}, {15, 1, -1},
        {24, 2, 1}, {31, 11, 1}, {32, 5, -1}, {23, 5, -1},
        {37, 2, 2}, {46, 11, 2}, {47, 5, -1}, {36, 5, -1},
    };
    const int rows = static_cast<int>(sizeof cases / sizeof cases[0]);
    m_grid.FillProgramGrid(rows);
    const int start = 5; // no picture, so every box changes it
    for (int item = 0; item < rows; ++item)
        list.SetCellValue(item, 3, start);
    m_grid.Show();
    for (int item = 0; item < rows; ++item) {
        const ClickCase &c = cases[item];
        SCOPED_TRACE(testing::Message() << "x " << c.x << " y " << c.y);
        m_grid.Log().Clear();
        const CRect cell = m_grid.CellRect(item, 3);
        m_grid.ClickListAt(cell.left + c.x, cell.top + c.y);
        EXPECT_EQ(list.GetCellValue(item, 3), c.expected == -1 ? start : c.expected);
        EXPECT_STREQ(list.GetItemText(item, 3), "");
        if (c.expected == -1) {
            EXPECT_EQ(m_grid.Log().Count(kActionChanged), 0);
        } else {
            ASSERT_EQ(m_grid.Log().Count(kActionChanged), 1);
            // The change first, then the click.
            const auto &messages = m_grid.Log().Messages();
            size_t changed = 0, clicked = 0;
            for (size_t i = 0; i < messages.size(); ++i) {
                if (messages[i].message == kActionChanged)
                    changed = i;
                if (messages[i].message == WM_NOTIFY && messages[i].code == static_cast<UINT>(NM_CLICK))
                    clicked = i;
            }
            EXPECT_LT(changed, clicked);
            EXPECT_EQ(messages[changed].wParam, static_cast<WPARAM>(item));
            EXPECT_EQ(messages[changed].lParam, 3);
        }
        EXPECT_EQ(m_grid.Log().Count(WM_NOTIFY, GridHost::kListId, static_cast<UINT>(NM_CLICK)), 1);
    }
    SaveTestScreen(m_grid.Host(), "actions-clicked");

    // The chosen picture again: nothing changes, nothing is sent.
    m_grid.Log().Clear();
    const CRect cell = m_grid.CellRect(0, 3);
    m_grid.ClickListAt(cell.left + 14, cell.top + 6);
    EXPECT_EQ(list.GetCellValue(0, 3), 0);
    EXPECT_EQ(m_grid.Log().Count(kActionChanged), 0);
    EXPECT_EQ(m_grid.Log().Count(WM_NOTIFY, GridHost::kListId, static_cast<UINT>(NM_CLICK)), 1);
}

TEST_F(GridListTest, LoggedOffAClickReachesOnlyTheParent)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 600, 300});
    m_grid.FillProgramGrid(2);
    m_grid.Show();
    LoggedOn = 0;
    m_grid.Log().Clear();
    const CRect cell = m_grid.CellRect(1, 4);
    m_grid.ClickListAt(cell.left + 40, cell.top + 6);
    EXPECT_EQ(list.GetCellValue(1, 4), 0);
    EXPECT_EQ(m_grid.Log().Count(kActionChanged), 0);
    EXPECT_EQ(m_grid.Log().Count(WM_NOTIFY, GridHost::kListId, static_cast<UINT>(NM_CLICK)), 1);
    LoggedOn = 1;
    PumpFor(GetDoubleClickTime() + 50);
    m_grid.ClickListAt(cell.left + 40, cell.top + 6);
    EXPECT_EQ(list.GetCellValue(1, 4), 2);
}

// --- locked columns ---------------------------------------------------------------------

TEST_F(GridListTest, ALockedDividerStaysAndAnUnlockedOneMoves)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 600, 300});
    m_grid.FillProgramGrid(3);
    m_grid.Show();
    HWND header = list.Header().GetSafeHwnd();
    auto divider = [&](int column) {
        CRect item;
        list.Header().GetItemRect(column, &item);
        return POINT{item.right, item.Height() / 2};
    };
    auto drag = [&](int column, int by) {
        const POINT from = ScreenPointOf(header, divider(column));
        BringToFront(m_grid.Host());
        DragFromTo(from, POINT{from.x + by, from.y});
        PumpFor(50);
    };

    const int locked = list.GetColumnWidth(2);
    drag(2, 30);
    EXPECT_EQ(list.GetColumnWidth(2), locked);
    const int unlocked = list.GetColumnWidth(1);
    drag(1, 30);
    EXPECT_EQ(list.GetColumnWidth(1), unlocked + 30);
    SaveTestScreen(m_grid.Host(), "after-drags");

    // The arrow stays at a locked divider; a double click there sizes nothing.
    MovePointerTo(ScreenPointOf(header, divider(3)));
    PumpFor(50);
    EXPECT_EQ(GetCursor(), LoadCursorA(NULL, MAKEINTRESOURCEA(32512))); // IDC_ARROW
    MovePointerTo(ScreenPointOf(header, divider(1)));
    PumpFor(50);
    EXPECT_NE(GetCursor(), LoadCursorA(NULL, MAKEINTRESOURCEA(32512)));
    const int before = list.GetColumnWidth(3);
    DoubleClickAt(ScreenPointOf(header, divider(3)));
    PumpFor(50);
    EXPECT_EQ(list.GetColumnWidth(3), before);
}

TEST_F(GridListTest, TheBeginTrackOfALockedColumnIsRefusedInBothForms)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 600, 300});
    m_grid.FillProgramGrid(1);
    for (UINT code : {static_cast<UINT>(HDN_BEGINTRACKA), static_cast<UINT>(HDN_BEGINTRACKW)}) {
        for (int column = 0; column < 7; ++column) {
            NMHEADERA notify = {};
            notify.hdr.hwndFrom = list.Header().GetSafeHwnd();
            notify.hdr.idFrom = 0;
            notify.hdr.code = code;
            notify.iItem = column;
            HDITEMA item = {};
            notify.pitem = &item;
            const LRESULT result = list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&notify));
            EXPECT_EQ(result != 0, column != 1) << "column " << column;
        }
    }
    // Near a locked divider (column 2's) the header cannot resize, near an
    // unlocked one (column 1's) it can.
    const int half = GetSystemMetrics(SM_CXCURSOR) / 2;
    CRect locked, unlocked;
    list.Header().GetItemRect(2, &locked);
    list.Header().GetItemRect(1, &unlocked);
    EXPECT_FALSE(list.Header().CanResizeAt(locked.right - half + 1, 5));
    EXPECT_FALSE(list.Header().CanResizeAt(locked.right + half - 1, 5));
    EXPECT_TRUE(list.Header().CanResizeAt(locked.right - half, 5));
    EXPECT_TRUE(list.Header().CanResizeAt(unlocked.right, 5));
    // Column 32 and beyond cannot be locked.
    list.LockColumn(32);
    list.LockColumn(-1);
    EXPECT_FALSE(list.Header().IsLocked(32));
    EXPECT_FALSE(list.Header().IsLocked(1));
}

// --- column drag ---------------------------------------------------------------------

// A grid told where a header drag dropped a column.
class CDropGrid : public CGridList
{
public:
    void OnDrop(int *from, int *to) { drops.push_back({*from, *to}); }
    std::vector<std::pair<int, int>> drops;
};

TEST_F(GridListTest, AColumnDragIsOffUntilSwitchedOnAndThenTellsTheList)
{
    CDropGrid grid;
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 10, 10, 500, 200,
                                m_grid.Host(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SendMessageA(list, WM_SETFONT, SendMessageA(m_grid.Host(), WM_GETFONT, 0, 0), FALSE);
    ASSERT_TRUE(grid.SubclassWindow(list));
    grid.SetColumns("A,80;B,80;C,80;D,80");
    grid.Header().SetDropCallback(static_cast<CGridHeader::DropCallback>(&CDropGrid::OnDrop));
    m_grid.Show();
    HWND header = grid.Header().GetSafeHwnd();
    auto itemPoint = [&](int column) {
        CRect item;
        grid.Header().GetItemRect(column, &item);
        return ScreenPointOf(header, POINT{item.left + item.Width() / 2, item.Height() / 2});
    };
    BringToFront(m_grid.Host());
    DragFromTo(itemPoint(0), itemPoint(2));
    PumpFor(50);
    EXPECT_TRUE(grid.drops.empty());
    SaveTestScreen(m_grid.Host(), "drag-off");

    grid.Header().EnableDrag(TRUE);
    DragFromTo(itemPoint(0), itemPoint(2));
    PumpFor(50);
    ASSERT_EQ(grid.drops.size(), 1u);
    EXPECT_EQ(grid.drops[0], std::make_pair(0, 2));
    // The sort column (0, from SetColumns) follows the column.
    EXPECT_EQ(grid.Header().GetSortColumn(), 2);
    // A drop onto itself or just right of itself moves nothing.
    DragFromTo(itemPoint(1), POINT{itemPoint(1).x + 10, itemPoint(1).y});
    PumpFor(50);
    EXPECT_EQ(grid.drops.size(), 1u);
    SaveTestScreen(m_grid.Host(), "drag-on");
    grid.DestroyWindow();
}

// --- many rows -------------------------------------------------------------------------

// What the list view has laid out for its rows: the vertical scroll range's
// top, -1 without one.
int ScrollRangeTop(const CGridList &list)
{
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    return GetScrollInfo(list.GetSafeHwnd(), SB_VERT, &info) ? info.nMax : -1;
}

bool HasPendingPaint(const CGridList &list)
{
    RECT pending;
    return GetUpdateRect(list.GetSafeHwnd(), &pending, FALSE) != FALSE;
}

// A fill of many rows, and the emptying before it, are drawn once the
// caller's work is done and the message loop turns: until then the list
// neither paints nor lays out scroll bars row by row.
TEST_F(GridListTest, AFillIsDrawnOnceWhenTheMessageLoopNextTurns)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 560, 300});
    list.SetColumns("Name,100;Path,150");
    list.AddRow({"old", "C:\\old.exe"});
    m_grid.Show();
    ASSERT_FALSE(HasPendingPaint(list));
    const int emptyRange = ScrollRangeTop(list);

    list.DeleteAllRows();
    for (int item = 0; item < 300; ++item)
        list.AddRow({CString(("row " + std::to_string(item)).c_str()), "C:\\tool.exe"});
    EXPECT_FALSE(HasPendingPaint(list)) << "no row asked for a paint of its own";
    EXPECT_EQ(emptyRange, ScrollRangeTop(list)) << "the scroll bar waits for the fill's end";

    PumpFor(50);
    EXPECT_EQ(299, ScrollRangeTop(list));
    EXPECT_FALSE(HasPendingPaint(list));
    m_grid.Capture();
    SaveTestScreen(m_grid.Host(), "filled-at-once");
    // The first row is drawn by its cells: its text on the list's colour.
    EXPECT_GT(PixelsOf(m_grid.CellRect(0, 0), list.m_textColor), 10);
    EXPECT_EQ("row 0", std::string(list.GetItemText(0, 0)));
}

// An owner that switched the drawing off itself switches it on again: the
// grid's own hold neither ends it early nor outlasts it.
TEST_F(GridListTest, AnOwnersDrawingSwitchIsKept)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 560, 300});
    list.SetColumns("Name,100;Path,150");
    m_grid.Show();
    const int emptyRange = ScrollRangeTop(list);

    list.SendMessage(WM_SETREDRAW, FALSE);
    for (int item = 0; item < 100; ++item)
        list.AddRow({CString(("row " + std::to_string(item)).c_str()), "C:\\tool.exe"});
    PumpFor(50);
    EXPECT_EQ(emptyRange, ScrollRangeTop(list)) << "still off after the message loop turned";

    list.SendMessage(WM_SETREDRAW, TRUE);
    list.Invalidate();
    PumpFor(50);
    EXPECT_EQ(99, ScrollRangeTop(list));
    // Rows added after that are held by the grid again, and drawn.
    list.AddRow({"row 100", "C:\\tool.exe"});
    EXPECT_EQ(99, ScrollRangeTop(list));
    PumpFor(50);
    EXPECT_EQ(100, ScrollRangeTop(list));
    m_grid.Capture();
    SaveTestScreen(m_grid.Host(), "owner-switched-drawing");
}

// Scrolling during a fill shows the rows added so far: the hold ends first.
TEST_F(GridListTest, ScrollingAHeldFillLaysOutItsRowsFirst)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 560, 300});
    list.SetColumns("Name,100;Path,150");
    m_grid.Show();
    for (int item = 0; item < 300; ++item)
        list.AddRow({CString(("row " + std::to_string(item)).c_str()), "C:\\tool.exe"});
    EXPECT_TRUE(list.SendMessage(LVM_ENSUREVISIBLE, 250, FALSE));
    EXPECT_EQ(299, ScrollRangeTop(list));
    const int top = static_cast<int>(list.SendMessage(LVM_GETTOPINDEX));
    const int perPage = static_cast<int>(list.SendMessage(LVM_GETCOUNTPERPAGE));
    EXPECT_LE(top, 250);
    EXPECT_GT(top + perPage, 250);
    PumpFor(50);
    m_grid.Capture();
    SaveTestScreen(m_grid.Host(), "scrolled-during-fill");
}

TEST_F(GridListTest, RowsScrolledIntoViewAreDrawnByTheirCells)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 600, 380});
    m_grid.FillProgramGrid(1000);
    for (int item = 0; item < 1000; ++item)
        list.SetCellValue(item, 2, item % 3);
    m_grid.Show();

    auto checkVisibleRows = [&](const char *state) {
        m_grid.Repaint();
        m_grid.Capture();
        SaveTestScreen(m_grid.Host(), state);
        const int top = static_cast<int>(list.SendMessage(LVM_GETTOPINDEX));
        const COLORREF marks[3] = {SkinPalette::CellPass, SkinPalette::CellQuery, SkinPalette::CellDeny};
        const int boxCentres[3] = {15, 28, 42};
        for (int item = top; item < top + 3; ++item) {
            const CRect cell = m_grid.CellRect(item, 2);
            const int value = item % 3;
            EXPECT_EQ(m_grid.Pixel(cell.left + boxCentres[value], cell.top + 7), marks[value]) << state << " row " << item;
        }
        return top;
    };
    EXPECT_EQ(checkVisibleRows("top"), 0);

    // The scroll bar's thumb dragged down to the middle.
    RECT window;
    GetWindowRect(list.GetSafeHwnd(), &window);
    const int barX = window.right - 1 - GetSystemMetrics(SM_CXVSCROLL) / 2;
    const POINT thumb = {barX, window.top + 1 + GetSystemMetrics(SM_CYVSCROLL) + 3};
    const int by = (window.bottom - window.top) / 2;
    BringToFront(m_grid.Host());
    DragFromTo(thumb, POINT{barX, thumb.y + by});
    PumpFor(100);
    const int dragged = checkVisibleRows("scroll-bar-dragged");
    EXPECT_GT(dragged, 100);

    // The wheel over the rows: back up by three notches.
    TurnWheelAt(ScreenPointOf(list.GetSafeHwnd(), POINT{200, 150}), 3);
    PumpFor(100);
    const int wheeled = checkVisibleRows("wheel-turned");
    EXPECT_LT(wheeled, dragged);
    EXPECT_GT(wheeled, 0);
}

} // namespace

// Rows marked to be filled later are filled by the grid's filler when they
// are first drawn or read, each once, and all of them before a sort.
TEST_F(GridListTest, RowsFilledLaterAreFilledWhenDrawnReadOrSorted)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 560, 300});
    list.SetColumns("Name,100;Path,150");
    std::vector<int> filled;
    list.SetRowFiller([&](int item) {
        const DWORD number = list.GetRowData(item);
        filled.push_back(static_cast<int>(number));
        char name[16];
        wsprintfA(name, "row %03lu", number);
        list.SetCellText(item, 0, name);
        list.SetCellText(item, 1, "C:\\tool.exe");
    });
    m_grid.Show();
    for (int item = 0; item < 300; ++item) {
        const int row = list.AddRow({"", ""});
        list.SetRowData(row, static_cast<DWORD>(item));
        list.FillRowLater(row);
    }
    EXPECT_TRUE(filled.empty()) << "nothing is filled before it is needed";

    PumpFor(50);
    m_grid.Capture();
    const int perPage = static_cast<int>(list.SendMessage(LVM_GETCOUNTPERPAGE));
    ASSERT_GT(perPage, 0);
    EXPECT_GE(static_cast<int>(filled.size()), perPage);
    EXPECT_LE(static_cast<int>(filled.size()), perPage + 1) << "only the rows on screen";
    for (int number : filled)
        EXPECT_LE(number, perPage);
    // The first row is drawn with the text its filler gave it.
    EXPECT_GT(PixelsOf(m_grid.CellRect(0, 0), list.m_textColor), 10);
    // The screens kit reads every cell's text: the rows are counted before.
    SaveTestScreen(m_grid.Host(), "filled-rows-on-screen");

    // A read through the list fills the row first, and only once.
    list.DeleteAllRows();
    filled.clear();
    for (int item = 0; item < 300; ++item) {
        const int row = list.AddRow({"", ""});
        list.SetRowData(row, static_cast<DWORD>(item));
        list.FillRowLater(row);
    }
    const size_t before = filled.size();
    EXPECT_EQ("row 250", std::string(list.GetItemText(250, 0)));
    EXPECT_EQ("C:\\tool.exe", std::string(list.GetItemText(250, 1)));
    ASSERT_EQ(before + 1, filled.size());
    EXPECT_EQ(250, filled.back());

    // A sort compares filled texts: every row is filled first, each once.
    list.SortItems(0, FALSE);
    EXPECT_EQ(300u, filled.size());
    std::vector<int> numbers = filled;
    std::sort(numbers.begin(), numbers.end());
    EXPECT_EQ(numbers.end(), std::adjacent_find(numbers.begin(), numbers.end()));
    EXPECT_EQ("row 299", std::string(list.GetItemText(0, 0)));
    EXPECT_EQ("row 000", std::string(list.GetItemText(299, 0)));
    PumpFor(50);
    m_grid.Capture();
    SaveTestScreen(m_grid.Host(), "filled-rows-sorted");
}

// Without a filler a row cannot wait for one: it stays as it was made.
TEST_F(GridListTest, WithoutAFillerNoRowWaits)
{
    CGridList &list = m_grid.MakeList(RECT{10, 10, 560, 300});
    list.SetColumns("Name,100;Path,150");
    const int row = list.AddRow({"kept", "C:\\kept.exe"});
    list.FillRowLater(row);
    ASSERT_NE(nullptr, list.GetRow(row));
    EXPECT_FALSE(list.GetRow(row)->fillDue);
    EXPECT_EQ("kept", std::string(list.GetItemText(row, 0)));
}
