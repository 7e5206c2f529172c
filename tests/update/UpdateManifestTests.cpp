#include "PathText.h"
#include "ReleaseDescription.h"
#include "ReleasePath.h"
#include "UpdateManifest.h"
#include "UpdateMarkers.h"
#include "UpdateTestFolder.h"

#include <gtest/gtest.h>

namespace {

std::string StateName(int state)
{
    switch (state) {
    case FILE_UNCHECKED: return "unchecked";
    case FILE_NEW: return "new";
    case FILE_CHANGED: return "changed";
    case FILE_LOCAL_ONLY: return "local-only";
    case FILE_CURRENT: return "current";
    }
    return "?";
}

// "file:state" for each entry, in list order.
std::string Describe(const std::vector<ManifestFile> &files)
{
    std::string text;
    for (const ManifestFile &entry : files)
        text += std::string(text.empty() ? "" : " ") + static_cast<LPCSTR>(entry.file) + ":" +
                StateName(entry.state);
    return text;
}

class ManifestTest : public ::testing::Test
{
protected:
    UpdateTestFolder folder{"manifest"};

    std::string WriteLocalCopy(const ReleaseDescription &description)
    {
        return folder.Write("UpdateTemp\\QfwUpdate.ini", description.Text());
    }
    // A server copy with the check address a server must give.
    std::string WriteServerCopy(ReleaseDescription description)
    {
        if (description.checkUrl.empty())
            description.checkUrl = kCheckUrl;
        return folder.Write("server.ini", description.Text());
    }

