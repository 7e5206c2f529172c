// Puts the provider and the driver into Windows and takes them out again:
// the Winsock catalog entries, the provider's and the driver's service keys,
// the start at log-on and the Windows Firewall switch.
//
// Every catalog entry of a base TCP/IP provider is made to load QFW.DLL; the
// library it named before is saved under the provider's key, from which the
// provider learns where to chain each entry.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

#include "PackedCatalogItem.h"
#include "ProviderKey.h"

enum InstallResult {
    INSTALL_OK = 0,
    INSTALL_ERR_NOT_INSTALLED = -801,     // uninstall: PathName is absent
    INSTALL_ERR_ALREADY_INSTALLED = -802, // install: PathName is present
    INSTALL_ERR_CATALOG_KEY = -803,       // the catalog key or an entry's key cannot be opened
    INSTALL_ERR_REG_WRITE = -804,         // PathName or SkinName cannot be written
    INSTALL_ERR_CATALOG_ITEM = -805,      // PackedCatalogItem cannot be read or has another size
    INSTALL_ERR_SAVE_ORIGINAL = -806,     // an entry's former path cannot be saved
    INSTALL_ERR_WRITE_ITEM = -807,        // PackedCatalogItem cannot be written
    INSTALL_ERR_DELETE_KEY = -808,        // the provider's key cannot be deleted
    INSTALL_ERR_SAVED_PATH = -809,        // an entry's saved former path is no library it could load
};

enum CatalogPatchMode {
    CATALOG_INSTALL = 0,
    CATALOG_UNINSTALL = 1,
    // Walks that change nothing: whether every entry could be installed or
    // uninstalled, so that a walk that would fail half-way never starts.
    CATALOG_CHECK_INSTALL = 2,
    CATALOG_CHECK_UNINSTALL = 3,
};

extern const char kDriverKeyNt[];   // HKLM: the driver's service key, NT family
extern const char kDriverKeyVxd[];  // HKLM: the driver's service key, Windows 9x
extern const char kRunKey[];        // HKLM: programs started at log-on
extern const char kRunValue[];      // the console's value under kRunKey

class CInstaller
{
public:
    CInstaller();
    virtual ~CInstaller() {}

    static int CheckWinsock2();

    // path: 260 characters or null; 1 when the provider is installed.
    static int GetProviderPath(char *path);
    int InstallProvider(LPCSTR providerPath);
    int UninstallProvider();
    int RecheckProvider();

    int PatchCatalog(int mode, BOOL reapply);
    int PatchCatalogEntry(HKEY catalog, LPCSTR entryName, int mode, BOOL reapply);

    int InstallDriverService();
    int UninstallDriverService();
    int SetAutoStart(BOOL on);

    static int GetSkinName(char *name);
    static int SetSkinName(LPCSTR name);

    int TurnOffWindowsFirewall();
    int TurnOnWindowsFirewall();

    static int ReadRegValue(LPCSTR name, void *buffer, DWORD size, HKEY root, LPCSTR key, DWORD type);
    static int WriteRegValue(LPCSTR name, const void *data, DWORD length, HKEY root, LPCSTR key, DWORD type);
    static int DeleteRegValue(HKEY root, LPCSTR key, LPCSTR name);

protected:
    // The one write of a catalog entry; 1 on success.
    virtual int WriteCatalogItem(HKEY entry, const PackedCatalogItem &item);

private:
    typedef std::vector<std::string> EntryNames;

    int WalkCatalog(int mode, BOOL reapply, EntryNames *changed);
    int PatchEntryItem(HKEY entry, PackedCatalogItem &item, int mode, BOOL reapply);
    int InstallEntry(HKEY entry, PackedCatalogItem &item, LPCSTR savedName);
    void ReapplyEntry(HKEY entry, PackedCatalogItem &item, LPCSTR savedName);
    int UninstallEntry(HKEY entry, PackedCatalogItem &item, LPCSTR savedName);
    int CheckEntry(const PackedCatalogItem &item, LPCSTR savedName, int mode);
    void UndoInstall(const EntryNames &changed);

    static int WriteString(HKEY root, LPCSTR key, LPCSTR name, LPCSTR text, DWORD type = REG_SZ);

    char m_providerPath[MAX_PATH];
};
