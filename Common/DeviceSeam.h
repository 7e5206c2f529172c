// The two calls through which the driver functions reach the device. They
// take the arguments of CreateFileA and DeviceIoControl. Which device answers
// is chosen when the program is built: the real one (DeviceSeamWin32.cpp) or
// the emulator of Platform/Netvane, where the driver does not exist. The
// handles are kernel handles either way, closed with CloseHandle.
#pragma once

#include <windows.h>

HANDLE DeviceCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                        DWORD disposition, DWORD attributes, HANDLE templateFile);

BOOL DeviceControl(HANDLE device, DWORD code, LPVOID input, DWORD inputSize, LPVOID output,
                   DWORD outputSize, LPDWORD bytesReturned, LPOVERLAPPED overlapped);
