#include "UpdateTestFolder.h"

UpdateTestFolder::UpdateTestFolder(const char *name)
{
    static LONG counter;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    m_path = std::string(temp) + "qfw-" + name + "-" + std::to_string(GetCurrentProcessId()) +
             "-" + std::to_string(InterlockedIncrement(&counter)) + "\\";
    RemoveTree(m_path);
    CreateDirectoryA(m_path.c_str(), nullptr);
}

UpdateTestFolder::~UpdateTestFolder() { RemoveTree(m_path); }

std::string UpdateTestFolder::Write(const std::string &relative, const std::string &bytes) const
{
    for (size_t slash = relative.find('\\'); slash != std::string::npos;
         slash = relative.find('\\', slash + 1))
        CreateDirectoryA((m_path + relative.substr(0, slash)).c_str(), nullptr);
    std::string path = File(relative);
    WriteFileBytes(path, bytes);
    return path;
}

void UpdateTestFolder::WriteFileBytes(const std::string &path, const std::string &bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool UpdateTestFolder::Exists(const std::string &relative) const
{
    return GetFileAttributesA(File(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string UpdateTestFolder::Read(const std::string &path)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string bytes;
    char buffer[65536];
    DWORD n;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0)
        bytes.append(buffer, n);
    CloseHandle(file);
    return bytes;
}

std::string UpdateTestFolder::LongPath(const std::string &path)
{
    char buffer[MAX_PATH] = {};
    DWORD length = GetLongPathNameA(path.c_str(), buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? std::string(buffer, length) : path;
}

void UpdateTestFolder::RemoveTree(const std::string &folder)
{
    std::string root = folder;
    if (root.empty() || root.back() != '\\')
        root += '\\';
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((root + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = root + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(root.substr(0, root.size() - 1).c_str());
}

FileLock::FileLock(const std::string &path, DWORD share)
    : m_file(CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr))
{
}

FileLock::~FileLock()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
}

std::string PatternBytes(size_t length, char seed)
{
    std::string bytes(length, '\0');
    unsigned value = static_cast<unsigned char>(seed);
    for (size_t i = 0; i < length; ++i) {
        value = value * 1103515245u + 12345u;
        bytes[i] = static_cast<char>(value >> 16);
    }
    return bytes;
}
