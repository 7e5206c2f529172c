#include "WinsockCatalog.h"

#include <algorithm>
#include <string>

namespace {

bool ReadItem(HKEY catalog, const char *entryName, PackedCatalogItem &item)
{
    HKEY entry;
    if (RegOpenKeyExA(catalog, entryName, 0, KEY_READ, &entry) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = sizeof item;
    LONG status = RegQueryValueExA(entry, WINSOCK_CATALOG_ITEM_VALUE, nullptr, &type,
                                   reinterpret_cast<BYTE *>(&item), &size);
    RegCloseKey(entry);
    if (status != ERROR_SUCCESS || size != sizeof item)
        return false;
    item.LibraryPath[sizeof item.LibraryPath - 1] = '\0';
    return true;
}

} // namespace

bool ReadWinsockCatalog(std::vector<PackedCatalogItem> &items)
{
    HKEY catalog;
    items.clear();
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, WINSOCK_CATALOG_KEY, 0, KEY_READ, &catalog) != ERROR_SUCCESS)
        return false;

    std::vector<std::string> names;
    char name[MAX_PATH];
    for (DWORD i = 0; RegEnumKeyA(catalog, i, name, sizeof name) == ERROR_SUCCESS; ++i)
        names.push_back(name);
    std::sort(names.begin(), names.end());

    for (const std::string &entryName : names) {
        PackedCatalogItem item;
        if (ReadItem(catalog, entryName.c_str(), item))
            items.push_back(item);
    }
    RegCloseKey(catalog);
    return true;
}

bool CatalogItemServes(const PackedCatalogItem &item, int af, int type, int protocol)
{
    const WSAPROTOCOL_INFOW &info = item.ProtocolInfo;
    return info.ProtocolChain.ChainLen != LAYERED_PROTOCOL && info.iAddressFamily == af &&
           info.iSocketType == type && (protocol == 0 || info.iProtocol == protocol);
}
