#include "FolderTree.h"
#include "CFileFind.h"

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

void CopyFileOver(const CString &file, const CString &target, const CString &name, BOOL *ok)
{
    if (FileExists(target) && !DeleteFileA(target)) {
        // A held idle-time library stays as it is: the system keeps it
        // loaded, and the release works with either.
        if (Lower(name) != "idlewatch.dll")
            *ok = FALSE;
        return;
    }
    if (!CopyFileA(file, target, TRUE))
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

void CopyTree(const CString &source, const CString &destination, BOOL *ok, LPCSTR renamedFile)
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
            CopyTree(finder.GetFilePath(), target + name, ok, renamedFile);
        else if (InstalledName(name, renamedFile) != name)
            CopyRenamedFile(finder.GetFilePath(), target, name, ok);
        else
            CopyFileOver(finder.GetFilePath(), target + name, name, ok);
    }
}

void CreatePathFolders(const CString &root, const CString &relative)
{
    CString base = WithBackslash(root);
    for (int slash = relative.Find('\\'); slash >= 0; slash = relative.Find('\\', slash + 1))
        CreateDirectoryA(base + relative.Left(slash), nullptr);
}
