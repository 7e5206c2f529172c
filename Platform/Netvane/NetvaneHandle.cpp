#include "NetvaneHandle.h"
#include <cstring>

namespace {

const char kMagic[8] = "NETVANE";

// The handles that this process made, with their views; changed under
// CNetvaneLock only. A handle closed behind the emulator's back is found
// out at its next use, and the oldest entry makes room when all are taken.
struct KnownHandle {
    HANDLE Handle;
    HANDLE Twin;
    NetvaneHandleState *State;
};
KnownHandle g_known[32];
unsigned g_nextKnown;

typedef BOOL(WINAPI *CompareHandlesFunction)(HANDLE, HANDLE);

// Tells whether two handles name one object; absent on older systems.
CompareHandlesFunction CompareHandles()
{
    static CompareHandlesFunction compare = [] {
        HMODULE kernel = GetModuleHandleA("kernelbase.dll");
        if (!kernel)
            kernel = GetModuleHandleA("kernel32.dll");
        return kernel ? reinterpret_cast<CompareHandlesFunction>(
                            reinterpret_cast<void (*)()>(GetProcAddress(kernel, "CompareObjectHandles")))
                      : nullptr;
    }();
    return compare;
}

void Forget(KnownHandle &known)
{
    if (known.State)
        UnmapViewOfFile(known.State);
    if (known.Twin)
        CloseHandle(known.Twin);
    known = KnownHandle();
}

void Remember(HANDLE handle, NetvaneHandleState *state)
{
    HANDLE twin = nullptr;
    if (!CompareHandles() ||
        !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &twin, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        UnmapViewOfFile(state);
        return;
    }
    KnownHandle &slot = g_known[g_nextKnown++ % ARRAYSIZE(g_known)];
    Forget(slot);
    slot = KnownHandle{handle, twin, state};
}

// The state of a handle that this process made and that still names it.
NetvaneHandleState *KnownState(HANDLE handle)
{
    for (KnownHandle &known : g_known) {
        if (known.Handle != handle || !known.State)
            continue;
        if (CompareHandles()(handle, known.Twin))
            return known.State;
        Forget(known);
    }
    return nullptr;
}

} // namespace

HANDLE CreateNetvaneHandle()
{
    HANDLE handle = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                       sizeof(NetvaneHandleState), nullptr);
    if (!handle)
        return INVALID_HANDLE_VALUE;
    void *view = MapViewOfFile(handle, FILE_MAP_WRITE, 0, 0, sizeof(NetvaneHandleState));
    if (!view) {
        DWORD error = GetLastError();
        CloseHandle(handle);
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    NetvaneHandleState *state = static_cast<NetvaneHandleState *>(view);
    memcpy(state->Magic, kMagic, sizeof kMagic);
    state->ProcessId = GetCurrentProcessId();
    Remember(handle, state);
    return handle;
}

CNetvaneHandleView::CNetvaneHandleView(HANDLE handle) : m_state(nullptr), m_mappedForCall(false)
{
    if (!handle || handle == INVALID_HANDLE_VALUE)
        return;
    m_state = KnownState(handle);
    if (m_state)
        return;
    // Fails on a closed handle, on any object that is not a section and on
    // a section smaller than the state.
    void *view = MapViewOfFile(handle, FILE_MAP_WRITE, 0, 0, sizeof(NetvaneHandleState));
    if (!view)
        return;
    NetvaneHandleState *state = static_cast<NetvaneHandleState *>(view);
    bool ours = memcmp(state->Magic, kMagic, sizeof kMagic) == 0 &&
                state->ProcessId == GetCurrentProcessId();
    if (ours) {
        m_state = state;
        m_mappedForCall = true;
    } else {
        UnmapViewOfFile(view);
    }
}

CNetvaneHandleView::~CNetvaneHandleView()
{
    if (m_mappedForCall)
        UnmapViewOfFile(m_state);
}
