// CBitmapLayer: a memory context that holds a bitmap of its own for as long
// as the layer lives, for pictures that a control keeps between paintings
// (a button's strip, a slider's background, a graph's grid and curve).
//
// The context's own bitmap is kept as a handle and selected back before
// the layer's bitmap is deleted: a bitmap still selected cannot be deleted,
// and a temporary wrapper of the old bitmap would not outlive the message
// that made the layer.
#pragma once

#include <CBitmap.h>
#include <CDC.h>

class CBitmapLayer
{
public:
    CBitmapLayer() = default;
    ~CBitmapLayer() { Free(); }

    CBitmapLayer(const CBitmapLayer &) = delete;
    CBitmapLayer &operator=(const CBitmapLayer &) = delete;

    // Replaces the layer with a context compatible with pReference (the
    // screen for NULL) and a bitmap of the size, compatible with pReference
    // (with the new context for NULL), selected into it. FALSE, and no
    // layer, when either cannot be made.
    BOOL Create(CDC *pReference, int width, int height);
    // Selects the context's own bitmap back, then deletes the bitmap and the
    // context. TRUE when a layer ended so, with its bitmap deleted.
    BOOL Free();

    BOOL IsMade() const { return m_dc.GetSafeHdc() != NULL; }
    CDC &DC() { return m_dc; }
    // The bitmap's size; 0 x 0 without a layer.
    SIZE Size() const;

private:
    CDC m_dc;
    CBitmap m_bitmap;
    HGDIOBJ m_hOwnBitmap = NULL;
};
