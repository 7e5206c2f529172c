#include "EveryoneAccessVfs.h"
#include "EveryoneFullAccess.h"
#include "SqliteDatabase.h"
#include "TestFolder.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Checks that the list holds exactly one entry: full access for the world SID.
void ExpectEveryoneFullAccess(PACL acl)
{
    ASSERT_NE(nullptr, acl);
    ACL_SIZE_INFORMATION size = {};
    ASSERT_TRUE(GetAclInformation(acl, &size, sizeof size, AclSizeInformation));
    ASSERT_EQ(1u, size.AceCount);

    void *entry = nullptr;
    ASSERT_TRUE(GetAce(acl, 0, &entry));
    auto *allowed = static_cast<ACCESS_ALLOWED_ACE *>(entry);
    EXPECT_EQ(ACCESS_ALLOWED_ACE_TYPE, allowed->Header.AceType);

    BYTE world[SECURITY_MAX_SID_SIZE];
    DWORD worldSize = sizeof world;
    ASSERT_TRUE(CreateWellKnownSid(WinWorldSid, nullptr, world, &worldSize));
    EXPECT_TRUE(EqualSid(&allowed->SidStart, world));
    // A file's list shows the generic right mapped to the file rights.
    EXPECT_TRUE(allowed->Mask == GENERIC_ALL || allowed->Mask == FILE_ALL_ACCESS) << std::hex << allowed->Mask;
}

TEST(EveryoneFullAccess, AttributesCarryOneFullAccessEntryForEveryone)
{
    CEveryoneFullAccess access;
    SECURITY_ATTRIBUTES *attributes = access.Attributes();
    ASSERT_NE(nullptr, attributes);
    EXPECT_EQ(sizeof(SECURITY_ATTRIBUTES), attributes->nLength);
    EXPECT_FALSE(attributes->bInheritHandle);

    BOOL present = FALSE, defaulted = TRUE;
    PACL acl = nullptr;
    ASSERT_TRUE(GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present, &acl, &defaulted));
    EXPECT_TRUE(present);
    EXPECT_FALSE(defaulted);
    ExpectEveryoneFullAccess(acl);
}

// The access list the system reports for a file; empty when it keeps none.
std::vector<BYTE> FileDescriptor(const std::string &path)
{
    DWORD needed = 0;
    GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed);
    std::vector<BYTE> descriptor(needed);
    if (needed == 0
        || !GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, descriptor.data(), needed, &needed))
        descriptor.clear();
    return descriptor;
}

PACL DaclOf(std::vector<BYTE> &descriptor)
{
    BOOL present = FALSE, defaulted = FALSE;
    PACL acl = nullptr;
    if (descriptor.empty() || !GetSecurityDescriptorDacl(descriptor.data(), &present, &acl, &defaulted)
        || !present)
        return nullptr;
    return acl;
}

// Whether a file created with the list reports exactly that list back.
bool SystemKeepsCreationLists(const std::string &probePath)
{
    CEveryoneFullAccess access;
    HANDLE file = CreateFileA(probePath.c_str(), GENERIC_WRITE, 0, access.Attributes(), CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    std::vector<BYTE> descriptor = FileDescriptor(probePath);
    PACL acl = DaclOf(descriptor);
    ACL_SIZE_INFORMATION size = {};
    return acl && GetAclInformation(acl, &size, sizeof size, AclSizeInformation) && size.AceCount == 1;
}

TEST(EveryoneFullAccess, ConnectionsOpenThroughTheFileLayerThatSetsTheList)
{
    CTestFolder folder;
    CSqliteDatabase db;
    db.Open(folder.File("layer.dat").c_str());
    sqlite3_vfs *vfs = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_file_control(db.GetHandle(), "main", SQLITE_FCNTL_VFS_POINTER, &vfs));
    ASSERT_NE(nullptr, vfs);
    EXPECT_STREQ(EveryoneAccessVfsName(), vfs->zName);
    EXPECT_NE(sqlite3_vfs_find(nullptr), vfs) << "the layer must not become every connection's default";
}

TEST(EveryoneFullAccess, NewDatabaseFileGrantsEveryoneFullAccess)
{
    CTestFolder folder;
    if (!SystemKeepsCreationLists(folder.File("probe.bin")))
        GTEST_SKIP() << "this system does not keep the access list a file is created with";

    std::string path = folder.File("shared.dat");
    CSqliteDatabase db;
    db.Open(path.c_str());
    db.Execute("create table t(a int);");
    db.Close();

    std::vector<BYTE> descriptor = FileDescriptor(path);
    ExpectEveryoneFullAccess(DaclOf(descriptor));
}

} // namespace
