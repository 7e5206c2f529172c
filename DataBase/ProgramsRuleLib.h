// The store of ProgramsRule.dat: the program rules with their advanced
// settings for the Internet zone (Inet columns) and the trusted zone (Tnet
// columns), the program security level (table Config) and the seven time
// schedules (table Times).
//
// The file ships with the program and is never made by the console: a file
// that is missing, or that lacks its tables, does not open.
#pragma once

#include "NetRuleSettings.h"
#include "RuleRecord.h"
#include "StoreBase.h"
#include "TimeRecord.h"

#include <map>
#include <vector>

class CProgramsRuleLib : public CStoreBase
{
public:
    CProgramsRuleLib();
    virtual ~CProgramsRuleLib();

    // TRUE when the file exists, is a database and holds the four tables.
    BOOL Open(LPCTSTR path);
    // Makes a new file with the tables and their first rows, as the program
    // ships it (without time schedules); FALSE when the file exists already
    // or cannot be made.
    BOOL Create(LPCTSTR path);
    // The tables, the Config row and the system rows, in one transaction.
    BOOL CreateTables();

    // The value of a Config key; an empty text without a row or on failure.
    CString GetConfig(LPCTSTR key);
    // A key without a row changes nothing and gives TRUE.
    BOOL SetConfig(LPCTSTR key, LPCTSTR value);
    BOOL SetProgramLevel(BYTE level);

    // A rule for the program with the given actions and lock key, recorded
    // now, with the table's advanced defaults. The new ID, 0 on failure
    // (such as a path that has a rule already).
    DWORD AddRule(LPCTSTR path, BYTE inetAction, BYTE tnetAction, BYTE mailAction, BYTE lockKey);
    // A missing ID changes nothing and gives TRUE.
    BOOL DeleteRule(DWORD id);
    BOOL UpdateRuleActions(DWORD id, BYTE inetAction, BYTE tnetAction, BYTE mailAction, BYTE lockKey);
    // Fills ID, Path, the actions and the lock key when the rule exists;
    // otherwise the record is not touched. FALSE when the store could not
    // be read.
    BOOL GetRule(DWORD id, RuleRecord &rule);
    // The list is cleared first; on a failure (FALSE) it keeps the rules
    // read so far.
    BOOL LoadRules(std::vector<RuleRecord> &rules);
    // The program path of a rule; an empty text without a row or on failure.
    CString GetRulePath(DWORD id);
    // The ID of the program's rule, compared as the table keeps paths
    // unique; 0 without a rule or on failure.
    DWORD FindRule(LPCTSTR path);

    // TRUE with the record filled when the rule exists; otherwise the
    // record is not touched.
    BOOL GetInetSettings(DWORD id, NetRuleSettings &settings);
    BOOL GetTnetSettings(DWORD id, NetRuleSettings &settings);
    // Every rule's settings of the zone, "Inet" or "Tnet", by rule ID, in
    // one read. The map is cleared first; on a failure it keeps the rules
    // read so far.
    void LoadSettings(LPCTSTR zone, std::map<DWORD, NetRuleSettings> &settings);
    // The record's own ID is not used.
    BOOL SetInetSettings(DWORD id, const NetRuleSettings &settings);
    BOOL SetTnetSettings(DWORD id, const NetRuleSettings &settings);

    // The new schedule's ID, 0 on failure (such as a description in use).
    DWORD AddTime(LPCTSTR description, BYTE weekDays, DWORD startTime, DWORD endTime);
    // The list is cleared first; Memo is left empty.
    void LoadTimes(std::vector<TimeRecord> &times);
    // Stores the week days, times and memo; the description stays.
    BOOL UpdateTime(DWORD id, const TimeRecord &time);
    // Fills ID, WeekDay, StartTime, EndTime and Memo when the schedule
    // exists; the description is never touched.
    BOOL GetTime(DWORD id, TimeRecord &time);

private:
    BOOL GetSettings(LPCTSTR zone, DWORD id, NetRuleSettings &settings);
    BOOL SetSettings(LPCTSTR zone, DWORD id, const NetRuleSettings &settings);
};
