#include "RecordingParent.h"

static const char CLASS_NAME[] = "QfwRecordingParent";

static void RegisterOnce(WNDPROC procedure)
{
    WNDCLASSA known;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    if (GetClassInfoA(instance, CLASS_NAME, &known))
        return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = CLASS_NAME;
    RegisterClassA(&windowClass);
}

CRecordingParent::CRecordingParent(const RECT &screen)
{
    RegisterOnce(WindowProc);
    m_window = CreateWindowExA(0, CLASS_NAME, "Recording parent",
                               WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN | WS_VISIBLE,
                               screen.left, screen.top, screen.right - screen.left,
                               screen.bottom - screen.top, nullptr, nullptr,
                               GetModuleHandleA(nullptr), this);
}

CRecordingParent::~CRecordingParent()
{
    if (IsWindow(m_window))
        DestroyWindow(m_window);
}

LRESULT CALLBACK CRecordingParent::WindowProc(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const CREATESTRUCTA *create = reinterpret_cast<const CREATESTRUCTA *>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    CRecordingParent *self =
        reinterpret_cast<CRecordingParent *>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self)
        self->m_log.Record(message, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}
