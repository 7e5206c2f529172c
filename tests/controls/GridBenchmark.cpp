// How long the grid takes with the console's own amounts of rows: for
// 1,000 and 10,000 connection-log rows and program rules, stored in fresh
// files through their stores, it prints the time to read them back, to
// fill a grid as the log page and the program page do, to repaint it once,
// to paint every row once page by page, to sort it on a header column and
// to empty it, and what the filled grid costs in memory (the heaps' blocks
// in use, before and after filling); and, for comparison, the same filling
// with the list's drawing switched off by its owner. Then the pages' own
// work, in a fresh program folder: the log page's query of 10,000 rows of
// 50 programs through to the rows shown, and the program page's fill of
// 1,000 and 10,000 rules through to the rows shown, the rules naming the
// system folder's programs. A measuring program, not a test; it shows
// windows, so it runs under the display:
//   GridBenchmark
#include <BenchmarkClock.h>
#include <GridList.h>

#include <AclPublisher.h>
#include <ConsoleResources.h>
#include <LogsFrame.h>
#include <ProgramFrame.h>
#include <ProgramPageIds.h>
#include <ProgramLogs.h>
#include <ProgramsRuleLib.h>

#include <NetvaneControl.h>
#include <ProgramFolderFixture.h>
#include <SystemPrograms.h>

#include <GuiPump.h>
#include <HostDialog.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

double Milliseconds(const std::function<void()> &work)
{
    const double start = Seconds();
    work();
    return (Seconds() - start) * 1000.0;
}

// The bytes of every block in use in the process's heaps.
SIZE_T PrivateBytes()
{
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    SIZE_T used = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                used += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return used;
}

