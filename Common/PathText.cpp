#include "PathText.h"
#include "StringCodePage.h"

namespace {

struct PathParts {
    CString Drive;     // "C:" or empty
    CString Folder;    // up to and with the last '\\' or '/'; may be empty
    CString Name;
    CString Extension; // from the last '.' of the file part, or empty
};

PathParts SplitPath(LPCTSTR path)
{
    PathParts parts;
    CString text(path);
    int start = 0;
    if (text.GetLength() >= 2 && !IsStringLeadByte(text[0]) && text[1] == ':') {
        parts.Drive = text.Left(2);
        start = 2;
    }
    // Byte positions of the last separator and the last dot, found by
    // walking whole characters.
    int lastSeparator = -1, lastDot = -1;
    for (int i = start; i < text.GetLength(); ++i) {
        TCHAR ch = text[i];
        if (IsStringLeadByte(ch) && i + 1 < text.GetLength()) {
            ++i;
            continue;
        }
        if (ch == '\\' || ch == '/')
            lastSeparator = i;
        else if (ch == '.')
            lastDot = i;
    }
    int fileStart = lastSeparator >= 0 ? lastSeparator + 1 : start;
    parts.Folder = text.Mid(start, fileStart - start);
    if (lastDot >= fileStart) {
        parts.Name = text.Mid(fileStart, lastDot - fileStart);
        parts.Extension = text.Mid(lastDot);
    } else {
        parts.Name = text.Mid(fileStart);
    }
    return parts;
}

// The folder ends in a separator unless it is empty; only a backslash
// counts as the trailing one.
CString FolderWithBackslash(const PathParts &parts)
{
    CString folder = parts.Drive + parts.Folder;
    int length = parts.Folder.GetLength();
    if (length == 0 || parts.Folder[length - 1] != '\\')
        folder += '\\';
    return folder;
}

// The module's path, however long: the buffer grows until the path fits,
// so it is never cut short and always terminated.
CString ModulePath(HMODULE module)
{
    CString path;
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        DWORD length = GetModuleFileNameA(module, path.GetBuffer(size), size);
        if (length < size) {
            path.ReleaseBuffer(static_cast<int>(length));
            return path;
        }
        path.ReleaseBuffer(0);
    }
    return path;
}

} // namespace

CString GetModuleDir(HMODULE module, bool fullPath)
{
    CString path = ModulePath(module);
    return fullPath ? path : FolderWithBackslash(SplitPath(path));
}

CString GetDirFromPath(LPCTSTR path)
{
    return FolderWithBackslash(SplitPath(path));
}

CString GetFileNameFromPath(LPCTSTR path, bool withExtension)
{
    PathParts parts = SplitPath(path);
    return withExtension ? parts.Name + parts.Extension : parts.Name;
}

bool IsLocalAbsolutePath(LPCTSTR path)
{
    if (path == NULL || !IsCharAlphaA(path[0]) || IsStringLeadByte(path[0]) || path[1] != ':' ||
        (path[2] != '\\' && path[2] != '/'))
        return false;
    const char root[] = {path[0], ':', '\\', '\0'};
    const UINT type = GetDriveTypeA(root);
    return type != DRIVE_REMOTE && type != DRIVE_NO_ROOT_DIR && type != DRIVE_UNKNOWN;
}
