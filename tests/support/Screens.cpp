#include "Screens.h"

#include "PngWriter.h"

std::string ScreensFolder()
{
    char program[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, program, sizeof program);
    std::string folder(program, length);
    folder.erase(folder.find_last_of('\\')); // <build>\bin
    folder.erase(folder.find_last_of('\\') + 1);
    folder += "screens\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

static std::string FileNameOf(std::string name)
{
    for (char &c : name)
        if (c < ' ' || std::string("\\/:*?\"<>|").find(c) != std::string::npos)
            c = '_';
    return name;
}

std::string SaveScreen(const CDib &dib, const std::string &name)
{
    std::string path = ScreensFolder() + FileNameOf(name) + ".png";
    return WritePngFile(dib, path) ? path : std::string();
}
