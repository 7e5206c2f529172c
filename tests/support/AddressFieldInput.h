// Typing into an IP address control as a person does. The control is four
// small boxes that move the caret on by themselves after a third digit, so
// typing a whole dotted address in one go lands digits in the wrong box
// whenever a box already holds a number. A person clicks the box, erases
// it and types its number, one box after another; so does this.
#pragma once

#include <windows.h>

// Types the dotted address (up to four numbers) into the field, over what
// it shows; boxes past the last number given are left as they are.
void TypeAddress(HWND field, const char *dotted);
