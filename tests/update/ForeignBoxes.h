// Message boxes of another process, read and answered as a person would:
// the box's text and caption are read, and its OK button clicked.
#pragma once

#include <windows.h>

#include <string>

struct ForeignBox {
    HWND window = nullptr;
    std::string text;
    std::string caption;
};

// Waits for a message box of the process; false after the time.
bool WaitForForeignBox(DWORD processId, ForeignBox &box, DWORD milliseconds);

// Clicks the box's OK button with real input.
void ClickOk(const ForeignBox &box);

// A window's text, asked of the window itself (as for another process's
// edit box, whose text only it knows).
std::string WindowText(HWND window);
