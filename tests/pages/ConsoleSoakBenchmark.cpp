// A console that runs for a long time, driven hard: the real QFW.exe in a
// program folder of its own after its own install, with 1,000 program
// rules, and clients copied into folders of their own that connect on
// loopback through the catalog router, QFW.DLL and the emulated driver.
// Each round:
//   - 200 programs with a pass rule connect 10 times each (2,000 connections);
//   - one program with a deny rule is refused 200 times, in bursts;
//   - 20 questions of programs that the console asks about, answered by
//     clicks on the pop-ups;
//   - every page of the main window chosen by a click, ending on the
//     monitor's connections tab.
// Printed after the warm-up round, after every round and at the end: the
// console's handles, GDI and user objects (where the platform reports
// them), private bytes, windows, and the size of the connection tree's
// image list; at the end the connection log's rows against the connections
// made.
// A measuring program, not a test:  ConsoleSoakBenchmark [rounds]   (10 rounds
// by default)
#include <winsock2.h>

#include <commctrl.h>
#include <psapi.h>
#include <tlhelp32.h>

#include "ClientRun.h"
#include "ConsoleProcess.h"
#include "QueryPopups.h"

#include <ConsoleMessages.h>
#include <ConsoleResources.h>
#include <DataBase.h>
#include <FirewallTypes.h>
#include <MonitorPageIds.h>
#include <NetvaneControl.h>
#include <ProgramFolderFixture.h>
#include <ProgramLogs.h>
#include <ProgramsRuleLib.h>
#include <RealInput.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kPrograms = 200;
const int kConnectionsEach = 10;
const int kRefusalBursts = 4;
const int kRefusalsPerBurst = 50;
const int kAskedPrograms = 10;
const int kQuestionsPerRound = 20;
const int kRules = 1000;
const int kClientsAtOnce = 8;

// An accepting loop outside the provider: every connection is taken and
// closed.
class CAcceptor {
public:
    CAcceptor()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        m_socket = ListenOnLoopback(0, SOMAXCONN);
        sockaddr_in address = {};
        int length = sizeof address;
        getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = CreateThread(NULL, 0, Accept, this, 0, NULL);
    }
    ~CAcceptor()
    {
        closesocket(m_socket);
        WaitForSingleObject(m_thread, 10000);
        CloseHandle(m_thread);
        WSACleanup();
    }
    CAcceptor(const CAcceptor &) = delete;
    CAcceptor &operator=(const CAcceptor &) = delete;

    WORD Port() const { return m_port; }

private:
    static DWORD WINAPI Accept(LPVOID self)
    {
        const SOCKET listener = static_cast<CAcceptor *>(self)->m_socket;
        for (;;) {
            SOCKET peer = accept(listener, NULL, NULL);
            if (peer == INVALID_SOCKET)
                return 0;
            closesocket(peer);
        }
    }

    SOCKET m_socket;
    WORD m_port = 0;
    HANDLE m_thread;
};

struct Figures {
    DWORD Handles = 0;
    DWORD Gdi = 0;
    DWORD User = 0;
    SIZE_T PrivateBytes = 0;
    int Windows = 0;
    int Images = -1;
};

struct WindowCount {
    DWORD Process;
    int Count;
};

BOOL CALLBACK CountChild(HWND, LPARAM count)
{
    ++*reinterpret_cast<int *>(count);
    return TRUE;
}

BOOL CALLBACK CountWindow(HWND window, LPARAM param)
{
    WindowCount &count = *reinterpret_cast<WindowCount *>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count.Process) {
        ++count.Count;
        EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&count.Count));
    }
    return TRUE;
}

BOOL CALLBACK FindTree(HWND window, LPARAM found)
{
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (GetDlgCtrlID(window) != IDC_CONNECTION_TREE || lstrcmpiA(name, WC_TREEVIEWA) != 0)
        return TRUE;
    *reinterpret_cast<HWND *>(found) = window;
    return FALSE;
}

// The base of the module of that name in the process, or NULL.
HMODULE ModuleIn(DWORD process, const char *name)
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process);
    if (snapshot == INVALID_HANDLE_VALUE)
        return NULL;
    MODULEENTRY32 entry;
    entry.dwSize = sizeof entry;
    HMODULE found = NULL;
    for (BOOL more = Module32First(snapshot, &entry); more && !found; more = Module32Next(snapshot, &entry))
        if (lstrcmpiA(entry.szModule, name) == 0)
            found = entry.hModule;
    CloseHandle(snapshot);
    return found;
}

