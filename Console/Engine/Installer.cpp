// The provider's part of the installer: the Winsock catalog walk and the
// provider's service key.
#include "Installer.h"

#include <stdio.h>
#include <string.h>

#include "OsVersion.h"
#include "PathText.h"

namespace {

const char kDefaultSkinName[] = "Skins\\Default\\";
const char kSkinNameValue[] = "SkinName";
const char kProviderFileName[] = "QFW.DLL";

// The name under which an entry's former library is saved: its catalog
// entry ID in decimal.
void SavedPathName(const PackedCatalogItem &item, char (&name)[16])
{
    sprintf(name, "%u", static_cast<unsigned>(item.ProtocolInfo.dwCatalogEntryId));
}

bool IsBaseInternetEntry(const PackedCatalogItem &item)
{
    return item.ProtocolInfo.ProtocolChain.ChainLen == BASE_PROTOCOL &&
           item.ProtocolInfo.iAddressFamily == AF_INET;
}

// The path stored in an entry, when it is terminated within its field.
bool ItemPathIsTerminated(const PackedCatalogItem &item)
{
    return memchr(item.LibraryPath, '\0', sizeof item.LibraryPath) != nullptr;
}

// Replaces the entry's path, zero-filled to the end of the field, so that an
// entry whose original path was zero-filled comes back byte for byte.
void SetItemPath(PackedCatalogItem &item, LPCSTR path)
{
    memset(item.LibraryPath, 0, sizeof item.LibraryPath);
    lstrcpynA(item.LibraryPath, path, sizeof item.LibraryPath);
}

// True when the path names this provider's library, wherever it lies: saving
// such a path as an entry's original would make the provider chain to itself.
bool NamesProvider(LPCSTR path, LPCSTR providerPath)
{
    return lstrcmpiA(path, providerPath) == 0 || lstrcmpiA(GetFileNameFromPath(path, true), kProviderFileName) == 0;
}

int ReadSavedPath(LPCSTR savedName, char (&path)[MAX_PATH])
{
    return CInstaller::ReadRegValue(savedName, path, sizeof path, HKEY_LOCAL_MACHINE, PROVIDER_KEY, REG_SZ);
}

bool SavedValueExists(LPCSTR savedName)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PROVIDER_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    bool exists = RegQueryValueExA(key, savedName, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

// What is saved for an entry: nothing, or a library the entry can load
// again, or something else (another type, an empty or too long text, the
// provider itself), which written back would leave the entry broken.
enum SavedOriginal { SAVED_NONE, SAVED_USABLE, SAVED_UNUSABLE };

SavedOriginal ReadSavedOriginal(LPCSTR savedName, LPCSTR providerPath, char (&path)[MAX_PATH])
{
    if (!SavedValueExists(savedName))
        return SAVED_NONE;
    if (!ReadSavedPath(savedName, path) || path[0] == '\0' || NamesProvider(path, providerPath))
        return SAVED_UNUSABLE;
    return SAVED_USABLE;
}

} // namespace

CInstaller::CInstaller()
{
    m_providerPath[0] = '\0';
}

int CInstaller::GetProviderPath(char *path)
{
    char buffer[MAX_PATH];
    if (!ReadRegValue(PROVIDER_PATH_VALUE, buffer, sizeof buffer, HKEY_LOCAL_MACHINE, PROVIDER_KEY, REG_SZ))
        return 0;
    if (path)
        lstrcpynA(path, buffer, MAX_PATH);
    return 1;
}

int CInstaller::GetSkinName(char *name)
{
    return ReadRegValue(kSkinNameValue, name, MAX_PATH, HKEY_LOCAL_MACHINE, PROVIDER_KEY, REG_SZ);
}

int CInstaller::SetSkinName(LPCSTR name)
{
    return WriteString(HKEY_LOCAL_MACHINE, PROVIDER_KEY, kSkinNameValue, name);
}

int CInstaller::InstallProvider(LPCSTR providerPath)
{
    if (GetProviderPath(nullptr))
        return INSTALL_ERR_ALREADY_INSTALLED;
    // A path that does not fit an entry's field could not be written whole.
    if (lstrlenA(providerPath) >= MAX_PATH)
        return INSTALL_ERR_WRITE_ITEM;
    lstrcpynA(m_providerPath, providerPath, sizeof m_providerPath);
    int result = WalkCatalog(CATALOG_CHECK_INSTALL, FALSE, nullptr);
    if (result != INSTALL_OK)
        return result;

    EntryNames changed;
    result = WalkCatalog(CATALOG_INSTALL, FALSE, &changed);
    if (result == INSTALL_OK && !WriteString(HKEY_LOCAL_MACHINE, PROVIDER_KEY, PROVIDER_PATH_VALUE, m_providerPath))
        result = INSTALL_ERR_REG_WRITE;
    if (result == INSTALL_OK && !SetSkinName(kDefaultSkinName))
        result = INSTALL_ERR_REG_WRITE;
    if (result != INSTALL_OK)
        UndoInstall(changed);
    return result;
}

// A half-done install would leave entries loading the provider with no
// PathName, which uninstall refuses and the next install would save as
// originals. Put back what was changed; drop the key only when all of it
// came back, so that no saved original is lost.
void CInstaller::UndoInstall(const EntryNames &changed)
{
    HKEY catalog;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, WINSOCK_CATALOG_KEY, 0, KEY_READ, &catalog) != ERROR_SUCCESS)
        return;
    bool restored = true;
    for (const std::string &name : changed) {
        if (PatchCatalogEntry(catalog, name.c_str(), CATALOG_UNINSTALL, FALSE) != INSTALL_OK)
            restored = false;
    }
    RegCloseKey(catalog);
    if (restored)
        DeleteRegValue(HKEY_LOCAL_MACHINE, PROVIDER_KEY, nullptr);
}

