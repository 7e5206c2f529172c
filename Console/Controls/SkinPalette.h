// The colours of the console's look, in one place: the generated skin
// pictures and the labels' presets take them from here, so the whole skin
// can be retuned at once.
#pragma once

#include <windows.h>

namespace SkinPalette {

// Title bands and frames: the dark slate, shading to the slate blue.
constexpr COLORREF Slate = RGB(71, 78, 98);
constexpr COLORREF SlateBlue = RGB(123, 136, 170);
// Client areas.
constexpr COLORREF Client = RGB(236, 240, 246);
// Accents and header backgrounds; hover one step lighter, pressed darker.
constexpr COLORREF Accent = RGB(194, 218, 239);
constexpr COLORREF AccentHover = RGB(214, 232, 248);
constexpr COLORREF AccentPressed = RGB(164, 190, 220);
constexpr COLORREF SelectedRow = RGB(222, 235, 234);
constexpr COLORREF DisabledText = RGB(100, 100, 100);
constexpr COLORREF White = RGB(255, 255, 255);
constexpr COLORREF Black = RGB(0, 0, 0);

// The grid's cells: the chosen action's mark, the active program, the key.
constexpr COLORREF CellPass = RGB(76, 160, 96);
constexpr COLORREF CellQuery = RGB(232, 168, 48);
constexpr COLORREF CellDeny = RGB(204, 64, 56);
constexpr COLORREF CellActive = RGB(76, 160, 96);
constexpr COLORREF CellKey = RGB(232, 196, 80);

// The labels' presets: back and text colours.
constexpr COLORREF LabelLightBack = RGB(234, 234, 234);
constexpr COLORREF LabelPlainBack = RGB(203, 203, 203);
constexpr COLORREF LabelDarkText = RGB(21, 21, 21);
constexpr COLORREF LabelAccentText = RGB(255, 102, 0);
// A window's title on its dark title band: white, or it would read grey on
// grey.
constexpr COLORREF BandTitleText = White;

} // namespace SkinPalette
