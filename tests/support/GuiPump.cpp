#include "GuiPump.h"

// Longest sleep between two looks at the condition: conditions may change
// without a message to this thread (another process, a file, the screen).
static const DWORD POLL_MS = 10;

static bool IsDialog(HWND window)
{
    char className[16];
    return GetClassNameA(window, className, sizeof className) && !lstrcmpA(className, "#32770");
}

// Messages for a dialog's windows go through the dialog manager first, as in
// a modal loop: keys sent while a test's steps run inside one still reach
// the dialog as Tab, Enter and Esc.
static BOOL ToDialogManager(MSG *msg)
{
    HWND root = msg->hwnd ? GetAncestor(msg->hwnd, GA_ROOT) : nullptr;
    return root && IsDialog(root) && IsDialogMessageA(root, msg);
}

static thread_local PumpFilter g_filter = ToDialogManager;

void SetPumpFilter(PumpFilter filter)
{
    g_filter = filter ? filter : ToDialogManager;
}

// Dispatches what is queued; false when WM_QUIT came (and was re-posted).
static bool DispatchQueued()
{
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (g_filter(&msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

bool PumpUntil(const std::function<bool()> &done, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        bool quit = !DispatchQueued();
        if (done())
            return true;
        DWORD elapsed = GetTickCount() - start;
        if (quit || elapsed >= timeoutMs)
            return false;
        DWORD wait = timeoutMs - elapsed < POLL_MS ? timeoutMs - elapsed : POLL_MS;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms)
{
    PumpUntil([] { return false; }, ms);
}
