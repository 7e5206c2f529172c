// The log page under Xvfb, hosted in the kit's dialog over a fresh program
// folder: a real ProgramLogs.dat seeded through AddLog and a real rule store,
// driven by real clicks; the time zone is UTC.
#include <LoggedOn.h>
#include <LogsFrame.h>
#include <PacketLogEntry.h>
#include <ProgramLogs.h>
#include <ProgramsRuleLib.h>
#include <ConsoleMessages.h>
#include <TextRoom.h>

#include <DialogDriver.h>
#include <GuiPump.h>
#include <HostDialog.h>
#include <ProgramFolderFixture.h>
#include <RealInput.h>
#include <TestScreens.h>

#include <gtest/gtest.h>

#include <commctrl.h>
#include <string>
#include <thread>
#include <vector>

namespace {

const SIZE PAGE_SIZE = {720, 360};
// 2026-03-10 00:00:00 UTC.
const DWORD DAY = 1773100800;
const DWORD HOUR = 3600;
const char MISSING_PROGRAM[] = "C:\\nowhere\\gone.exe";
const char NOTEPAD[] = "C:\\windows\\system32\\notepad.exe";

class LogsPage : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedLoggedOn = LoggedOn;
        LoggedOn = 1;
        ASSERT_TRUE(m_logs.Open(m_assets.File("ProgramLogs.dat")));
        ASSERT_TRUE(m_rules.Open(m_assets.File("ProgramsRule.dat")));
    }

    void TearDown() override
    {
        if (m_page) {
            m_page->DestroyWindow();
            delete m_page;
        }
        LoggedOn = m_savedLoggedOn;
    }

    void OpenPage()
    {
        m_page = new CLogsFrame;
        m_page->Bind(&m_logs, &m_rules, m_assets.LanguageFile(), m_assets.SkinFile(""));
        m_host.Show();
        ASSERT_TRUE(m_page->Create(IDD_LOGS_PAGE, CWnd::FromHandle(m_host.Handle())));
        m_page->ShowWindow(SW_SHOW);
        RECT outer = {0, 0, PAGE_SIZE.cx, PAGE_SIZE.cy};
        AdjustWindowRectEx(&outer, GetWindowLongA(m_host.Handle(), GWL_STYLE), FALSE,
                           GetWindowLongA(m_host.Handle(), GWL_EXSTYLE));
        SetWindowPos(m_host.Handle(), nullptr, 0, 0, outer.right - outer.left,
                     outer.bottom - outer.top, SWP_NOMOVE | SWP_NOZORDER);
        m_page->MoveWindow(0, 0, PAGE_SIZE.cx, PAGE_SIZE.cy);
        PumpFor(150);
    }

    DWORD AddLog(DWORD ruleId, const char *path, DWORD start, DWORD end, BYTE action = 0,
                 BYTE direction = 1, const char *webSite = "")
    {
        LogRecord log;
        log.PID = ruleId;
        log.Path = path;
        log.Direction = direction;
        log.LocalPort = 1025;
        log.RemoteIP = 0xC0A80001;
        log.WebSite = webSite;
        log.RemotePort = 80;
        log.Protocol = 1;
        log.InCount = 2048;
        log.OutCount = 100;
        log.StartTime = start;
        log.EndTime = end;
        log.Action = action;
        const DWORD id = m_logs.AddLog(log);
        EXPECT_NE(0u, id);
        return id;
    }

    HWND Control(UINT id) const { return ::GetDlgItem(m_page->m_hWnd, id); }
    bool IsShown(UINT id) const { return ::IsWindowVisible(Control(id)) != FALSE; }
    RECT RectOf(UINT id) const
    {
        RECT rect = {};
        ::GetWindowRect(Control(id), &rect);
        MapWindowPoints(nullptr, m_page->m_hWnd, reinterpret_cast<POINT *>(&rect), 2);
        return rect;
    }

    void SetDate(UINT picker, DWORD day)
    {
        SYSTEMTIME date = {};
        FILETIME file;
        const ULONGLONG ticks = (static_cast<ULONGLONG>(day) + 11644473600ULL) * 10000000ULL;
        file.dwLowDateTime = static_cast<DWORD>(ticks);
        file.dwHighDateTime = static_cast<DWORD>(ticks >> 32);
        FileTimeToSystemTime(&file, &date);
        ::SendMessage(Control(picker), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&date));
    }

    void Query(DWORD startDay, DWORD endDay, int programItem = 0, int actionItem = 0)
    {
        SetDate(IDC_WINDOW_START, startDay);
        SetDate(IDC_WINDOW_END, endDay);
        ::SendMessage(Control(IDC_LOGS_PROGRAM), CB_SETCURSEL, programItem, 0);
        ::SendMessage(Control(IDC_LOGS_ACTION), CB_SETCURSEL, actionItem, 0);
        // A stand-in row that the query's emptying takes away.
        CGridList &grid = m_page->ProgramLogGrid();
        grid.SetRowData(grid.AddRow({"before the query"}), 0xFFFFFFFF);
        // Two clicks within the double-click time would make a double click.
        PumpFor(GetDoubleClickTime() + 50);
        ClickControl(Control(IDC_LOGS_QUERY));
        EXPECT_TRUE(PumpUntil([&grid] {
            const int count = grid.GetItemCount();
            return count == 0 || grid.GetRowData(count - 1) != 0xFFFFFFFF;
        }));
        PumpFor(50);
    }

    std::string Cell(CGridList &grid, int row, int column)
    {
        return static_cast<LPCTSTR>(grid.GetItemText(row, column));
    }
    std::vector<DWORD> RowIds()
    {
        std::vector<DWORD> ids;
        for (int row = 0; row < m_page->ProgramLogGrid().GetItemCount(); ++row)
            ids.push_back(m_page->ProgramLogGrid().GetRowData(row));
        return ids;
    }
    size_t StoredCount()
    {
        std::vector<LogRecord> logs;
        EXPECT_TRUE(m_logs.QueryLogs(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms,
                                     CProgramLogs::kAllActions, logs));
        return logs.size();
    }
    std::string Text(const char *key, const char *section = "FRAME_LOGS")
    {
        char text[512] = "";
        GetPrivateProfileStringA(section, key, "", text, sizeof text, m_assets.LanguageFile());
        return text;
    }
    // Right-clicks the row's first cell.
    void RightClickRow(int row)
    {
        RECT cell = {};
        ListView_GetItemRect(Control(IDC_PROGRAM_LOG_GRID), row, &cell, LVIR_BOUNDS);
        ClickControlAt(Control(IDC_PROGRAM_LOG_GRID), POINT{cell.left + 30, (cell.top + cell.bottom) / 2},
                       MouseButton::Right);
    }

    CProgramFolderFixture m_assets;
    CProgramLogs m_logs;
    CProgramsRuleLib m_rules;
    CHostDialog m_host;
    CDialogDriver m_boxes;
    CLogsFrame *m_page = nullptr;

