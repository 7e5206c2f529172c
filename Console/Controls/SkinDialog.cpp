#include "SkinDialog.h"

#include <CRgn.h>
#include <CWinApp.h>

namespace {

// The drag band at the top of a window that moves by it.
const int DRAG_BAND_TOP = 4;
const int DRAG_BAND_BOTTOM = 30;
// The left and top borders are this wide; the right and bottom ones one less.
const int BORDER = 3;
// The grip covers the last fourteen pixels each way.
const int GRIP = 15;
// The size grip's corner, whatever the picture's size.
const int GRIP_OFFSET = 16;

const UINT CAPTION_ID = 65535;

int Width(const CSkinBitmap &piece) { return piece.m_size.cx; }
int Height(const CSkinBitmap &piece) { return piece.m_size.cy; }

// The piece at its own size, with its top-left corner at (x, y), cut to
// `rows` rows.
void DrawAt(CSkinBitmap &piece, CDC *pDC, int x, int y, int rows)
{
    piece.Draw(RECT{x, y, Width(piece), rows}, pDC, SRCCOPY, 0, 0);
}

void DrawAt(CSkinBitmap &piece, CDC *pDC, int x, int y)
{
    DrawAt(piece, pDC, x, y, Height(piece));
}

void Stretch(CSkinBitmap &piece, CDC *pDC, int left, int top, int right, int bottom)
{
    piece.DrawStretched(left, top, right, bottom, pDC, SRCCOPY);
}

} // namespace

BEGIN_MESSAGE_MAP(CSkinDialog, CDialog)
    ON_WM_NCHITTEST()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CSkinDialog::CSkinDialog(UINT nIDTemplate, CWnd *pParent, LPCTSTR /*captionText*/)
    : CDialog(nIDTemplate, pParent)
{
}

BOOL CSkinDialog::OnInitDialog()
{
    return CDialog::OnInitDialog();
}

void CSkinDialog::OnOK()
{
    EndDialog(IDOK);
}

void CSkinDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

SIZE CSkinDialog::ClientSize() const
{
    CRect client;
    GetClientRect(&client);
    return SIZE{client.Width(), client.Height()};
}

CRect CSkinDialog::ClientFrame() const
{
    SIZE size = ClientSize();
    return CRect(Width(m_leftBorder), Height(m_titleMiddle) + Height(m_toolBar),
                 size.cx - Width(m_rightBorder), size.cy - Height(m_bottomMiddle));
}

void CSkinDialog::LoadPagePieces(const CString &skinFolder, LPCTSTR titlePicture)
{
    const struct {
        CSkinBitmap *piece;
        LPCTSTR file;
    } pieces[] = {
        {&m_titleLeft, titlePicture},
        {&m_titleMiddle, "SubTitle_Mid.bmp"},
        {&m_clientTopLeft, "SubClientTop_Left.bmp"},
        {&m_clientTopMiddle, "SubClientTop_Mid.bmp"},
        {&m_clientTopRight, "SubClientTop_Right.bmp"},
        {&m_clientBottomLeft, "SubClientBottom_Left.bmp"},
        {&m_clientBottomMiddle, "SubClientBottom_Mid.bmp"},
        {&m_clientBottomRight, "SubClientBottom_Right.bmp"},
        {&m_clientLeft, "SubClientLeft.bmp"},
        {&m_clientRight, "SubClientRight.bmp"},
        {&m_clientFill, "SubFram.bmp"},
    };
    for (const auto &piece : pieces)
        piece.piece->Load(skinFolder + piece.file);
}

void CSkinDialog::LoadPopupPieces(const CString &skinFolder)
{
    const struct {
        CSkinBitmap *piece;
        LPCTSTR file;
    } pieces[] = {
        {&m_titleLeft, "Title2_Left.bmp"},       {&m_titleMiddle, "Title_Mid.bmp"},
        {&m_titleRight, "Title_Right.bmp"},      {&m_bottomLeft, "Pop_Bottom_Left.bmp"},
        {&m_bottomMiddle, "Pop_Bottom_Mid.bmp"}, {&m_bottomRight, "Pop_Bottom_Right.bmp"},
        {&m_leftBorder, "Left.bmp"},             {&m_rightBorder, "Right.bmp"},
        {&m_clientFill, "SubFram.bmp"},
    };
    for (const auto &piece : pieces)
        piece.piece->Load(skinFolder + piece.file);
}

