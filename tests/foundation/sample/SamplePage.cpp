#include "SamplePage.h"

#include "SampleIds.h"
#include "SampleLog.h"

namespace
{
// The palette of the program's look.
const COLORREF SLATE = RGB(71, 78, 98);
const COLORREF SLATE_BLUE = RGB(123, 136, 170);
const COLORREF LIGHT_BLUE = RGB(194, 218, 239);
const char CHECK_TEXT[] = "Log the connections";
}

BEGIN_MESSAGE_MAP(CSampleCheck, CStatic)
    ON_CONTROL_REFLECT_EX(STN_CLICKED, OnClicked)
END_MESSAGE_MAP()

void CSampleCheck::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);
    CStatic::PreSubclassWindow();
}

// FALSE: the page hears of the click too, after the mark has flipped.
BOOL CSampleCheck::OnClicked()
{
    m_bChecked = !m_bChecked;
    CString strText;
    strText.Format("%s %s", m_bChecked ? "[x]" : "[ ]", CHECK_TEXT);
    SetWindowText(strText);
    SampleLog("check flips to %d", m_bChecked);
    return FALSE;
}

void CSampleButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC *pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    CRect rect(lpDrawItemStruct->rcItem);
    const BOOL bPressed = (lpDrawItemStruct->itemState & ODS_SELECTED) != 0;
    pDC->FillSolidRect(&rect, bPressed ? SLATE_BLUE : LIGHT_BLUE);
    HBRUSH hFrame = ::CreateSolidBrush(SLATE);
    ::FrameRect(lpDrawItemStruct->hDC, &rect, hFrame);
    ::DeleteObject(hFrame);

    // Pressed, the face moves by a pixel.
    if (bPressed)
        rect.OffsetRect(1, 1);
    CString strText;
    GetWindowText(strText);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(bPressed ? RGB(255, 255, 255) : SLATE);
    pDC->DrawText(strText, &rect, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
}

BEGIN_MESSAGE_MAP(CSampleList, CListCtrl)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(NM_RCLICK, OnRightClick)
    ON_COMMAND(ID_LIST_MARK, OnMark)
END_MESSAGE_MAP()

void CSampleList::Fill()
{
    InsertColumn(0, "Program", LVCFMT_LEFT, 200);
    InsertColumn(1, "Rule", LVCFMT_LEFT, 140);
    static const char *const rows[][2] = {
        {"Browser", "Allow"}, {"Mail", "Ask"}, {"Updater", "Allow"}, {"Game", "Deny"}};
    for (int i = 0; i < 4; ++i)
    {
        InsertItem(i, rows[i][0]);
        SetItemText(i, 1, rows[i][1]);
    }
}

// Every other row on the light blue.
void CSampleList::OnCustomDraw(NMHDR *pNMHDR, LRESULT *pResult)
{
    NMLVCUSTOMDRAW *pDraw = reinterpret_cast<NMLVCUSTOMDRAW *>(pNMHDR);
    *pResult = CDRF_DODEFAULT;
    if (pDraw->nmcd.dwDrawStage == CDDS_PREPAINT)
        *pResult = CDRF_NOTIFYITEMDRAW;
    else if (pDraw->nmcd.dwDrawStage == CDDS_ITEMPREPAINT && pDraw->nmcd.dwItemSpec % 2 == 1)
        pDraw->clrTextBk = LIGHT_BLUE;
}

void CSampleList::OnRightClick(NMHDR *pNMHDR, LRESULT *pResult)
{
    *pResult = 0;
    const NMITEMACTIVATE *pClick = reinterpret_cast<NMITEMACTIVATE *>(pNMHDR);
    if (pClick->iItem < 0)
        return;
    m_nMenuRow = pClick->iItem;
    CPoint point(pClick->ptAction);
    ClientToScreen(&point);
    CMenu menu;
    menu.LoadMenu(IDR_SAMPLE_MENUS);
    SampleLog("list menu opens on row %d, owned by the list", m_nMenuRow);
    menu.GetSubMenu(0)->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}

void CSampleList::OnMark()
{
    SampleLog("list marks row %d", m_nMenuRow);
}

BEGIN_MESSAGE_MAP(CSamplePage, CDialog)
    ON_STN_CLICKED(IDC_CHECK, OnCheckClicked)
    ON_EN_CHANGE(IDC_NUMBER, OnNumberChange)
    ON_BN_CLICKED(IDC_SAVE, OnSave)
    ON_MESSAGE(WM_CONTEXTMENU, OnContextMenu)
END_MESSAGE_MAP()

CSamplePage::CSamplePage() : CDialog(IDD_SAMPLE_PAGE), m_strName("Browser")
{
}

void CSamplePage::DoDataExchange(CDataExchange *pDX)
{
    DDX_Control(pDX, IDC_CHECK, m_check);
    DDX_Control(pDX, IDC_SAVE, m_save);
    DDX_Control(pDX, IDC_LIST, m_list);
    DDX_Text(pDX, IDC_NAME, m_strName);
    DDX_Text(pDX, IDC_NUMBER, m_nNumber);
}

BOOL CSamplePage::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_list.Fill();
    return TRUE;
}

void CSamplePage::OnOK()
{
    SampleLog("page OnOK");
}

void CSamplePage::OnCancel()
{
    SampleLog("page OnCancel");
}

BOOL CSamplePage::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (lParam == 0)
        SampleLog("page command %u", static_cast<unsigned>(LOWORD(wParam)));
    return CDialog::OnCommand(wParam, lParam);
}

void CSamplePage::OnCheckClicked()
{
    SampleLog("page reads check %d", m_check.m_bChecked);
}

void CSamplePage::OnNumberChange()
{
    CString strText;
    GetDlgItemText(IDC_NUMBER, strText);
    SampleLog("number change '%s'", static_cast<LPCTSTR>(strText));
}

void CSamplePage::OnSave()
{
    const BOOL bSaved = UpdateData(TRUE);
    SampleLog("save %d: name '%s' number %d", bSaved, static_cast<LPCTSTR>(m_strName), m_nNumber);
}

// The page's own menu, on a right click on the page itself; its command is
// one the page does not handle.
LRESULT CSamplePage::OnContextMenu(WPARAM wParam, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(wParam) != m_hWnd)
        return 0;
    CMenu menu;
    menu.LoadMenu(IDR_SAMPLE_MENUS);
    SampleLog("page menu opens");
    menu.GetSubMenu(1)->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON,
                                       static_cast<short>(LOWORD(lParam)),
                                       static_cast<short>(HIWORD(lParam)), this);
    return 0;
}
