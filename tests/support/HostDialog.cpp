#include "HostDialog.h"

#include "GuiKitResources.h"
#include "GuiPump.h"
#include "RealInput.h"

CHostDialog::CHostDialog()
{
    m_dialog = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_GUI_KIT_HOST),
                                  nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
}

CHostDialog::~CHostDialog()
{
    if (IsWindow(m_dialog))
        DestroyWindow(m_dialog);
}

void CHostDialog::Show(POINT topLeft)
{
    SetWindowPos(m_dialog, nullptr, topLeft.x, topLeft.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    BringToFront(m_dialog);
    UpdateWindow(m_dialog);
    PumpFor(50);
}

INT_PTR CALLBACK CHostDialog::DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    CHostDialog *self = reinterpret_cast<CHostDialog *>(GetWindowLongPtrA(dialog, DWLP_USER));
    if (self)
        self->m_log.Record(message, wParam, lParam);
    return FALSE;
}
