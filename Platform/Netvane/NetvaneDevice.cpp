// The device seam answered by the emulator: the device exists while the
// driver's service key does, and every open and control call is logged.
#include "DeviceSeam.h"
#include "NetvaneCallLog.h"
#include "NetvaneIoctl.h"
#include "NetvaneRequests.h"

namespace {

bool ServiceInstalled()
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, NETVANE_SERVICE_KEY, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The error that the driver side asked this code to fail with, or 0.
DWORD InjectedFailure(const NetvaneControlState &control, DWORD code)
{
    for (const NetvaneFailure &failure : control.Failures)
        if (failure.Error && failure.Code == code)
            return failure.Error;
    return 0;
}

} // namespace

HANDLE DeviceCreateFile(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES,
                        DWORD disposition, DWORD attributes, HANDLE)
{
    NetvaneControlState *control = NetvaneControlSection();
    if (!control) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    CNetvaneLock lock;
    DWORD error = 0;
    if (!path || lstrcmpiA(path, NETVANE_DEVICE_PATH) != 0 || !ServiceInstalled())
        error = ERROR_FILE_NOT_FOUND;
    else
        error = InjectedFailure(*control, NETVANE_OPEN);
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (!error) {
        handle = CreateNetvaneHandle();
        if (handle == INVALID_HANDLE_VALUE)
            error = GetLastError();
    }
    const DWORD arguments[4] = {access, share, disposition, attributes};
    LogNetvaneCall(*control, NETVANE_OPEN, arguments, sizeof arguments, !error, error);
    SetLastError(error);
    return handle;
}

BOOL DeviceControl(HANDLE device, DWORD code, LPVOID input, DWORD inputSize, LPVOID output,
                   DWORD outputSize, LPDWORD bytesReturned, LPOVERLAPPED overlapped)
{
    if (bytesReturned)
        *bytesReturned = 0;
    NetvaneControlState *control = NetvaneControlSection();
    if (!control) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    CNetvaneLock lock;
    CNetvaneHandleView handle(device);
    DWORD error = 0;
    DWORD returned = 0;
    if (!handle.State())
        error = ERROR_INVALID_HANDLE;
    else if (overlapped || !bytesReturned)
        error = ERROR_INVALID_PARAMETER; // the device is never opened for overlapped calls
    else
        error = InjectedFailure(*control, code);
    if (!error) {
        NetvaneRequest request = {*handle.State(), *control,
                                  static_cast<const BYTE *>(input), input ? inputSize : 0,
                                  static_cast<BYTE *>(output), output ? outputSize : 0, 0};
        error = HandleNetvaneRequest(code, request);
        returned = request.Returned;
    }
    LogNetvaneCall(*control, code, input, input ? inputSize : 0, !error, error);
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    *bytesReturned = returned;
    return TRUE;
}
