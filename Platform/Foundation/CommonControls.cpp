// The common-control classes of the dialog templates, registered once per
// process; no manifest is needed for them.
#include "CWinApp.h"

#include <commctrl.h>

void AfxInitCommonControls()
{
    static LONG s_bDone = 0;
    if (::InterlockedExchange(&s_bDone, 1) != 0)
        return;
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES | ICC_LISTVIEW_CLASSES |
                                                ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES |
                                                ICC_DATE_CLASSES | ICC_INTERNET_CLASSES};
    ::InitCommonControlsEx(&icc);
}
