// The installer against the registry of this Wine prefix: a test catalog of
// four entries (TCP and UDP base entries, a layered chain entry, an IPv6
// entry), the provider's key, the driver's service keys and the Run value.
// The program is its own child for the steps that depend on the Windows
// version, which Wine sets per program file.
#include <winsock2.h>
#include <windows.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <map>
#include <string>
#include <vector>

#include "CatalogFixture.h"
#include "InstallSwitches.h"
#include "Installer.h"

namespace {

typedef std::map<std::string, std::string> Snapshot; // entry name -> item bytes

const char kChildSwitch[] = "--child";

// The test catalog: the fixture's TCP and UDP base entries, a layered entry
// over TCP and an IPv6 base entry, all naming the base provider.
struct TestEntry {
    unsigned number; // the entry's subkey, "%012u"
    const char *key;
    CatalogEntryParams params;
};

const CatalogEntryParams kLayeredSpec = {1003, AF_INET, SOCK_STREAM, IPPROTO_TCP, 2, {2001, 1001}, 0x20066};
const CatalogEntryParams kIpv6Spec = {1004, AF_INET6, SOCK_STREAM, IPPROTO_TCP, BASE_PROTOCOL, {}, 0x20066};

const TestEntry kEntries[] = {
    {1, "000000000001", CCatalogFixture::TcpSpec()},
    {2, "000000000002", CCatalogFixture::UdpSpec()},
    {3, "000000000003", kLayeredSpec},
    {4, "000000000004", kIpv6Spec},
};

std::string OwnPath()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

std::string ProviderPath()
{
    return CCatalogFixture::ProgramFolder() + "QFW.DLL";
}

std::string BaseLibrary()
{
    return CCatalogFixture::ProgramFolder() + "TcpipBase.dll";
}

bool IsBaseInternetEntry(const TestEntry &entry)
{
    return entry.params.ChainLength == BASE_PROTOCOL && entry.params.AddressFamily == AF_INET;
}

// The fixture's item, with the fields it leaves zero set as well, so that a
// change anywhere outside the path shows.
PackedCatalogItem MakeItem(const TestEntry &entry)
{
    PackedCatalogItem item = CCatalogFixture::MakeItem(entry.params, BaseLibrary().c_str());
    WSAPROTOCOL_INFOW &info = item.ProtocolInfo;
    info.dwServiceFlags2 = 0x11111111;
    info.dwServiceFlags3 = 0x22222222;
    info.dwServiceFlags4 = 0x33333333;
    info.dwProviderFlags = 0x44444444;
    info.ProviderId = {0x55555555, 0x6666, 0x7777, {1, 2, 3, 4, 5, 6, 7, static_cast<BYTE>(entry.number)}};
    info.iProtocolMaxOffset = 5;
    info.iNetworkByteOrder = 1;
    info.iSecurityScheme = 6;
    info.dwMessageSize = 0xFFFFFFFF;
    info.dwProviderReserved = 0x88888888;
    return item;
}

std::string CatalogEntryKey(const char *entry)
{
    return std::string(WINSOCK_CATALOG_KEY) + "\\" + entry;
}

bool WriteRaw(const std::string &key, const char *name, DWORD type, const void *data, DWORD size)
{
    HKEY handle;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle, nullptr))
        return false;
    LONG status = RegSetValueExA(handle, name, 0, type, static_cast<const BYTE *>(data), size);
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

// The stored bytes of a value, and its type; "<absent>" when it cannot be read.
std::string ReadRaw(const std::string &key, const char *name, DWORD *type = nullptr)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle))
        return "<absent>";
    std::vector<BYTE> data(4096);
    DWORD size = data.size();
    DWORD storedType = REG_NONE;
    LONG status = RegQueryValueExA(handle, name, nullptr, &storedType, data.data(), &size);
    RegCloseKey(handle);
    if (status != ERROR_SUCCESS)
        return "<absent>";
    if (type)
        *type = storedType;
    return std::string(reinterpret_cast<char *>(data.data()), size);
}

// A text value as text: Wine reports a string stored without its NUL with
// one, so a trailing NUL is not part of what the test compares.
std::string ReadText(const std::string &key, const char *name)
{
    std::string raw = ReadRaw(key, name);
    if (!raw.empty() && raw.back() == '\0')
        raw.pop_back();
    return raw;
}

bool KeyExists(const std::string &key)
{
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &handle))
        return false;
    RegCloseKey(handle);
    return true;
}

