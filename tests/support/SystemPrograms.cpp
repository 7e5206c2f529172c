#include "SystemPrograms.h"

#include <windows.h>

#include <string>

std::vector<CString> SystemProgramPaths(int count)
{
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, MAX_PATH);
    std::vector<CString> paths;
    for (const char *pattern : {"\\*.exe", "\\*.dll"}) {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((std::string(system) + pattern).c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            continue;
        do {
            if (static_cast<int>(paths.size()) < count)
                paths.push_back(CString(system) + "\\" + found.cFileName);
        } while (static_cast<int>(paths.size()) < count && FindNextFileA(search, &found));
        FindClose(search);
    }
    for (int i = static_cast<int>(paths.size()); i < count; ++i) {
        char path[MAX_PATH];
        wsprintfA(path, "C:\\Program Files\\Tool%d\\tool.exe", i);
        paths.push_back(path);
    }
    return paths;
}
