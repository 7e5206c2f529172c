#include "RefusedWindows.h"

// One scope a thread; the hook finds it here.
static thread_local CRefusedWindows *t_scope = nullptr;

CRefusedWindows::CRefusedWindows(const char *className) : m_className(className)
{
    t_scope = this;
    m_hook = SetWindowsHookExA(WH_CBT, CbtProc, nullptr, GetCurrentThreadId());
}

CRefusedWindows::~CRefusedWindows()
{
    UnhookWindowsHookEx(m_hook);
    t_scope = nullptr;
}

LRESULT CALLBACK CRefusedWindows::CbtProc(int code, WPARAM wParam, LPARAM lParam)
{
    CRefusedWindows *scope = t_scope;
    if (code == HCBT_CREATEWND && scope) {
        char className[64] = "";
        GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
        if (lstrcmpiA(className, scope->m_className.c_str()) == 0) {
            ++scope->m_refused;
            return 1;
        }
    }
    return CallNextHookEx(scope ? scope->m_hook : nullptr, code, wParam, lParam);
}
