#include "CommonTestChildren.h"
#include <gtest/gtest.h>
#include <windows.h>
#include <cstdlib>
#include <cstring>
#include "CommonFunctions.h"

namespace {

const char kAppDefaults[] = "Software\\Wine\\AppDefaults\\";

std::string FileNameOf(const std::string &path)
{
    return path.substr(path.rfind('\\') + 1);
}

int CheckModuleDir(const char *folder, const char *path)
{
    return GetModuleDir(nullptr, false) == folder && GetModuleDir(nullptr, true) == path ? 0 : 1;
}

int CheckOs(const char *kind, const char *win9x)
{
    bool is9x = atoi(win9x) != 0;
    if (GetOsKind() != atoi(kind))
        return 1;
    if (IsWin9x() != is9x)
        return 2;
    return (GetNullDaclAttributes() == nullptr) == is9x ? 0 : 3;
}

int CheckHostNames()
{
    char name[64];
    if (IsWin9x()) {
        if (!IpToHostName(kKnownHost, name, sizeof name) || strcmp(name, kKnownHostName) != 0)
            return 1;
        if (IpToHostName(kUnknownHost, name, sizeof name) || strcmp(name, "192.168.0.2") != 0)
            return 2;
        return 0;
    }
    // The driver's lookup answers four bytes at most.
    if (!IpToHostName(kKnownHost, name, sizeof name) || strcmp(name, "rout") != 0)
        return 3;
    if (IpToHostName(kUnknownHost, name, sizeof name) || name[0] != '\0')
        return 4;
    return 0;
}

void SetWineVersion(const std::string &exe, const char *version)
{
    std::string key = kAppDefaults + exe;
    if (!*version) {
        RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str());
        return;
    }
    HKEY handle;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                        nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(handle, "Version", 0, REG_SZ, reinterpret_cast<const BYTE *>(version),
                       static_cast<DWORD>(strlen(version) + 1));
        RegCloseKey(handle);
    }
}

} // namespace

int RunCopy(const std::string &path, const std::string &arguments, const char *version)
{
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self - 1);
    if (!CopyFileA(self, path.c_str(), FALSE))
        return -1;
    SetWineVersion(FileNameOf(path), version);
    std::string command = "\"" + path + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    DWORD exitCode = static_cast<DWORD>(-1);
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &process)) {
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    SetWineVersion(FileNameOf(path), "");
    DeleteFileA(path.c_str());
    return static_cast<int>(exitCode);
}

int main(int argc, char **argv)
{
    if (argc == 4 && strcmp(argv[1], kModuleDirSwitch) == 0)
        return CheckModuleDir(argv[2], argv[3]);
    if (argc == 4 && strcmp(argv[1], kOsSwitch) == 0)
        return CheckOs(argv[2], argv[3]);
    if (argc == 2 && strcmp(argv[1], kHostNamesSwitch) == 0)
        return CheckHostNames();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