private:
    int m_savedLoggedOn = 1;
};

// --- tabs and layout -------------------------------------------------------------

TEST_F(LogsPage, OpensOnTheFirewallTabAndSwitchesTabs)
{
    const DWORD described = m_rules.AddRule(NOTEPAD, 0, 0, 0, 0);
    const DWORD missing = m_rules.AddRule(MISSING_PROGRAM, 0, 0, 0, 0);
    OpenPage();
    EXPECT_EQ(CLogsFrame::TAB_FIREWALL, m_page->CurrentTab());
    EXPECT_TRUE(IsShown(IDC_FIREWALL_GRID));
    for (UINT id : {IDC_PROGRAM_LOG_GRID, IDC_WINDOW_START, IDC_WINDOW_END, IDC_LOGS_PROGRAM,
                    IDC_LOGS_ACTION, IDC_LOGS_QUERY})
        EXPECT_FALSE(IsShown(id)) << id;
    EXPECT_FALSE(::IsWindowEnabled(Control(IDC_LOGS_FIREWALL_TAB)));
    EXPECT_EQ(0, ::SendMessage(Control(IDC_LOGS_PROGRAM), CB_GETCOUNT, 0, 0));
    EXPECT_EQ(6, m_page->FirewallGrid().GetColumnCount());
    EXPECT_EQ(10, m_page->ProgramLogGrid().GetColumnCount());
    const RECT grid = RectOf(IDC_FIREWALL_GRID);
    const RECT expected = {10, 35, PAGE_SIZE.cx - 10, PAGE_SIZE.cy - 10};
    EXPECT_TRUE(EqualRect(&grid, &expected));
    SaveTestScreen(m_page->m_hWnd, "firewall-tab");

    ClickControl(Control(IDC_LOGS_PROGRAMS_TAB));
    PumpFor(100);
    EXPECT_EQ(CLogsFrame::TAB_PROGRAMS, m_page->CurrentTab());
    EXPECT_FALSE(IsShown(IDC_FIREWALL_GRID));
    for (UINT id : {IDC_PROGRAM_LOG_GRID, IDC_WINDOW_START, IDC_WINDOW_END, IDC_LOGS_PROGRAM,
                    IDC_LOGS_ACTION, IDC_LOGS_QUERY})
        EXPECT_TRUE(IsShown(id)) << id;
    HWND programs = Control(IDC_LOGS_PROGRAM);
    std::vector<RuleRecord> rules;
    m_rules.LoadRules(rules);
    ASSERT_EQ(static_cast<LRESULT>(rules.size() + 1), ::SendMessage(programs, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(0xFFFFFFFF, static_cast<DWORD>(::SendMessage(programs, CB_GETITEMDATA, 0, 0)));
    for (size_t i = 0; i < rules.size(); ++i) {
        const DWORD id = static_cast<DWORD>(::SendMessage(programs, CB_GETITEMDATA, i + 1, 0));
        EXPECT_EQ(rules[i].ID, id);
        char name[260] = "";
        ::SendMessage(programs, CB_GETLBTEXT, i + 1, reinterpret_cast<LPARAM>(name));
        if (id == missing) {
            EXPECT_STREQ("gone.exe", name);
        } else if (id == described) {
            EXPECT_STRNE("", name);
        }
    }
    EXPECT_EQ(0, ::SendMessage(programs, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, ::SendMessage(Control(IDC_LOGS_ACTION), CB_GETCURSEL, 0, 0));
    const struct { UINT id; RECT rect; } places[] = {
        {IDC_WINDOW_START, {10, 35, 105, 57}},
        {IDC_WINDOW_END, {125, 35, 220, 57}},
        {IDC_LOGS_PROGRAM, {225, 35, 385, 0}},
        {IDC_PROGRAM_LOG_GRID, {10, 60, PAGE_SIZE.cx - 10, PAGE_SIZE.cy - 10}},
    };
    for (const auto &place : places) {
        RECT at = RectOf(place.id);
        if (place.rect.bottom == 0)
            at.bottom = 0; // a combo box keeps its own height
        EXPECT_TRUE(EqualRect(&at, &place.rect)) << place.id << ": " << at.left << "," << at.top
                                                  << "," << at.right << "," << at.bottom;
    }
    EXPECT_EQ(490, RectOf(IDC_LOGS_QUERY).left);
    SaveTestScreen(m_page->m_hWnd, "programs-tab");

    ClickControl(Control(IDC_LOGS_FIREWALL_TAB));
    PumpFor(100);
    EXPECT_EQ(0, ::SendMessage(programs, CB_GETCOUNT, 0, 0));
    EXPECT_TRUE(IsShown(IDC_FIREWALL_GRID));
}

// --- the query -----------------------------------------------------------------------

TEST_F(LogsPage, AQueryListsTheWindowsRowsWithTheirCells)
{
    const DWORD notepadRule = m_rules.AddRule(NOTEPAD, 0, 0, 0, 0);
    const DWORD missingRule = m_rules.AddRule(MISSING_PROGRAM, 0, 0, 0, 0);
    const CString language = m_assets.LanguageFile();
    const DWORD before = AddLog(notepadRule, NOTEPAD, DAY - HOUR, DAY + HOUR);
    const DWORD first = AddLog(notepadRule, NOTEPAD, DAY + HOUR, DAY + 2 * HOUR, 0, 2);
    const DWORD second = AddLog(notepadRule, NOTEPAD, DAY + 2 * HOUR, DAY + 3 * HOUR, 2, 255,
                                "www.example.com");
    const DWORD third = AddLog(missingRule, MISSING_PROGRAM, DAY + 3 * HOUR, DAY + 4 * HOUR, 1);
    const DWORD fourth = AddLog(notepadRule, NOTEPAD, DAY + 4 * HOUR, DAY + 5 * HOUR);
    const DWORD fifth = AddLog(7, language, DAY + 5 * HOUR, DAY + 6 * HOUR);
    const DWORD after = AddLog(notepadRule, NOTEPAD, DAY + 23 * HOUR, DAY + 25 * HOUR);
    (void)before;
    (void)after;
    OpenPage();
    ClickControl(Control(IDC_LOGS_PROGRAMS_TAB));
    PumpFor(100);

    Query(DAY, DAY);
    CGridList &grid = m_page->ProgramLogGrid();
    EXPECT_EQ((std::vector<DWORD>{first, second, third, fourth, fifth}), RowIds());
    // One a program: notepad, missing, a file without an icon.
    EXPECT_EQ(3, m_page->ProgramIcons().GetImageCount());
    EXPECT_EQ(Text("T_Direction_InOut"), Cell(grid, 0, 1));
    EXPECT_EQ("1025", Cell(grid, 0, 2));
    EXPECT_EQ("192.168.0.1 / 80", Cell(grid, 0, 3));
    EXPECT_EQ("TCP", Cell(grid, 0, 4));
    EXPECT_EQ("2.000 K / 100 B", Cell(grid, 0, 5));
    EXPECT_EQ(Text("T_Pass"), Cell(grid, 0, 6));
    EXPECT_EQ("2026-03-10 01:00:00", Cell(grid, 0, 7));
    EXPECT_EQ("2026-03-10 02:00:00", Cell(grid, 0, 8));
    EXPECT_EQ(NOTEPAD, Cell(grid, 0, 9));
    EXPECT_EQ(Text("T_Direction_Unknown"), Cell(grid, 1, 1));
    EXPECT_EQ("www.example.com / 80", Cell(grid, 1, 3));
    EXPECT_EQ(Text("T_Deny"), Cell(grid, 1, 6));
    EXPECT_EQ(Text("T_Deny"), Cell(grid, 2, 6));
    EXPECT_EQ("gone.exe", Cell(grid, 2, 0));
    EXPECT_EQ(Cell(grid, 0, 0), Cell(grid, 1, 0));
    EXPECT_NE("", Cell(grid, 0, 0));
    // Rows of one path share their icon, in a row or not.
    EXPECT_EQ(grid.GetCell(0, 0)->m_image, grid.GetCell(1, 0)->m_image);
    EXPECT_EQ(grid.GetCell(0, 0)->m_image, grid.GetCell(3, 0)->m_image);
    EXPECT_NE(grid.GetCell(0, 0)->m_image, grid.GetCell(2, 0)->m_image);
    SaveTestScreen(m_page->m_hWnd, "programs-rows");

    // A program: its rule's rows; an action: only its rows.
    int notepadItem = -1;
    for (int item = 1; item < ::SendMessage(Control(IDC_LOGS_PROGRAM), CB_GETCOUNT, 0, 0); ++item)
        if (static_cast<DWORD>(::SendMessage(Control(IDC_LOGS_PROGRAM), CB_GETITEMDATA, item, 0)) ==
            notepadRule)
            notepadItem = item;
    ASSERT_GT(notepadItem, 0);
    Query(DAY, DAY, notepadItem, 0);
    EXPECT_EQ((std::vector<DWORD>{first, second, fourth}), RowIds());
    // The rows listed are of one path in a row: one icon.
    EXPECT_EQ(1, m_page->ProgramIcons().GetImageCount());
    Query(DAY, DAY, 0, 2);
    EXPECT_EQ((std::vector<DWORD>{second}), RowIds());
    Query(DAY, DAY, 0, 1);
    EXPECT_EQ((std::vector<DWORD>{first, fourth, fifth}), RowIds());
    // A start after the end lists nothing.
    Query(DAY + 86400, DAY);
    EXPECT_TRUE(RowIds().empty());
    EXPECT_EQ(0, m_page->ProgramIcons().GetImageCount());
}

TEST_F(LogsPage, InterleavedRowsOfAFewProgramsHoldOneIconAProgram)
{
    const CString language = m_assets.LanguageFile();
    const char *paths[] = {NOTEPAD, MISSING_PROGRAM, language};
    const int kRows = 60;
    for (int row = 0; row < kRows; ++row)
        AddLog(row % 3 + 1, paths[row % 3], DAY + HOUR + row, DAY + HOUR + row + 1);
    OpenPage();
    ClickControl(Control(IDC_LOGS_PROGRAMS_TAB));
    PumpFor(100);
    // A second query describes the programs anew, in place of the first's.
    for (int query = 0; query < 2; ++query) {
        Query(DAY, DAY);
        CGridList &grid = m_page->ProgramLogGrid();
        ASSERT_EQ(kRows, grid.GetItemCount());
        EXPECT_EQ(3, m_page->ProgramIcons().GetImageCount()) << query;
        for (int row = 3; row < kRows; ++row) {
            EXPECT_EQ(grid.GetCell(row % 3, 0)->m_image, grid.GetCell(row, 0)->m_image) << row;
            EXPECT_EQ(Cell(grid, row % 3, 0), Cell(grid, row, 0)) << row;
        }
        EXPECT_NE(grid.GetCell(0, 0)->m_image, grid.GetCell(1, 0)->m_image);
        EXPECT_NE(grid.GetCell(1, 0)->m_image, grid.GetCell(2, 0)->m_image);
        EXPECT_EQ("gone.exe", Cell(grid, 1, 0));
    }
    SaveTestScreen(m_page->m_hWnd, "programs-interleaved-rows");
}

// The widest times show whole, a long path keeps its drive and file name
// with an ellipsis in its middle, and the rows read in the list's normal
// text colour.
TEST_F(LogsPage, TimesShowWholePathsLoseTheirMiddleAndRowsReadInTheTextColour)
{
    const char longPath[] = "C:\\Tools\\Network utilities\\A folder with a long name\\Another level\\probe.exe";
    const DWORD rule = m_rules.AddRule(longPath, 0, 0, 0, 0);
    AddLog(rule, longPath, DAY + 23 * HOUR + 59 * 60 + 58, DAY + 23 * HOUR + 59 * 60 + 59);
    OpenPage();
    ClickControl(Control(IDC_LOGS_PROGRAMS_TAB));
    PumpFor(100);
    Query(DAY, DAY);
    CGridList &grid = m_page->ProgramLogGrid();
    ASSERT_EQ(1, grid.GetItemCount());
    EXPECT_EQ("2026-03-10 23:59:58", Cell(grid, 0, 7));
    EXPECT_EQ("2026-03-10 23:59:59", Cell(grid, 0, 8));

    auto roomOf = [&](int column) {
        TextRoom room = {};
        EXPECT_TRUE(grid.SendMessage(TextRoomMessage(), column, reinterpret_cast<LPARAM>(&room)));
        return room;
    };
    auto widthOf = [&](const TextRoom &room) {
        HDC dc = ::GetDC(grid.m_hWnd);
        HGDIOBJ old = ::SelectObject(dc, room.font);
        RECT need = {0, 0, 0, 0};
        ::DrawTextA(dc, room.text, -1, &need, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
        ::SelectObject(dc, old);
        ::ReleaseDC(grid.m_hWnd, dc);
        return need.right;
    };
    for (int column : {7, 8}) {
        const TextRoom room = roomOf(column);
        EXPECT_LE(widthOf(room), room.room.right - room.room.left) << "the time of column " << column << " is cut";
    }
    const TextRoom path = roomOf(9);
    EXPECT_STREQ(longPath, path.text);
    EXPECT_GT(widthOf(path), path.room.right - path.room.left) << "the path is not long enough to show the ellipsis";
    EXPECT_TRUE(path.format & DT_PATH_ELLIPSIS);
    EXPECT_FALSE(path.format & DT_END_ELLIPSIS);
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), grid.m_textColor);

    // The right part of the grid, where the times and the path are.
    grid.SendMessage(LVM_SCROLL, 2000, 0);
    PumpFor(100);
    const CDib shot = SaveTestScreen(m_page->m_hWnd, "programs-right");
    RECT row = {};
    ListView_GetItemRect(grid.m_hWnd, 0, &row, LVIR_BOUNDS);
    MapWindowPoints(grid.m_hWnd, m_page->m_hWnd, reinterpret_cast<POINT *>(&row), 2);
    EXPECT_GT(shot.CountColour(::GetSysColor(COLOR_WINDOWTEXT), row), 50) << "the row's text is not in the text colour";
}

TEST_F(LogsPage, AnEmptyFirstPathShowsNoNameOrIcon)
{
    const DWORD id = AddLog(3, "", DAY + HOUR, DAY + 2 * HOUR);
    OpenPage();
    ClickControl(Control(IDC_LOGS_PROGRAMS_TAB));
    Query(DAY, DAY);
    ASSERT_EQ((std::vector<DWORD>{id}), RowIds());
    EXPECT_EQ("", Cell(m_page->ProgramLogGrid(), 0, 0));
    EXPECT_EQ(0, m_page->ProgramIcons().GetImageCount());
}

// --- the row menu and deletions ------------------------------------------------------

struct MenuSeen {
    std::vector<std::string> items;
    UINT defaultItem = 0xFFFFFFFF;
    bool shown = false;
};

HWND ShownMenuWindow()
{
    HWND window = nullptr;
    while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)) != nullptr)
        if (IsWindowVisible(window))
            return window;
    return nullptr;
}