std::string TempFolder()
{
    char base[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, base);
    std::string folder = std::string(base) + "GridBenchmark" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void RemoveFiles(const std::string &path)
{
    for (const char *suffix : {"", "-wal", "-shm", "-journal"})
        DeleteFileA((path + suffix).c_str());
}

LogRecord LogRow(int i)
{
    LogRecord log;
    log.PID = static_cast<DWORD>(i % 40 + 1);
    log.Path = ("C:\\Program Files\\Tool" + std::to_string(i % 40) + "\\tool.exe").c_str();
    log.Direction = static_cast<BYTE>(i % 2);
    log.LocalPort = static_cast<WORD>(49152 + i % 1000);
    log.RemoteIP = 0x5DB8D822 + static_cast<DWORD>(i);
    log.WebSite = "www.example.com";
    log.RemotePort = 443;
    log.Protocol = 1;
    log.StartTime = static_cast<DWORD>(1773417600 + i);
    log.EndTime = log.StartTime + 3;
    log.InCount = 5000 + static_cast<DWORD>(i);
    log.OutCount = 700;
    log.Action = static_cast<BYTE>(i % 3);
    return log;
}

CString Number(DWORD value)
{
    char text[16];
    wsprintfA(text, "%lu", value);
    return text;
}

CString Address(DWORD ip)
{
    char text[20];
    wsprintfA(text, "%d.%d.%d.%d", ip >> 24 & 0xFF, ip >> 16 & 0xFF, ip >> 8 & 0xFF, ip & 0xFF);
    return text;
}

// A grid in a shown host dialog, made for one measurement.
class BenchGrid
{
public:
    BenchGrid()
    {
        SetWindowPos(m_host.Handle(), nullptr, 0, 0, 760, 560, SWP_NOMOVE | SWP_NOZORDER);
        HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT, 8, 8, 730,
                                    500, m_host.Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
        SendMessageA(list, WM_SETFONT, SendMessageA(m_host.Handle(), WM_GETFONT, 0, 0), FALSE);
        SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
        m_grid.SubclassWindow(list);
        m_host.Show();
    }
    ~BenchGrid() { m_grid.DestroyWindow(); }

    CGridList &Grid() { return m_grid; }

    void Measure(const char *kind, int rows, const std::function<void(CGridList &)> &fill, int sortColumn)
    {
        const SIZE_T before = PrivateBytes();
        const double filling = Milliseconds([&] { fill(m_grid); });
        const double filled = Seconds();
        PumpFor(0);
        const double settle = (Seconds() - filled) * 1000.0;
        const SIZE_T after = PrivateBytes();
        const double repaint = Milliseconds([&] {
            m_grid.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        });
        const double pages = Milliseconds([&] { PaintPageByPage(); });
        const double sort = Milliseconds([&] {
            m_grid.SortItems(sortColumn, TRUE);
            m_grid.UpdateWindow();
        });
        const double empty = Milliseconds([&] { m_grid.DeleteAllRows(); });
        // The same filling with the list's drawing switched off meanwhile.
        m_grid.SendMessage(WM_SETREDRAW, FALSE);
        const double quietFilling = Milliseconds([&] { fill(m_grid); });
        m_grid.SendMessage(WM_SETREDRAW, TRUE);
        m_grid.DeleteAllRows();
        printf("%-8s %6d rows: fill %8.1f ms (then %6.1f ms of messages), repaint %6.1f ms, every row painted %8.1f ms, sort %7.1f ms, "
               "empty %7.1f ms, memory %6.0f KB (%.0f bytes a row); fill without drawing %8.1f ms\n",
               kind, rows, filling, settle, repaint, pages, sort, empty, (after - before) / 1024.0,
               static_cast<double>(after - before) / rows, quietFilling);
    }

private:
    void PaintPageByPage()
    {
        const int count = m_grid.GetItemCount();
        const int perPage = static_cast<int>(m_grid.SendMessage(LVM_GETCOUNTPERPAGE));
        CRect row;
        m_grid.GetSubItemRect(0, 0, LVIR_BOUNDS, row);
        m_grid.SendMessage(LVM_ENSUREVISIBLE, 0, FALSE);
        m_grid.UpdateWindow();
        for (int top = 0; top + perPage < count; top += perPage) {
            m_grid.SendMessage(LVM_SCROLL, 0, perPage * row.Height());
            m_grid.UpdateWindow();
        }
    }

    CHostDialog m_host;
    CGridList m_grid;
};

void MeasureLogs(const std::string &folder, int rows)
{
    const std::string path = folder + "ProgramLogs.dat";
    RemoveFiles(path);
    {
        CProgramLogs store;
        store.Open(path.c_str());
        std::vector<LogRecord> logs;
        for (int i = 0; i < rows; ++i)
            logs.push_back(LogRow(i));
        store.AddLogsOfPass(logs);
    }
    CProgramLogs store;
    store.Open(path.c_str());
    std::vector<LogRecord> logs;
    const double reading = Milliseconds(
        [&] { store.QueryLogs(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, logs); });
    printf("logs     %6d rows: QueryLogs %8.1f ms (%zu rows)\n", rows, reading, logs.size());

    BenchGrid bench;
    bench.Grid().SetColumns("Time,120;Program,160;Direction,60;Protocol,50;Local,60;Remote,100;Port,50;"
                            "Received,70;Sent,60;Action,50");
    CImageList images;
    images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 3, 1);
    images.Add(LoadIconA(NULL, MAKEINTRESOURCEA(32516)));
    bench.Grid().SetImageList(&images, LVSIL_NORMAL);
    bench.Measure("logs", rows, [&](CGridList &grid) {
        for (const LogRecord &log : logs) {
            char when[24];
            wsprintfA(when, "%02lu/%02lu/2026", log.StartTime % 28 + 1, log.StartTime % 12 + 1);
            const int item = grid.AddRow({when, log.Path, log.Direction ? "In" : "Out", "TCP",
                                          Number(log.LocalPort), Address(log.RemoteIP), Number(log.RemotePort),
                                          Number(log.InCount), Number(log.OutCount), Number(log.Action)});
            grid.SetRowData(item, log.ID);
            grid.SetCellImage(item, 0, 0);
        }
    }, 7);
    bench.Grid().SetImageList(nullptr, LVSIL_NORMAL);
    RemoveFiles(path);
}