    static constexpr const char *kCheckUrl = "http://127.0.0.1/QfwUpdate.ini";
};

TEST_F(ManifestTest, ReadsTheWorkingCopyFieldByField)
{
    ReleaseDescription local;
    local.version = "2.1 beta";
    local.swVersion = "7";
    local.updateTime = "2004-06-01 10:00";
    local.checkUrl = "http://127.0.0.1:80/QfwUpdate.ini";
    local.files = {{"QFW.exe", "2004-06-01 09:00", "123"}, {"Skins\\Default\\a.bmp", "t2", "12abc"}};
    local.programs = {{"qfw.exe", CONSOLE_INSTANCE_MARKER, "2357"}};

    CUpdateManifest manifest;
    ASSERT_TRUE(manifest.ReadLocal(WriteLocalCopy(local).c_str()));
    EXPECT_STREQ("2.1 beta", manifest.m_strVersion);
    EXPECT_STREQ("7", manifest.m_strSWVersion);
    EXPECT_STREQ("2004-06-01 10:00", manifest.m_strUpdateTime);
    EXPECT_STREQ("http://127.0.0.1:80/QfwUpdate.ini", manifest.m_strCheckVeisionUrl);
    ASSERT_EQ(2u, manifest.m_localFiles.size());
    EXPECT_STREQ("QFW.exe", manifest.m_localFiles[0].file);
    EXPECT_STREQ("2004-06-01 09:00", manifest.m_localFiles[0].modify_time);
    EXPECT_EQ(123, manifest.m_localFiles[0].size);
    EXPECT_EQ(0, manifest.m_localFiles[0].rar_size);
    EXPECT_EQ(FILE_UNCHECKED, manifest.m_localFiles[0].state);
    EXPECT_STREQ("Skins\\Default\\a.bmp", manifest.m_localFiles[1].file);
    EXPECT_EQ(12, manifest.m_localFiles[1].size);
    ASSERT_EQ(1u, manifest.m_localPrograms.size());
    EXPECT_STREQ("qfw.exe", manifest.m_localPrograms[0].FileName);
    EXPECT_STREQ(CONSOLE_INSTANCE_MARKER, manifest.m_localPrograms[0].MName);
    EXPECT_EQ(2357, manifest.m_localPrograms[0].MID);
    EXPECT_EQ(1, manifest.m_localPrograms[0].W1);
    EXPECT_EQ(2, manifest.m_localPrograms[0].W2);
}

TEST_F(ManifestTest, AWorkingCopyWithoutItsMarkerIsRefusedWithTheListsFilled)
{
    ReleaseDescription local;
    local.files = {{"a.dll", "1", "5"}};
    for (bool withMarker : {false, true}) {
        local.withMarker = withMarker;
        local.marker = "{9075D242-9EA9-4ca3-AE3C-5D4FAE69A9Ae}";  // one letter's case differs
        CUpdateManifest manifest;
        EXPECT_FALSE(manifest.ReadLocal(WriteLocalCopy(local).c_str()));
        EXPECT_EQ(1u, manifest.m_localFiles.size());
    }
}

TEST_F(ManifestTest, MissingOrOddValuesReadAsTheSpecSays)
{
    std::string path = folder.Write("odd.ini",
        "[FILES]\r\nNumber=two\r\n[SFILES]\r\n[END_FLAG]\r\nMARK_STR=" +
        std::string(UPDATE_FILE_MARKER) + "\r\n[MAIN_INFOR]\r\nVersion=" + std::string(1500, 'v') +
        "\r\n");
    CUpdateManifest manifest;
    EXPECT_TRUE(manifest.ReadLocal(path.c_str()));
    EXPECT_TRUE(manifest.m_localFiles.empty());
    EXPECT_TRUE(manifest.m_localPrograms.empty());
    EXPECT_EQ(1022, manifest.m_strVersion.GetLength());
    EXPECT_TRUE(manifest.m_strCheckVeisionUrl.IsEmpty());
}

TEST_F(ManifestTest, TheServerCopyKeepsTheLocalSWVersionAndTheMirrorOrder)
{
    ReleaseDescription local;
    local.swVersion = "local-sw";
    ReleaseDescription server;
    server.version = "2.0";
    server.swVersion = "server-sw";
    server.updateTime = "2004-07-01";
    server.checkUrl = "http://server/next.ini";
    server.mirrors = {"http://m1", "http://m2/x", "http://m3"};
    server.files = {{"a.dll", "t", "10"}};
    server.programs = {{"qfw.exe", "M", "2357"}};

    CUpdateManifest manifest;
    ASSERT_TRUE(manifest.ReadLocal(WriteLocalCopy(local).c_str()));
    ASSERT_TRUE(manifest.ReadDownloaded(WriteServerCopy(server).c_str()));
    EXPECT_STREQ("2.0", manifest.m_strServerVersion);
    EXPECT_STREQ("local-sw", manifest.m_strServerSWVersion);
    EXPECT_STREQ("2004-07-01", manifest.m_strServerUpdateTime);
    EXPECT_STREQ("http://server/next.ini", manifest.m_strServerCheckVeisionUrl);
    ASSERT_EQ(3u, manifest.m_mirrors.size());
    EXPECT_STREQ("http://m1", manifest.m_mirrors[0]);
    EXPECT_STREQ("http://m2/x", manifest.m_mirrors[1]);
    EXPECT_STREQ("http://m3", manifest.m_mirrors[2]);
    ASSERT_EQ(1u, manifest.m_serverFiles.size());
    EXPECT_EQ(7, manifest.m_serverFiles[0].rar_size);
    ASSERT_EQ(1u, manifest.m_serverPrograms.size());
    EXPECT_EQ(2357, manifest.m_serverPrograms[0].MID);
    EXPECT_EQ(0, manifest.m_serverPrograms[0].W1);
    EXPECT_EQ(0, manifest.m_serverPrograms[0].W2);
    EXPECT_EQ(10, manifest.TotalSize());
}

struct CompareCase {
    const char *name;
    std::vector<ReleaseFile> local;
    std::vector<ReleaseFile> server;
    const char *downloads;   // the download list, in order
    const char *localAfter;  // the local files after the comparison
    int total;
};

const CompareCase kCompareCases[] = {
    {"a new file is fetched and listed locally as new", {},
     {{"a.dll", "2004-01-01", "10"}}, "a.dll:new", "a.dll:new", 10},
    {"an older local time fetches the changed file",
     {{"a.dll", "2004-01-01", "9"}}, {{"a.dll", "2004-02-01", "10"}},
     "a.dll:changed", "a.dll:changed", 10},
    {"equal times fetch nothing", {{"a.dll", "2004-01-01", "9"}},
     {{"a.dll", "2004-01-01", "10"}}, "", "a.dll:current", 0},
    {"a later local time fetches nothing", {{"a.dll", "2004-03-01", "9"}},
     {{"a.dll", "2004-02-01", "10"}}, "", "a.dll:current", 0},
    {"times compare as texts, not dates", {{"a.dll", "2004-9-1", "9"}},
     {{"a.dll", "2004-10-01", "10"}}, "", "a.dll:current", 0},
    {"a path differing in case is another file", {{"A.dll", "1", "9"}},
     {{"a.dll", "1", "10"}}, "a.dll:new", "A.dll:local-only a.dll:new", 10},
    {"a file only in the working copy stays local-only", {{"old.dll", "1", "9"}},
     {{"a.dll", "1", "10"}}, "a.dll:new", "old.dll:local-only a.dll:new", 10},
    {"the first of two equal local entries is compared",
     {{"a.dll", "1", "9"}, {"a.dll", "5", "9"}}, {{"a.dll", "3", "10"}},
     "a.dll:changed", "a.dll:changed a.dll:current", 10},
    {"server order is kept", {{"b.dll", "1", "1"}},
     {{"c.dll", "1", "3"}, {"b.dll", "2", "4"}, {"a\\d.dll", "1", "5"}},
     "c.dll:new b.dll:changed a\\d.dll:new", "b.dll:changed c.dll:new a\\d.dll:new", 12},
    {"an empty server list fetches nothing", {{"a.dll", "1", "9"}}, {}, "",
     "a.dll:unchecked", 0},
    {"zero-sized files are still fetched", {}, {{"empty.txt", "1", "0"}},
     "empty.txt:new", "empty.txt:new", 0},
};

TEST_F(ManifestTest, ComparisonTable)
{
    for (const CompareCase &row : kCompareCases) {
        SCOPED_TRACE(row.name);
        ReleaseDescription local, server;
        local.files = row.local;
        server.files = row.server;
        server.mirrors = {"http://m"};
        CUpdateManifest manifest;
        ASSERT_TRUE(manifest.ReadLocal(WriteLocalCopy(local).c_str()));
        ASSERT_TRUE(manifest.ReadDownloaded(WriteServerCopy(server).c_str()));
        EXPECT_EQ(row.downloads, Describe(manifest.m_downloadList));
        EXPECT_EQ(row.localAfter, Describe(manifest.m_localFiles));
        EXPECT_EQ(row.total, manifest.TotalSize());
    }
}

TEST_F(ManifestTest, NewEntriesCarryTheServerTimeAndSizes)
{
    ReleaseDescription server;
    server.files = {{"n.dll", "2004-08-08", "77"}};
    CUpdateManifest manifest;
    manifest.ReadLocal(WriteLocalCopy(ReleaseDescription()).c_str());
    ASSERT_TRUE(manifest.ReadDownloaded(WriteServerCopy(server).c_str()));
    ASSERT_EQ(1u, manifest.m_localFiles.size());
    EXPECT_STREQ("2004-08-08", manifest.m_localFiles[0].modify_time);
    EXPECT_EQ(77, manifest.m_localFiles[0].size);
    EXPECT_EQ(7, manifest.m_localFiles[0].rar_size);
}

struct RefusedCase {
    const char *name;
    ReleaseFile file;
    const char *fileNumber;
};

const RefusedCase kRefusedCases[] = {
    {"empty name", {"", "1", "1"}, ""},
    {"parent folder", {"..\\x.dll", "1", "1"}, ""},
    {"parent inside", {"a\\..\\..\\x.dll", "1", "1"}, ""},
    {"current folder part", {"a\\.\\x.dll", "1", "1"}, ""},
    {"rooted", {"\\Windows\\x.dll", "1", "1"}, ""},
    {"trailing backslash", {"a\\", "1", "1"}, ""},
    {"empty part", {"a\\\\x.dll", "1", "1"}, ""},
    {"drive", {"C:\\x.dll", "1", "1"}, ""},
    {"stream", {"x.dll:evil", "1", "1"}, ""},
    {"forward slash", {"a/../x.dll", "1", "1"}, ""},
    {"part ending in a dot", {"a.\\x.dll", "1", "1"}, ""},
    {"part ending in a blank", {"a \\x.dll", "1", "1"}, ""},
    {"device", {"CON", "1", "1"}, ""},
    {"device with extension", {"a\\nul.txt", "1", "1"}, ""},
    {"numbered device", {"Com1.dll", "1", "1"}, ""},
    {"printer device", {"LPT9", "1", "1"}, ""},
    {"control character", {"a\x01.dll", "1", "1"}, ""},
    {"wildcard", {"*.dll", "1", "1"}, ""},
    {"question mark", {"a?.dll", "1", "1"}, ""},
    {"quote", {"a\".dll", "1", "1"}, ""},
    {"angle bracket", {"a<b.dll", "1", "1"}, ""},
    {"pipe", {"a|b.dll", "1", "1"}, ""},
    {"negative size", {"a.dll", "1", "-1"}, ""},
    {"size beyond 32 bits", {"a.dll", "1", "4294967306"}, ""},
    {"size beyond the signed range", {"a.dll", "1", "2147483648"}, ""},
    {"count of files beyond reason", {"a.dll", "1", "1"}, "10001"},
    {"the updater's working folder", {"UpdateTemp", "1", "1"}, ""},
    {"a file in the working folder", {"updatetemp\\QfwUpdate.ini", "1", "1"}, ""},
    {"the back-up folder", {"UpdateBack\\core.dll", "1", "1"}, ""},
    {"the installed description", {"QFWUPDATE.INI", "1", "1"}, ""},
    {"the settings", {"Config.dat", "1", "1"}, ""},
    {"the program log", {"ProgramLogs.dat", "1", "1"}, ""},
    {"the zone rules", {"Firewall.dat", "1", "1"}, ""},
    {"the program rules", {"ProgramsRule.dat", "1", "1"}, ""},
    {"the engine's error log", {"sqlite_err.log", "1", "1"}, ""},
    {"the other error log", {"kv_err.log", "1", "1"}, ""},
};

TEST_F(ManifestTest, RefusedServerCopies)
{
    for (const RefusedCase &row : kRefusedCases) {
        SCOPED_TRACE(row.name);
        ReleaseDescription server;
        server.files = {{"good.dll", "1", "1"}, row.file};
        server.fileNumber = row.fileNumber;
        CUpdateManifest manifest;
        manifest.ReadLocal(WriteLocalCopy(ReleaseDescription()).c_str());
        manifest.m_downloadList.push_back(ManifestFile());
        manifest.m_downloadList.back().file = "before";
        EXPECT_FALSE(manifest.ReadDownloaded(WriteServerCopy(server).c_str()));
        EXPECT_EQ("before:unchecked", Describe(manifest.m_downloadList));
        EXPECT_TRUE(manifest.m_localFiles.empty());
    }
}

TEST_F(ManifestTest, WhatTheServerMayNameToStopAndToAskNext)
{
    struct Row {
        const char *name;
        const char *program;
        const char *checkUrl;
        bool accepted;
    } rows[] = {
        {"the console", "qfw.exe", kCheckUrl, true},
        {"a program in any letter case", "QFW.EXE", kCheckUrl, true},
        {"no program file", "", kCheckUrl, true},
        {"an https address", "qfw.exe", "https://update.example/QfwUpdate.ini", true},
        {"a part of a name", "zz", kCheckUrl, false},
        {"no program", "qfw.dll", kCheckUrl, false},
        {"a program with a folder", "sub\\qfw.exe", kCheckUrl, false},
        {"a program elsewhere", "..\\qfw.exe", kCheckUrl, false},
        {"a program by its full path", "C:\\Windows\\explorer.exe", kCheckUrl, false},
        {"a wildcard", "*.exe", kCheckUrl, false},
        {"no check address", "qfw.exe", "", false},
        {"a blank check address", "qfw.exe", " ", false},
        {"an address of no web server", "qfw.exe", "ftp://h/QfwUpdate.ini", false},
        {"a file as the address", "qfw.exe", "file:///C:/QfwUpdate.ini", false},
        {"an address without a host", "qfw.exe", "http:///QfwUpdate.ini", false},
        {"an address with a blank inside", "qfw.exe", "http://h/a b.ini", false},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        ReleaseDescription server;
        server.files = {{"good.dll", "1", "1"}};
        server.programs = {{row.program, "{mutex}", "2357"}};
        server.checkUrl = row.checkUrl;
        CUpdateManifest manifest;
        manifest.ReadLocal(WriteLocalCopy(ReleaseDescription()).c_str());
        // Written as it is: an empty address stays empty.
        EXPECT_EQ(row.accepted,
                  manifest.ReadDownloaded(folder.Write("server.ini", server.Text()).c_str()) != 0);
    }
}

TEST_F(ManifestTest, AcceptedUnusualButSoundNames)
{
    ReleaseDescription server;
    server.files = {{"Skins\\Default\\Title Left.bmp", "1", "1"}, {"...x", "1", "1"},
                    {"console.dll", "1", "1"}, {"COM10.txt", "1", "1"}, {"a.b.c", "1", "0"}};
    CUpdateManifest manifest;
    manifest.ReadLocal(WriteLocalCopy(ReleaseDescription()).c_str());
    EXPECT_TRUE(manifest.ReadDownloaded(WriteServerCopy(server).c_str()));
    EXPECT_EQ(5u, manifest.m_downloadList.size());
}

TEST_F(ManifestTest, RefusedCountsAndTotals)
{
    struct Row {
        const char *name;
        const char *section;
    } rows[] = {{"programs", "SFILES"}, {"mirrors", "DOWNLOAD_URL"}};
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        std::string text = "[" + std::string(row.section) +
                           "]\r\nNumber=10001\r\n[END_FLAG]\r\nMARK_STR=" + UPDATE_FILE_MARKER +
                           "\r\n";
        CUpdateManifest manifest;
        manifest.ReadLocal(WriteLocalCopy(ReleaseDescription()).c_str());
        EXPECT_FALSE(manifest.ReadDownloaded(folder.Write("counts.ini", text).c_str()));
    }
    // Exactly the bound is still read.
    std::string bound = "[MAIN_INFOR]\r\nCheckVeisionUrl=" + std::string(kCheckUrl) +
                        "\r\n[DOWNLOAD_URL]\r\nNumber=10000\r\n[END_FLAG]\r\nMARK_STR=" +
                        std::string(UPDATE_FILE_MARKER) + "\r\n";
    CUpdateManifest manifest;
    manifest.ReadLocal(WriteLocalCopy(ReleaseDescription()).c_str());
    EXPECT_TRUE(manifest.ReadDownloaded(folder.Write("bound.ini", bound).c_str()));
    EXPECT_EQ(10000u, manifest.m_mirrors.size());

