#include "SkinBitmap.h"

#include "KitMissReport.h"

namespace {

// The widest and highest picture a window of the console shows. A larger
// one is refused like a damaged file: the skin folder may be written by
// others, and a small compressed file can claim a picture of gigabytes.
const LONG kLargestPictureSide = 4096;

bool FitsAWindow(LONGLONG width, LONGLONG height)
{
    if (width < 0)
        width = -width;
    if (height < 0)
        height = -height;
    return width <= kLargestPictureSide && height <= kLargestPictureSide;
}

// The bytes of a whole file in a movable global block, or NULL.
HGLOBAL ReadFileToBlock(LPCTSTR path, DWORD *size, LPCTSTR *why)
{
    // No sharing: a picture that another program is writing is not read.
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *why = "the file cannot be opened";
        return nullptr;
    }
    *size = GetFileSize(file, nullptr);
    HGLOBAL block = nullptr;
    if (*size == 0 || *size == INVALID_FILE_SIZE) {
        *why = "the file is empty or its size unknown";
    } else if (!(block = GlobalAlloc(GMEM_MOVEABLE, *size))) {
        *why = "there is no memory for the file";
    } else {
        DWORD read = 0;
        const BOOL ok = ReadFile(file, GlobalLock(block), *size, &read, nullptr);
        GlobalUnlock(block);
        if (!ok || read != *size) {
            *why = "the file cannot be read whole";
            block = GlobalFree(block);
        }
    }
    CloseHandle(file);
    return block;
}

// False for a bitmap file whose pixels end before its header says they do.
// The picture loader would fill the missing rows with whatever it finds.
// Other kinds of picture are left to the loader.
bool IsBitmapFileWhole(const BYTE *bytes, DWORD size)
{
    if (size < 2 || bytes[0] != 'B' || bytes[1] != 'M')
        return true;
    if (size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPCOREHEADER))
        return false;
    const auto *file = reinterpret_cast<const BITMAPFILEHEADER *>(bytes);
    const auto *info = reinterpret_cast<const BITMAPINFOHEADER *>(bytes + sizeof(BITMAPFILEHEADER));
    if (file->bfOffBits >= size)
        return false;
    DWORD pixelBytes = 0;
    if (info->biSize == sizeof(BITMAPCOREHEADER)) {
        const auto *core = reinterpret_cast<const BITMAPCOREHEADER *>(info);
        pixelBytes = ((core->bcWidth * core->bcBitCount + 31) / 32) * 4 * core->bcHeight;
    } else if (size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) {
        return false;
    } else if (info->biCompression == BI_RGB || info->biCompression == BI_BITFIELDS) {
        const ULONGLONG stride = ((static_cast<ULONGLONG>(info->biWidth) * info->biBitCount + 31) / 32) * 4;
        const ULONGLONG rows = info->biHeight < 0 ? -static_cast<LONGLONG>(info->biHeight) : info->biHeight;
        const ULONGLONG needed = stride * rows;
        if (needed > size)
            return false;
        pixelBytes = static_cast<DWORD>(needed);
    } else {
        pixelBytes = info->biSizeImage;
    }
    return static_cast<ULONGLONG>(file->bfOffBits) + pixelBytes <= size;
}

// False for a bitmap file whose header claims a picture larger than a window:
// refused before the loader makes its pixels. Other kinds of picture are
// measured once loaded.
bool IsBitmapFileFitForAWindow(const BYTE *bytes, DWORD size)
{
    if (size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPCOREHEADER) || bytes[0] != 'B' || bytes[1] != 'M')
        return true;
    const auto *info = reinterpret_cast<const BITMAPINFOHEADER *>(bytes + sizeof(BITMAPFILEHEADER));
    if (info->biSize == sizeof(BITMAPCOREHEADER)) {
        const auto *core = reinterpret_cast<const BITMAPCOREHEADER *>(info);
        return FitsAWindow(core->bcWidth, core->bcHeight);
    }
    if (size < sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER))
        return true;
    return FitsAWindow(info->biWidth, info->biHeight);
}

} // namespace