// Beside the menu's own loop: waits up to the time given for a shown
// menu, reads it, takes its picture and closes it with Esc.
std::thread WatchForMenu(MenuSeen &seen, std::string screen, DWORD timeoutMs)
{
    return std::thread([&seen, screen, timeoutMs] {
        const DWORD start = GetTickCount();
        HWND menuWindow = nullptr;
        while (!(menuWindow = ShownMenuWindow()) && GetTickCount() - start < timeoutMs)
            Sleep(50);
        if (!menuWindow)
            return;
        Sleep(200);
        seen.shown = true;
        HMENU menu = reinterpret_cast<HMENU>(SendMessage(menuWindow, MN_GETHMENU, 0, 0));
        for (int item = 0; item < GetMenuItemCount(menu); ++item) {
            char text[128] = "";
            GetMenuStringA(menu, item, text, sizeof text, MF_BYPOSITION);
            seen.items.push_back(text);
        }
        seen.defaultItem = GetMenuDefaultItem(menu, TRUE, 0);
        SaveScreen(CaptureScreen(), screen);
        PressKey(VK_ESCAPE);
    });
}

TEST_F(LogsPage, RightClickShowsTheRelabelledMenuOnRowsOnly)
{
    AddLog(1, NOTEPAD, DAY + HOUR, DAY + 2 * HOUR);
    OpenPage();
    ClickControl(Control(IDC_LOGS_PROGRAMS_TAB));
    Query(DAY, DAY);
    ASSERT_EQ(1, m_page->ProgramLogGrid().GetItemCount());
    MenuSeen seen;
    std::thread watcher = WatchForMenu(seen, TestScreenName("row-menu"), 4000);
    RightClickRow(0);
    PumpFor(300);
    watcher.join();
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(0, m_page->RememberedRow());
    EXPECT_EQ((std::vector<std::string>{"Clean List", "", Text("MENU_Del"), Text("MENU_DelPage"),
                                        Text("MENU_DelAll")}),
              seen.items);
    EXPECT_EQ(0u, seen.defaultItem);

    // Below the rows: no menu, and no remembered row.
    PumpFor(GetDoubleClickTime() + 50);
    MenuSeen below;
    std::thread again = WatchForMenu(below, TestScreenName("no-menu"), 1000);
    ClickControlAt(Control(IDC_PROGRAM_LOG_GRID), POINT{60, 150}, MouseButton::Right);
    PumpFor(300);
    again.join();
    EXPECT_FALSE(below.shown);
    EXPECT_EQ(-1, m_page->RememberedRow());
}

