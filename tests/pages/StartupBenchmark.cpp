// How long the console takes to start with a real machine's amounts of
// rules: QFW.exe installed by its own -fzinstall in a fresh program folder,
// started five times with one program rule and five times with 1,000
// program rules and 100 entries in the trusted and blocked zones, the two
// kinds taking turns so that the machine's load falls on both alike. Each
// start is timed from the process's creation to its main window shown and
// to its icon in the notification area, which a stand-in of this program's
// own takes as the shell would; it prints every start and the medians.
// The rules name the programs of the system folder, so that whatever reads
// them at the start reads real files and icons. A measuring program, not a test; it
// shows windows, so it runs under the display:
//   StartupBenchmark
#include "ConsoleProcess.h"
#include "StandInNotificationArea.h"

#include <BenchmarkClock.h>
#include <ConsoleInstance.h>
#include <ConsoleMessages.h>
#include <DataBase.h>
#include <FirewallLib.h>
#include <NetvaneControl.h>
#include <ProgramFolderFixture.h>
#include <ProgramsRuleLib.h>
#include <SystemPrograms.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const int kStarts = 5;
const int kManyRules = 1000;
const int kZoneEntries = 100;
const double kWaitSeconds = 60.0;

// The rule and zone files of one kind of start, kept beside the folder's
// own and laid in before each start.
struct StartKind
{
    const char *name;
    CString rules;
    CString zones;
    std::vector<double> shown;
    std::vector<double> icon;
};

// Leaves `count` program rules in the store, and adds `zoneEntries`
// entries to the zone store, the trusted and the blocked zone by turns.
bool SeedStores(const CString &rulesPath, const CString &zonesPath, int count, int zoneEntries)
{
    CProgramsRuleLib rules;
    if (!rules.Open(rulesPath))
        return false;
    std::vector<RuleRecord> stored;
    rules.LoadRules(stored);
    for (const RuleRecord &rule : stored)
        rules.DeleteRule(rule.ID);
    for (const CString &path : SystemProgramPaths(count))
        if (!rules.AddRule(path, 1, 1, 2, 0))
            return false;
    CFirewallLib zones;
    if (!zones.Open(zonesPath))
        return false;
    for (int i = 0; i < zoneEntries; ++i) {
        const BOOL blocked = i % 2;
        ZoneRecord zone;
        char name[32];
        wsprintfA(name, "%s host %d", blocked ? "Blocked" : "Trusted", i);
        zone.Name = name;
        zone.IP1 = (blocked ? 0x0A000000u : 0xC0A80000u) + static_cast<DWORD>(i + 1);
        if (!zones.AddZone(zone, blocked))
            return false;
    }
    return true;
}

// The console's marked main window, once it is visible.
bool MainWindowShown(const CConsoleProcess &console)
{
    HWND window = FindMarkedConsoleWindow();
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return window && owner == console.Id() && IsWindowVisible(window);
}

// One start of the console in the folder: false when it showed no window
// or no icon in time.
bool TimeStart(const CString &folder, CStandInNotificationArea &tray, StartKind &kind)
{
    {
        // A fresh install's first starts stay in the notification area.
        CDataBase settings;
        settings.Open(folder + "Config.dat");
        settings.SetUInt("StartCount", 5, "Options");
    }
    if (!CopyFileA(kind.rules, folder + "ProgramsRule.dat", FALSE) ||
        !CopyFileA(kind.zones, folder + "Firewall.dat", FALSE))
        return false;
    tray.Forget();
    const double start = Seconds();
    CConsoleProcess console(folder, "");
    if (!console.Started())
        return false;
    double shown = 0.0;
    while ((shown == 0.0 || tray.FirstRequestSeconds() == 0.0) && Seconds() - start < kWaitSeconds &&
           console.WaitForExit(2) == STILL_ACTIVE) {
        if (shown == 0.0 && MainWindowShown(console))
            shown = Seconds();
    }
    const double icon = tray.FirstRequestSeconds();
    if (HWND main = FindMarkedConsoleWindow())
        SendMessageTimeoutA(main, WM_CONSOLE_EXIT, 0, 0, SMTO_NORMAL, 30000, nullptr);
    console.WaitForExit();
    if (shown == 0.0 || icon == 0.0) {
        printf("%-30s start: %s\n", kind.name, shown == 0.0 ? "no main window shown" : "no icon");
        return false;
    }
    kind.shown.push_back((shown - start) * 1000.0);
    kind.icon.push_back((icon - start) * 1000.0);
    printf("%-30s start: main window shown %7.0f ms, icon %7.0f ms\n", kind.name, kind.shown.back(),
           kind.icon.back());
    return true;
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

} // namespace

int main()
{
    setvbuf(stdout, nullptr, _IONBF, 0);
    NetvaneReset();
    CProgramFolderFixture folder;
    if (!InstallConsole(folder.Path())) {
        printf("the console could not be installed\n");
        return 1;
    }
    StartKind kinds[] = {{"1 program rule", folder.File("One-ProgramsRule.dat"), folder.File("One-Firewall.dat"), {}, {}},
                         {"1,000 rules, 100 zone entries", folder.File("Many-ProgramsRule.dat"),
                          folder.File("Many-Firewall.dat"), {}, {}}};
    const int ruleCounts[] = {1, kManyRules};
    const int zoneCounts[] = {0, kZoneEntries};
    for (int i = 0; i < 2; ++i) {
        if (!CopyFileA(folder.File("ProgramsRule.dat"), kinds[i].rules, FALSE) ||
            !CopyFileA(folder.File("Firewall.dat"), kinds[i].zones, FALSE) ||
            !SeedStores(kinds[i].rules, kinds[i].zones, ruleCounts[i], zoneCounts[i])) {
            printf("the stores of \"%s\" could not be made\n", kinds[i].name);
            UninstallConsole();
            return 1;
        }
    }
    int status = 0;
    {
        CStandInNotificationArea tray(true);
        for (int round = 0; round < kStarts; ++round)
            for (StartKind &kind : kinds)
                if (!TimeStart(folder.Path(), tray, kind))
                    status = 1;
    }
    for (const StartKind &kind : kinds)
        printf("%-30s median of %zu: main window shown %7.0f ms, icon %7.0f ms\n", kind.name, kind.shown.size(),
               Median(kind.shown), Median(kind.icon));
    if (!kinds[0].shown.empty() && !kinds[1].shown.empty())
        printf("ratio many/one: main window shown %.3f, icon %.3f\n", Median(kinds[1].shown) / Median(kinds[0].shown),
               Median(kinds[1].icon) / Median(kinds[0].icon));
    UninstallConsole();
    NetvaneReset();
    return status;
}
