// The text-fit check: every text that a window's controls show is measured
// with the control's own font and drawing flags against the room the control
// gives it. A text that does not fit, and is not drawn with an ellipsis, is
// a fault, named by window, control and the Language.ini key it came from.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct TextFitFault
{
    std::string window;  // the top window's title, or its class
    std::string control; // class and id
    std::string text;
    std::string key;     // SECTION/KEY of the shipped Language.ini, or empty
    SIZE need;           // what the text takes
    SIZE room;           // what the control gives it
};

// The faults of the window itself and of every shown control inside it.
std::vector<TextFitFault> FindTextFitFaults(HWND window);

std::string DescribeTextFitFault(const TextFitFault &fault);
