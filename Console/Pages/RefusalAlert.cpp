#include "RefusalAlert.h"

#include <mmsystem.h>

#include <algorithm>

#include "ProgramFolder.h"

namespace {

AlertSoundPlayer g_player;

// The same program (its file, without regard to case) refused the same peer.
bool SameRefusal(const SessionRecord &a, const SessionRecord &b)
{
    return a.RemoteIp == b.RemoteIp && lstrcmpiA(a.Path, b.Path) == 0;
}

} // namespace

AlertSoundPlayer SetAlertSoundPlayer(AlertSoundPlayer player)
{
    const AlertSoundPlayer previous = g_player;
    g_player = player;
    return previous;
}

void PlayAlertSound()
{
    const CString path = GetProgramFolder() + "sound\\Alert.wav";
    const DWORD flags = SND_FILENAME | SND_ASYNC;
    if (g_player)
        g_player(path, NULL, flags);
    else
        PlaySoundA(path, NULL, flags);
}

CRefusalAnnouncer::~CRefusalAnnouncer()
{
    for (CAlertPopup *alert : m_standing)
        alert->SetWatcher(NULL);
}

void CRefusalAnnouncer::Announce(CWnd *page, const SessionRecord &connection, const CString &skinFolder,
                                 const RefusalOptions &options)
{
    if (options.Window)
        ShowAlert(page, connection, skinFolder);
    if (options.Sound)
        Sound();
}

// A sinking alert takes no more refusals; a new one rises beside it.
void CRefusalAnnouncer::ShowAlert(CWnd *page, const SessionRecord &connection, const CString &skinFolder)
{
    for (CAlertPopup *alert : m_standing) {
        if (SameRefusal(alert->Connection(), connection) && alert->AddRefusal())
            return;
    }
    if (m_standing.size() >= MAX_STANDING_ALERTS)
        return;
    CAlertPopup *alert = new CAlertPopup(page, connection, skinFolder);
    alert->SetWatcher(this);
    m_standing.push_back(alert);
    alert->Show(); // deletes itself, also on failure, and is then forgotten
}

void CRefusalAnnouncer::AlertGone(CAlertPopup *alert)
{
    m_standing.erase(std::remove(m_standing.begin(), m_standing.end(), alert), m_standing.end());
}

// The tick count wraps after 49 days; the difference stays right.
void CRefusalAnnouncer::Sound()
{
    const DWORD now = GetTickCount();
    if (m_soundPlayed && now - m_lastSound < SOUND_INTERVAL_MS)
        return;
    m_soundPlayed = true;
    m_lastSound = now;
    PlayAlertSound();
}
