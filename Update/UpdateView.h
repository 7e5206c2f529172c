// What the step machine shows, through the update dialog: texts are named
// by their Language.ini keys of section UPDATE.
#pragma once

#include <windows.h>

#include "CString.h"

class IUpdateView
{
public:
    // The step line (control 1006).
    virtual void ShowStepText(LPCSTR key) = 0;
    // A message box with the program's title and an OK button; returns when
    // the user has answered it.
    virtual void ShowBox(LPCSTR key, UINT icon) = 0;
    // The same box, its text a format whose one %s is the name.
    virtual void ShowBoxNaming(LPCSTR key, const CString &name) = 0;
    // The file being fetched (control 1007), through the format of
    // LABEL_DOWNLOAD_ONE_INFO.
    virtual void ShowDownloadName(const CString &name) = 0;
    // The two percent bars; a value outside 0..100 is ignored.
    virtual void SetCurrentPercent(int percent) = 0;
    virtual void SetTotalPercent(int percent) = 0;
    // Destroys the dialog window without the usual close.
    virtual void DestroyDialog() = 0;

protected:
    ~IUpdateView() = default;
};
