// Announcing a connection that a rule refused: the slide-in alert and the
// alert sound, each while its option is on. The options are the caller's
// reading of them at this alert, so a change takes effect at once.
//
// A program that retries a refused connection in a loop must not flood the
// screen or the sound card: a refusal of the same program and remote
// address as an alert still standing is added to that alert, at most a few
// alerts stand at once (a refusal beyond them is in the log only), and the
// sound plays at most once a second.
#pragma once

#include <windows.h>

#include <CString.h>
#include <CWnd.h>

#include <vector>

#include "AlertPopup.h"
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

class CRefusalAnnouncer : private IAlertWatcher
{
public:
    enum {
        MAX_STANDING_ALERTS = 3,
        SOUND_INTERVAL_MS = 1000,
    };

    CRefusalAnnouncer() = default;
    // Standing alerts go on by themselves, no longer watched.
    ~CRefusalAnnouncer();
    CRefusalAnnouncer(const CRefusalAnnouncer &) = delete;
    CRefusalAnnouncer &operator=(const CRefusalAnnouncer &) = delete;

    // The alert (a new one with the page as parent, when it can be created,
    // or one standing for the same program and address), and the sound.
    void Announce(CWnd *page, const SessionRecord &connection, const CString &skinFolder,
                  const RefusalOptions &options);

    size_t StandingAlerts() const { return m_standing.size(); }

private:
    void AlertGone(CAlertPopup *alert) override;
    void ShowAlert(CWnd *page, const SessionRecord &connection, const CString &skinFolder);
    void Sound();

    std::vector<CAlertPopup *> m_standing;
    bool m_soundPlayed = false;
    DWORD m_lastSound = 0;
};
