#include "StandInNotificationArea.h"

namespace {

const DWORD kReadyMs = 30000;
const char kShellClass[] = "Shell_TrayWnd";

double CounterSeconds()
{
    LARGE_INTEGER frequency, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

CStandInNotificationArea::CStandInNotificationArea(bool takesIcons) : m_takesIcons(takesIcons ? 1 : 0)
{
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_thread = std::thread([this, ready] {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = kShellClass;
        RegisterClassA(&windowClass);
        m_window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kShellClass, "", WS_POPUP, 0, 0, 1, 1, nullptr,
                                   nullptr, windowClass.hInstance, nullptr);
        SetWindowLongPtrA(m_window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetEvent(ready);
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0)
            DispatchMessageA(&message);
        DestroyWindow(m_window);
        UnregisterClassA(kShellClass, windowClass.hInstance);
    });
    WaitForSingleObject(ready, kReadyMs);
    CloseHandle(ready);
}

CStandInNotificationArea::~CStandInNotificationArea()
{
    PostMessageA(m_window, WM_QUIT, 0, 0);
    m_thread.join();
}

void CStandInNotificationArea::Forget()
{
    m_refused = 0;
    m_accepted = 0;
    m_firstRequest = 0.0;
}

LRESULT CALLBACK CStandInNotificationArea::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_COPYDATA)
        return DefWindowProcA(window, message, wParam, lParam);
    auto *self = reinterpret_cast<CStandInNotificationArea *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return FALSE;
    if (self->m_firstRequest == 0.0)
        self->m_firstRequest = CounterSeconds();
    if (!self->m_takesIcons) {
        InterlockedIncrement(&self->m_refused);
        return FALSE;
    }
    InterlockedIncrement(&self->m_accepted);
    return TRUE;
}