// The image count of the tree's list, asked inside the console: the list
// lives in its memory. The call runs there as a thread of its own, which
// works when both processes map the same comctl32 at the same place;
// otherwise -1.
int TreeImageCount(HANDLE console, DWORD consoleId, HWND main)
{
    HWND tree = NULL;
    EnumChildWindows(main, FindTree, reinterpret_cast<LPARAM>(&tree));
    if (!tree)
        return -1;
    const LPARAM list = SendMessageA(tree, TVM_GETIMAGELIST, TVSIL_NORMAL, 0);
    HMODULE ours = LoadLibraryA("comctl32.dll");
    if (!list || !ours || ModuleIn(consoleId, "comctl32.dll") != ours)
        return -1;
    auto count = reinterpret_cast<LPTHREAD_START_ROUTINE>(
        reinterpret_cast<void (*)()>(GetProcAddress(ours, "ImageList_GetImageCount")));
    HANDLE thread = CreateRemoteThread(console, NULL, 0, count, reinterpret_cast<LPVOID>(list), 0, NULL);
    if (!thread)
        return -1;
    DWORD images = static_cast<DWORD>(-1);
    if (WaitForSingleObject(thread, 10000) == WAIT_OBJECT_0)
        GetExitCodeThread(thread, &images);
    CloseHandle(thread);
    return static_cast<int>(images);
}

// The system's handle table, where the process's own count is not kept
// (Wine answers 0 for it).
struct SystemHandle {
    ULONG OwnerPid;
    BYTE ObjectType;
    BYTE Flags;
    USHORT Value;
    PVOID Object;
    ULONG Access;
};
struct SystemHandles {
    ULONG Count;
    SystemHandle Handles[1];
};
typedef LONG(WINAPI *QuerySystemInformation)(ULONG, PVOID, ULONG, PULONG);

DWORD HandleCount(HANDLE console, DWORD consoleId)
{
    DWORD count = 0;
    if (GetProcessHandleCount(console, &count) && count)
        return count;
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return 0;
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    const ULONG kSystemHandleInformation = 16;
    while (query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) < 0) {
        if (buffer.size() >= (64u << 20))
            return 0;
        buffer.resize(buffer.size() * 2);
    }
    const SystemHandles &table = *reinterpret_cast<const SystemHandles *>(buffer.data());
    for (ULONG i = 0; i < table.Count; ++i)
        count += table.Handles[i].OwnerPid == consoleId;
    return count;
}

Figures Measure(HANDLE console, DWORD consoleId, HWND main)
{
    Figures figures;
    figures.Handles = HandleCount(console, consoleId);
    figures.Gdi = GetGuiResources(console, GR_GDIOBJECTS);
    figures.User = GetGuiResources(console, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    // The commit charge is the private bytes; Wine fills only the older field.
    if (GetProcessMemoryInfo(console, reinterpret_cast<PROCESS_MEMORY_COUNTERS *>(&memory), sizeof memory))
        figures.PrivateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    WindowCount windows = {consoleId, 0};
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&windows));
    figures.Windows = windows.Count;
    figures.Images = TreeImageCount(console, consoleId, main);
    return figures;
}

void Print(const char *when, const Figures &f)
{
    const bool gui = f.Gdi || f.User;
    char objects[64] = "not reported";
    if (gui)
        snprintf(objects, sizeof objects, "%lu / %lu", static_cast<unsigned long>(f.Gdi),
                 static_cast<unsigned long>(f.User));
    printf("%-18s handles %5lu  GDI/user %-13s private %7lu KiB  windows %4d  tree images %d\n", when,
           static_cast<unsigned long>(f.Handles), objects, static_cast<unsigned long>(f.PrivateBytes / 1024),
           f.Windows, f.Images);
    fflush(stdout);
}