    // Two sizes that fit alone but not together.
    ReleaseDescription big;
    big.files = {{"a.dll", "1", "2147483647"}, {"b.dll", "1", "1"}};
    CUpdateManifest overflow;
    overflow.ReadLocal(WriteLocalCopy(ReleaseDescription()).c_str());
    EXPECT_FALSE(overflow.ReadDownloaded(WriteServerCopy(big).c_str()));
    EXPECT_TRUE(overflow.m_downloadList.empty());
    EXPECT_TRUE(overflow.m_localFiles.empty());
}

TEST_F(ManifestTest, AServerCopyWithoutTheMarkerLeavesTheDownloadListAsItWas)
{
    ReleaseDescription server;
    server.files = {{"a.dll", "1", "1"}};
    server.withMarker = false;
    CUpdateManifest manifest;
    manifest.ReadLocal(WriteLocalCopy(ReleaseDescription()).c_str());
    EXPECT_FALSE(manifest.ReadDownloaded(WriteServerCopy(server).c_str()));
    EXPECT_TRUE(manifest.m_downloadList.empty());
    EXPECT_EQ(1u, manifest.m_serverFiles.size());
}

CUpdateManifest ManifestForWriting(const std::string &path)
{
    CUpdateManifest manifest;
    manifest.m_strLocalPath = path.c_str();
    manifest.m_strVersion = "2.0";
    manifest.m_strSWVersion = "sw1";
    manifest.m_strUpdateTime = "2004-07-01";
    manifest.m_strCheckVeisionUrl = "http://h/QfwUpdate.ini";
    const struct {
        const char *file;
        int state;
    } entries[] = {{"cur.dll", FILE_CURRENT}, {"new.dll", FILE_NEW}, {"old.dll", FILE_LOCAL_ONLY},
                   {"chg.dll", FILE_CHANGED}, {"unk.dll", FILE_UNCHECKED},
                   {"sub\\cur2.dll", FILE_CURRENT}};
    int size = 100;
    for (const auto &entry : entries) {
        ManifestFile file;
        file.file = entry.file;
        file.modify_time = "2004-01-01 12:00";
        file.size = size++;
        file.rar_size = 5;
        file.state = entry.state;
        manifest.m_localFiles.push_back(file);
    }
    ManifestProgram program;
    program.FileName = "qfw.exe";
    manifest.m_localPrograms.push_back(program);
    manifest.m_mirrors.push_back("http://m");
    return manifest;
}

