// Writes a Winsock catalog into the registry, as a Windows system has one
// before or after the firewall is installed, and the provider key that the
// installer would write. For tests and for trying the firewall by hand; all
// of it lives under HKEY_LOCAL_MACHINE, shared by every process of the
// machine (one test at a time).
#pragma once

#include <string>
#include "PackedCatalogItem.h"

struct CatalogEntryParams {
    DWORD CatalogEntryId;
    int AddressFamily;
    int SocketType;
    int Protocol;
    int ChainLength;           // 1 for a base provider
    DWORD ChainEntries[MAX_PROTOCOL_CHAIN];
    DWORD ServiceFlags1;
};

// The catalog entry ids of the two base entries that WriteBaseCatalog writes.
enum { FIXTURE_TCP_ENTRY_ID = 1001, FIXTURE_UDP_ENTRY_ID = 1002 };

class CCatalogFixture {
public:
    // An item with these parameters whose library is the given path (zero-filled tail).
    static PackedCatalogItem MakeItem(const CatalogEntryParams &params, const char *libraryPath);
    static const CatalogEntryParams &TcpSpec();
    static const CatalogEntryParams &UdpSpec();

    // Removes every catalog entry and the provider key.
    static void Clear();
    // Whether the catalog holds any entry.
    static bool HasEntries();
    // Writes one catalog entry under the subkey of the given number.
    static bool WriteItem(unsigned number, const PackedCatalogItem &item);
    // The catalog before installation: a TCP and a UDP entry naming the library.
    static bool WriteBaseCatalog(const char *baseLibrary);
    // The catalog after installation: both entries name the provider, and
    // the provider key holds the base library under each entry's id.
    static bool WriteInstalledCatalog(const char *provider, const char *baseLibrary);
    // One value of the provider key (name "%u" of a catalog entry id).
    static bool WriteNextProvider(DWORD catalogEntryId, const char *path);
    static bool DeleteNextProvider(DWORD catalogEntryId);

    // The folder of the running program, with a trailing backslash.
    static std::string ProgramFolder();
};
