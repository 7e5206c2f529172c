// Reads the Winsock 2 protocol catalog from the registry, as Winsock does
// when a process starts using sockets.
#pragma once

#include <vector>
#include "PackedCatalogItem.h"

// The items of every catalog entry in the order of their key names; entries
// whose item is not exactly 888 bytes are skipped. False when the catalog
// key cannot be opened.
bool ReadWinsockCatalog(std::vector<PackedCatalogItem> &items);

// True when the entry serves sockets of this family, type and protocol
// (protocol 0: any). Layered entries serve no sockets of their own.
bool CatalogItemServes(const PackedCatalogItem &item, int af, int type, int protocol);