TEST_F(LogsPage, EachDeletionAsksItsKeyAndNoChangesNothing)
{
    const DWORD kept = AddLog(1, NOTEPAD, DAY - 86400 + HOUR, DAY - 86400 + 2 * HOUR);
    const DWORD first = AddLog(1, NOTEPAD, DAY + HOUR, DAY + 2 * HOUR);
    const DWORD second = AddLog(2, MISSING_PROGRAM, DAY + 2 * HOUR, DAY + 3 * HOUR, 2);
    OpenPage();
    ClickControl(Control(IDC_LOGS_PROGRAMS_TAB));
    Query(DAY, DAY);
    ASSERT_EQ((std::vector<DWORD>{first, second}), RowIds());
    ClickControlAt(Control(IDC_PROGRAM_LOG_GRID), POINT{60, 30});
    PumpFor(100);
    ASSERT_EQ(0, m_page->RememberedRow());

    const struct { UINT command; const char *key; } commands[] = {
        {ID_LOGS_DELETE, "WARN_DelSelLog"},
        {ID_LOGS_DELETE_PAGE, "WARN_DelAllLog"},
        {ID_LOGS_DELETE_ALL, "WARN_DelPageLog"},
    };
    for (const auto &command : commands) {
        m_boxes.AnswerNextBox(IDNO);
        m_page->SendMessage(WM_COMMAND, command.command);
        ASSERT_FALSE(m_boxes.Boxes().empty());
        EXPECT_EQ(Text(command.key), m_boxes.Boxes().back().text) << command.command;
        EXPECT_EQ(MB_ICONEXCLAMATION, m_boxes.Boxes().back().icon);
        EXPECT_EQ(3u, StoredCount());
        EXPECT_EQ(2, m_page->ProgramLogGrid().GetItemCount());
    }
    // Logged off: the refusal, and nothing changes.
    LoggedOn = 0;
    for (const auto &command : commands) {
        m_page->SendMessage(WM_COMMAND, command.command);
        EXPECT_EQ(Text("LOG_DONT", "APP"), m_boxes.Boxes().back().text) << command.command;
    }
    EXPECT_EQ(3u, StoredCount());
    EXPECT_EQ(2, m_page->ProgramLogGrid().GetItemCount());
    // Clean List works logged off and keeps the stored rows.
    const size_t boxes = m_boxes.Boxes().size();
    m_page->SendMessage(WM_COMMAND, ID_LOGS_CLEAN_LIST);
    EXPECT_EQ(0, m_page->ProgramLogGrid().GetItemCount());
    EXPECT_EQ(0, m_page->ProgramIcons().GetImageCount());
    EXPECT_EQ(boxes, m_boxes.Boxes().size());
    EXPECT_EQ(3u, StoredCount());
    (void)kept;
}

