// Keys for the pop-up menu that the test's next click opens. A timer meets
// the menu inside its own modal loop, reads its entries (texts and states),
// takes a screenshot and queues the keys, without pumping, so that the
// menu's loop reads them.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

class CMenuKeys
{
public:
    // screen: the screenshot's state name; empty for none.
    CMenuKeys(std::vector<WORD> keys, std::string screen);
    ~CMenuKeys();
    CMenuKeys(const CMenuKeys &) = delete;
    CMenuKeys &operator=(const CMenuKeys &) = delete;
    CMenuKeys(CMenuKeys &&other) noexcept;

    bool Met() const { return m_met; }
    // The entries' texts from the top, sub-menus and separators included.
    const std::vector<std::string> &Texts() const { return m_texts; }
    // Whether the entry of that command was there, greyed, checked.
    bool Has(UINT command) const { return m_states.count(command) != 0; }
    bool IsGreyed(UINT command) const { return Has(command) && (m_states.at(command) & MF_GRAYED); }
    bool IsChecked(UINT command) const { return Has(command) && (m_states.at(command) & MF_CHECKED); }
    // The commands that were checked.
    std::vector<UINT> Checked() const;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Meet(HWND menuWindow);

    static CMenuKeys *s_current;
    std::vector<WORD> m_keys;
    std::string m_screen;
    UINT_PTR m_timer = 0;
    bool m_met = false;
    std::vector<std::string> m_texts;
    std::map<UINT, UINT> m_states;
};