IPicture *CSkinBitmap::LoadPicture(LPCTSTR path, LPCTSTR *why)
{
    DWORD size = 0;
    HGLOBAL block = ReadFileToBlock(path, &size, why);
    if (!block)
        return nullptr;
    const BYTE *bytes = static_cast<const BYTE *>(GlobalLock(block));
    const bool whole = IsBitmapFileWhole(bytes, size);
    const bool fits = IsBitmapFileFitForAWindow(bytes, size);
    GlobalUnlock(block);
    if (!whole || !fits) {
        GlobalFree(block);
        *why = !whole ? "the bitmap file is cut short" : "the picture is larger than a window";
        return nullptr;
    }
    IStream *stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
        GlobalFree(block);
        *why = "no stream over the file's bytes";
        return nullptr;
    }
    // The stream frees the block when it goes.
    IPicture *picture = nullptr;
    const HRESULT loaded = OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                          reinterpret_cast<LPVOID *>(&picture));
    stream->Release();
    if (FAILED(loaded) || !picture) {
        *why = "the file is no picture";
        return nullptr;
    }
    SHORT type = PICTYPE_UNINITIALIZED;
    if (FAILED(picture->get_Type(&type)) || type != PICTYPE_BITMAP) {
        picture->Release();
        *why = "the picture is no bitmap";
        return nullptr;
    }
    return picture;
}

BOOL CSkinBitmap::Load(LPCTSTR path)
{
    Release();
    LPCTSTR why = "";
    IPicture *picture = LoadPicture(path, &why);
    OLE_HANDLE handle = 0;
    BITMAP info = {};
    if (picture) {
        if (FAILED(picture->get_Handle(&handle)) ||
            !GetObjectA(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)), sizeof info, &info)) {
            picture->Release();
            picture = nullptr;
            why = "the picture's bitmap cannot be read";
        } else if (!FitsAWindow(info.bmWidth, info.bmHeight)) {
            picture->Release();
            picture = nullptr;
            why = "the picture is larger than a window";
        }
    }
    if (!picture) {
        ReportKitMiss(KIT_PICTURE_NOT_LOADED, path, why);
        return FALSE;
    }
    m_picture = picture;
    m_bitmap.Attach(reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle)));
    m_size.cx = info.bmWidth;
    m_size.cy = info.bmHeight;
    m_loaded = TRUE;
    return TRUE;
}

void CSkinBitmap::Release()
{
    m_loaded = FALSE;
    m_bitmap.Detach();
    m_size.cx = m_size.cy = 0;
    if (m_picture) {
        m_picture->Release();
        m_picture = nullptr;
    }
}

void CSkinBitmap::Draw(const RECT &rect, CDC *pDC, DWORD rop, int srcX, int srcY)
{
    if (!m_loaded || !pDC)
        return;
    CDC source;
    if (!source.CreateCompatibleDC(pDC))
        return;
    CBitmap *old = source.SelectObject(&m_bitmap);
    pDC->BitBlt(rect.left, rect.top, rect.right, rect.bottom, &source, srcX, srcY, rop);
    source.SelectObject(old);
}

void CSkinBitmap::DrawMasked(int x, int y, CDC *pDC)
{
    const int half = m_size.cy / 2;
    const RECT rect = {x, y, m_size.cx, half};
    Draw(rect, pDC, SRCAND, 0, half);     // the mask clears where the image goes
    Draw(rect, pDC, SRCINVERT, 0, 0);     // the image fills it
}

void CSkinBitmap::DrawStretched(int left, int top, int right, int bottom, CDC *pDC, DWORD rop)
{
    if (!m_loaded || !pDC)
        return;
    CDC source;
    if (!source.CreateCompatibleDC(pDC))
        return;
    CBitmap *old = source.SelectObject(&m_bitmap);
    pDC->StretchBlt(left, top, right - left, bottom - top, &source, 0, 0, m_size.cx, m_size.cy, rop);
    source.SelectObject(old);
}
