// One entry of the Winsock 2 protocol catalog, as Winsock stores it in the
// value "PackedCatalogItem" of each subkey of the catalog key below: the path
// of the library that Winsock loads for the entry, then the entry's protocol
// information. The installer rewrites only the path; the router reads both.
#pragma once

#include <winsock2.h>
#include <cstddef>

#define WINSOCK_CATALOG_KEY \
    "SYSTEM\\CurrentControlSet\\Services\\WinSock2\\Parameters\\Protocol_Catalog9\\Catalog_Entries"
#define WINSOCK_CATALOG_ITEM_VALUE "PackedCatalogItem"

struct PackedCatalogItem {
    char LibraryPath[MAX_PATH];       // NUL-terminated; may hold %variables%
    WSAPROTOCOL_INFOW ProtocolInfo;
};

// The stored layout is fixed: 888 bytes, the same for 32-bit and 64-bit code.
static_assert(sizeof(PackedCatalogItem) == 888, "PackedCatalogItem is 888 bytes");
static_assert(offsetof(PackedCatalogItem, LibraryPath) == 0, "path at 0");
static_assert(offsetof(PackedCatalogItem, ProtocolInfo) == 260, "protocol information at 260");
static_assert(offsetof(PackedCatalogItem, ProtocolInfo.dwServiceFlags1) == 260, "service flags at 260");
static_assert(offsetof(PackedCatalogItem, ProtocolInfo.dwCatalogEntryId) == 296, "catalog entry id at 296");
static_assert(offsetof(PackedCatalogItem, ProtocolInfo.ProtocolChain.ChainLen) == 300, "chain length at 300");
static_assert(offsetof(PackedCatalogItem, ProtocolInfo.ProtocolChain.ChainEntries) == 304, "chain entries at 304");
static_assert(offsetof(PackedCatalogItem, ProtocolInfo.iAddressFamily) == 336, "address family at 336");
static_assert(offsetof(PackedCatalogItem, ProtocolInfo.iSocketType) == 348, "socket type at 348");
static_assert(offsetof(PackedCatalogItem, ProtocolInfo.iProtocol) == 352, "protocol at 352");
static_assert(offsetof(PackedCatalogItem, ProtocolInfo.szProtocol) == 376, "protocol name at 376");