int CInstaller::UninstallProvider()
{
    if (!GetProviderPath(m_providerPath))
        return INSTALL_ERR_NOT_INSTALLED;
    if (WalkCatalog(CATALOG_CHECK_UNINSTALL, FALSE, nullptr) != INSTALL_OK ||
        PatchCatalog(CATALOG_UNINSTALL, FALSE) != INSTALL_OK)
        return 1;
    if (!DeleteRegValue(HKEY_LOCAL_MACHINE, PROVIDER_KEY, nullptr))
        return INSTALL_ERR_DELETE_KEY;
    return INSTALL_OK;
}

int CInstaller::RecheckProvider()
{
    if (GetOsKind() != OS_KIND_XP_OR_LATER || !GetProviderPath(nullptr))
        return 0;
    return PatchCatalog(CATALOG_INSTALL, TRUE) == INSTALL_OK;
}

int CInstaller::PatchCatalog(int mode, BOOL reapply)
{
    return WalkCatalog(mode, reapply, nullptr);
}

int CInstaller::WalkCatalog(int mode, BOOL reapply, EntryNames *changed)
{
    HKEY catalog;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, WINSOCK_CATALOG_KEY, 0, KEY_READ, &catalog) != ERROR_SUCCESS)
        return INSTALL_ERR_CATALOG_KEY;

    int result = INSTALL_OK;
    char name[MAX_PATH];
    for (DWORD index = 0; result == INSTALL_OK; ++index) {
        LONG status = RegEnumKeyA(catalog, index, name, sizeof name);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS) {
            // Any other failure leaves entries unseen: not a finished walk.
            result = INSTALL_ERR_CATALOG_KEY;
            break;
        }
        result = PatchCatalogEntry(catalog, name, mode, reapply);
        if (changed && result == INSTALL_OK)
            changed->push_back(name);
    }
    RegCloseKey(catalog);
    return result;
}

