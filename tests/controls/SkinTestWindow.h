// A skinned window for the tests: it loads the pieces of one kind of window
// from a skin folder and paints them in that kind's order.
#pragma once

#include "SkinTestIds.h"

#include <CPaintDC.h>
#include <MemoryDC.h>
#include <SkinDialog.h>

#include <string>
#include <vector>

using Painter = void (CSkinDialog::*)(CDC *);

// The nineteen pieces, in the base's order.
enum Piece {
    TitleLeft, TitleMiddle, TitleRight, BottomLeft, BottomMiddle, BottomRight, LeftBorder,
    RightBorder, SizeGrip, ToolBar, ClientTopLeft, ClientTopMiddle, ClientTopRight,
    ClientBottomLeft, ClientBottomMiddle, ClientBottomRight, ClientLeft, ClientRight, ClientFill,
    PieceCount
};

// One kind of window: the file of each piece (NULL: not loaded) and the
// painters in the kind's order.
struct WindowKind {
    const char *name;
    const char *files[PieceCount];
    std::vector<Painter> order;
};

class CSkinTestWindow : public CSkinDialog
{
public:
    CSkinTestWindow(UINT templateId, const WindowKind &kind, const std::string &skinFolder)
        : CSkinDialog(templateId, NULL, kind.name), m_kind(kind), m_folder(skinFolder)
    {
    }

    BOOL OnInitDialog() override
    {
        CSkinDialog::OnInitDialog();
        for (int piece = 0; piece < PieceCount; ++piece) {
            if (m_kind.files[piece])
                Bitmap(piece).Load((m_folder + m_kind.files[piece]).c_str());
        }
        return TRUE;
    }

    CSkinBitmap &Bitmap(int piece)
    {
        static CSkinBitmap CSkinTestWindow::*const members[PieceCount] = {
            &CSkinTestWindow::m_titleLeft, &CSkinTestWindow::m_titleMiddle,
            &CSkinTestWindow::m_titleRight, &CSkinTestWindow::m_bottomLeft,
            &CSkinTestWindow::m_bottomMiddle, &CSkinTestWindow::m_bottomRight,
            &CSkinTestWindow::m_leftBorder, &CSkinTestWindow::m_rightBorder,
            &CSkinTestWindow::m_sizeGrip, &CSkinTestWindow::m_toolBar,
            &CSkinTestWindow::m_clientTopLeft, &CSkinTestWindow::m_clientTopMiddle,
            &CSkinTestWindow::m_clientTopRight, &CSkinTestWindow::m_clientBottomLeft,
            &CSkinTestWindow::m_clientBottomMiddle, &CSkinTestWindow::m_clientBottomRight,
            &CSkinTestWindow::m_clientLeft, &CSkinTestWindow::m_clientRight,
            &CSkinTestWindow::m_clientFill,
        };
        return this->*members[piece];
    }
    SIZE PieceSize(int piece) { return Bitmap(piece).m_size; }

    void SetFlags(BOOL captionDrag, BOOL resize)
    {
        m_bCaptionDrag = captionDrag;
        m_bResize = resize;
    }
    void SetHelpTopic(const char *topic) { m_helpTopic = topic; }
    CSkinLabel &CaptionText() { return m_captionText; }
    CSkinLabel &CaptionShadow() { return m_captionShadow; }

    const WindowKind &Kind() const { return m_kind; }

protected:
    afx_msg void OnPaint()
    {
        CPaintDC dc(this);
        CMemoryDC memory(&dc);
        for (Painter painter : m_kind.order)
            (this->*painter)(&memory);
    }
    afx_msg BOOL OnEraseBkgnd(CDC *) { return TRUE; }

private:
    const WindowKind &m_kind;
    std::string m_folder;

    DECLARE_MESSAGE_MAP()
};

// The painting orders of the kinds of window.
namespace PaintingOrder {
const std::vector<Painter> Main = {&CSkinDialog::DrawTop, &CSkinDialog::DrawLeft,
                                   &CSkinDialog::DrawRight, &CSkinDialog::DrawClient,
                                   &CSkinDialog::DrawBottom, &CSkinDialog::DrawSizeBox,
                                   &CSkinDialog::DrawToolBar};
const std::vector<Painter> Page = {&CSkinDialog::DrawTop, &CSkinDialog::DrawClient};
const std::vector<Painter> Privacy = {&CSkinDialog::DrawClient};
const std::vector<Painter> Dialog = {&CSkinDialog::DrawTop, &CSkinDialog::DrawLeft,
                                     &CSkinDialog::DrawRight, &CSkinDialog::DrawClient,
                                     &CSkinDialog::DrawBottom};
const std::vector<Painter> Popup = {&CSkinDialog::DrawClient, &CSkinDialog::DrawLeft,
                                    &CSkinDialog::DrawRight, &CSkinDialog::DrawBottom,
                                    &CSkinDialog::DrawTop};
const std::vector<Painter> Query = {&CSkinDialog::DrawLeft, &CSkinDialog::DrawRight,
                                    &CSkinDialog::DrawClient, &CSkinDialog::DrawBottom};
} // namespace PaintingOrder
