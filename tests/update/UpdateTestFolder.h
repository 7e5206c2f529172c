// A fresh folder for one updater test, laid out as a program folder, with
// helpers to write, read and lock files in it. Removed with everything in
// it when the test ends.
#pragma once

#include <windows.h>

#include <string>

class UpdateTestFolder
{
public:
    explicit UpdateTestFolder(const char *name);
    ~UpdateTestFolder();

    UpdateTestFolder(const UpdateTestFolder &) = delete;
    UpdateTestFolder &operator=(const UpdateTestFolder &) = delete;

    // The folder with its trailing backslash, the form the program folder has.
    const std::string &Path() const { return m_path; }
    std::string File(const std::string &relative) const { return m_path + relative; }

    // Writes the bytes, making the folders of the path; returns the path.
    std::string Write(const std::string &relative, const std::string &bytes) const;
    bool Exists(const std::string &relative) const;

    // The whole content of a file, or "<missing>".
    static std::string Read(const std::string &path);
    static void RemoveTree(const std::string &folder);
    // The path with every part in its long form, as a program finds its
    // own folder.
    static std::string LongPath(const std::string &path);
    static void WriteFileBytes(const std::string &path, const std::string &bytes);

private:
    std::string m_path;
};

// Holds a file open, as a running program holds its own file on Windows.
// Without sharing it can be neither read, deleted nor overwritten meanwhile;
// shared for reading it can still be copied.
class FileLock
{
public:
    explicit FileLock(const std::string &path, DWORD share = 0);
    ~FileLock();
    FileLock(const FileLock &) = delete;
    FileLock &operator=(const FileLock &) = delete;
    bool Held() const { return m_file != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_file;
};

// A byte pattern of the given length that differs from file to file.
std::string PatternBytes(size_t length, char seed);