int CInstaller::PatchCatalogEntry(HKEY catalog, LPCSTR entryName, int mode, BOOL reapply)
{
    HKEY entry;
    if (RegOpenKeyExA(catalog, entryName, 0, KEY_ALL_ACCESS, &entry) != ERROR_SUCCESS)
        return INSTALL_ERR_CATALOG_KEY;

    PackedCatalogItem item;
    DWORD size = sizeof item;
    int result = INSTALL_ERR_CATALOG_ITEM;
    if (RegQueryValueExA(entry, WINSOCK_CATALOG_ITEM_VALUE, nullptr, nullptr, reinterpret_cast<BYTE *>(&item), &size) ==
            ERROR_SUCCESS &&
        size == sizeof item && ItemPathIsTerminated(item))
        result = PatchEntryItem(entry, item, mode, reapply);
    RegCloseKey(entry);
    return result;
}

int CInstaller::PatchEntryItem(HKEY entry, PackedCatalogItem &item, int mode, BOOL reapply)
{
    if (!IsBaseInternetEntry(item))
        return INSTALL_OK;

    char savedName[16];
    SavedPathName(item, savedName);
    if (reapply) {
        ReapplyEntry(entry, item, savedName);
        return INSTALL_OK;
    }
    if (mode == CATALOG_INSTALL)
        return InstallEntry(entry, item, savedName);
    if (mode == CATALOG_UNINSTALL)
        return UninstallEntry(entry, item, savedName);
    return CheckEntry(item, savedName, mode);
}

// An entry that names the provider already can be installed only over a
// usable saved original, which the provider chains to; without one every
// socket would fail. Uninstall writes back what is saved, so that must be a
// library the entry can load.
int CInstaller::CheckEntry(const PackedCatalogItem &item, LPCSTR savedName, int mode)
{
    char saved[MAX_PATH];
    SavedOriginal original = ReadSavedOriginal(savedName, m_providerPath, saved);
    if (mode == CATALOG_CHECK_INSTALL)
        return !NamesProvider(item.LibraryPath, m_providerPath) || original == SAVED_USABLE
                   ? INSTALL_OK
                   : INSTALL_ERR_SAVE_ORIGINAL;
    return original == SAVED_UNUSABLE ? INSTALL_ERR_SAVED_PATH : INSTALL_OK;
}

// Windows sets an entry back to the library it named before; such an entry
// loads the provider again. The provider path comes from the registry, since
// this object may never have installed anything.
void CInstaller::ReapplyEntry(HKEY entry, PackedCatalogItem &item, LPCSTR savedName)
{
    char saved[MAX_PATH];
    char providerPath[MAX_PATH];
    if (!ReadSavedPath(savedName, saved) || lstrcmpiA(saved, item.LibraryPath) != 0 ||
        !GetProviderPath(providerPath))
        return;
    SetItemPath(item, providerPath);
    WriteCatalogItem(entry, item);
}

int CInstaller::InstallEntry(HKEY entry, PackedCatalogItem &item, LPCSTR savedName)
{
    // An entry that already loads the provider keeps the original saved for it.
    if (!NamesProvider(item.LibraryPath, m_providerPath) &&
        !WriteString(HKEY_LOCAL_MACHINE, PROVIDER_KEY, savedName, item.LibraryPath))
        return INSTALL_ERR_SAVE_ORIGINAL;
    SetItemPath(item, m_providerPath);
    return WriteCatalogItem(entry, item) ? INSTALL_OK : INSTALL_ERR_WRITE_ITEM;
}

// An entry whose original cannot be written back keeps loading the provider;
// the walk stops so that the key with every saved original stays.
int CInstaller::UninstallEntry(HKEY entry, PackedCatalogItem &item, LPCSTR savedName)
{
    char saved[MAX_PATH];
    if (!ReadSavedPath(savedName, saved))
        return INSTALL_OK;
    SetItemPath(item, saved);
    return WriteCatalogItem(entry, item) ? INSTALL_OK : INSTALL_ERR_WRITE_ITEM;
}

int CInstaller::WriteCatalogItem(HKEY entry, const PackedCatalogItem &item)
{
    return RegSetValueExA(entry, WINSOCK_CATALOG_ITEM_VALUE, 0, REG_BINARY, reinterpret_cast<const BYTE *>(&item),
                          sizeof item) == ERROR_SUCCESS;
}
