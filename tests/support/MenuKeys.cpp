#include "MenuKeys.h"

#include "TestScreens.h"

CMenuKeys *CMenuKeys::s_current = nullptr;

CMenuKeys::CMenuKeys(std::vector<WORD> keys, std::string screen)
    : m_keys(std::move(keys)), m_screen(std::move(screen))
{
    s_current = this;
    m_timer = ::SetTimer(NULL, 0, 50, OnTimer);
}

CMenuKeys::CMenuKeys(CMenuKeys &&other) noexcept
    : m_keys(std::move(other.m_keys)), m_screen(std::move(other.m_screen)), m_timer(other.m_timer),
      m_met(other.m_met), m_texts(std::move(other.m_texts)), m_states(std::move(other.m_states))
{
    other.m_timer = 0;
    if (s_current == &other)
        s_current = this;
}

CMenuKeys::~CMenuKeys()
{
    if (m_timer)
        ::KillTimer(NULL, m_timer);
    if (s_current == this)
        s_current = nullptr;
}

std::vector<UINT> CMenuKeys::Checked() const
{
    std::vector<UINT> checked;
    for (const auto &entry : m_states) {
        if (entry.second & MF_CHECKED)
            checked.push_back(entry.first);
    }
    return checked;
}

void CALLBACK CMenuKeys::OnTimer(HWND, UINT, UINT_PTR, DWORD)
{
    CMenuKeys *self = s_current;
    if (!self || self->m_met)
        return;
    HWND menuWindow = ::FindWindowA("#32768", NULL);
    if (menuWindow && ::IsWindowVisible(menuWindow))
        self->Meet(menuWindow);
}

void CMenuKeys::Meet(HWND menuWindow)
{
    m_met = true;
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageA(menuWindow, 0x01E1 /* MN_GETHMENU */, 0, 0));
    if (menu) {
        for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
            char text[128] = "";
            ::GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
            m_texts.push_back(text);
            const UINT command = ::GetMenuItemID(menu, i);
            if (command != static_cast<UINT>(-1))
                m_states[command] = ::GetMenuState(menu, i, MF_BYPOSITION);
        }
    }
    if (!m_screen.empty())
        SaveTestScreen(NULL, m_screen.c_str());
    std::vector<INPUT> inputs;
    for (WORD key : m_keys) {
        for (DWORD flags : {DWORD(0), DWORD(KEYEVENTF_KEYUP)}) {
            INPUT input = {};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = key;
            input.ki.dwFlags = flags;
            inputs.push_back(input);
        }
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}
