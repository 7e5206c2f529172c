#include "ConsolePage.h"

#include "ConsoleSettings.h"
#include "MemoryDC.h"

#include <CPaintDC.h>

BEGIN_MESSAGE_MAP(CConsolePage, CSkinDialog)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

BOOL CConsolePage::OnInitDialog()
{
    CSkinDialog::OnInitDialog();
    const CString folder = ConsoleSkinFolder();
    struct Piece {
        CSkinBitmap *bitmap;
        LPCTSTR file;
    } const pieces[] = {
        {&m_titleLeft, m_titlePicture},
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
    for (const Piece &piece : pieces)
        piece.bitmap->Load(folder + piece.file);
    return TRUE;
}

BOOL CConsolePage::OnEraseBkgnd(CDC *)
{
    return TRUE;
}

void CConsolePage::OnPaint()
{
    CPaintDC paintDC(this);
    CMemoryDC dc(&paintDC);
    DrawTop(&dc);
    DrawClient(&dc);
}