void CSkinDialog::SetWindowRegion()
{
    SIZE size = ClientSize();
    const int w = size.cx, h = size.cy;
    CRgn window;
    if (!window.CreateRectRgn(0, 0, w, h))
        return;
    const RECT notches[] = {
        {0, 0, 2, 1},         {0, 0, 1, 2},         // top left
        {0, h - 1, 2, h},     {0, h - 2, 1, h},     // bottom left
        {w - 2, 0, w, 1},     {w - 1, 0, w, 2},     // top right
        {w - 2, h - 1, w, h}, {w - 1, h - 2, w, h}, // bottom right
    };
    for (const RECT &notch : notches) {
        CRgn cut;
        if (cut.CreateRectRgnIndirect(&notch))
            window.CombineRgn(&window, &cut, RGN_DIFF);
    }
    if (SetWindowRgn(window, TRUE))
        window.Detach();
}

void CSkinDialog::CreateCaption(LPCTSTR text)
{
    CreateCaptionPair(text, RECT{10, 8, 360, 24}, RGB(255, 255, 255), RECT{9, 7, 360, 24},
                      RGB(0, 0, 0), "Arial", -14, FW_BOLD, FALSE, FALSE);
}

void CSkinDialog::CreateCaptionEx(LPCTSTR text, LPCTSTR face, COLORREF textColor, int height,
                                  int weight, BYTE italic, BYTE underline)
{
    CreateCaptionPair(text, RECT{2, 4, 200, 18}, RGB(0, 0, 0), RECT{1, 3, 200, 18}, textColor,
                      face, height, weight, italic, underline);
}

// The shadow goes first, so that the text lies over it.
void CSkinDialog::CreateCaptionPair(LPCTSTR text, const RECT &shadowRect, COLORREF shadowColor,
                                    const RECT &textRect, COLORREF textColor, LPCTSTR face,
                                    int height, int weight, BYTE italic, BYTE underline)
{
    if (!text)
        return;
    struct Layer { CSkinLabel &label; const RECT &rect; COLORREF color; };
    const Layer layers[] = {{m_captionShadow, shadowRect, shadowColor},
                            {m_captionText, textRect, textColor}};
    for (const Layer &layer : layers) {
        layer.label.Create(text, WS_CHILD | WS_VISIBLE, layer.rect, this, CAPTION_ID);
        layer.label.SetTextColor(layer.color);
        layer.label.SetLabelFont(face, height, weight, italic, underline, FALSE);
    }
}

void CSkinDialog::SetCaptionText(LPCTSTR text)
{
    CSkinLabel *labels[] = {&m_captionShadow, &m_captionText};
    for (CSkinLabel *label : labels)
        label->ShowWindow(SW_HIDE);
    for (CSkinLabel *label : labels)
        label->SetWindowText(text);
    for (CSkinLabel *label : labels)
        label->ShowWindow(SW_SHOW);
}

void CSkinDialog::DrawTop(CDC *pDC)
{
    const int w = ClientSize().cx, band = Height(m_titleLeft);
    DrawAt(m_titleLeft, pDC, 0, 0);
    Stretch(m_titleMiddle, pDC, Width(m_titleLeft), 0, w - Width(m_titleRight), band);
    DrawAt(m_titleRight, pDC, w - Width(m_titleRight), 0, band);
}

void CSkinDialog::DrawBottom(CDC *pDC)
{
    SIZE size = ClientSize();
    DrawAt(m_bottomLeft, pDC, 0, size.cy - Height(m_bottomLeft));
    Stretch(m_bottomMiddle, pDC, Width(m_bottomLeft), size.cy - Height(m_bottomMiddle),
            size.cx - Width(m_bottomRight), size.cy);
    DrawAt(m_bottomRight, pDC, size.cx - Width(m_bottomRight), size.cy - Height(m_bottomRight));
}

void CSkinDialog::DrawLeft(CDC *pDC)
{
    Stretch(m_leftBorder, pDC, 0, Height(m_titleLeft), Width(m_leftBorder),
            ClientSize().cy - Height(m_bottomLeft));
}

void CSkinDialog::DrawRight(CDC *pDC)
{
    SIZE size = ClientSize();
    Stretch(m_rightBorder, pDC, size.cx - Width(m_rightBorder), Height(m_titleRight), size.cx,
            size.cy - Height(m_bottomRight));
}