TEST_F(LogsPage, YesDeletesFromTheFileAndTheGrid)
{
    const DWORD earlier = AddLog(1, NOTEPAD, DAY - 86400 + HOUR, DAY - 86400 + 2 * HOUR);
    const DWORD first = AddLog(1, NOTEPAD, DAY + HOUR, DAY + 2 * HOUR);
    const DWORD second = AddLog(2, MISSING_PROGRAM, DAY + 2 * HOUR, DAY + 3 * HOUR, 2);
    const DWORD third = AddLog(2, MISSING_PROGRAM, DAY + 3 * HOUR, DAY + 4 * HOUR, 2);
    OpenPage();
    ClickControl(Control(IDC_LOGS_PROGRAMS_TAB));
    Query(DAY, DAY, 0, 2);
    ASSERT_EQ((std::vector<DWORD>{second, third}), RowIds());

    // Delete: the remembered row.
    ClickControlAt(Control(IDC_PROGRAM_LOG_GRID), POINT{60, 30});
    PumpFor(100);
    m_boxes.AnswerNextBox(IDYES);
    m_page->SendMessage(WM_COMMAND, ID_LOGS_DELETE);
    EXPECT_EQ((std::vector<DWORD>{third}), RowIds());
    EXPECT_EQ(3u, StoredCount());
    EXPECT_EQ(-1, m_page->RememberedRow());

    // Delete this page: the whole window, whatever the action filter.
    m_boxes.AnswerNextBox(IDYES);
    m_page->SendMessage(WM_COMMAND, ID_LOGS_DELETE_PAGE);
    EXPECT_TRUE(RowIds().empty());
    std::vector<LogRecord> left;
    ASSERT_TRUE(m_logs.QueryLogs(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms,
                                 CProgramLogs::kAllActions, left));
    ASSERT_EQ(1u, left.size());
    EXPECT_EQ(earlier, left[0].ID);
    // On an empty grid it does nothing, without a box.
    const size_t boxes = m_boxes.Boxes().size();
    m_page->SendMessage(WM_COMMAND, ID_LOGS_DELETE_PAGE);
    EXPECT_EQ(boxes, m_boxes.Boxes().size());

    // Clean all logs: the file is empty.
    m_boxes.AnswerNextBox(IDYES);
    m_page->SendMessage(WM_COMMAND, ID_LOGS_DELETE_ALL);
    EXPECT_EQ(0u, StoredCount());
    (void)first;
}