class CSoak {
public:
    explicit CSoak(int rounds) : m_rounds(rounds) {}
    int Run()
    {
        NetvaneReset();
        if (!InstallConsole(m_folder.Path())) {
            printf("the console could not be installed\n");
            return 1;
        }
        if (!PrepareFolder())
            return 1;
        m_console.reset(new CConsoleProcess(m_folder.Path(), ""));
        m_main = m_console->Started() ? m_console->WaitForMarkedWindow() : NULL;
        HANDLE console = OpenProcess(PROCESS_ALL_ACCESS, FALSE, m_console->Id());
        if (!m_main || !console) {
            printf("the console did not start\n");
            return 1;
        }
        SendMessageA(m_main, WM_SHOW_CONSOLE, 0, 0);
        PumpFor(2000);
        printf("%d rounds: %d programs x %d connections, %d refusals, %d questions, page switches each\n",
               m_rounds, kPrograms, kConnectionsEach, kRefusalBursts * kRefusalsPerBurst, kQuestionsPerRound);
        Print("started", Measure(console, m_console->Id(), m_main));
        const DWORD start = GetTickCount();
        for (int round = 1; round <= m_rounds; ++round) {
            RunRound();
            PumpFor(3000);
            char when[32];
            snprintf(when, sizeof when, round == 1 ? "after warm-up" : "after round %d", round);
            Print(when, Measure(console, m_console->Id(), m_main));
        }
        printf("%lu s for the rounds\n", static_cast<unsigned long>((GetTickCount() - start) / 1000));
        PumpFor(8000); // the last connections closed, counted and logged
        Print("at rest", Measure(console, m_console->Id(), m_main));
        PostMessageA(m_main, WM_CONSOLE_EXIT, 0, 0);
        const DWORD code = m_console->WaitForExit(30000);
        CloseHandle(console);
        m_console.reset();
        ReportLog(code);
        UninstallConsole();
        NetvaneReset();
        return 0;
    }

private:
    // The rules, the clients, and the alerts switched on.
    bool PrepareFolder()
    {
        CProgramsRuleLib rules;
        if (!rules.Open(m_folder.File("ProgramsRule.dat"))) {
            printf("no rule store\n");
            return false;
        }
        int stored = 0;
        for (int i = 0; i < kPrograms; ++i) {
            m_passing.push_back(Client("pass" + std::to_string(i)));
            stored += rules.AddRule(m_passing.back().c_str(), ACTION_PASS, ACTION_PASS, ACTION_DENY, 0) != 0;
        }
        m_refused = Client("refused");
        stored += rules.AddRule(m_refused.c_str(), ACTION_DENY, ACTION_DENY, ACTION_DENY, 0) != 0;
        for (int i = 0; i < kAskedPrograms; ++i)
            m_asked.push_back(Client("asked" + std::to_string(i)));
        for (int i = stored; i < kRules; ++i) {
            const std::string path = "C:\\Soak\\Absent\\program" + std::to_string(i) + ".exe";
            stored += rules.AddRule(path.c_str(), ACTION_PASS, ACTION_PASS, ACTION_DENY, 0) != 0;
        }
        printf("%d program rules stored\n", stored);
        CDataBase settings;
        settings.Open(m_folder.File("Config.dat"));
        settings.SetString("EnableWndAlert", "1", "Options");
        settings.SetString("EnableSoundAlert", "1", "Options");
        return stored == kRules;
    }

    std::string Client(const std::string &folder)
    {
        const std::string apps = std::string(m_folder.Path()) + "Apps\\";
        CreateDirectoryA(apps.c_str(), NULL);
        CreateDirectoryA((apps + folder).c_str(), NULL);
        const std::string path = apps + folder + "\\wsclient.exe";
        CopyFileA((TestFolder() + "wsclient.exe").c_str(), path.c_str(), FALSE);
        return path;
    }

    std::string Connect(int times) const
    {
        return "repeat " + std::to_string(times) + " connect 127.0.0.1 " + std::to_string(m_acceptor.Port());
    }

    void RunRound()
    {
        RunClients(m_passing, Connect(kConnectionsEach));
        for (int burst = 0; burst < kRefusalBursts; ++burst) {
            CClientRun refused(Connect(kRefusalsPerBurst), m_refused);
            refused.Wait();
            m_made += kRefusalsPerBurst;
            m_refusedSeen += Failures(refused);
        }
        for (int asked = 0; asked < kQuestionsPerRound; asked += kAskedPrograms)
            AskAndAnswer();
        SwitchPages();
    }

    // Each program's client, a few at a time.
    void RunClients(const std::vector<std::string> &programs, const std::string &arguments)
    {
        std::vector<std::unique_ptr<CClientRun>> running;
        for (const std::string &program : programs) {
            running.emplace_back(new CClientRun(arguments, program));
            m_made += kConnectionsEach;
            if (running.size() == kClientsAtOnce)
                WaitForAll(running);
        }
        WaitForAll(running);
    }

