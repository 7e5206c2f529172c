// The room and drawing format a control that paints its own text gives that
// text, answered on request, so that a check of a window's controls can
// measure each text exactly as the control draws it (the font, the DrawText
// flags and the rectangle) instead of guessing from the control's class.
#pragma once

#include <windows.h>

struct TextRoom
{
    RECT room;      // client coordinates
    UINT format;    // DrawText flags
    HFONT font;     // NULL: the system font
    char text[512]; // as drawn, cut to the buffer
};

// The registered message: WPARAM is the index of a text the control shows
// (0 for a control with one text), LPARAM points to a TextRoom the control
// fills. A control that knows the message answers TEXT_ROOM_FILLED for each
// index it shows (an empty text for a place without one) and TEXT_ROOM_END
// past the last; any other window answers 0.
enum { TEXT_ROOM_FILLED = 1, TEXT_ROOM_END = 2 };
inline UINT TextRoomMessage()
{
    static const UINT message = RegisterWindowMessageA("QfwTextRoom");
    return message;
}

// For a control that shows its window text alone: the request's TextRoom
// with the text filled in, for the control to add the rest; NULL past the
// first index, to be answered TEXT_ROOM_END.
inline TextRoom *WindowTextRoom(HWND control, WPARAM index, LPARAM lParam)
{
    if (index != 0)
        return NULL;
    TextRoom *room = reinterpret_cast<TextRoom *>(lParam);
    GetWindowTextA(control, room->text, sizeof room->text);
    return room;
}