PackedCatalogItem ReadItem(const char *entry)
{
    PackedCatalogItem item = {};
    std::string raw = ReadRaw(CatalogEntryKey(entry), WINSOCK_CATALOG_ITEM_VALUE);
    EXPECT_EQ(sizeof item, raw.size()) << entry;
    memcpy(&item, raw.data(), std::min(raw.size(), sizeof item));
    return item;
}

void WriteItem(const char *entry, const PackedCatalogItem &item, DWORD size = sizeof(PackedCatalogItem))
{
    ASSERT_TRUE(WriteRaw(CatalogEntryKey(entry), WINSOCK_CATALOG_ITEM_VALUE, REG_BINARY, &item, size));
}

void SetEntryPath(const char *entry, const char *path)
{
    PackedCatalogItem item = ReadItem(entry);
    memset(item.LibraryPath, 0, sizeof item.LibraryPath);
    strcpy(item.LibraryPath, path);
    WriteItem(entry, item);
}

std::string ItemBytes(const PackedCatalogItem &item)
{
    return std::string(reinterpret_cast<const char *>(&item), sizeof item);
}

Snapshot CatalogSnapshot()
{
    Snapshot snapshot;
    for (const TestEntry &entry : kEntries)
        snapshot[entry.key] = ReadRaw(CatalogEntryKey(entry.key), WINSOCK_CATALOG_ITEM_VALUE);
    return snapshot;
}

Snapshot PristineCatalog()
{
    Snapshot snapshot;
    for (const TestEntry &entry : kEntries)
        snapshot[entry.key] = ItemBytes(MakeItem(entry));
    return snapshot;
}

// Every value of the provider's key, by name.
std::map<std::string, std::string> ProviderValues()
{
    std::map<std::string, std::string> values;
    HKEY handle;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PROVIDER_KEY, 0, KEY_READ, &handle))
        return values;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        BYTE data[1024];
        DWORD size = sizeof data;
        DWORD type;
        if (RegEnumValueA(handle, index, name, &nameLength, nullptr, &type, data, &size))
            break;
        values[name] = std::to_string(type) + ":" + std::string(reinterpret_cast<char *>(data), size);
    }
    RegCloseKey(handle);
    return values;
}

// Takes every right from every account, the installer included.
void LockKey(const std::string &key)
{
    HKEY handle;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                             &handle, nullptr));
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ACL acl;
    InitializeAcl(&acl, sizeof acl, ACL_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, &acl, FALSE);
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(handle, DACL_SECURITY_INFORMATION, &descriptor));
    RegCloseKey(handle);
}

void DeleteTree(const char *key)
{
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, key);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, key); // a locked key cannot be walked, but goes
}

// Starts this program again with the given Windows version; its exit code.
DWORD RunChild(const char *version, const char *action)
{
    std::string exe = OwnPath().substr(OwnPath().rfind('\\') + 1);
    std::string appDefaults = "Software\\Wine\\AppDefaults\\" + exe;
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, appDefaults.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                        nullptr))
        return 0xFFFFFFFF;
    RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(version), strlen(version) + 1);

    std::string command = "\"" + OwnPath() + "\" " + kChildSwitch + " " + action;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    DWORD exitCode = 0xFFFFFFFF;
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        WaitForSingleObject(process.hProcess, 60000);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    RegDeleteValueA(handle, "Version");
    RegCloseKey(handle);
    RegDeleteKeyA(HKEY_CURRENT_USER, appDefaults.c_str());
    return exitCode;
}

int RunChildAction(const char *action)
{
    CInstaller installer;
    if (strcmp(action, "oskind") == 0) {
        OSVERSIONINFOA version = {};
        version.dwOSVersionInfoSize = sizeof version;
        GetVersionExA(&version);
        return version.dwPlatformId * 10000 + version.dwMajorVersion * 100 + version.dwMinorVersion;
    }
    if (strcmp(action, "recheck") == 0)
        return installer.RecheckProvider();
    if (strcmp(action, "install-driver") == 0)
        return installer.InstallDriverService();
    if (strcmp(action, "uninstall-driver") == 0)
        return installer.UninstallDriverService();
    return 99;
}

// A clean registry around every test: the test catalog, and none of the
// installer's keys.
class Registry : public testing::Test
{
protected:
    void SetUp() override
    {
        CleanUp();
        for (const TestEntry &entry : kEntries)
            ASSERT_TRUE(CCatalogFixture::WriteItem(entry.number, MakeItem(entry)));
    }

