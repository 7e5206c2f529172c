// CMemoryDC: the double buffer of a painting handler. Everything drawn into
// it, in the target's coordinates, reaches the target in one copy when it
// goes. Over a printing target, or when no buffer can be made, it draws
// straight to the target instead.
#pragma once

#include <CBitmap.h>
#include <CDC.h>
#include <CRect.h>

class CMemoryDC : public CDC
{
public:
    // Buffers the target's clip box, filled first with the target's
    // background colour.
    explicit CMemoryDC(CDC *pDC);
    // Buffers the given rectangle and fills nothing: the caller paints
    // every pixel of it.
    CMemoryDC(CDC *pDC, const RECT &rect);
    ~CMemoryDC() override;

    BOOL IsBuffering() const { return m_isMemory; }

private:
    void Begin(CDC *pDC);
    bool MakeBuffer();
    void DrawStraight();

    CBitmap m_bitmap;
    HGDIOBJ m_oldBitmap = NULL; // the context's own, selected back at the end
    CDC *m_target;
    CRect m_rect;
    BOOL m_isMemory = FALSE;
};