TEST_F(ManifestTest, WriteLocalGoldenBytes)
{
    std::string path = folder.File("golden.ini");
    CUpdateManifest manifest = ManifestForWriting(path);
    ASSERT_TRUE(manifest.WriteLocal());
    std::string expected =
        "[MAIN_INFOR]\r\n"
        "\tVersion=2.0\r\n"
        "\tSWVersion=sw1\r\n"
        "\tUpdateTime=2004-07-01\r\n"
        "\tCheckVeisionUrl=http://h/QfwUpdate.ini\r\n"
        "[FILES]\r\n"
        "\t1_file=cur.dll\r\n\t1_modify_time=2004-01-01 12:00\r\n\t1_size=100\r\n\r\n"
        "\t2_file=old.dll\r\n\t2_modify_time=2004-01-01 12:00\r\n\t2_size=102\r\n\r\n"
        "\t3_file=sub\\cur2.dll\r\n\t3_modify_time=2004-01-01 12:00\r\n\t3_size=105\r\n\r\n"
        "\tNumber=3\r\n\r\n"
        "[END_FLAG]\r\n"
        "\tMARK_STR={9075D242-9EA9-4ca3-AE3C-5D4FAE69A9AE}\r\n";
    EXPECT_EQ(expected, UpdateTestFolder::Read(path));
    EXPECT_FALSE(folder.Exists("golden.ini.new"));
}