    void TearDown() override
    {
        CleanUp();
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, WINSOCK_CATALOG_KEY); // only when no other entry is left
    }

    static void CleanUp()
    {
        DeleteTree(PROVIDER_KEY);
        DeleteTree(kDriverKeyNt);
        DeleteTree(kDriverKeyVxd);
        HKEY run;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_ALL_ACCESS, &run) == ERROR_SUCCESS) {
            RegDeleteValueA(run, kRunValue);
            RegCloseKey(run);
        }
        for (const TestEntry &entry : kEntries)
            DeleteTree(CatalogEntryKey(entry.key).c_str());
        HKEY catalog;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, WINSOCK_CATALOG_KEY, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &catalog,
                        nullptr);
        RegCloseKey(catalog);
    }

    // What an install of the test catalog leaves: the base entries name the
    // provider, nothing else has changed.
    static Snapshot InstalledCatalog()
    {
        Snapshot snapshot;
        for (const TestEntry &entry : kEntries) {
            PackedCatalogItem item = MakeItem(entry);
            if (IsBaseInternetEntry(entry)) {
                memset(item.LibraryPath, 0, sizeof item.LibraryPath);
                strcpy(item.LibraryPath, ProviderPath().c_str());
            }
            snapshot[entry.key] = ItemBytes(item);
        }
        return snapshot;
    }

    static void Install()
    {
        CInstaller installer;
        ASSERT_EQ(INSTALL_OK, installer.InstallProvider(ProviderPath().c_str()));
    }

    std::string m_provider = ProviderPath();
};

// ---- Provider install, re-apply and uninstall --------------------------------

TEST_F(Registry, InstallRewritesOnlyTheBaseInternetEntriesAndSavesTheirPaths)
{
    CInstaller installer;
    EXPECT_EQ(0, installer.GetProviderPath(nullptr));
    ASSERT_EQ(INSTALL_OK, installer.InstallProvider(m_provider.c_str()));

    EXPECT_EQ(InstalledCatalog(), CatalogSnapshot());
    std::map<std::string, std::string> values = ProviderValues();
    std::map<std::string, std::string> expected = {
        {"PathName", "1:" + m_provider},
        {"SkinName", "1:Skins\\Default\\"},
        {"1001", "1:" + BaseLibrary()},
        {"1002", "1:" + BaseLibrary()},
    };
    // The texts are stored without their NUL; this registry reports one.
    for (auto &value : values) {
        if (!value.second.empty() && value.second.back() == '\0')
            value.second.pop_back();
    }
    EXPECT_EQ(expected, values);

    char path[MAX_PATH];
    EXPECT_EQ(1, installer.GetProviderPath(path));
    EXPECT_EQ(m_provider, path);
    char skin[MAX_PATH];
    EXPECT_EQ(1, CInstaller::GetSkinName(skin));
    EXPECT_STREQ("Skins\\Default\\", skin);
}

TEST_F(Registry, SecondInstallIsRefusedAndChangesNothing)
{
    Install();
    Snapshot catalog = CatalogSnapshot();
    std::map<std::string, std::string> values = ProviderValues();

    CInstaller installer;
    EXPECT_EQ(INSTALL_ERR_ALREADY_INSTALLED, installer.InstallProvider("C:\\Elsewhere\\QFW.DLL"));
    EXPECT_EQ(catalog, CatalogSnapshot());
    EXPECT_EQ(values, ProviderValues());
}

TEST_F(Registry, UninstallRestoresEveryEntryByteForByteAndDeletesTheKey)
{
    Install();
    CInstaller installer;
    EXPECT_EQ(INSTALL_OK, installer.UninstallProvider());
    EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
    EXPECT_EQ(INSTALL_ERR_NOT_INSTALLED, installer.UninstallProvider());
    EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
}

