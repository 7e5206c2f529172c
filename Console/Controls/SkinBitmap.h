// CSkinBitmap: one skin picture, loaded from a file by the system's picture
// loader and drawn plain, over its mask, or stretched.
//
// A picture with a mask holds the image in its upper half (black where the
// background shows through) and the mask in its lower half (black where the
// image covers, white where the background shows). A picture that did not
// load draws nothing.
#pragma once

#include <CBitmap.h>
#include <CDC.h>

#include <ole2.h>
#include <olectl.h>

class CSkinBitmap
{
public:
    CSkinBitmap() {}
    virtual ~CSkinBitmap() { Release(); }

    CSkinBitmap(const CSkinBitmap &) = delete;
    CSkinBitmap &operator=(const CSkinBitmap &) = delete;

    // TRUE when the file held a bitmap picture of at most 4096 pixels a
    // side (a larger one counts as damaged). On failure the object holds
    // no picture, draws nothing and has the size 0 x 0; the failure is
    // reported (KIT_PICTURE_NOT_LOADED).
    BOOL Load(LPCTSTR path);
    BOOL IsLoaded() const { return m_loaded; }

    // rect holds x, y, width and height (not right and bottom).
    void Draw(const RECT &rect, CDC *pDC, DWORD rop, int srcX, int srcY);
    // The image over its mask, with its top-left corner at (x, y).
    void DrawMasked(int x, int y, CDC *pDC);
    // The whole picture into the rectangle from (left, top) to (right, bottom).
    void DrawStretched(int left, int top, int right, int bottom, CDC *pDC, DWORD rop);

    // Read by the controls that cut a picture into pieces. The bitmap
    // belongs to the picture: never delete it.
    CBitmap m_bitmap;
    SIZE m_size = {0, 0};

private:
    // Lets go of the picture, the bitmap it owns and the size.
    void Release();
    // Makes the picture from a file's bytes; NULL with *why set on failure.
    static IPicture *LoadPicture(LPCTSTR path, LPCTSTR *why);

    BOOL m_loaded = FALSE;
    IPicture *m_picture = nullptr;
};
