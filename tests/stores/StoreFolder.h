// A fresh program folder for one store test: the error logs go there, and
// the databases that a test makes or copies in are removed with it.
#pragma once

#include "ErrorLog.h"
#include "ErrorLogFile.h"
#include "TestFolder.h"

#include <windows.h>
#include <string>

class CStoreFolder : public CTestFolder
{
public:
    CStoreFolder() { SetErrorLogFolder(Path().c_str()); }

    // Lines in the folder's sqlite_err.log (0 when there is none).
    size_t DatabaseErrorLines() const { return ReadLogLines(File("sqlite_err.log")).size(); }

    // A copy of one of the databases that the build made for the program
    // folder (<build>/program, beside the tests' <build>/bin).
    std::string CopyShipped(const char *name) const
    {
        const std::string target = File(name);
        const std::string source = std::string("..\\program\\") + name;
        EXPECT_TRUE(CopyFileA(source.c_str(), target.c_str(), TRUE)) << source << " error " << GetLastError();
        return target;
    }

    // A file with the given bytes, such as one that is not a database.
    std::string WriteFile(const char *name, const std::string &bytes) const
    {
        const std::string path = File(name);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        EXPECT_NE(INVALID_HANDLE_VALUE, file) << path;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
        return path;
    }

    std::string ReadFile(const char *name) const
    {
        std::string bytes;
        HANDLE file = CreateFileA(File(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return "<missing>";
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
            bytes.append(buffer, read);
        CloseHandle(file);
        return bytes;
    }

    bool Exists(const char *name) const
    {
        return GetFileAttributesA(File(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
};