TEST_F(Registry, ReapplyPatchesAnEntrySetBackAndLeavesOneThatDiffersMore)
{
    Install();
    std::string setBack = BaseLibrary();
    CharUpperA(&setBack[0]);
    ASSERT_NE(BaseLibrary(), setBack);
    std::string other = CCatalogFixture::ProgramFolder() + "Other.dll";
    SetEntryPath("000000000001", setBack.c_str());
    SetEntryPath("000000000002", other.c_str());

    // A fresh object, as the poller's: the provider path comes from the key.
    CInstaller installer;
    EXPECT_EQ(1, installer.RecheckProvider());
    EXPECT_EQ(m_provider, ReadItem("000000000001").LibraryPath);
    EXPECT_EQ(other, ReadItem("000000000002").LibraryPath);
    Snapshot installed = InstalledCatalog();
    EXPECT_EQ(installed["000000000001"], CatalogSnapshot()["000000000001"]);
    EXPECT_EQ(installed["000000000003"], CatalogSnapshot()["000000000003"]);
    EXPECT_EQ(installed["000000000004"], CatalogSnapshot()["000000000004"]);
}

TEST_F(Registry, ReapplyNeedsAnInstalledProvider)
{
    // A saved path without PathName: nothing is installed, nothing is patched.
    ASSERT_TRUE(CCatalogFixture::WriteNextProvider(1001, BaseLibrary().c_str()));
    CInstaller installer;
    EXPECT_EQ(0, installer.RecheckProvider());
    EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
}

TEST_F(Registry, ReapplyRunsOnlyOnXpAndLater)
{
    Install();
    SetEntryPath("000000000001", BaseLibrary().c_str());
    ASSERT_EQ(20500u, RunChild("win2k", "oskind")); // platform 2, version 5.0
    EXPECT_EQ(0u, RunChild("win2k", "recheck"));
    EXPECT_EQ(BaseLibrary(), ReadItem("000000000001").LibraryPath);
    EXPECT_EQ(1u, RunChild("winxp", "recheck"));
    EXPECT_EQ(m_provider, ReadItem("000000000001").LibraryPath);
}

// An earlier install that broke off left the entries naming the provider:
// those paths must never be saved as originals, or the provider would chain
// to itself. The originals saved then stay, and uninstall brings them back.
TEST_F(Registry, InstallNeverSavesTheProviderAsAnOriginal)
{
    ASSERT_TRUE(CCatalogFixture::WriteNextProvider(1001, BaseLibrary().c_str()));
    ASSERT_TRUE(CCatalogFixture::WriteNextProvider(1002, BaseLibrary().c_str()));
    SetEntryPath("000000000001", m_provider.c_str());
    SetEntryPath("000000000002", "C:\\Old Folder\\qfw.dll");

    CInstaller installer;
    ASSERT_EQ(INSTALL_OK, installer.InstallProvider(m_provider.c_str()));
    EXPECT_EQ(BaseLibrary(), ReadText(PROVIDER_KEY, "1001"));
    EXPECT_EQ(BaseLibrary(), ReadText(PROVIDER_KEY, "1002"));
    EXPECT_EQ(m_provider, ReadItem("000000000002").LibraryPath);

    EXPECT_EQ(INSTALL_OK, installer.UninstallProvider());
    EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
}

// An entry that names the provider with no original saved for it could
// chain to nothing: every socket would fail. The install fails before it
// changes anything.
TEST_F(Registry, InstallOverAnEntryNamingTheProviderWithoutAnOriginalFails)
{
    for (const std::string &path : {m_provider, std::string("C:\\Old Folder\\qfw.dll")}) {
        SCOPED_TRACE(path);
        SetEntryPath("000000000002", path.c_str());
        const Snapshot before = CatalogSnapshot();
        CInstaller installer;
        EXPECT_EQ(INSTALL_ERR_SAVE_ORIGINAL, installer.InstallProvider(m_provider.c_str()));
        EXPECT_EQ(before, CatalogSnapshot());
        EXPECT_FALSE(KeyExists(PROVIDER_KEY));
    }
}

