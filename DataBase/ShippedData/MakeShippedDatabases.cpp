// Makes the two rule databases that ship with the program, Firewall.dat and
// ProgramsRule.dat, in the folder given on the command line, through the
// stores' own table creation.
//
// Firewall.dat holds its tables and Config rows and no zone entries.
// ProgramsRule.dat holds its tables, no rules, and the seven time schedules
// that the rules refer to by ID. Every rule starts on schedule 1, which the
// user cannot change, so it is every day, the whole day: a rule must never
// be refused by a schedule the user did not choose.
//
// The schedules' times are instants whose local time of day depends on the
// computer's time zone, which the build cannot know; so every shipped
// schedule spans the whole day (start equal to end) and they differ in
// their week days only. The user sets their hours.
#include "FirewallLib.h"
#include "ProgramsRuleLib.h"

#include <windows.h>
#include <cstdio>

namespace {

// Week-day bits: day d (0 Sunday) is 0x80 >> d.
const BYTE kSunday = 0x80, kMonday = 0x40, kTuesday = 0x20, kWednesday = 0x10, kThursday = 0x08,
           kFriday = 0x04, kSaturday = 0x02;
const BYTE kEveryDay = kSunday | kMonday | kTuesday | kWednesday | kThursday | kFriday | kSaturday;
const BYTE kWorkingDays = kMonday | kTuesday | kWednesday | kThursday | kFriday;
const BYTE kWeekend = kSaturday | kSunday;

struct ShippedSchedule
{
    LPCTSTR description;
    BYTE weekDays;
};

// In ID order, 1 to 7.
const ShippedSchedule kSchedules[] = {
    {"Every day", kEveryDay},
    {"Working days", kWorkingDays},
    {"Weekend", kWeekend},
    {"Custom schedule 4", kEveryDay},
    {"Custom schedule 5", kEveryDay},
    {"Custom schedule 6", kEveryDay},
    {"Custom schedule 7", kEveryDay},
};

// A file left by an earlier build is replaced.
bool RemoveOld(const CString &path)
{
    if (DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND)
        return true;
    fprintf(stderr, "cannot replace %s (error %lu)\n", static_cast<LPCTSTR>(path), GetLastError());
    return false;
}

bool MakeFirewallDatabase(const CString &path)
{
    CFirewallLib store;
    if (!RemoveOld(path))
        return false;
    if (!store.Create(path))
    {
        fprintf(stderr, "cannot make %s\n", static_cast<LPCTSTR>(path));
        return false;
    }
    return true;
}

bool MakeProgramsRuleDatabase(const CString &path)
{
    CProgramsRuleLib store;
    if (!RemoveOld(path))
        return false;
    if (!store.Create(path))
    {
        fprintf(stderr, "cannot make %s\n", static_cast<LPCTSTR>(path));
        return false;
    }
    DWORD expectedId = 1;
    for (const ShippedSchedule &schedule : kSchedules)
    {
        if (store.AddTime(schedule.description, schedule.weekDays, 0, 0) != expectedId++)
        {
            fprintf(stderr, "cannot add the schedule \"%s\" to %s\n", schedule.description,
                    static_cast<LPCTSTR>(path));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
    {
        fprintf(stderr, "usage: MakeShippedDatabases <folder>\n");
        return 2;
    }
    CString folder(argv[1]);
    if (folder.Right(1) != "\\")
        folder += "\\";
    const bool made = MakeFirewallDatabase(folder + "Firewall.dat") &&
                      MakeProgramsRuleDatabase(folder + "ProgramsRule.dat");
    return made ? 0 : 1;
}
