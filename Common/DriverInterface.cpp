#include "DriverInterface.h"
#include "Address32.h"
#include "DeviceSeam.h"
#include <cstring>

namespace {

// Per process, all zero at start. Plain data, so that the provider library
// needs no dynamic initialisation.
HANDLE g_device;
HANDLE g_blockHandle;
DWORD g_blockSize;
LPVOID g_blockAddress;
DWORD g_nameList;
BOOL g_keptResult;

void ForgetDevice()
{
    g_device = nullptr;
    g_blockHandle = nullptr;
    g_blockSize = 0;
    g_blockAddress = nullptr;
    g_nameList = 0; // it lives in memory the driver gave for this handle
}

BOOL Control(HANDLE device, DWORD code, const void *input, DWORD inputSize, void *output,
             DWORD outputSize, DWORD *bytesReturned = nullptr)
{
    DWORD returned = 0;
    BOOL ok = DeviceControl(device, code, const_cast<void *>(input), inputSize, output,
                            outputSize, &returned, nullptr);
    if (bytesReturned)
        *bytesReturned = ok ? returned : 0;
    return ok;
}

BOOL SendWord(DWORD code, WORD value)
{
    HANDLE device = OpenDriver();
    return device ? Control(device, code, &value, sizeof value, nullptr, 0) : FALSE;
}

BOOL SendDword(DWORD code, DWORD value)
{
    HANDLE device = OpenDriver();
    return device ? Control(device, code, &value, sizeof value, nullptr, 0) : FALSE;
}

} // namespace

HANDLE OpenDriver()
{
    if (g_device)
        return g_device;
    // CREATE_NEW, as the driver expects of its callers; it opens the device.
    HANDLE device = DeviceCreateFile(NETVANE_DEVICE_PATH, GENERIC_READ | GENERIC_WRITE, 0,
                                     nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    g_device = device == INVALID_HANDLE_VALUE ? nullptr : device;
    return g_device;
}

void CloseDriver()
{
    if (g_device)
        CloseHandle(g_device);
    ForgetDevice();
}

BOOL DriverAddPort(WORD port)
{
    return SendWord(IOCTL_NETVANE_ADD_PORT, port);
}

BOOL DriverRemovePort(WORD port)
{
    return SendWord(IOCTL_NETVANE_REMOVE_PORT, port);
}

BOOL DriverStartEvents()
{
    HANDLE device = OpenDriver();
    return device ? Control(device, IOCTL_NETVANE_START_EVENTS, nullptr, 0, nullptr, 0) : FALSE;
}

BOOL DriverSetAclReady(DWORD ready)
{
    return SendDword(IOCTL_NETVANE_SET_ACL_READY, ready);
}

BOOL DriverGetQueueView(DriverQueueView *view)
{
    HANDLE device = OpenDriver();
    return device ? Control(device, IOCTL_NETVANE_GET_QUEUE, nullptr, 0, view, sizeof *view)
                  : FALSE;
}

BOOL DriverGetTableView(DriverTableView *view)
{
    HANDLE device = OpenDriver();
    return device ? Control(device, IOCTL_NETVANE_GET_TABLES, nullptr, 0, view, sizeof *view)
                  : FALSE;
}

BOOL DriverTick()
{
    return SendDword(IOCTL_NETVANE_TICK, 0);
}

DWORD DriverGetNameList()
{
    HANDLE device = OpenDriver();
    if (!device)
        return 0;
    if (g_nameList)
        return g_nameList;
    DWORD list = 0;
    if (Control(device, IOCTL_NETVANE_GET_NAME_LIST, nullptr, 0, &list, sizeof list))
        g_nameList = list;
    return g_nameList;
}

BOOL DriverLookupName(DWORD address, char *out, DWORD outSize)
{
    HANDLE device = OpenDriver();
    if (!device || !out || outSize == 0)
        return FALSE;
    // The driver's answer carries no terminator of its own.
    char name[4] = {};
    DWORD returned = 0;
    BOOL ok = Control(device, IOCTL_NETVANE_LOOKUP_NAME, &address, sizeof address, name,
                      sizeof name, &returned);
    DWORD length = returned < sizeof name ? returned : sizeof name;
    if (length > outSize - 1)
        length = outSize - 1;
    memcpy(out, name, length);
    out[length] = '\0';
    return ok;
}

BOOL DriverSendBuffer(const void *buffer, DWORD length)
{
    HANDLE device = OpenDriver();
    return device ? Control(device, IOCTL_NETVANE_SEND_BUFFER, buffer, length, nullptr, 0)
                  : FALSE;
}

DWORD DriverReadBuffer(void *buffer, DWORD length)
{
    HANDLE device = OpenDriver();
    DWORD returned = 0;
    if (device)
        Control(device, IOCTL_NETVANE_READ_BUFFER, nullptr, 0, buffer, length, &returned);
    return returned;
}

DWORD DriverQueryString(const char *text)
{
    HANDLE device = OpenDriver();
    DWORD value = 0;
    if (!device || !text)
        return 0;
    DWORD length = static_cast<DWORD>(strlen(text)) + 1;
    if (!Control(device, IOCTL_NETVANE_QUERY_STRING, text, length, &value, sizeof value))
        return 0;
    return value;
}

HANDLE CreateDriverBlock(HANDLE, LPSECURITY_ATTRIBUTES, DWORD, DWORD, DWORD sizeLow, LPCSTR)
{
    // A provider instance takes this error as proof that the console made the block.
    SetLastError(ERROR_ALREADY_EXISTS);
    HANDLE device = OpenDriver();
    if (!device)
        return nullptr;
    if (!(g_blockHandle && g_blockSize == sizeLow)) {
        g_blockHandle = device;
        if (!Control(device, IOCTL_NETVANE_CREATE_BLOCK, &sizeLow, sizeof sizeLow, nullptr, 0))
            return nullptr;
        g_blockAddress = nullptr;
        g_blockSize = sizeLow;
    }
    // The device call may have reset the error.
    SetLastError(ERROR_ALREADY_EXISTS);
    return g_blockHandle;
}

LPVOID MapDriverBlock(HANDLE block, DWORD, DWORD, DWORD, SIZE_T, DWORD flag)
{
    if (!OpenDriver())
        return nullptr;
    if (g_blockAddress)
        return g_blockAddress;
    DWORD address = 0;
    if (Control(block, IOCTL_NETVANE_MAP_BLOCK, &flag, sizeof flag, &address, sizeof address))
        g_blockAddress = DwordToAddress<void>(address);
    return g_blockAddress;
}

void CloseDriverBlock(HANDLE block)
{
    if (!block)
        return;
    CloseHandle(block);
    if (block == g_device || block == g_blockHandle)
        ForgetDevice();
}

BOOL DriverIoctlDword(HANDLE handle, DWORD code, DWORD value)
{
    if (!OpenDriver() || !handle)
        return FALSE;
    // The block's release ends with a free that the driver needs only when
    // the block controls before it did not succeed.
    if (g_keptResult && code == IOCTL_NETVANE_FREE_BLOCK)
        return g_keptResult;
    g_keptResult = Control(handle, code, &value, sizeof value, nullptr, 0);
    return g_keptResult;
}
