// Input as a person gives it, through SendInput: the system routes each event
// to the window under the pointer or to the one with the focus, exactly as
// it would route the user's. Every call pumps this thread's messages after
// sending, so the events have arrived when it returns.
//
// There may be no window manager (Xvfb): nothing raises or activates a window
// on a click, so BringToFront does it before input is aimed at a window.
#pragma once

#include <windows.h>

enum class MouseButton { Left, Right };

// Makes the top-level window of `window` the foreground window, on top.
void BringToFront(HWND window);

// The screen point of a control's client point, and of its client centre.
POINT ScreenPointOf(HWND control, POINT client);
POINT CentreOf(HWND control);

void MovePointerTo(POINT screen);
void ClickAt(POINT screen, MouseButton button = MouseButton::Left);
void DoubleClickAt(POINT screen);
// A button held down at the point, and let go; a test looks at the pressed
// state in between.
void PressMouseAt(POINT screen, MouseButton button = MouseButton::Left);
void ReleaseMouseAt(POINT screen, MouseButton button = MouseButton::Left);

// Presses the button at `from`, moves the pointer to `to` in even steps and
// releases it there. The events come from a second thread while this one
// pumps: a window being moved or sized, or a control tracking the pointer,
// runs a modal loop of its own on this thread until the button goes up.
void DragFromTo(POINT from, POINT to, MouseButton button = MouseButton::Left);

// Turns the wheel by `notches` (positive: away from the user) with the
// pointer at the point, from a second thread as a drag is.
void TurnWheelAt(POINT screen, int notches);

// Brings the control's window to the front until it is the window at the
// point (for two seconds at most), then clicks its centre or the given
// client point.
void ClickControl(HWND control, MouseButton button = MouseButton::Left);
void ClickControlAt(HWND control, POINT client, MouseButton button = MouseButton::Left);

// One key pressed and released; with `modifier` (VK_SHIFT, VK_CONTROL,
// VK_MENU) held around it when not 0.
void PressKey(WORD vk, WORD modifier = 0);
void KeyDown(WORD vk);
void KeyUp(WORD vk);

// Types the characters as key strokes of the current keyboard layout, with
// Shift where a character needs it. False, typing nothing, when a character
// has no such key.
bool TypeText(const char *text);
