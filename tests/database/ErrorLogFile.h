// Reads an error log back as its lines, each with its "\r\n".
#pragma once

#include <windows.h>
#include <string>
#include <vector>

inline std::vector<std::string> ReadLogLines(const std::string &path)
{
    std::vector<std::string> lines;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return lines;
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0)
        text.append(buffer, read);
    CloseHandle(file);

    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end + 2 - start));
    if (start < text.size())
        lines.push_back(text.substr(start));   // a torn last line shows as such
    return lines;
}
