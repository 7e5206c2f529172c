#include "CatalogFixture.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include "ProviderKey.h"

namespace {

const CatalogEntryParams kTcp = {FIXTURE_TCP_ENTRY_ID, AF_INET, SOCK_STREAM, IPPROTO_TCP, BASE_PROTOCOL, {}, 0x20066};
const CatalogEntryParams kUdp = {FIXTURE_UDP_ENTRY_ID, AF_INET, SOCK_DGRAM, IPPROTO_UDP, BASE_PROTOCOL, {}, 0x20609};

void DeleteTree(HKEY root, const char *path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return;
    char name[MAX_PATH];
    while (RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS) {
        if (RegDeleteKeyA(key, name) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
}

bool WriteValue(const char *keyPath, const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    LONG status = RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

} // namespace

PackedCatalogItem CCatalogFixture::MakeItem(const CatalogEntryParams &params, const char *libraryPath)
{
    PackedCatalogItem item;
    memset(&item, 0, sizeof item);
    lstrcpynA(item.LibraryPath, libraryPath, sizeof item.LibraryPath);
    WSAPROTOCOL_INFOW &info = item.ProtocolInfo;
    info.dwServiceFlags1 = params.ServiceFlags1;
    info.dwCatalogEntryId = params.CatalogEntryId;
    info.ProtocolChain.ChainLen = params.ChainLength;
    memcpy(info.ProtocolChain.ChainEntries, params.ChainEntries, sizeof params.ChainEntries);
    info.iVersion = 2;
    info.iAddressFamily = params.AddressFamily;
    info.iMaxSockAddr = sizeof(sockaddr_in);
    info.iMinSockAddr = sizeof(sockaddr_in);
    info.iSocketType = params.SocketType;
    info.iProtocol = params.Protocol;
    swprintf(info.szProtocol, WSAPROTOCOL_LEN, L"Fixture entry %u", static_cast<unsigned>(params.CatalogEntryId));
    return item;
}

const CatalogEntryParams &CCatalogFixture::TcpSpec()
{
    return kTcp;
}

const CatalogEntryParams &CCatalogFixture::UdpSpec()
{
    return kUdp;
}

void CCatalogFixture::Clear()
{
    DeleteTree(HKEY_LOCAL_MACHINE, WINSOCK_CATALOG_KEY);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, PROVIDER_KEY);
}

bool CCatalogFixture::HasEntries()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, WINSOCK_CATALOG_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    char name[MAX_PATH];
    const bool has = RegEnumKeyA(key, 0, name, sizeof name) == ERROR_SUCCESS;
    RegCloseKey(key);
    return has;
}

bool CCatalogFixture::WriteItem(unsigned number, const PackedCatalogItem &item)
{
    char keyPath[MAX_PATH + 16];
    sprintf(keyPath, "%s\\%012u", WINSOCK_CATALOG_KEY, number);
    return WriteValue(keyPath, WINSOCK_CATALOG_ITEM_VALUE, REG_BINARY, &item, sizeof item);
}

bool CCatalogFixture::WriteBaseCatalog(const char *baseLibrary)
{
    Clear();
    return WriteItem(1, MakeItem(kTcp, baseLibrary)) && WriteItem(2, MakeItem(kUdp, baseLibrary));
}

bool CCatalogFixture::WriteInstalledCatalog(const char *provider, const char *baseLibrary)
{
    Clear();
    return WriteItem(1, MakeItem(kTcp, provider)) && WriteItem(2, MakeItem(kUdp, provider)) &&
           WriteValue(PROVIDER_KEY, PROVIDER_PATH_VALUE, REG_SZ, provider, strlen(provider)) &&
           WriteNextProvider(kTcp.CatalogEntryId, baseLibrary) && WriteNextProvider(kUdp.CatalogEntryId, baseLibrary);
}

// Written as the installer writes strings: without the terminating NUL.
bool CCatalogFixture::WriteNextProvider(DWORD catalogEntryId, const char *path)
{
    char name[16];
    sprintf(name, "%u", static_cast<unsigned>(catalogEntryId));
    return WriteValue(PROVIDER_KEY, name, REG_SZ, path, strlen(path));
}

bool CCatalogFixture::DeleteNextProvider(DWORD catalogEntryId)
{
    char name[16];
    sprintf(name, "%u", static_cast<unsigned>(catalogEntryId));
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PROVIDER_KEY, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    LONG status = RegDeleteValueA(key, name);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::string CCatalogFixture::ProgramFolder()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return std::string();
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}