    void WaitForAll(std::vector<std::unique_ptr<CClientRun>> &running)
    {
        for (auto &run : running) {
            run->Wait();
            m_passFailures += Failures(*run);
        }
        running.clear();
    }

    // The failed connections a repeating client reports.
    static int Failures(const CClientRun &run)
    {
        int failed = 0, times = 0;
        const size_t at = run.Output().rfind(" failed");
        const size_t line = run.Output().rfind('\n', at == std::string::npos ? 0 : at);
        const char *text = run.Output().c_str() + (line == std::string::npos ? 0 : line + 1);
        return sscanf(text, "%d of %d failed", &failed, &times) == 2 ? failed : 0;
    }

    // The asked programs connect at once; every pop-up is allowed by a
    // click (without remembering, so they are asked again next time).
    void AskAndAnswer()
    {
        std::vector<std::unique_ptr<CClientRun>> running;
        for (const std::string &program : m_asked)
            running.emplace_back(new CClientRun(Connect(1), program));
        m_made += static_cast<int>(m_asked.size());
        auto allEnded = [&] {
            for (auto &run : running)
                if (!run->Ended())
                    return false;
            return true;
        };
        const DWORD start = GetTickCount();
        while (!allEnded() && GetTickCount() - start < 120000) {
            for (HWND popup : QueryPopupsOf(m_console->Id())) {
                BringToFront(popup);
                ClickControl(GetDlgItem(popup, IDC_QUERY_ALLOW));
                ++m_clicks;
            }
            PumpFor(200);
        }
        for (auto &run : running)
            run->Wait();
    }

    void SwitchPages()
    {
        const UINT sideBar[] = {IDC_SIDE_FIREWALL, IDC_SIDE_PROGRAM, IDC_SIDE_LOGS,
                                IDC_SIDE_OPTIONS,  IDC_SIDE_INFO,    IDC_SIDE_MONITOR};
        BringToFront(m_main);
        for (UINT id : sideBar) {
            ClickControl(GetDlgItem(m_main, id));
            PumpFor(300);
        }
        HWND tab = NULL;
        struct Find {
            static BOOL CALLBACK Tab(HWND window, LPARAM found)
            {
                if (GetDlgCtrlID(window) != IDC_MONITOR_ONLINE_TAB || !IsWindowVisible(window))
                    return TRUE;
                *reinterpret_cast<HWND *>(found) = window;
                return FALSE;
            }
        };
        EnumChildWindows(m_main, Find::Tab, reinterpret_cast<LPARAM>(&tab));
        if (tab)
            ClickControl(tab);
        PumpFor(300);
    }

    void ReportLog(DWORD exitCode)
    {
        printf("console exit code %lu\n", static_cast<unsigned long>(exitCode));
        CProgramLogs logs;
        std::vector<LogRecord> rows;
        if (!logs.Open(m_folder.File("ProgramLogs.dat")) ||
            !logs.QueryLogs(0, 0x7FFFFFFF, CProgramLogs::kAllPrograms, CProgramLogs::kAllActions, rows)) {
            printf("the connection log could not be read\n");
            return;
        }
        size_t refused = 0;
        for (const LogRecord &row : rows)
            refused += row.Action == ACTION_DENY;
        printf("connection log: %zu rows for %d connections made (%zu refused rows); %d clicks on pop-ups\n",
               rows.size(), m_made, refused, m_clicks);
        printf("as the clients saw it: %d of %d refusals refused, %d passing connections failed\n", m_refusedSeen,
               m_rounds * kRefusalBursts * kRefusalsPerBurst, m_passFailures);
    }

    int m_rounds;
    CProgramFolderFixture m_folder;
    CAcceptor m_acceptor;
    std::unique_ptr<CConsoleProcess> m_console;
    HWND m_main = NULL;
    std::vector<std::string> m_passing;
    std::vector<std::string> m_asked;
    std::string m_refused;
    int m_made = 0;
    int m_clicks = 0;
    int m_refusedSeen = 0;
    int m_passFailures = 0;
};

} // namespace

int main(int argc, char **argv)
{
    const int rounds = argc > 1 ? atoi(argv[1]) : 10;
    if (rounds < 1) {
        printf("usage: ConsoleSoakBenchmark [rounds]\n");
        return 2;
    }
    CSoak soak(rounds);
    return soak.Run();
}
