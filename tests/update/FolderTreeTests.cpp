#include "FolderTree.h"
#include "UpdateTestFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

using Files = std::map<std::string, std::string>;

struct CopyRow {
    const char *name;
    Files source;
    Files destination;
    std::vector<std::string> locked;  // destination files held open
    const char *renamed;
    bool ok;
    Files after;                      // destination files afterwards ("<missing>": absent)
};

const CopyRow kCopyRows[] = {
    {"absent target", {{"a.dll", "new"}}, {}, {}, "", true, {{"a.dll", "new"}}},
    {"present target", {{"a.dll", "new"}}, {{"a.dll", "old"}}, {}, "", true, {{"a.dll", "new"}}},
    {"held target", {{"a.dll", "new"}}, {{"a.dll", "old"}}, {"a.dll"}, "", false,
     {{"a.dll", "old"}}},
    {"held idle-time library", {{"idlewatch.dll", "new"}}, {{"idlewatch.dll", "old"}},
     {"idlewatch.dll"}, "", true, {{"idlewatch.dll", "old"}}},
    {"held idle-time library in other letters", {{"IdleWatch.DLL", "new"}},
     {{"IdleWatch.DLL", "old"}}, {"IdleWatch.DLL"}, "", true, {{"IdleWatch.DLL", "old"}}},
    {"sub-folders", {{"s\\t\\a.bmp", "new"}, {"b.txt", "b"}}, {}, {}, "", true,
     {{"s\\t\\a.bmp", "new"}, {"b.txt", "b"}}},
    {"copying goes on after a failure", {{"a.dll", "new"}, {"b.dll", "new"}, {"c.dll", "new"}},
     {{"a.dll", "old"}, {"b.dll", "old"}, {"c.dll", "old"}}, {"b.dll"}, "", false,
     {{"a.dll", "new"}, {"b.dll", "old"}, {"c.dll", "new"}}},
    {"renamed file beside its own name", {{"other.exe", "new"}}, {{"other.exe", "own"}}, {},
     "other.exe", true, {{"other.exe", "own"}, {"other.exe_", "new"}}},
    {"renamed file over an earlier copy", {{"Other.EXE", "new"}},
     {{"other.exe", "own"}, {"Other.EXE_", "older"}}, {}, "other.exe", true,
     {{"other.exe", "own"}, {"Other.EXE_", "new"}}},
    {"renamed file whose earlier copy is held", {{"other.exe", "new"}},
     {{"other.exe", "own"}, {"other.exe_", "older"}}, {"other.exe_"}, "other.exe", true,
     {{"other.exe", "own"}, {"other.exe_", "older"}}},
    {"renamed file without its own name", {{"other.exe", "new"}}, {}, {}, "other.exe", true,
     {{"other.exe", "<missing>"}, {"other.exe_", "new"}}},
    {"renamed file without its own name but with a copy", {{"other.exe", "new"}},
     {{"other.exe_", "older"}}, {}, "other.exe", false, {{"other.exe_", "older"}}},
    {"no renamed file by default", {{"other.exe", "new"}}, {}, {}, UPDATE_RENAMED_FILE, true,
     {{"other.exe", "new"}, {"other.exe_", "<missing>"}}},
};

TEST(CopyTree, Table)
{
    for (const CopyRow &row : kCopyRows) {
        SCOPED_TRACE(row.name);
        UpdateTestFolder source("copy-src"), destination("copy-dst");
        for (const auto &file : row.source)
            source.Write(file.first, file.second);
        for (const auto &file : row.destination)
            destination.Write(file.first, file.second);
        std::vector<std::unique_ptr<FileLock>> locks;
        for (const std::string &file : row.locked) {
            locks.emplace_back(new FileLock(destination.File(file)));
            ASSERT_TRUE(locks.back()->Held());
        }
        BOOL ok = TRUE;
        CopyTree(source.Path().c_str(), destination.Path().c_str(), &ok, row.renamed);
        locks.clear();
        EXPECT_EQ(row.ok, ok != FALSE);
        for (const auto &file : row.after)
            EXPECT_EQ(file.second, UpdateTestFolder::Read(destination.File(file.first)))
                << file.first;
    }
}