// --- live packet lines -----------------------------------------------------------------

void FillEntry(DWORD time, const char *flags)
{
    PacketLogEntry &entry = *ThePacketLogEntry();
    entry = PacketLogEntry();
    entry.Protocol = 2;
    entry.RemoteIp = 0x0A000005;
    entry.LocalPort = 53;
    entry.Time = time;
    strncpy(entry.FlagText, flags, PACKET_FLAG_TEXT_MAX);
}

TEST_F(LogsPage, TheMonitorsEntryAddsOneLineOfSixCells)
{
    OpenPage();
    FillEntry(DAY + 13 * HOUR + 61, "ACK SYN ");
    m_page->SendMessage(WM_PACKET_LOGGED, reinterpret_cast<WPARAM>(ThePacketLogEntry()), 0);
    CGridList &grid = m_page->FirewallGrid();
    ASSERT_EQ(1, grid.GetItemCount());
    const std::vector<std::string> cells = {"13:01:01", "10.0.0.5", "53", "UDP", Text("T_Pass"),
                                            "ACK SYN "};
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(cells[column], Cell(grid, 0, column)) << column;
    SaveTestScreen(m_page->m_hWnd, "firewall-lines");

    // Any other wParam adds nothing.
    PacketLogEntry copy = *ThePacketLogEntry();
    m_page->SendMessage(WM_PACKET_LOGGED, reinterpret_cast<WPARAM>(&copy), 0);
    m_page->SendMessage(WM_PACKET_LOGGED, 0x1234, 0);
    EXPECT_EQ(1, grid.GetItemCount());
}