TEST_F(ManifestTest, WriteLocalReadsBackThroughTheProfileFunctions)
{
    std::string path = folder.File("roundtrip.ini");
    CUpdateManifest written = ManifestForWriting(path);
    ASSERT_TRUE(written.WriteLocal());
    CUpdateManifest read;
    ASSERT_TRUE(read.ReadLocal(path.c_str()));
    EXPECT_STREQ("2.0", read.m_strVersion);
    EXPECT_STREQ("sw1", read.m_strSWVersion);
    EXPECT_STREQ("2004-07-01", read.m_strUpdateTime);
    EXPECT_STREQ("http://h/QfwUpdate.ini", read.m_strCheckVeisionUrl);
    EXPECT_EQ("cur.dll:unchecked old.dll:unchecked sub\\cur2.dll:unchecked",
              Describe(read.m_localFiles));
    EXPECT_EQ(105, read.m_localFiles[2].size);
    EXPECT_STREQ("2004-01-01 12:00", read.m_localFiles[2].modify_time);
    EXPECT_TRUE(read.m_localPrograms.empty());
}

TEST_F(ManifestTest, RefreshEntryMakesTheFetchedFileCurrentAndRewrites)
{
    ReleaseDescription local;
    local.files = {{"chg.dll", "1", "1"}};
    ReleaseDescription server;
    server.files = {{"chg.dll", "2", "20"}, {"new.dll", "2", "30"}};
    CUpdateManifest manifest;
    manifest.ReadLocal(WriteLocalCopy(local).c_str());
    ASSERT_TRUE(manifest.ReadDownloaded(WriteServerCopy(server).c_str()));

    // Right after the comparison neither file is in place: neither is listed.
    ASSERT_TRUE(manifest.WriteLocal());
    CUpdateManifest reread;
    reread.ReadLocal(manifest.m_strLocalPath);
    EXPECT_EQ("", Describe(reread.m_localFiles));

    ASSERT_TRUE(manifest.RefreshEntry(manifest.m_downloadList[1]));
    reread.ReadLocal(manifest.m_strLocalPath);
    EXPECT_EQ("new.dll:unchecked", Describe(reread.m_localFiles));
    EXPECT_EQ(30, reread.m_localFiles[0].size);

    ASSERT_TRUE(manifest.RefreshEntry(manifest.m_downloadList[0]));
    reread.ReadLocal(manifest.m_strLocalPath);
    EXPECT_EQ("chg.dll:unchecked new.dll:unchecked", Describe(reread.m_localFiles));
    EXPECT_STREQ("2", reread.m_localFiles[0].modify_time);

    // An entry no local file has still rewrites the copy.
    ManifestFile stranger;
    stranger.file = "stranger.dll";
    DeleteFileA(manifest.m_strLocalPath);
    EXPECT_TRUE(manifest.RefreshEntry(stranger));
    EXPECT_TRUE(folder.Exists("UpdateTemp\\QfwUpdate.ini"));
}