void CSkinDialog::DrawToolBar(CDC *pDC)
{
    const int top = Height(m_titleMiddle);
    Stretch(m_toolBar, pDC, Width(m_leftBorder), top, ClientSize().cx - Width(m_rightBorder),
            top + Height(m_toolBar));
}

void CSkinDialog::DrawClient(CDC *pDC)
{
    CRect area = ClientFrame();
    Stretch(m_clientFill, pDC, area.left, area.top, area.right, area.bottom);
    DrawClientTop(pDC);
    DrawClientBottom(pDC);
    Stretch(m_clientLeft, pDC, area.left, area.top + Height(m_clientTopLeft),
            area.left + Width(m_clientLeft), area.bottom - Height(m_clientBottomLeft));
    Stretch(m_clientRight, pDC, area.right - Width(m_clientRight),
            area.top + Height(m_clientTopRight), area.right,
            area.bottom - Height(m_clientBottomRight));
}

void CSkinDialog::DrawClientTop(CDC *pDC)
{
    CRect area = ClientFrame();
    DrawAt(m_clientTopLeft, pDC, area.left, area.top);
    Stretch(m_clientTopMiddle, pDC, area.left + Width(m_clientTopLeft), area.top,
            area.right - Width(m_clientTopRight), area.top + Height(m_clientTopMiddle));
    DrawAt(m_clientTopRight, pDC, area.right - Width(m_clientTopRight), area.top);
}

void CSkinDialog::DrawClientBottom(CDC *pDC)
{
    CRect area = ClientFrame();
    const int top = area.bottom - Height(m_clientBottomMiddle);
    DrawAt(m_clientBottomLeft, pDC, area.left, top);
    Stretch(m_clientBottomMiddle, pDC, area.left + Width(m_clientBottomLeft), top,
            area.right - Width(m_clientBottomRight), area.bottom);
    DrawAt(m_clientBottomRight, pDC, area.right - Width(m_clientBottomRight), top);
}

void CSkinDialog::DrawSizeBox(CDC *pDC)
{
    SIZE size = ClientSize();
    m_sizeGrip.DrawMasked(size.cx - GRIP_OFFSET, size.cy - GRIP_OFFSET, pDC);
}

UINT CSkinDialog::HitTestBorder(POINT client, SIZE size)
{
    const int x = client.x, y = client.y, w = size.cx, h = size.cy;
    const bool top = y < BORDER;
    const bool bottom = h - BORDER < y && y < h;
    if (w - GRIP < x && x < w && h - GRIP < y && y < h)
        return HTBOTTOMRIGHT;
    if (x < BORDER)
        return top ? HTTOPLEFT : bottom ? HTBOTTOMLEFT : HTLEFT;
    if (w - BORDER < x && x < w)
        return top ? HTTOPRIGHT : bottom ? HTBOTTOMRIGHT : HTRIGHT;
    return top ? HTTOP : bottom ? HTBOTTOM : HTCLIENT;
}

// Replaces the default processing entirely: the window has no frame that
// the system could find.
UINT CSkinDialog::OnNcHitTest(CPoint point)
{
    if (IsZoomed())
        return HTCLIENT;
    ScreenToClient(&point);
    if (m_bResize) {
        UINT border = HitTestBorder(point, ClientSize());
        if (border != HTCLIENT)
            return border;
    }
    if (!m_bCaptionDrag)
        return HTCLIENT;
    return DRAG_BAND_TOP <= point.y && point.y < DRAG_BAND_BOTTOM ? HTCAPTION : HTCLIENT;
}

void CSkinDialog::OnKeyDown(UINT nChar, UINT /*nRepCnt*/, UINT /*nFlags*/)
{
    if (nChar == VK_ESCAPE) {
        // A window may end itself, even delete its object, in OnCancel:
        // then nothing of it is touched again.
        HWND window = m_hWnd;
        OnCancel();
        if (CWnd::FromHandlePermanent(window) != this)
            return;
    } else if (nChar == VK_F1) {
        // The template id, not the control id: top-level windows and pages
        // made from templates have none.
        if (CWinApp *app = AfxGetApp())
            app->WinHelp(HID_BASE_RESOURCE + m_nIDHelp, HELP_CONTEXT);
    }
    Default();
}