// A saved original that is no library the entry could load would leave the
// entry broken once written back: the uninstall fails with nothing changed,
// and the key with every saved original stays for a later uninstall.
TEST_F(Registry, UninstallOverAnUnusableSavedOriginalFails)
{
    const DWORD number = 7;
    const std::string tooLong(MAX_PATH + 10, 'x');
    const char otherProvider[] = "C:\\Other\\QFW.DLL";
    const struct {
        const char *what;
        DWORD type;
        const void *data;
        DWORD size;
    } cases[] = {
        {"another type", REG_DWORD, &number, sizeof number},
        {"empty", REG_SZ, "", 1},
        {"too long", REG_SZ, tooLong.c_str(), static_cast<DWORD>(tooLong.size() + 1)},
        {"the provider", REG_SZ, otherProvider, sizeof otherProvider},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Install();
        ASSERT_TRUE(WriteRaw(PROVIDER_KEY, "1002", c.type, c.data, c.size));
        const Snapshot before = CatalogSnapshot();
        const std::map<std::string, std::string> values = ProviderValues();
        CInstaller installer;
        EXPECT_EQ(1, installer.UninstallProvider());
        EXPECT_EQ(before, CatalogSnapshot());
        EXPECT_EQ(values, ProviderValues());

        const std::string base = BaseLibrary();
        ASSERT_TRUE(WriteRaw(PROVIDER_KEY, "1002", REG_SZ, base.c_str(), static_cast<DWORD>(base.size() + 1)));
        EXPECT_EQ(INSTALL_OK, installer.UninstallProvider());
        EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
    }
}

TEST_F(Registry, ProviderPathThatDoesNotFitAnEntryIsRefused)
{
    std::string tooLong = "C:\\" + std::string(MAX_PATH, 'x') + "\\QFW.DLL";
    CInstaller installer;
    EXPECT_EQ(INSTALL_ERR_WRITE_ITEM, installer.InstallProvider(tooLong.c_str()));
    EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
}

// ---- Failures: the codes, and what a failed install leaves ---------------------

TEST_F(Registry, MissingCatalogKeyFailsEveryWalk)
{
    for (const TestEntry &entry : kEntries)
        DeleteTree(CatalogEntryKey(entry.key).c_str());
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_LOCAL_MACHINE, WINSOCK_CATALOG_KEY));

    CInstaller installer;
    EXPECT_EQ(INSTALL_ERR_CATALOG_KEY, installer.InstallProvider(m_provider.c_str()));
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
    EXPECT_EQ(INSTALL_ERR_CATALOG_KEY, installer.PatchCatalog(CATALOG_UNINSTALL, FALSE));
}

// An install that fails half-way puts back the entries it changed and removes
// its key, so a later install starts from the true originals.
TEST_F(Registry, EntryThatCannotBeOpenedUndoesTheInstall)
{
    LockKey(CatalogEntryKey("000000000002"));
    CInstaller installer;
    EXPECT_EQ(INSTALL_ERR_CATALOG_KEY, installer.InstallProvider(m_provider.c_str()));
    EXPECT_EQ(PristineCatalog()["000000000001"], CatalogSnapshot()["000000000001"]);
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
}

TEST_F(Registry, ItemOfAnotherSizeUndoesTheInstall)
{
    PackedCatalogItem item = MakeItem(kEntries[1]);
    WriteItem("000000000002", item, sizeof item - 1);
    CInstaller installer;
    EXPECT_EQ(INSTALL_ERR_CATALOG_ITEM, installer.InstallProvider(m_provider.c_str()));
    EXPECT_EQ(PristineCatalog()["000000000001"], CatalogSnapshot()["000000000001"]);
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
}

TEST_F(Registry, ItemWithoutItsValueOrWithAnUnendedPathIsRefused)
{
    CInstaller installer;
    HKEY entry;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, CatalogEntryKey("000000000001").c_str(), 0,
                                           KEY_ALL_ACCESS, &entry));
    RegDeleteValueA(entry, WINSOCK_CATALOG_ITEM_VALUE);
    RegCloseKey(entry);
    EXPECT_EQ(INSTALL_ERR_CATALOG_ITEM, installer.InstallProvider(m_provider.c_str()));

    PackedCatalogItem item = MakeItem(kEntries[0]);
    memset(item.LibraryPath, 'x', sizeof item.LibraryPath);
    WriteItem("000000000001", item);
    EXPECT_EQ(INSTALL_ERR_CATALOG_ITEM, installer.InstallProvider(m_provider.c_str()));
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
}

TEST_F(Registry, OriginalThatCannotBeSavedFailsTheInstall)
{
    LockKey(PROVIDER_KEY);
    CInstaller installer;
    EXPECT_EQ(INSTALL_ERR_SAVE_ORIGINAL, installer.InstallProvider(m_provider.c_str()));
    EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
}

TEST_F(Registry, PathNameThatCannotBeWrittenFailsTheInstall)
{
    // Without base entries the walk changes nothing; the key is locked.
    for (const TestEntry &entry : kEntries) {
        if (IsBaseInternetEntry(entry))
            DeleteTree(CatalogEntryKey(entry.key).c_str());
    }
    LockKey(PROVIDER_KEY);
    CInstaller installer;
    EXPECT_EQ(INSTALL_ERR_REG_WRITE, installer.InstallProvider(m_provider.c_str()));
    EXPECT_EQ(0, installer.GetProviderPath(nullptr));
}