TEST_F(LogsPage, TheFirewallGridKeepsItsLastFiveThousandLines)
{
    OpenPage();
    // Hidden lines are added too, and faster.
    ClickControl(Control(IDC_LOGS_PROGRAMS_TAB));
    for (DWORD line = 0; line <= CLogsFrame::MAX_FIREWALL_LINES; ++line) {
        FillEntry(DAY + line, "");
        m_page->SendMessage(WM_PACKET_LOGGED, reinterpret_cast<WPARAM>(ThePacketLogEntry()), 0);
    }
    CGridList &grid = m_page->FirewallGrid();
    ASSERT_EQ(CLogsFrame::MAX_FIREWALL_LINES, grid.GetItemCount());
    EXPECT_EQ("00:00:01", Cell(grid, 0, 0));
    EXPECT_EQ("01:23:20", Cell(grid, CLogsFrame::MAX_FIREWALL_LINES - 1, 0));
}

// --- the clear timer --------------------------------------------------------------------

TEST_F(LogsPage, HiddenOverSixSecondsTheProgramGridEmpties)
{
    AddLog(1, NOTEPAD, DAY + HOUR, DAY + 2 * HOUR);
    OpenPage();
    FillEntry(DAY, "");
    m_page->SendMessage(WM_PACKET_LOGGED, reinterpret_cast<WPARAM>(ThePacketLogEntry()), 0);
    ClickControl(Control(IDC_LOGS_PROGRAMS_TAB));
    Query(DAY, DAY);
    ASSERT_EQ(1, m_page->ProgramLogGrid().GetItemCount());

    // Shown again sooner: the timer stops.
    m_page->ShowWindow(SW_HIDE);
    EXPECT_TRUE(m_page->IsClearTimerRunning());
    PumpFor(1000);
    m_page->ShowWindow(SW_SHOW);
    EXPECT_FALSE(m_page->IsClearTimerRunning());
    PumpFor(5500);
    EXPECT_EQ(1, m_page->ProgramLogGrid().GetItemCount());

    m_page->ShowWindow(SW_HIDE);
    PumpFor(6500);
    EXPECT_FALSE(m_page->IsClearTimerRunning());
    EXPECT_EQ(0, m_page->ProgramLogGrid().GetItemCount());
    EXPECT_EQ(0, m_page->ProgramIcons().GetImageCount());
    EXPECT_EQ(1, m_page->FirewallGrid().GetItemCount());
}

} // namespace
