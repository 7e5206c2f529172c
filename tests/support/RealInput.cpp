#include "RealInput.h"

#include "GuiPump.h"

#include <vector>

// Time the system gets to deliver the events and the windows to react.
static const DWORD SETTLE_MS = 40;
static const DWORD RAISE_LIMIT_MS = 2000;

static void Send(INPUT *inputs, UINT count)
{
    SendInput(count, inputs, sizeof(INPUT));
    PumpFor(SETTLE_MS);
}

// A topmost window is raised within the topmost band: Wine leaves an owned
// topmost pop-up of another process where it stands when asked for HWND_TOP.
void BringToFront(HWND window)
{
    HWND top = GetAncestor(window, GA_ROOT);
    const bool topmost = (GetWindowLongA(top, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    SetWindowPos(top, topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    SetForegroundWindow(top);
    PumpFor(SETTLE_MS);
}

POINT ScreenPointOf(HWND control, POINT client)
{
    ClientToScreen(control, &client);
    return client;
}

POINT CentreOf(HWND control)
{
    RECT client;
    GetClientRect(control, &client);
    return ScreenPointOf(control, POINT{client.right / 2, client.bottom / 2});
}

// The absolute coordinates of a screen point: 0..65535 over the virtual
// screen, aimed at the middle of the pixel so that either rounding of the
// mapping lands on it.
static INPUT MouseEvent(POINT screen, DWORD flags)
{
    int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(((screen.x - left) * 2LL + 1) * 65536 / (2LL * width));
    input.mi.dy = static_cast<LONG>(((screen.y - top) * 2LL + 1) * 65536 / (2LL * height));
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK | MOUSEEVENTF_MOVE;
    return input;
}

void MovePointerTo(POINT screen)
{
    INPUT move = MouseEvent(screen, 0);
    Send(&move, 1);
}

static INPUT ButtonEvent(POINT screen, MouseButton button, bool down)
{
    if (button == MouseButton::Left)
        return MouseEvent(screen, down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP);
    return MouseEvent(screen, down ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_RIGHTUP);
}

static void PressAndRelease(POINT screen, MouseButton button)
{
    INPUT events[2] = {ButtonEvent(screen, button, true), ButtonEvent(screen, button, false)};
    Send(events, 2);
}

void PressMouseAt(POINT screen, MouseButton button)
{
    MovePointerTo(screen);
    INPUT down = ButtonEvent(screen, button, true);
    Send(&down, 1);
}

void ReleaseMouseAt(POINT screen, MouseButton button)
{
    INPUT up = ButtonEvent(screen, button, false);
    Send(&up, 1);
}

// Input sent by a second thread, paced so that each event is handled (by
// whatever loop runs on the test's thread) before the next one comes.
namespace {

const DWORD STEP_MS = 30;
const int DRAG_STEPS = 8;

DWORD WINAPI PlayEvents(LPVOID parameter)
{
    for (INPUT &event : *static_cast<std::vector<INPUT> *>(parameter)) {
        SendInput(1, &event, sizeof(INPUT));
        Sleep(STEP_MS);
    }
    return 0;
}

// Plays the events from a second thread and pumps this one until they have
// all gone, then lets the windows settle.
void PlayWhilePumping(std::vector<INPUT> &events)
{
    HANDLE thread = CreateThread(nullptr, 0, PlayEvents, &events, 0, nullptr);
    if (!thread)
        return;
    PumpUntil([thread] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 30000);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    PumpFor(SETTLE_MS * 2);
}

} // namespace

void DragFromTo(POINT from, POINT to, MouseButton button)
{
    std::vector<INPUT> events = {MouseEvent(from, 0), ButtonEvent(from, button, true)};
    for (int step = 1; step <= DRAG_STEPS; ++step) {
        POINT at = {from.x + (to.x - from.x) * step / DRAG_STEPS,
                    from.y + (to.y - from.y) * step / DRAG_STEPS};
        events.push_back(MouseEvent(at, 0));
    }
    events.push_back(ButtonEvent(to, button, false));
    PlayWhilePumping(events);
}

void TurnWheelAt(POINT screen, int notches)
{
    INPUT wheel = MouseEvent(screen, MOUSEEVENTF_WHEEL);
    wheel.mi.mouseData = static_cast<DWORD>(notches * WHEEL_DELTA);
    std::vector<INPUT> events = {MouseEvent(screen, 0), wheel};
    PlayWhilePumping(events);
}

void ClickAt(POINT screen, MouseButton button)
{
    MovePointerTo(screen);
    PressAndRelease(screen, button);
}

void DoubleClickAt(POINT screen)
{
    MovePointerTo(screen);
    PressAndRelease(screen, MouseButton::Left);
    PressAndRelease(screen, MouseButton::Left);
}

// Windows that stand stacked at one place (the console's pop-ups) can cover
// the control again after the raise, and a click meant for one would land on
// another: the control's window is raised until it is the one at the point,
// for a while at most, and the click goes then.
static void RaiseUntilAt(HWND control, POINT screen)
{
    const HWND root = GetAncestor(control, GA_ROOT);
    for (DWORD waited = 0; waited < RAISE_LIMIT_MS; waited += SETTLE_MS) {
        BringToFront(control);
        const HWND hit = WindowFromPoint(screen);
        if (hit && GetAncestor(hit, GA_ROOT) == root)
            return;
    }
}

void ClickControl(HWND control, MouseButton button)
{
    RECT client;
    GetClientRect(control, &client);
    ClickControlAt(control, POINT{client.right / 2, client.bottom / 2}, button);
}

void ClickControlAt(HWND control, POINT client, MouseButton button)
{
    const POINT screen = ScreenPointOf(control, client);
    RaiseUntilAt(control, screen);
    ClickAt(screen, button);
}

static INPUT KeyEvent(WORD vk, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = flags;
    return input;
}

void KeyDown(WORD vk)
{
    INPUT down = KeyEvent(vk, 0);
    Send(&down, 1);
}

void KeyUp(WORD vk)
{
    INPUT up = KeyEvent(vk, KEYEVENTF_KEYUP);
    Send(&up, 1);
}

// One SendInput for the whole stroke: nothing the system injects (Wine
// resyncs modifier keys with the display's keyboard) comes between the
// modifier and the key.
void PressKey(WORD vk, WORD modifier)
{
    INPUT events[4];
    UINT count = 0;
    if (modifier)
        events[count++] = KeyEvent(modifier, 0);
    events[count++] = KeyEvent(vk, 0);
    events[count++] = KeyEvent(vk, KEYEVENTF_KEYUP);
    if (modifier)
        events[count++] = KeyEvent(modifier, KEYEVENTF_KEYUP);
    Send(events, count);
}

bool TypeText(const char *text)
{
    const BYTE shiftOnly = 1;
    for (const char *c = text; *c; ++c) {
        SHORT key = VkKeyScanA(*c);
        if (key == -1 || (HIBYTE(key) & ~shiftOnly))
            return false;
    }
    for (const char *c = text; *c; ++c) {
        SHORT key = VkKeyScanA(*c);
        PressKey(LOBYTE(key), HIBYTE(key) ? VK_SHIFT : 0);
    }
    return true;
}