// Stands in for a registry that refuses to write one entry's item.
class RefusingInstaller : public CInstaller
{
public:
    explicit RefusingInstaller(DWORD refusedId) : m_refusedId(refusedId) {}
    DWORD m_refusedId;

protected:
    int WriteCatalogItem(HKEY entry, const PackedCatalogItem &item) override
    {
        if (item.ProtocolInfo.dwCatalogEntryId == m_refusedId)
            return 0;
        return CInstaller::WriteCatalogItem(entry, item);
    }
};

TEST_F(Registry, ItemThatCannotBeWrittenUndoesTheInstall)
{
    RefusingInstaller installer(1002);
    EXPECT_EQ(INSTALL_ERR_WRITE_ITEM, installer.InstallProvider(m_provider.c_str()));
    EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
}

// An entry that cannot get its original back would be stuck on the provider
// with no saved path: the uninstall stops and keeps the key.
TEST_F(Registry, UninstallThatCannotRestoreAnEntryKeepsTheKey)
{
    Install();
    std::map<std::string, std::string> values = ProviderValues();
    RefusingInstaller refusing(1002);
    EXPECT_EQ(1, refusing.UninstallProvider());
    EXPECT_EQ(values, ProviderValues());
    EXPECT_EQ(BaseLibrary(), ReadItem("000000000001").LibraryPath);
    EXPECT_EQ(m_provider, ReadItem("000000000002").LibraryPath);

    CInstaller installer;
    EXPECT_EQ(INSTALL_OK, installer.UninstallProvider());
    EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
}

TEST_F(Registry, UninstallStopsAtAnEntryThatCannotBeOpened)
{
    Install();
    LockKey(CatalogEntryKey("000000000002"));
    CInstaller installer;
    EXPECT_EQ(1, installer.UninstallProvider());
    EXPECT_TRUE(installer.GetProviderPath(nullptr));
    EXPECT_EQ(BaseLibrary(), ReadText(PROVIDER_KEY, "1002"));
}

TEST_F(Registry, KeyThatCannotBeDeletedFailsTheUninstall)
{
    Install();
    HKEY child;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, PROVIDER_KEY "\\Extra", 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &child, nullptr));
    RegCloseKey(child);
    CInstaller installer;
    EXPECT_EQ(INSTALL_ERR_DELETE_KEY, installer.UninstallProvider());
    EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
}

// ---- Registry helpers -----------------------------------------------------------

TEST_F(Registry, ReadValueTakesOnlyTheExpectedType)
{
    DWORD number = 7;
    ASSERT_TRUE(WriteRaw(PROVIDER_KEY, "Number", REG_DWORD, &number, sizeof number));
    char text[MAX_PATH] = "unchanged";
    EXPECT_EQ(0, CInstaller::ReadRegValue("Number", text, sizeof text, HKEY_LOCAL_MACHINE, PROVIDER_KEY, REG_SZ));
    EXPECT_STREQ("", text);
    DWORD read = 0;
    EXPECT_EQ(1, CInstaller::ReadRegValue("Number", &read, sizeof read, HKEY_LOCAL_MACHINE, PROVIDER_KEY, REG_DWORD));
    EXPECT_EQ(7u, read);
    EXPECT_EQ(0, CInstaller::ReadRegValue("Missing", &read, sizeof read, HKEY_LOCAL_MACHINE, PROVIDER_KEY, REG_DWORD));
}

// Texts are stored without their NUL: one that fits is returned terminated,
// one that would fill the whole buffer is refused.
TEST_F(Registry, ReadTextIsTerminatedWithinTheBuffer)
{
    struct Case {
        size_t length;
        int expected;
    };
    for (Case c : {Case{0, 1}, Case{1, 1}, Case{MAX_PATH - 1, 1}, Case{MAX_PATH, 0}, Case{MAX_PATH + 40, 0}}) {
        std::string value(c.length, 'p');
        ASSERT_TRUE(WriteRaw(PROVIDER_KEY, "Text", REG_SZ, value.data(), value.size()));
        char text[MAX_PATH + 1];
        memset(text, '#', sizeof text);
        EXPECT_EQ(c.expected, CInstaller::ReadRegValue("Text", text, MAX_PATH, HKEY_LOCAL_MACHINE, PROVIDER_KEY,
                                                       REG_SZ))
            << c.length;
        EXPECT_EQ(c.expected ? value : std::string(), std::string(text)) << c.length;
        EXPECT_EQ('#', text[MAX_PATH]) << c.length;
    }
}

