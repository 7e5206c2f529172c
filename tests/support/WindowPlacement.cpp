#include "WindowPlacement.h"

#include <cstdlib>

bool IsInFrontOf(HWND front, HWND back)
{
    for (HWND window = GetWindow(front, GW_HWNDNEXT); window; window = GetWindow(window, GW_HWNDNEXT))
        if (window == back)
            return true;
    return false;
}

static std::string Describe(const RECT &rect)
{
    return "(" + std::to_string(rect.left) + "," + std::to_string(rect.top) + ")-(" +
           std::to_string(rect.right) + "," + std::to_string(rect.bottom) + ")";
}

std::string CentringFault(HWND window, HWND owner)
{
    RECT inner, outer;
    GetWindowRect(window, &inner);
    GetWindowRect(owner, &outer);
    // Twice the centres' distance: a pixel either way is rounding.
    const int dx = (inner.left + inner.right) - (outer.left + outer.right);
    const int dy = (inner.top + inner.bottom) - (outer.top + outer.bottom);
    if (std::abs(dx) <= 2 && std::abs(dy) <= 2)
        return std::string();
    return "window " + Describe(inner) + " is not centred over " + Describe(outer);
}
