// A fresh folder under the temporary folder for one test, removed with the
// files in it (one level) when the test ends.
#pragma once

#include <windows.h>

#include <string>

class TempFolder
{
public:
    explicit TempFolder(const char *name)
    {
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        m_path = std::string(temp) + name + "-" + std::to_string(GetCurrentProcessId());
        Remove();
        CreateDirectoryA(m_path.c_str(), NULL);
    }
    ~TempFolder() { Remove(); }

    TempFolder(const TempFolder &) = delete;
    TempFolder &operator=(const TempFolder &) = delete;

    const std::string &Path() const { return m_path; }
    std::string File(const char *name) const { return m_path + "\\" + name; }

    // Writes a file with the given bytes; returns its path.
    std::string Write(const char *name, const std::string &bytes) const
    {
        std::string path = File(name);
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, NULL);
        CloseHandle(file);
        return path;
    }

    // The whole content of a file, or "<missing>".
    static std::string Read(const std::string &path)
    {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  NULL, OPEN_EXISTING, 0, NULL);
        if (file == INVALID_HANDLE_VALUE)
            return "<missing>";
        std::string bytes;
        char buffer[4096];
        DWORD n;
        while (ReadFile(file, buffer, sizeof buffer, &n, NULL) && n > 0)
            bytes.append(buffer, n);
        CloseHandle(file);
        return bytes;
    }

private:
    void Remove() const
    {
        WIN32_FIND_DATAA data;
        HANDLE find = FindFirstFileA((m_path + "\\*").c_str(), &data);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string file = m_path + "\\" + data.cFileName;
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            } while (FindNextFileA(find, &data));
            FindClose(find);
        }
        RemoveDirectoryA(m_path.c_str());
    }

    std::string m_path;
};
