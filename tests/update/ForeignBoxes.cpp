#include "ForeignBoxes.h"
#include "GuiPump.h"
#include "RealInput.h"

namespace {

// The static control that holds a message box's text.
const int kBoxTextId = 0xFFFF;

HWND FindBox(DWORD processId)
{
    for (HWND window = GetWindow(GetDesktopWindow(), GW_CHILD); window;
         window = GetWindow(window, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        if (owner == processId && IsWindowVisible(window) &&
            std::string(className) == "#32770" && GetDlgItem(window, kBoxTextId))
            return window;
    }
    return nullptr;
}

} // namespace

std::string WindowText(HWND window)
{
    char text[1024] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                        SMTO_NORMAL, 5000, &length);
    return text;
}

bool WaitForForeignBox(DWORD processId, ForeignBox &box, DWORD milliseconds)
{
    if (!PumpUntil([&] { return (box.window = FindBox(processId)) != nullptr; }, milliseconds))
        return false;
    PumpFor(200);  // let it paint
    box.text = WindowText(GetDlgItem(box.window, kBoxTextId));
    box.caption = WindowText(box.window);
    return true;
}

void ClickOk(const ForeignBox &box)
{
    ClickControl(GetDlgItem(box.window, IDOK));
}
