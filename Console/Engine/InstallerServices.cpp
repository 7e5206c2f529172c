// The installer's system parts: the Winsock check, the driver's service
// keys and the console's start at log-on.
#include <winsock2.h>

#include "Installer.h"

#include "OsVersion.h"
#include "PathText.h"

const char kDriverKeyNt[] = "SYSTEM\\CurrentControlSet\\Services\\Netvane";
const char kDriverKeyVxd[] = "SYSTEM\\CurrentControlSet\\Services\\VxD\\Netvane";
const char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "QFW";

namespace {

const char kDriverEnumKeyNt[] = "SYSTEM\\CurrentControlSet\\Services\\Netvane\\Enum";

struct ServiceValue {
    const char *name;
    DWORD type;
    const void *data;
    DWORD length;
};

const DWORD kServiceType = 1;   // kernel driver
const DWORD kStartBoot = 0;
const DWORD kErrorNormal = 1;
const BYTE kVxdStart = 0;

// Strings without their NUL; the multi-strings with both of theirs.
#define TEXT_VALUE(text) text, sizeof text - 1
#define MULTI_VALUE(text) text "\0", sizeof text + 1

const ServiceValue kNtValues[] = {
    {"Type", REG_DWORD, &kServiceType, sizeof kServiceType},
    {"Start", REG_DWORD, &kStartBoot, sizeof kStartBoot},
    {"Group", REG_SZ, TEXT_VALUE("Extended Base")},
    {"ErrorControl", REG_DWORD, &kErrorNormal, sizeof kErrorNormal},
    {"ImagePath", REG_EXPAND_SZ, TEXT_VALUE("System32\\Netvane.sys")},
    {"DisplayName", REG_SZ, TEXT_VALUE("QFW NetServer")},
    {"DependOnService", REG_MULTI_SZ, MULTI_VALUE("NDIS")},
    {"DependOnGroup", REG_MULTI_SZ, MULTI_VALUE("NDIS Wrapper")},
};

const ServiceValue kVxdValues[] = {
    {"StaticVxD", REG_SZ, TEXT_VALUE("Netvane.vxd")},
    {"Start", REG_BINARY, &kVxdStart, sizeof kVxdStart},
};

#undef TEXT_VALUE
#undef MULTI_VALUE

template <size_t N>
int WriteServiceValues(LPCSTR key, const ServiceValue (&values)[N])
{
    for (const ServiceValue &value : values) {
        if (!CInstaller::WriteRegValue(value.name, value.data, value.length, HKEY_LOCAL_MACHINE, key, value.type))
            return 0;
    }
    return 1;
}

} // namespace

int CInstaller::CheckWinsock2()
{
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 0), &data) != 0)
        return 0;
    // Winsock stays started for the life of the process: the console's
    // threads use it without starting it again.
    if (LOBYTE(data.wVersion) == 2)
        return 1;
    WSACleanup();
    return 0;
}

int CInstaller::InstallDriverService()
{
    if (IsWin9x())
        return WriteServiceValues(kDriverKeyVxd, kVxdValues);
    return WriteServiceValues(kDriverKeyNt, kNtValues);
}

int CInstaller::UninstallDriverService()
{
    if (IsWin9x())
        return DeleteRegValue(HKEY_LOCAL_MACHINE, kDriverKeyVxd, nullptr);
    // A key with subkeys cannot be deleted; the system may have added Enum.
    DeleteRegValue(HKEY_LOCAL_MACHINE, kDriverEnumKeyNt, nullptr);
    return DeleteRegValue(HKEY_LOCAL_MACHINE, kDriverKeyNt, nullptr);
}

// The path is quoted: unquoted, a folder with blanks ("C:\Program Files\...")
// would let the shell start "C:\Program.exe" at log-on.
int CInstaller::SetAutoStart(BOOL on)
{
    if (!on)
        return DeleteRegValue(HKEY_LOCAL_MACHINE, kRunKey, kRunValue);
    CString command = "\"" + GetModuleDir(nullptr, true) + "\"";
    return WriteString(HKEY_LOCAL_MACHINE, kRunKey, kRunValue, command);
}
