// The GUI kit's pump under the name the window layer's tests use for "what
// is queued now". The test programs set the kit's filter to the library's
// PreTranslateMessage walk (LibraryPump.cpp).
#pragma once

#include "GuiPump.h"

inline void PumpPending()
{
    PumpFor(0);
}