TEST_F(ManifestTest, AnInterruptedRunFetchesTheFilesStillMissing)
{
    ReleaseDescription local;
    local.files = {{"chg.dll", "1", "1"}, {"keep.dll", "1", "1"}};
    ReleaseDescription server;
    server.files = {{"chg.dll", "2", "20"}, {"new1.dll", "2", "30"}, {"new2.dll", "2", "40"},
                    {"keep.dll", "1", "1"}};
    CUpdateManifest first;
    first.ReadLocal(WriteLocalCopy(local).c_str());
    ASSERT_TRUE(first.ReadDownloaded(WriteServerCopy(server).c_str()));
    ASSERT_TRUE(first.RefreshEntry(first.m_downloadList[1]));  // only new1.dll arrived

    CUpdateManifest second;
    ASSERT_TRUE(second.ReadLocal(first.m_strLocalPath));
    ASSERT_TRUE(second.ReadDownloaded(first.m_strDownloadedPath));
    EXPECT_EQ("chg.dll:new new2.dll:new", Describe(second.m_downloadList));
}

TEST_F(ManifestTest, TheFinalRewriteCarriesTheServerStringsAndNoOtherSections)
{
    ReleaseDescription local;
    local.swVersion = "old-sw";
    ReleaseDescription server;
    server.version = "3.0";
    server.updateTime = "2004-12-12";
    server.checkUrl = "http://new/QfwUpdate.ini";
    server.files = {{"a.dll", "1", "1"}};
    server.programs = {{"qfw.exe", "M", "2357"}};
    server.mirrors = {"http://m"};
    CUpdateManifest manifest;
    manifest.ReadLocal(WriteLocalCopy(local).c_str());
    ASSERT_TRUE(manifest.ReadDownloaded(WriteServerCopy(server).c_str()));
    manifest.RefreshEntry(manifest.m_downloadList[0]);
    manifest.m_strVersion = manifest.m_strServerVersion;
    manifest.m_strSWVersion = manifest.m_strServerSWVersion;
    manifest.m_strCheckVeisionUrl = manifest.m_strServerCheckVeisionUrl;
    manifest.m_strUpdateTime = manifest.m_strServerUpdateTime;
    ASSERT_TRUE(manifest.WriteLocal());

    std::string text = UpdateTestFolder::Read(folder.File("UpdateTemp\\QfwUpdate.ini"));
    EXPECT_NE(std::string::npos, text.find("\tVersion=3.0\r\n"));
    EXPECT_NE(std::string::npos, text.find("\tSWVersion=old-sw\r\n"));
    EXPECT_NE(std::string::npos, text.find("\tUpdateTime=2004-12-12\r\n"));
    EXPECT_NE(std::string::npos, text.find("\tCheckVeisionUrl=http://new/QfwUpdate.ini\r\n"));
    EXPECT_EQ(std::string::npos, text.find("SFILES"));
    EXPECT_EQ(std::string::npos, text.find("DOWNLOAD_URL"));
    EXPECT_EQ(std::string::npos, text.find("rar_size"));
}

