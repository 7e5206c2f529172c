// The device seam over the real driver.
#include "DeviceSeam.h"

HANDLE DeviceCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                        DWORD disposition, DWORD attributes, HANDLE templateFile)
{
    return CreateFileA(path, access, share, security, disposition, attributes, templateFile);
}

BOOL DeviceControl(HANDLE device, DWORD code, LPVOID input, DWORD inputSize, LPVOID output,
                   DWORD outputSize, LPDWORD bytesReturned, LPOVERLAPPED overlapped)
{
    return DeviceIoControl(device, code, input, inputSize, output, outputSize, bytesReturned,
                           overlapped);
}
