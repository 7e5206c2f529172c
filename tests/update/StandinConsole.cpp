// upd_standin.exe: stands in for the console when copied as QFW.exe into a
// test's program folder. It holds the console's mutex and the property on
// a hidden top-level window, quits on WM_CONSOLE_EXIT, and logs its start
// and each request in standin.log beside it. A word in standin.mode beside
// it changes it: "ignore" leaves the request unanswered, "hang" answers it
// only after half a minute, "frozen" hangs it for 50 seconds once its
// window is made, as a console hung while hidden in the tray, "other" makes
// it another program, with a mutex and property of its own
// ("{zz-other-program}"), "windowless" makes it a program that runs for 20
// seconds without ever becoming the console. It ends by itself after a
// minute, so that no test leaves it behind.
#include "ConsoleMessages.h"
#include "PathText.h"
#include "UpdateMarkers.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const UINT kLifetime = 60000;
const DWORD kFrozenTime = 50000;
const DWORD kWindowlessTime = 20000;
bool g_ignoreExit = false;
bool g_hangOnExit = false;
const char *g_instanceName = CONSOLE_INSTANCE_MARKER;

void Log(const char *line)
{
    CString path = GetModuleDir(nullptr, false) + "standin.log";
    // Several copies may write at once: append under a short retry.
    for (int i = 0; i < 50; ++i) {
        HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  0, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            char text[128];
            int length = std::snprintf(text, sizeof text, "%s %lu\r\n", line,
                                       GetCurrentProcessId());
            DWORD written;
            WriteFile(file, text, length, &written, nullptr);
            CloseHandle(file);
            return;
        }
        Sleep(20);
    }
}

std::string Mode()
{
    CString path = GetModuleDir(nullptr, false) + "standin.mode";
    char text[64] = {};
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                              nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        DWORD read;
        ReadFile(file, text, sizeof text - 1, &read, nullptr);
        CloseHandle(file);
    }
    return text;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CONSOLE_EXIT:
        Log("exit-request");
        if (g_hangOnExit)
            Sleep(30000);
        if (!g_ignoreExit)
            DestroyWindow(window);
        return 0;
    case WM_TIMER:
        Log("timeout");
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        RemovePropA(window, g_instanceName);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    std::string mode = Mode();
    g_ignoreExit = mode.find("ignore") != std::string::npos;
    g_hangOnExit = mode.find("hang") != std::string::npos;
    if (mode.find("other") != std::string::npos)
        g_instanceName = "{zz-other-program}";
    if (mode.find("windowless") != std::string::npos) {
        Log("windowless");
        Sleep(kWindowlessTime);
        return 0;
    }
    HANDLE mutex = CreateMutexA(nullptr, FALSE, g_instanceName);
    Log("start");

    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "QfwStandinConsole";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowA("QfwStandinConsole", "Ferrowind", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                100, nullptr, nullptr, instance, nullptr);
    SetPropA(window, g_instanceName, reinterpret_cast<HANDLE>(1));
    SetTimer(window, 1, kLifetime, nullptr);
    if (mode.find("frozen") != std::string::npos) {
        Log("frozen");
        Sleep(kFrozenTime);
    }

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    Log("quit");
    CloseHandle(mutex);
    return 0;
}
