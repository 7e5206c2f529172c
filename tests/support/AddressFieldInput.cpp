#include "AddressFieldInput.h"

#include "RealInput.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

// The four boxes of an address field, from left to right.
std::vector<HWND> AddressBoxes(HWND field)
{
    std::vector<HWND> boxes;
    for (HWND box = GetWindow(field, GW_CHILD); box; box = GetWindow(box, GW_HWNDNEXT))
        boxes.push_back(box);
    std::sort(boxes.begin(), boxes.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    return boxes;
}

} // namespace

void TypeAddress(HWND field, const char *dotted)
{
    const std::vector<HWND> boxes = AddressBoxes(field);
    std::string rest = dotted;
    for (HWND box : boxes) {
        if (rest.empty())
            break;
        const size_t dot = rest.find('.');
        const std::string number = rest.substr(0, dot);
        rest = dot == std::string::npos ? "" : rest.substr(dot + 1);
        ClickControl(box);
        PressKey(VK_END);
        for (int i = GetWindowTextLengthA(box); i > 0; --i)
            PressKey(VK_BACK);
        TypeText(number.c_str());
    }
}