TEST_F(Registry, WriteAndDeleteValuesAndKeys)
{
    const char key[] = PROVIDER_KEY "\\Sub";
    EXPECT_EQ(1, CInstaller::WriteRegValue("A", "abc", 3, HKEY_LOCAL_MACHINE, key, REG_SZ));
    DWORD type = 0;
    EXPECT_EQ("abc", ReadRaw(key, "A", &type).substr(0, 3));
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ(1, CInstaller::DeleteRegValue(HKEY_LOCAL_MACHINE, key, "A"));
    EXPECT_EQ("<absent>", ReadRaw(key, "A"));
    EXPECT_EQ(0, CInstaller::DeleteRegValue(HKEY_LOCAL_MACHINE, key, "A"));
    EXPECT_EQ(1, CInstaller::DeleteRegValue(HKEY_LOCAL_MACHINE, key, nullptr));
    EXPECT_FALSE(KeyExists(key));
    EXPECT_EQ(0, CInstaller::DeleteRegValue(nullptr, key, nullptr));
    EXPECT_EQ(0, CInstaller::DeleteRegValue(HKEY_LOCAL_MACHINE, nullptr, nullptr));
}

// ---- Driver service, autostart, Winsock -------------------------------------------

struct ExpectedValue {
    const char *name;
    DWORD type;
    std::string bytes;
};

std::string Dword(DWORD value)
{
    return std::string(reinterpret_cast<const char *>(&value), sizeof value);
}

void ExpectValues(const char *key, const std::vector<ExpectedValue> &expected)
{
    for (const ExpectedValue &value : expected) {
        DWORD type = REG_NONE;
        std::string bytes = ReadRaw(key, value.name, &type);
        // Wine reports a plain string stored without NUL with one added.
        if ((value.type == REG_SZ || value.type == REG_EXPAND_SZ) && bytes.size() == value.bytes.size() + 1 &&
            bytes.back() == '\0')
            bytes.pop_back();
        EXPECT_EQ(value.type, type) << value.name;
        EXPECT_EQ(value.bytes, bytes) << value.name;
    }
}

TEST_F(Registry, DriverServiceOnTheNtFamily)
{
    CInstaller installer;
    EXPECT_EQ(1, installer.InstallDriverService());
    ExpectValues(kDriverKeyNt, {
                                   {"Type", REG_DWORD, Dword(1)},
                                   {"Start", REG_DWORD, Dword(0)},
                                   {"Group", REG_SZ, "Extended Base"},
                                   {"ErrorControl", REG_DWORD, Dword(1)},
                                   {"ImagePath", REG_EXPAND_SZ, "System32\\Netvane.sys"},
                                   {"DisplayName", REG_SZ, "QFW NetServer"},
                                   {"DependOnService", REG_MULTI_SZ, std::string("NDIS\0\0", 6)},
                                   {"DependOnGroup", REG_MULTI_SZ, std::string("NDIS Wrapper\0\0", 14)},
                               });
    EXPECT_FALSE(KeyExists(kDriverKeyVxd));

    // The system adds an Enum subkey to a started service.
    HKEY enumKey;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, (std::string(kDriverKeyNt) + "\\Enum").c_str(), 0,
                                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &enumKey, nullptr));
    RegCloseKey(enumKey);
    EXPECT_EQ(1, installer.UninstallDriverService());
    EXPECT_FALSE(KeyExists(kDriverKeyNt));
    EXPECT_EQ(0, installer.UninstallDriverService());
}

TEST_F(Registry, DriverServiceThatCannotBeWrittenFails)
{
    LockKey(kDriverKeyNt);
    CInstaller installer;
    EXPECT_EQ(0, installer.InstallDriverService());
}

