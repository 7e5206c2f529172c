#include "OsVersion.h"

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version record of every Windows");

namespace {

bool ReadVersion(OSVERSIONINFOA &version)
{
    version = OSVERSIONINFOA();
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) != FALSE;
}

} // namespace

bool IsWin9x()
{
    OSVERSIONINFOA version;
    return ReadVersion(version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

OsKind GetOsKind()
{
    OSVERSIONINFOA version;
    if (!ReadVersion(version))
        return OS_KIND_OTHER;
    return OsKindOf(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
}

OsKind OsKindOf(DWORD platformId, DWORD majorVersion, DWORD minorVersion)
{
    if (platformId == VER_PLATFORM_WIN32_WINDOWS)
        return OS_KIND_WIN9X;
    if (platformId != VER_PLATFORM_WIN32_NT)
        return OS_KIND_OTHER;
    if (majorVersion == 4)
        return OS_KIND_NT4;
    if (majorVersion == 5 && minorVersion == 0)
        return OS_KIND_WIN2000;
    return OS_KIND_XP_OR_LATER;
}
