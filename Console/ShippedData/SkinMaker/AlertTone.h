// The alert sound: a short tone as a PCM wave file.
#pragma once

#include <windows.h>

// A 16-bit mono tone at 22050 samples a second, faded in and out so that it
// does not click.
bool WriteAlertTone(LPCTSTR path, int frequency, int milliseconds);
