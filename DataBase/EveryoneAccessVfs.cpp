#include "EveryoneAccessVfs.h"

#include "EveryoneFullAccess.h"

#include <sqlite3.h>
#include <windows.h>
#include <vector>

namespace {

const char kVfsName[] = "qfw-everyone-access";

// The engine's own Windows layer, which this one wraps.
sqlite3_vfs *g_base;

// Creates the file with the shared access list when it does not exist yet.
// A failure here is not reported: the engine's open that follows decides.
void CreateWithEveryoneAccess(const char *utf8Path)
{
    int length = MultiByteToWideChar(CP_UTF8, 0, utf8Path, -1, nullptr, 0);
    if (length <= 0)
        return;
    std::vector<wchar_t> path(length);
    MultiByteToWideChar(CP_UTF8, 0, utf8Path, -1, path.data(), length);

    CEveryoneFullAccess access;
    if (!access.Attributes())
        return;
    HANDLE file = CreateFileW(path.data(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE, access.Attributes(),
                              CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

int Open(sqlite3_vfs *, sqlite3_filename name, sqlite3_file *file, int flags, int *outFlags)
{
    if (name && (flags & SQLITE_OPEN_MAIN_DB) && (flags & SQLITE_OPEN_CREATE))
        CreateWithEveryoneAccess(name);
    return g_base->xOpen(g_base, name, file, flags, outFlags);
}

sqlite3_vfs *RegisterVfs()
{
    g_base = sqlite3_vfs_find("win32");
    if (!g_base)
        return nullptr;
    // Every other method is the base's own and receives this record, a copy
    // of the base's with its sizes and data. The open hands the base's own
    // record on, so that the files it opens belong to the base.
    static sqlite3_vfs vfs;
    vfs = *g_base;
    vfs.pNext = nullptr;
    vfs.zName = kVfsName;
    vfs.xOpen = Open;
    return sqlite3_vfs_register(&vfs, 0) == SQLITE_OK ? &vfs : nullptr;
}

} // namespace

const char *EveryoneAccessVfsName()
{
    static sqlite3_vfs *const vfs = RegisterVfs();
    return vfs ? kVfsName : nullptr;
}
