// What the publisher's tests share: a fresh program folder with real rule
// databases, the emulated driver, and a control entry that records every
// call in one timeline with the driver's calls (and hands it on to the real
// provider when a test loads one).
#pragma once

#include <windows.h>
#include <string>
#include <vector>

#include "AclPublisher.h"
#include "NetvaneFixture.h"
#include "SpiIoBlock.h"
#include "TestFolder.h"

struct SpiCall {
    DWORD Code;
    SpiIoBlock Block;
    DWORD DriverCallsBefore; // the emulator's call count when it came
};

// The calls that reached the recording entry, oldest first.
std::vector<SpiCall> &RecordedSpiCalls();
DWORD WINAPI RecordingSpiIoControl(DWORD code, SpiIoBlock *block);
// The entry the recording one hands every call on to; none by default.
void ForwardSpiCalls(SpiIoControlProc entry);

// The last announcement that the recording entry saw: its block handle,
// address in the console and size; all 0 when there was none.
SpiIoBlock LastAnnouncement();

// Starts the timeline afresh: calls before this are not shown.
void MarkTimeline();

// This process's driver calls and control-entry calls since the mark,
// in order, as short texts such as "spi ACL_UPDATING 1" or "SET_ACL_READY 0".
// Failed driver calls end in " failed".
std::vector<std::string> Timeline();

class CPublisherFixture : public CNetvaneFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The program folder's databases: the ones the build ships, or empty
    // files with the tables only.
    void UseShippedDatabases();
    void UseEmptyDatabases();

    std::string FirewallPath() const { return m_folder.File("Firewall.dat"); }
    std::string RulesPath() const { return m_folder.File("ProgramsRule.dat"); }

    // Rows written before the publisher opens the files.
    DWORD StoreZone(BOOL blocked, const char *name, BYTE type, DWORD ip1, DWORD ip2,
                    const char *site);
    DWORD StoreRule(const char *path, BYTE inet, BYTE tnet, BYTE mail, BYTE lockKey);

    // A publisher built over the program folder with the recording entry.
    void BuildPublisher();

    CTestFolder m_folder;
    CAclPublisher *m_publisher = nullptr;
};

// A copy of every byte of the image, to show that an edit left it alone.
std::vector<BYTE> Snapshot(const CAclPublisher &publisher);

// The entries of one array of the image as the console sees it, up to its
// terminator.
std::vector<ZoneEntry> ZoneEntries(const CAclPublisher &publisher, BOOL blocked);
std::vector<ProgramRule> ProgramRules(const CAclPublisher &publisher);
std::vector<TimeRule> TimeRules(const CAclPublisher &publisher);
