// The console's side of the rule image: builds it once from the zone store
// and the program rule store in a block that the driver allocates, announces
// it to the provider and the driver, applies every rule edit to the store
// first and then in place to the image, and releases it at the end.
//
// Every operation runs on the console's user-interface thread. The one
// exception is the host-name resolver, which reads and stores the addresses
// of host-name entries from its own thread through GetHostEntries and
// StoreHostAddress; they and every change of the zone lists or of the block
// share one lock.
#pragma once

#include <windows.h>
#include <vector>

#include "AclImage.h"
#include "CString.h"
#include "CTime.h"
#include "FirewallLib.h"
#include "ProgramsRuleLib.h"
#include "SpiIoBlock.h"

// A host-name entry as the resolver sees it between two passes.
struct ZoneHostEntry {
    DWORD ID;
    CString Site;
};

class CAclPublisher {
public:
    CAclPublisher();
    virtual ~CAclPublisher();

    // The stores, also read directly by the pages and used by them for the
    // settings that the image does not carry (levels, work mode).
    CProgramsRuleLib &RuleStore() { return m_rules; }
    CFirewallLib &ZoneStore() { return m_zones; }

    // The provider's control entry, copied from the application's binding.
    void SetSpiIoControl(SpiIoControlProc entry) { m_spiIoControl = entry; }
    SpiIoControlProc GetSpiIoControl() const { return m_spiIoControl; }

    // The image's header in the console; null while there is no image.
    AclHeader *GetHeader() const { return m_header; }
    DWORD GetSize() const { return m_size; }

    // Opens Firewall.dat and ProgramsRule.dat in the program folder, builds
    // the image and announces it. Once per start.
    BOOL Build();

    BOOL CreateBlock(LPCSTR name, DWORD size);
    void ReleaseBlock();

    BOOL BeginUpdate();
    BOOL EndUpdate();
    BOOL Publish(HANDLE block);

    BOOL LockForWrite();
    void Unlock();
    void TakeOver();

    // Zone entries; blocked is FALSE for the trusted list, TRUE for the
    // blocked list.
    DWORD AddZoneEntry(BOOL blocked, const ZoneRecord &zone);
    BOOL DeleteZoneEntry(BOOL blocked, DWORD id);
    BOOL ReadZoneEntry(BOOL blocked, DWORD id, ZoneRecord &zone);
    BOOL ModifyZoneEntry(BOOL blocked, DWORD id, const ZoneRecord &zone);

    // Only the local hour, minute and second of start and end count.
    BOOL SetTimeRule(DWORD id, BYTE weekDays, const CTime &start, const CTime &end,
                     LPCSTR memo);

    DWORD AddProgram(LPCSTR path, BYTE inetAction, BYTE tnetAction, BYTE mailAction,
                     BYTE lockKey);
    BOOL DeleteProgram(DWORD id);
    BOOL SetProgramActions(DWORD id, BYTE inetAction, BYTE tnetAction, BYTE mailAction,
                           BYTE lockKey);
    BOOL SetInternetSettings(DWORD id, const NetRuleSettings &settings);
    BOOL SetTrustedSettings(DWORD id, const NetRuleSettings &settings);

    // For the host-name resolver: the host-name entries of one list as they
    // stand now, and the store of a resolved address (0 when the name does
    // not resolve) into the entry that still has that ID and that name.
    void GetHostEntries(BOOL blocked, std::vector<ZoneHostEntry> &entries);
    BOOL StoreHostAddress(BOOL blocked, DWORD id, LPCSTR site, DWORD address);

private:
    CAclPublisher(const CAclPublisher &) = delete;
    CAclPublisher &operator=(const CAclPublisher &) = delete;

    class CImageLock;

    BOOL BuildImage();
    void FillImage(const std::vector<TimeRecord> &times, const std::vector<ZoneRecord> &tnet,
                   const std::vector<ZoneRecord> &bnet, const std::vector<RuleRecord> &rules);
    void AbandonUpdate();
    BOOL SendControl(DWORD code, DWORD value, DWORD param1 = 0, DWORD param2 = 0,
                     DWORD param3 = 0);

    AclSection<ZoneEntry> ZoneList(BOOL blocked) const;
    AclSection<ProgramRule> ProgramList() const;
    AclSection<TimeRule> TimeList() const;
    DWORD &ZoneCount(BOOL blocked) const;

    enum PatchResult { PATCH_FAILED, PATCH_DONE, PATCH_NO_ROOM };
    template <class Patch>
    PatchResult PatchImage(Patch patch);
    BOOL SetNetSettings(DWORD id, int zone, const NetRuleSettings &settings);

    CProgramsRuleLib m_rules;
    CFirewallLib m_zones;
    SpiIoControlProc m_spiIoControl;
    HANDLE m_block;      // the driver's block handle: the console's device handle
    void *m_view;        // the block in the console
    AclHeader *m_header; // the view as a header; null while there is no image
    DWORD m_size;        // the block size in bytes

    // Held by every change of the zone lists or of the block, and by the
    // resolver's reads and stores, so that the resolver never writes into an
    // entry that an edit is moving or into a block that is going away.
    CRITICAL_SECTION m_imageLock;
};
