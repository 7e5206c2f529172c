#include "ProgramFolderFixture.h"

#include <DataBase.h>
#include <ErrorLog.h>
#include <ProgramFolder.h>
#include <ProgramLogs.h>

#include <gtest/gtest.h>

namespace {

CProgramFolderFixture *g_current = nullptr;

std::string ModuleFolder()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.rfind('\\') + 1);
}

// Copies the folder's files and sub-folders into `to`, which exists.
void CopyTree(const std::string &from, const std::string &to)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((from + "*").c_str(), &entry);
    ASSERT_NE(INVALID_HANDLE_VALUE, find) << "nothing in " << from;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ASSERT_TRUE(CreateDirectoryA((to + name).c_str(), nullptr)) << to << name;
            CopyTree(from + name + "\\", to + name + "\\");
        } else {
            ASSERT_TRUE(CopyFileA((from + name).c_str(), (to + name).c_str(), TRUE)) << from << name;
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

void RemoveTree(const std::string &folder)
{
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = entry.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

const char *KindName(KitMiss kind)
{
    switch (kind) {
    case KIT_MISSING_TEXT:
        return "missing text";
    case KIT_REFUSED_FORMAT:
        return "refused format";
    case KIT_PICTURE_NOT_LOADED:
        return "picture not loaded";
    }
    return "miss";
}

} // namespace

CProgramFolderFixture::CProgramFolderFixture()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static int made = 0;
    m_path.Format("%sqfw-program-%lu-%d\\", temp, GetCurrentProcessId(), ++made);
    RemoveTree(std::string(m_path));
    EXPECT_TRUE(CreateDirectoryA(m_path, nullptr)) << m_path;
    CopyTree(ModuleFolder() + "..\\program\\", std::string(m_path));

    m_previousLogFolder = GetErrorLogFolder();
    SetErrorLogFolder(m_path);
    CDataBase settings;
    EXPECT_TRUE(settings.Open(File("Config.dat"))) << "Config.dat";
    CProgramLogs logs;
    EXPECT_TRUE(logs.Open(File("ProgramLogs.dat"))) << "ProgramLogs.dat";

    m_previousFolder = GetProgramFolder();
    SetProgramFolder(m_path);
    g_current = this;
    m_previousObserver = SetKitMissObserver(&OnMiss);
}

CProgramFolderFixture::~CProgramFolderFixture()
{
    SetKitMissObserver(m_previousObserver);
    g_current = nullptr;
    SetProgramFolder(m_previousFolder);
    SetErrorLogFolder(m_previousLogFolder);
    RemoveTree(std::string(m_path));
}

void CProgramFolderFixture::ExpectMiss(KitMiss kind, LPCTSTR what)
{
    m_expected.emplace_back(kind, what);
}

void CProgramFolderFixture::OnMiss(KitMiss kind, LPCTSTR subject, LPCTSTR detail)
{
    if (g_current)
        g_current->Record(kind, subject, detail);
}

void CProgramFolderFixture::Record(KitMiss kind, LPCTSTR subject, LPCTSTR detail)
{
    bool expected = false;
    for (const auto &entry : m_expected)
        expected = expected || (entry.first == kind && (strstr(subject, entry.second.c_str()) ||
                                                        strstr(detail, entry.second.c_str())));
    m_misses.push_back({kind, subject, detail, expected});
    if (!expected)
        ADD_FAILURE() << "the program folder lacks what the test reads: " << KindName(kind) << " "
                      << subject << " (" << detail << ")";
}