TEST(CopyTree, AFileInUseIsPutAsideReplacedAndRemovedOnceFree)
{
    UpdateTestFolder source("aside-src"), destination("aside-dst");
    source.Write("sub\\loaded.dll", "new");
    source.Write("same.dll", "same");
    destination.Write("sub\\loaded.dll", "old");
    destination.Write("same.dll", "same");
    {
        // As a loaded library or a running program: renamed, never deleted.
        FileLock loaded(destination.File("sub\\loaded.dll"), FILE_SHARE_READ | FILE_SHARE_DELETE);
        // Bytes that are there already are not touched, held or not.
        FileLock same(destination.File("same.dll"), FILE_SHARE_READ);
        ASSERT_TRUE(loaded.Held());
        BOOL ok = TRUE;
        CopyTree(source.Path().c_str(), destination.Path().c_str(), &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ("new", UpdateTestFolder::Read(destination.File("sub\\loaded.dll")));
        RemoveFilesPutAside(destination.Path().c_str());
    }
    RemoveFilesPutAside(destination.Path().c_str());
    EXPECT_FALSE(destination.Exists("sub\\loaded.dll.qfwold"));
    EXPECT_EQ("same", UpdateTestFolder::Read(destination.File("same.dll")));
}

TEST(CopyTree, AFileThatCannotBeRenamedKeepsItsNameAndBytes)
{
    UpdateTestFolder source("held-src"), destination("held-dst");
    source.Write("held.dll", "new");
    destination.Write("held.dll", "old");
    {
        FileLock held(destination.File("held.dll"), FILE_SHARE_READ);
        BOOL ok = TRUE;
        CopyTree(source.Path().c_str(), destination.Path().c_str(), &ok);
        EXPECT_FALSE(ok);
    }
    EXPECT_EQ("old", UpdateTestFolder::Read(destination.File("held.dll")));
    EXPECT_FALSE(destination.Exists("held.dll.qfwold"));
}

TEST(CopyTree, MakesAMissingDestinationWithOrWithoutItsBackslash)
{
    UpdateTestFolder source("copy-src"), destination("copy-dst");
    source.Write("a.dll", "a");
    for (const char *name : {"fresh", "fresh2\\"}) {
        BOOL ok = TRUE;
        CopyTree(source.Path().c_str(), (destination.Path() + name).c_str(), &ok);
        EXPECT_TRUE(ok);
        EXPECT_EQ("a", UpdateTestFolder::Read(destination.Path() + name +
                                               (name[5] == '\\' ? "" : "\\") + "a.dll"));
    }
}

TEST(DeleteTree, RemovesEverythingItCan)
{
    UpdateTestFolder folder("delete");
    folder.Write("t\\a.dll", "a");
    folder.Write("t\\s\\u\\b.dll", "b");
    folder.Write("t\\s\\c.dll", "c");
    DeleteTree((folder.Path() + "t\\").c_str());
    EXPECT_FALSE(folder.Exists("t"));

    folder.Write("h\\s\\held.dll", "h");
    folder.Write("h\\other.dll", "o");
    {
        FileLock lock(folder.File("h\\s\\held.dll"));
        DeleteTree((folder.Path() + "h").c_str());
    }
    EXPECT_FALSE(folder.Exists("h\\other.dll"));
    EXPECT_TRUE(folder.Exists("h\\s\\held.dll"));
}

TEST(ListTreeFiles, GivesRelativePathsOfEveryFile)
{
    UpdateTestFolder folder("list");
    folder.Write("a.dll", "");
    folder.Write("Skins\\Default\\b.bmp", "");
    folder.Write("Skins\\c.bmp", "");
    CreateDirectoryA(folder.File("empty").c_str(), nullptr);
    std::vector<CString> files = ListTreeFiles(folder.Path().c_str());
    std::vector<std::string> names(files.begin(), files.end());
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"Skins\\Default\\b.bmp", "Skins\\c.bmp", "a.dll"}), names);
    EXPECT_TRUE(ListTreeFiles(folder.File("empty").c_str()).empty());
    EXPECT_TRUE(ListTreeFiles(folder.File("missing").c_str()).empty());
}

TEST(InstalledName, AppendsTheMarkOnlyToTheConfiguredName)
{
    EXPECT_STREQ("Other.exe_", InstalledName("Other.exe", "other.EXE"));
    EXPECT_STREQ("another.exe", InstalledName("another.exe", "other.exe"));
    EXPECT_STREQ("other.exe", InstalledName("other.exe", ""));
    EXPECT_STREQ("", UPDATE_RENAMED_FILE);
}

} // namespace
