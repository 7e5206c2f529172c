// A fresh folder under the temp folder for one test, removed with its files
// afterwards, and a raw engine connection that plays "another program".
#pragma once

#include <windows.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string>

class CTestFolder
{
public:
    CTestFolder()
    {
        static LONG counter;
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        m_path = std::string(temp) + "qfw-db-" + std::to_string(GetCurrentProcessId()) + "-"
                 + std::to_string(InterlockedIncrement(&counter)) + "\\";
        CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~CTestFolder() { RemoveTree(m_path); }

    // The folder with its trailing backslash, the form the program folder has.
    const std::string &Path() const { return m_path; }
    std::string File(const char *name) const { return m_path + name; }

private:
    static void RemoveTree(const std::string &folder)
    {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..")
                    continue;
                std::string path = folder + name;
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path + "\\");
                else
                    DeleteFileA(path.c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(folder.c_str());
    }

    std::string m_path;
};

// A second connection to a database file, straight on the engine.
class CRawConnection
{
public:
    explicit CRawConnection(const std::string &path)
    {
        EXPECT_EQ(SQLITE_OK, sqlite3_open(path.c_str(), &m_db)) << path;
    }
    ~CRawConnection() { sqlite3_close(m_db); }
    CRawConnection(const CRawConnection &) = delete;
    CRawConnection &operator=(const CRawConnection &) = delete;

    // The engine's result of running the text.
    int Run(const char *sql) { return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr); }
    // The first column of the first row, "<none>" without a row, "<null>" for NULL.
    std::string Scalar(const char *sql)
    {
        sqlite3_stmt *statement = nullptr;
        std::string value = "<error>";
        if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) == SQLITE_OK) {
            if (sqlite3_step(statement) != SQLITE_ROW)
                value = "<none>";
            else if (const unsigned char *text = sqlite3_column_text(statement, 0))
                value = reinterpret_cast<const char *>(text);
            else
                value = "<null>";
        }
        sqlite3_finalize(statement);
        return value;
    }
    sqlite3 *Handle() const { return m_db; }

private:
    sqlite3 *m_db = nullptr;
};
