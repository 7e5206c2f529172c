#include "AclMemory.h"

#include <cstring>
#include "ProviderControlBlock.h"
#include "ProviderProcess.h"

namespace {

const char *const kWin9xExemptions[] = {
    "%windir%\\system\\icsmgr.exe",
    "%windir%\\system\\DLLHOST.EXE",
};

const char *const kNtExemptions[] = {
    "%windir%\\system32\\services.exe",
    "%windir%\\system32\\svchost.exe",
    "%windir%\\system32\\dllhost.exe",
    "%windir%\\system32\\dllcache\\svchost.exe",
    "%windir%\\system32\\dllcache\\dllhost.exe",
};

template <size_t N>
int CountOf(const char *const (&)[N])
{
    return static_cast<int>(N);
}

bool IsRegisteredConsolePath(const char *path)
{
    const char *consolePath = ConsolePath();
    return consolePath[0] != '\0' && strcmp(path, consolePath) == 0;
}

} // namespace

CAclMemory::CAclMemory()
{
    ConsolePath()[0] = '\0';
    DetectPlatform();
}

// Only the family matters here: Windows 9x has its own exemption list.
void CAclMemory::DetectPlatform()
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    m_isWin9x = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

// The decision over the rule image is not built yet: every call passes, as
// it does in work mode 0.
BYTE CAclMemory::Evaluate(SessionRecord &)
{
    return ACTION_PASS;
}

int CAclMemory::IsExemptProcess() const
{
    if (GetCurrentProcessId() == ControlBlock().ConsoleProcessId)
        return 1;
    char path[MAX_PATH];
    ReadProgramPath(path);
    if (IsRegisteredConsolePath(path))
        return 1;
    return m_isWin9x ? MatchExemptList(kWin9xExemptions, path, CountOf(kWin9xExemptions))
                     : MatchExemptList(kNtExemptions, path, CountOf(kNtExemptions));
}

int CAclMemory::MatchExemptList(const char *const *list, const char *path, int count)
{
    size_t length = strlen(path);
    for (int i = 0; i < count; ++i) {
        char entry[MAX_PATH];
        DWORD needed = ExpandEnvironmentStringsA(list[i], entry, sizeof entry);
        if (needed == 0 || needed > sizeof entry)
            continue;
        if (strlen(entry) == length && lstrcmpiA(entry, path) == 0)
            return 1;
    }
    return 0;
}

void CAclMemory::SetWorkMode(BYTE mode)
{
    ControlBlock().WorkMode = mode;
}

BYTE CAclMemory::GetWorkMode() const
{
    return ControlBlock().WorkMode;
}

int IsConsoleProcess()
{
    if (GetCurrentProcessId() == ControlBlock().ConsoleProcessId)
        return 1;
    char path[MAX_PATH];
    ReadProgramPath(path);
    return IsRegisteredConsolePath(path) ? 1 : 0;
}