void MeasurePrograms(const std::string &folder, int rows)
{
    const std::string path = folder + "ProgramsRule.dat";
    RemoveFiles(path);
    {
        CProgramsRuleLib store;
        store.Create(path.c_str());
        for (int i = 0; i < rows; ++i)
            store.AddRule(("C:\\Program Files\\Tool" + std::to_string(i) + "\\tool.exe").c_str(),
                          static_cast<BYTE>(i % 3), static_cast<BYTE>((i + 1) % 3), 2, static_cast<BYTE>(i % 2));
    }
    CProgramsRuleLib store;
    store.Open(path.c_str());
    std::vector<RuleRecord> rules;
    const double reading = Milliseconds([&] { store.LoadRules(rules); });
    printf("programs %6d rows: LoadRules %8.1f ms (%zu rules)\n", rows, reading, rules.size());

    BenchGrid bench;
    bench.Grid().SetColumns("Active,40;Program,300;Internet,52;Trusted,52;Mail,52;Lock,24;Option,26");
    bench.Measure("programs", rows, [&](CGridList &grid) {
        for (const RuleRecord &rule : rules) {
            const int item = grid.AddRow({"", rule.Path});
            grid.SetRowData(item, rule.ID);
            grid.SetCellType(item, 0, RUNTIME_CLASS(CJActiveCell));
            const int actions[3] = {rule.InetAction, rule.TnetAction, rule.EmailAction};
            for (int column = 2; column <= 4; ++column) {
                grid.SetCellType(item, column, RUNTIME_CLASS(CJActionCell));
                grid.SetCellValue(item, column, actions[column - 2]);
            }
            grid.SetCellType(item, 5, RUNTIME_CLASS(CJKeyCell));
            grid.SetCellValue(item, 5, rule.LockKey);
            grid.SetCellType(item, 6, RUNTIME_CLASS(CJOptionCell));
        }
    }, 1);
    RemoveFiles(path);
}

// Shows a page in a host dialog at the size the console gives it.
void ShowPage(CHostDialog &host, CWnd &page)
{
    SetWindowPos(host.Handle(), nullptr, 0, 0, 760, 420, SWP_NOMOVE | SWP_NOZORDER);
    page.ShowWindow(SW_SHOW);
    page.MoveWindow(0, 0, 740, 380);
    PumpFor(150);
}

// The time from the work's start until the grid has drawn what it holds:
// the work, then the messages it left, then any painting still due.
void MeasureShown(const char *what, CGridList &grid, const std::function<void()> &work)
{
    const double start = Seconds();
    work();
    const double worked = Seconds();
    PumpFor(0);
    grid.UpdateWindow();
    const double shown = Seconds();
    printf("%-40s %8.1f ms to shown (the page's work %8.1f ms, then %6.1f ms of messages and painting)\n", what,
           (shown - start) * 1000.0, (worked - start) * 1000.0, (shown - worked) * 1000.0);
}

void SetDay(HWND picker, const SYSTEMTIME &day)
{
    SendMessageA(picker, DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&day));
}

// The log page's Query over `rows` rows of `programs` programs that take
// turns, all of one day.
void MeasureLogsPage(int rows, int programs)
{
    CProgramFolderFixture assets;
    CProgramLogs logs;
    CProgramsRuleLib rules;
    if (!logs.Open(assets.File("ProgramLogs.dat")) || !rules.Open(assets.File("ProgramsRule.dat"))) {
        printf("logs page: the stores did not open\n");
        return;
    }
    const std::vector<CString> paths = SystemProgramPaths(programs);
    SYSTEMTIME today;
    GetLocalTime(&today);
    today.wHour = 12;
    today.wMinute = today.wSecond = today.wMilliseconds = 0;
    const DWORD noon = static_cast<DWORD>(CTime(today).GetTime());
    std::vector<LogRecord> stored;
    for (int i = 0; i < rows; ++i) {
        LogRecord log = LogRow(i);
        log.Path = paths[i % programs];
        log.StartTime = noon - static_cast<DWORD>(rows) + static_cast<DWORD>(i);
        log.EndTime = log.StartTime + 1;
        stored.push_back(log);
    }
    logs.AddLogsOfPass(stored);

    CHostDialog host;
    host.Show();
    CLogsFrame page;
    page.Bind(&logs, &rules, assets.LanguageFile(), assets.SkinFile(""));
    if (!page.Create(IDD_LOGS_PAGE, CWnd::FromHandle(host.Handle()))) {
        printf("logs page: the page could not be made\n");
        return;
    }
    ShowPage(host, page);
    page.SelectTab(CLogsFrame::TAB_PROGRAMS);
    SetDay(::GetDlgItem(page.m_hWnd, IDC_WINDOW_START), today);
    SetDay(::GetDlgItem(page.m_hWnd, IDC_WINDOW_END), today);
    PumpFor(100);
    char what[64];
    wsprintfA(what, "logs page query, %d rows of %d programs", rows, programs);
    MeasureShown(what, page.ProgramLogGrid(), [&] { page.QueryProgramLogs(); });
    printf("%-40s %d rows, %d icons\n", "", page.ProgramLogGrid().GetItemCount(),
           page.ProgramIcons().GetImageCount());
    page.DestroyWindow();
}

