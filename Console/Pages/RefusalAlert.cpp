#include "RefusalAlert.h"

#include <mmsystem.h>

#include "AlertPopup.h"
#include "ProgramFolder.h"

namespace {

AlertSoundPlayer g_player;

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

void AnnounceRefusal(CWnd *page, const SessionRecord &connection, const CString &skinFolder,
                     const RefusalOptions &options)
{
    if (options.Window)
        (new CAlertPopup(page, connection, skinFolder))->Show(); // deletes itself, also on failure
    if (options.Sound)
        PlayAlertSound();
}