TEST_F(ManifestTest, WriteLocalFailsWithoutHarmingTheWorkingCopy)
{
    // A folder that does not exist.
    CUpdateManifest nowhere = ManifestForWriting(folder.File("missing\\QfwUpdate.ini"));
    EXPECT_FALSE(nowhere.WriteLocal());

    // A working copy that another program holds: it is not replaced, and the
    // half-made file does not stay behind.
    std::string path = folder.Write("held.ini", "[END_FLAG]\r\nMARK_STR=old\r\n");
    CUpdateManifest held = ManifestForWriting(path);
    {
        FileLock lock(path);
        ASSERT_TRUE(lock.Held());
        EXPECT_FALSE(held.WriteLocal());
    }
    EXPECT_EQ("[END_FLAG]\r\nMARK_STR=old\r\n", UpdateTestFolder::Read(path));
    EXPECT_FALSE(folder.Exists("held.ini.new"));
}

} // namespace

namespace {

TEST(ShippedDescription, ListsEveryFileOfTheReleaseWithItsSize)
{
    CString program = GetModuleDir(nullptr, false) + "..\\program\\";
    CUpdateManifest manifest;
    ASSERT_TRUE(manifest.ReadLocal(program + "QfwUpdate.ini"));
    EXPECT_FALSE(manifest.m_strVersion.IsEmpty());
    EXPECT_STREQ(manifest.m_strVersion, manifest.m_strSWVersion);
    // No build asks a real server.
    EXPECT_STREQ("http://update.invalid/QfwUpdate.ini", manifest.m_strCheckVeisionUrl);

    std::string files;
    for (const ManifestFile &entry : manifest.m_localFiles) {
        files += (files.empty() ? "" : " ") + std::string(entry.file);
        EXPECT_TRUE(IsSafeReleasePath(entry.file)) << entry.file;
        EXPECT_EQ(19, entry.modify_time.GetLength()) << entry.file;
        // The programs lie in bin, the rest in program.
        bool isProgram = entry.file == "QFW.exe" || entry.file == "QFW.DLL" ||
                         entry.file == "Update.exe";
        CString path = (isProgram ? GetModuleDir(nullptr, false) : program) + entry.file;
        EXPECT_EQ(static_cast<long long>(UpdateTestFolder::Read(static_cast<LPCSTR>(path)).size()),
                  entry.size)
            << entry.file;
    }
    EXPECT_EQ("QFW.exe QFW.DLL Update.exe Language.ini Ferrowind.chm Skins\\Default\\BigIcon.bmp "
              "sound\\Alert.wav",
              files);
}

} // namespace
