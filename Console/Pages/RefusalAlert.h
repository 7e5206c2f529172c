// Announcing a connection that a rule refused: the slide-in alert and the
// alert sound, each while its option is on. The options are the caller's
// reading of them at this alert, so a change takes effect at once.
#pragma once

#include <windows.h>

#include <CString.h>
#include <CWnd.h>

#include "SessionRecord.h"

// The sound call; tests put a recorder in its place.
typedef BOOL(WINAPI *AlertSoundPlayer)(LPCSTR sound, HMODULE module, DWORD flags);
// The previous player is returned; NULL restores the system's.
AlertSoundPlayer SetAlertSoundPlayer(AlertSoundPlayer player);

// "sound\Alert.wav" in the program folder, played without waiting.
void PlayAlertSound();

struct RefusalOptions {
    bool Window; // EnableWndAlert
    bool Sound;  // EnableSoundAlert
};

// The alert (if it can be created) with the page as parent, and the sound.
void AnnounceRefusal(CWnd *page, const SessionRecord &connection, const CString &skinFolder,
                     const RefusalOptions &options);
