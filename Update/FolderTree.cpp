#include "FolderTree.h"
#include "CFileFind.h"

#include <cstring>

#ifndef QFW_UPDATE_RENAMED_FILE
#define QFW_UPDATE_RENAMED_FILE ""
#endif
const char UPDATE_RENAMED_FILE[] = QFW_UPDATE_RENAMED_FILE;

namespace {

CString WithBackslash(const CString &folder)
{
    int length = folder.GetLength();
    return length > 0 && folder[length - 1] == '\\' ? folder : folder + '\\';
}

CString Lower(CString text)
{
    text.MakeLower();
    return text;
}

void ListInto(const CString &root, const CString &prefix, std::vector<CString> &files)
{
    CFileFind finder;
    BOOL more = finder.FindFile(root + prefix + "*.*");
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        if (finder.IsDirectory())
            ListInto(root, prefix + finder.GetFileName() + '\\', files);
        else
            files.push_back(prefix + finder.GetFileName());
    }
}

// The renamed file: the "_" copy is refreshed only while the file under its
// own name exists; otherwise the copy must not overwrite anything.
void CopyRenamedFile(const CString &file, const CString &destination, const CString &name,
                     BOOL *ok)
{
    CString target = destination + name + '_';
    if (FileExists(destination + name)) {
        if (FileExists(target) && !DeleteFileA(target))
            return;
    }
    if (!CopyFileA(file, target, TRUE))
        *ok = FALSE;
}

HANDLE OpenToRead(const CString &path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, 0, nullptr);
}

// Whether both files can be read and hold the same bytes.
bool SameBytes(const CString &first, const CString &second)
{
    HANDLE a = OpenToRead(first), b = OpenToRead(second);
    bool same = a != INVALID_HANDLE_VALUE && b != INVALID_HANDLE_VALUE &&
                GetFileSize(a, nullptr) == GetFileSize(b, nullptr);
    const DWORD chunk = 64 * 1024;
    std::vector<char> bufferA(same ? chunk : 0), bufferB(same ? chunk : 0);
    while (same) {
        DWORD readA = 0, readB = 0;
        same = ReadFile(a, bufferA.data(), chunk, &readA, nullptr) &&
               ReadFile(b, bufferB.data(), chunk, &readB, nullptr) && readA == readB &&
               std::memcmp(bufferA.data(), bufferB.data(), readA) == 0;
        if (readA == 0)
            break;
    }
    if (a != INVALID_HANDLE_VALUE)
        CloseHandle(a);
    if (b != INVALID_HANDLE_VALUE)
        CloseHandle(b);
    return same;
}

const char kAsideSuffix[] = ".qfwold";

// Removes a file put aside: now if it is free, otherwise at the next boot,
// and what is still left at the updater's next start.
void RemoveAside(const CString &aside)
{
    if (!DeleteFileA(aside))
        MoveFileExA(aside, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

// Frees the target's name. A program's own file or a loaded library can be
// neither deleted nor overwritten while it runs, but it can be renamed, so
// the old file is put aside in its folder. *aside names it; empty when
// there was no file.
bool MakeRoom(const CString &target, CString &aside)
{
    aside.Empty();
    if (!FileExists(target))
        return true;
    // One put aside earlier and still in use keeps its name.
    CString candidate = target + kAsideSuffix;
    for (int i = 1; i < 100 && FileExists(candidate) && !DeleteFileA(candidate); ++i)
        candidate.Format("%s.%d%s", static_cast<LPCSTR>(target), i, kAsideSuffix);
    if (!MoveFileA(target, candidate))
        return false;
    aside = candidate;
    return true;
}

void CopyFileOver(const CString &file, const CString &target, const CString &name, BOOL *ok,
                  std::vector<CString> *leftAlone)
{
    // A file that holds these bytes already needs nothing: the restore of a
    // file the install could not replace, for one, finds it as it was.
    if (SameBytes(file, target))
        return;
    CString aside;
    if (!MakeRoom(target, aside)) {
        // A held idle-time library stays as it is: the system keeps it
        // loaded, and the release works with either.
        if (Lower(name) != "idlewatch.dll")
            *ok = FALSE;
        else if (leftAlone)
            leftAlone->push_back(target);
        return;
    }
    if (CopyFileA(file, target, TRUE)) {
        if (!aside.IsEmpty())
            RemoveAside(aside);
        return;
    }
    // Nothing is lost: the old file takes its name back.
    if (!aside.IsEmpty())
        MoveFileA(aside, target);
    *ok = FALSE;
}

} // namespace

bool FileExists(const CString &path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

std::vector<CString> ListTreeFiles(const CString &folder)
{
    std::vector<CString> files;
    ListInto(WithBackslash(folder), "", files);
    return files;
}

CString InstalledName(const CString &name, LPCSTR renamedFile)
{
    if (*renamedFile && Lower(name) == Lower(renamedFile))
        return name + '_';
    return name;
}

void DeleteTree(const CString &folder)
{
    CString root = WithBackslash(folder);
    CFileFind finder;
    BOOL more = finder.FindFile(root + "*.*");
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        if (finder.IsDirectory())
            DeleteTree(finder.GetFilePath());
        else
            DeleteFileA(finder.GetFilePath());
    }
    finder.Close();
    RemoveDirectoryA(root.Left(root.GetLength() - 1));
}

void CopyTree(const CString &source, const CString &destination, BOOL *ok, LPCSTR renamedFile,
              std::vector<CString> *leftAlone)
{
    CreateDirectoryA(destination, nullptr);
    CString target = WithBackslash(destination);
    CFileFind finder;
    BOOL more = finder.FindFile(WithBackslash(source) + "*.*");
    while (more) {
        more = finder.FindNextFile();
        if (finder.IsDots())
            continue;
        CString name = finder.GetFileName();
        if (finder.IsDirectory())
            CopyTree(finder.GetFilePath(), target + name, ok, renamedFile, leftAlone);
        else if (InstalledName(name, renamedFile) != name)
            CopyRenamedFile(finder.GetFilePath(), target, name, ok);
        else
            CopyFileOver(finder.GetFilePath(), target + name, name, ok, leftAlone);
    }
}

void RemoveFilesPutAside(const CString &folder)
{
    CString root = WithBackslash(folder);
    const int suffixLength = sizeof kAsideSuffix - 1;
    for (const CString &relative : ListTreeFiles(root)) {
        if (Lower(relative).Right(suffixLength) == kAsideSuffix)
            DeleteFileA(root + relative);
    }
}

void CreatePathFolders(const CString &root, const CString &relative)
{
    CString base = WithBackslash(root);
    for (int slash = relative.Find('\\'); slash >= 0; slash = relative.Find('\\', slash + 1))
        CreateDirectoryA(base + relative.Left(slash), nullptr);
}