void MeasureProgramPageOver(const CProgramFolderFixture &assets, int count);

// No provider is loaded here: the publisher's announcements go nowhere.
DWORD WINAPI IgnoreSpiCall(DWORD, SpiIoBlock *)
{
    return 0;
}

// The program page over `count` rules: opened (its first fill), then
// filled again as after an edit.
void MeasureProgramPage(int count)
{
    CProgramFolderFixture assets;
    {
        CProgramsRuleLib rules;
        if (!rules.Open(assets.File("ProgramsRule.dat"))) {
            printf("program page: the rule store did not open\n");
            return;
        }
        std::vector<RuleRecord> shipped;
        rules.LoadRules(shipped);
        for (const RuleRecord &rule : shipped)
            rules.DeleteRule(rule.ID);
        for (const CString &path : SystemProgramPaths(count))
            rules.AddRule(path, 1, 1, 2, 0);
    }
    // The rule image lives in the emulated driver's device, which exists
    // while its service key does.
    HKEY key;
    const bool installed = RegOpenKeyExA(HKEY_LOCAL_MACHINE, NETVANE_SERVICE_KEY, 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (installed)
        RegCloseKey(key);
    NetvaneReset();
    NetvaneInstallService();
    MeasureProgramPageOver(assets, count);
    NetvaneReset();
    if (!installed)
        NetvaneRemoveService();
}

void MeasureProgramPageOver(const CProgramFolderFixture &assets, int count)
{
    CAclPublisher publisher;
    publisher.SetSpiIoControl(IgnoreSpiCall);
    const double building = Seconds();
    if (!publisher.Build()) {
        printf("program page: the rule image could not be built\n");
        return;
    }
    char what[64];
    wsprintfA(what, "rule image built, %d rules", count);
    printf("%-40s %8.1f ms\n", what, (Seconds() - building) * 1000.0);
    CHostDialog host;
    host.Show();
    CProgramFrame page;
    page.Bind(&publisher, assets.LanguageFile(), assets.SkinFile(""));
    wsprintfA(what, "program page opened, %d rules", count);
    const double start = Seconds();
    if (!page.Create(IDD_PROGRAM_PAGE, CWnd::FromHandle(host.Handle()))) {
        printf("program page: the page could not be made\n");
        return;
    }
    ShowPage(host, page);
    printf("%-40s %8.1f ms to shown (made, filled, laid out and painted)\n", what, (Seconds() - start) * 1000.0);
    CGridList &grid = *static_cast<CGridList *>(CWnd::FromHandlePermanent(::GetDlgItem(page.m_hWnd, IDC_RULE_GRID)));
    wsprintfA(what, "program page fill, %d rules", count);
    MeasureShown(what, grid, [&] { page.FillProgramList(); });
    printf("%-40s %d rows\n", "", grid.GetItemCount());
    page.DestroyWindow();
}

} // namespace

int main()
{
    const std::string folder = TempFolder();
    for (int rows : {1000, 10000}) {
        MeasureLogs(folder, rows);
        MeasurePrograms(folder, rows);
    }
    RemoveDirectoryA(folder.c_str());
    MeasureLogsPage(10000, 50);
    for (int rules : {1000, 10000})
        MeasureProgramPage(rules);
    return 0;
}
