#include "ConsoleInstance.h"

const char CONSOLE_INSTANCE_MARKER[] = "{7E421B52-DA47-48af-B710-C52627F0068B}";

HWND FindMarkedConsoleWindow()
{
    for (HWND window = ::GetWindow(::GetDesktopWindow(), GW_CHILD); ::IsWindow(window);
         window = ::GetWindow(window, GW_HWNDNEXT)) {
        if (::GetPropA(window, CONSOLE_INSTANCE_MARKER) != NULL)
            return window;
    }
    return NULL;
}