TEST_F(Registry, DriverServiceOnWindows9x)
{
    ASSERT_EQ(10410u, RunChild("win98", "oskind")); // platform 1, version 4.10
    EXPECT_EQ(1u, RunChild("win98", "install-driver"));
    ExpectValues(kDriverKeyVxd, {
                                    {"StaticVxD", REG_SZ, "Netvane.vxd"},
                                    {"Start", REG_BINARY, std::string("\0", 1)},
                                });
    EXPECT_FALSE(KeyExists(kDriverKeyNt));
    EXPECT_EQ(1u, RunChild("win98", "uninstall-driver"));
    EXPECT_FALSE(KeyExists(kDriverKeyVxd));
}

TEST_F(Registry, AutoStartQuotesTheConsolePath)
{
    CInstaller installer;
    EXPECT_EQ(1, installer.SetAutoStart(TRUE));
    DWORD type = 0;
    std::string value = ReadRaw(kRunKey, kRunValue, &type);
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ("\"" + OwnPath() + "\"", ReadText(kRunKey, kRunValue));
    EXPECT_EQ(1, installer.SetAutoStart(FALSE));
    EXPECT_EQ("<absent>", ReadRaw(kRunKey, kRunValue));
    EXPECT_EQ(0, installer.SetAutoStart(FALSE));
}

TEST(Winsock, Version2IsPresent)
{
    EXPECT_EQ(1, CInstaller::CheckWinsock2());
    // It stays started: a socket can be made without starting it again.
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    EXPECT_NE(INVALID_SOCKET, s);
    closesocket(s);
    WSACleanup();
}

// ---- The console's install switches -------------------------------------------------

int g_failureReports;

void CountFailure()
{
    ++g_failureReports;
}

class InstallSwitch : public Registry
{
protected:
    void SetUp() override
    {
        Registry::SetUp();
        g_failureReports = 0;
    }

    int Run(const char *commandLine)
    {
        testing::internal::CaptureStdout(); // the Windows Firewall switch's lines
        int result = HandleInstallSwitches(commandLine, CountFailure);
        testing::internal::GetCapturedStdout();
        return result;
    }
};

TEST_F(InstallSwitch, OnlyTheExactSwitchesAreSwitches)
{
    for (const char *line : {"", "-FZINSTALL", "-fzinstall ", "-fzinstall x", " -fzinstall", "-fzuninstall2",
                             "-FzUninstall", "fzinstall"}) {
        EXPECT_EQ(1, Run(line)) << line;
    }
    EXPECT_FALSE(KeyExists(kDriverKeyNt));
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
    EXPECT_EQ("<absent>", ReadRaw(kRunKey, kRunValue));
    EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
    EXPECT_EQ(0, g_failureReports);
}

TEST_F(InstallSwitch, InstallThenUninstall)
{
    EXPECT_EQ(0, Run("-fzinstall"));
    EXPECT_EQ(0, g_failureReports);
    EXPECT_TRUE(KeyExists(kDriverKeyNt));
    EXPECT_EQ(m_provider, ReadText(PROVIDER_KEY, "PathName"));
    EXPECT_EQ(InstalledCatalog(), CatalogSnapshot());
    EXPECT_EQ("\"" + OwnPath() + "\"", ReadText(kRunKey, kRunValue));

    // Installed already: not a failure.
    EXPECT_EQ(0, Run("-fzinstall"));
    EXPECT_EQ(0, g_failureReports);

    EXPECT_EQ(0, Run("-fzuninstall"));
    EXPECT_FALSE(KeyExists(kDriverKeyNt));
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
    EXPECT_EQ(PristineCatalog(), CatalogSnapshot());
    EXPECT_EQ(0, g_failureReports);
}

TEST_F(InstallSwitch, DriverThatCannotBeRegisteredStopsTheInstall)
{
    LockKey(kDriverKeyNt);
    EXPECT_EQ(0, Run("-fzinstall"));
    EXPECT_EQ(1, g_failureReports);
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
    EXPECT_EQ("<absent>", ReadRaw(kRunKey, kRunValue));
}

TEST_F(InstallSwitch, ProviderThatCannotBeInstalledIsReportedAndTheRestDone)
{
    LockKey(CatalogEntryKey("000000000001"));
    EXPECT_EQ(0, Run("-fzinstall"));
    EXPECT_EQ(1, g_failureReports);
    EXPECT_TRUE(KeyExists(kDriverKeyNt));
    EXPECT_FALSE(KeyExists(PROVIDER_KEY));
    EXPECT_EQ("\"" + OwnPath() + "\"", ReadText(kRunKey, kRunValue));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc == 3 && strcmp(argv[1], kChildSwitch) == 0)
        return RunChildAction(argv[2]);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
