// GDI wrappers: who owns which handle, what SelectObject hands back, and
// the drawing members whose effect other code relies on.
#include "DibSurface.h"
#include "TestResources.h"

#include <CDC.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Made while static objects are constructed, as class-wide brushes are.
CBrush staticBrush(RGB(10, 20, 30));

bool IsLive(HGDIOBJ hObject)
{
    return ::GetObjectType(hObject) != 0;
}

TEST(GdiObject, BrushMadeDuringStaticInitialisationWorks)
{
    LOGBRUSH logBrush = {};
    ASSERT_EQ(sizeof(logBrush), static_cast<size_t>(staticBrush.GetObject(sizeof(logBrush), &logBrush)));
    EXPECT_EQ(static_cast<UINT>(BS_SOLID), logBrush.lbStyle);
    EXPECT_EQ(RGB(10, 20, 30), logBrush.lbColor);
}

TEST(GdiObject, DestructorDeletesTheAttachedObject)
{
    HGDIOBJ hPen;
    {
        CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
        hPen = pen.GetSafeHandle();
        ASSERT_TRUE(IsLive(hPen));
    }
    EXPECT_FALSE(IsLive(hPen));
}

TEST(GdiObject, DetachedBitmapOutlivesItsWrapper)
{
    HBITMAP hBitmap;
    {
        CBitmap bitmap;
        ASSERT_TRUE(bitmap.CreateBitmap(7, 5, 1, 1, NULL));
        hBitmap = static_cast<HBITMAP>(bitmap.Detach());
        EXPECT_EQ(NULL, bitmap.GetSafeHandle());
    }
    BITMAP info = {};
    ASSERT_EQ(static_cast<int>(sizeof(info)), ::GetObject(hBitmap, sizeof(info), &info));
    EXPECT_EQ(7, info.bmWidth);
    EXPECT_EQ(5, info.bmHeight);
    ::DeleteObject(hBitmap);
}

TEST(GdiObject, BitmapLoadsFromTheProgramsResources)
{
    CBitmap pattern;
    ASSERT_TRUE(pattern.LoadBitmap(IDB_TEST_PATTERN));
    BITMAP info = {};
    ASSERT_EQ(static_cast<int>(sizeof(info)), pattern.GetBitmap(&info));
    EXPECT_EQ(4, info.bmWidth);
    EXPECT_EQ(2, info.bmHeight);

    DibSurface surface(4, 2);
    CDC source;
    ASSERT_TRUE(source.CreateCompatibleDC(NULL));
    CBitmap *pOld = source.SelectObject(&pattern);
    CDC::FromHandle(surface.Dc())->BitBlt(0, 0, 4, 2, &source, 0, 0, SRCCOPY);
    source.SelectObject(pOld);
    EXPECT_EQ(RGB(255, 0, 0), surface.Pixel(0, 0));
    EXPECT_EQ(RGB(0, 255, 0), surface.Pixel(1, 0));
    EXPECT_EQ(RGB(0, 0, 255), surface.Pixel(2, 0));
    EXPECT_EQ(RGB(0, 0, 0), surface.Pixel(3, 1));
    AfxDeleteTempObjects();

    CBitmap missing;
    EXPECT_FALSE(missing.LoadBitmap(4321));
}

TEST(GdiObject, AttachToAHeldObjectFailsAndKeepsIt)
{
    CBrush brush(RGB(1, 2, 3));
    HGDIOBJ hHeld = brush.GetSafeHandle();
    HBRUSH hOther = ::CreateSolidBrush(RGB(4, 5, 6));

    EXPECT_FALSE(brush.Attach(hOther));
    EXPECT_FALSE(brush.CreateSolidBrush(RGB(7, 8, 9)));
    EXPECT_EQ(hHeld, brush.GetSafeHandle());
    EXPECT_TRUE(IsLive(hHeld));
    EXPECT_TRUE(IsLive(hOther));
    ::DeleteObject(hOther);

    CBrush empty;
    EXPECT_FALSE(empty.Attach(NULL));
    EXPECT_FALSE(empty.DeleteObject());
}

TEST(GdiObject, FontFromHandleOfNullIsNull)
{
    EXPECT_EQ(nullptr, CFont::FromHandle(NULL));
    HFONT hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    CFont *pFont = CFont::FromHandle(hFont);
    ASSERT_NE(nullptr, pFont);
    EXPECT_EQ(pFont, CFont::FromHandle(hFont)) << "one temporary per handle";
    LOGFONT logFont = {};
    EXPECT_EQ(static_cast<int>(sizeof(logFont)), pFont->GetLogFont(&logFont));
    AfxDeleteTempObjects();
    EXPECT_TRUE(IsLive(hFont));
}

TEST(GdiObject, RegionCombinesIntoAnExistingRegion)
{
    CRgn left, right, both;
    ASSERT_TRUE(left.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(right.CreateEllipticRgn(20, 0, 30, 10));
    ASSERT_TRUE(both.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(COMPLEXREGION, both.CombineRgn(&left, &right, RGN_OR));
    EXPECT_TRUE(both.PtInRegion(5, 5));
    EXPECT_TRUE(both.PtInRegion(25, 5));
    EXPECT_FALSE(both.PtInRegion(15, 5));

    const POINT triangle[] = {{0, 0}, {10, 0}, {0, 10}};
    CRgn polygon;
    ASSERT_TRUE(polygon.CreatePolygonRgn(triangle, 3, ALTERNATE));
    EXPECT_TRUE(polygon.PtInRegion(2, 2));
    EXPECT_FALSE(polygon.PtInRegion(8, 8));
}

TEST(GdiObject, WindowKeepsItsRegionAfterDetach)
{
    HWND hWnd = ::CreateWindowEx(0, "STATIC", "", WS_POPUP, 0, 0, 50, 40, NULL, NULL, NULL, NULL);
    ASSERT_NE(nullptr, hWnd);
    {
        CRgn region;
        ASSERT_TRUE(region.CreateRectRgn(0, 0, 20, 10));
        ASSERT_TRUE(::SetWindowRgn(hWnd, region, FALSE));
        region.Detach();
    }
    CRgn copy;
    ASSERT_TRUE(copy.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(SIMPLEREGION, ::GetWindowRgn(hWnd, copy));
    RECT box = {};
    ::GetRgnBox(copy, &box);
    EXPECT_EQ(20, box.right);
    EXPECT_EQ(10, box.bottom);
    ::DestroyWindow(hWnd);
}

TEST(DC, DestructorDeletesACompatibleDC)
{
    HDC hDC;
    {
        CDC dc;
        ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
        hDC = dc.GetSafeHdc();
        ASSERT_EQ(static_cast<DWORD>(OBJ_MEMDC), ::GetObjectType(hDC));
        EXPECT_FALSE(dc.CreateCompatibleDC(NULL)) << "already holds a DC";
    }
    EXPECT_EQ(0u, ::GetObjectType(hDC));
}

TEST(DC, TemporaryFromHandleNeverDeletesTheDC)
{
    HDC hDC = ::CreateCompatibleDC(NULL);
    CDC *pDC = CDC::FromHandle(hDC);
    ASSERT_NE(nullptr, pDC);
    EXPECT_EQ(hDC, pDC->m_hDC);
    EXPECT_EQ(hDC, pDC->m_hAttribDC);
    EXPECT_EQ(pDC, CDC::FromHandle(hDC));
    EXPECT_EQ(nullptr, CDC::FromHandle(NULL));
    AfxDeleteTempObjects();
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), ::GetObjectType(hDC));
    ::DeleteDC(hDC);
}

// Draws into another DC's handles, as a double buffer over a printer does,
// and gives them back before the base destructor runs.
class CBorrowingDC : public CDC
{
public:
    explicit CBorrowingDC(CDC *pTarget)
    {
        m_hDC = pTarget->m_hDC;
        m_hAttribDC = pTarget->m_hAttribDC;
    }
    ~CBorrowingDC() override { m_hDC = m_hAttribDC = NULL; }
};

TEST(DC, DestructorLeavesBorrowedHandles)
{
    CDC target;
    ASSERT_TRUE(target.CreateCompatibleDC(NULL));
    {
        CBorrowingDC borrower(&target);
        borrower.SetBkColor(RGB(9, 9, 9));
    }
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), ::GetObjectType(target.m_hDC));
    EXPECT_EQ(RGB(9, 9, 9), target.GetBkColor());
}

TEST(DC, FillSolidRectLeavesTheBackgroundColourSet)
{
    DibSurface surface(8, 8);
    CDC *pDC = CDC::FromHandle(surface.Dc());
    pDC->SetBkColor(RGB(255, 255, 255));
    pDC->FillSolidRect(2, 2, 3, 3, RGB(200, 10, 20));
    EXPECT_EQ(RGB(200, 10, 20), pDC->GetBkColor());
    EXPECT_EQ(RGB(200, 10, 20), surface.Pixel(2, 2));
    EXPECT_EQ(RGB(200, 10, 20), surface.Pixel(4, 4));
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(5, 5));

    const RECT rect = {0, 0, 1, 1};
    pDC->FillSolidRect(&rect, RGB(0, 0, 255));
    EXPECT_EQ(RGB(0, 0, 255), pDC->GetBkColor());
    EXPECT_EQ(RGB(0, 0, 255), surface.Pixel(0, 0));
    AfxDeleteTempObjects();
}

TEST(DC, SelectObjectHandsBackTheEarlierObjectAndRestoresIt)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    CPen first(PS_SOLID, 1, RGB(1, 1, 1));
    CPen second(PS_SOLID, 1, RGB(2, 2, 2));
    HGDIOBJ hOriginal = ::SelectObject(dc, first);

    CPen *pPrevious = dc.SelectObject(&second);
    ASSERT_NE(nullptr, pPrevious);
    EXPECT_NE(&first, pPrevious) << "a temporary, not the owner";
    EXPECT_EQ(first.GetSafeHandle(), pPrevious->GetSafeHandle());
    EXPECT_EQ(second.GetSafeHandle(), ::GetCurrentObject(dc, OBJ_PEN));

    CPen *pSecond = dc.SelectObject(pPrevious);
    EXPECT_EQ(first.GetSafeHandle(), ::GetCurrentObject(dc, OBJ_PEN));
    ASSERT_NE(nullptr, pSecond);
    EXPECT_EQ(second.GetSafeHandle(), pSecond->GetSafeHandle());

    AfxDeleteTempObjects();
    EXPECT_TRUE(IsLive(first.GetSafeHandle()));
    EXPECT_TRUE(IsLive(second.GetSafeHandle()));
    ::SelectObject(dc, hOriginal);
}

// A selection kept in a member past its message keeps the handle: the
// temporaries are gone after the idle clean-up, the handle restores.
TEST(DC, TheHandleFormRestoresASelectionAfterTheIdleCleanUp)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 8, 8));
    const HGDIOBJ hOwn = ::GetCurrentObject(dc, OBJ_BITMAP);

    EXPECT_EQ(hOwn, dc.SelectObject(bitmap.GetSafeHandle()));
    EXPECT_EQ(bitmap.GetSafeHandle(), ::GetCurrentObject(dc, OBJ_BITMAP));
    AfxDeleteTempObjects();
    EXPECT_EQ(bitmap.GetSafeHandle(), dc.SelectObject(hOwn));
    EXPECT_EQ(hOwn, ::GetCurrentObject(dc, OBJ_BITMAP));
    EXPECT_EQ(nullptr, dc.SelectObject(static_cast<HGDIOBJ>(NULL)));
    EXPECT_EQ(hOwn, ::GetCurrentObject(dc, OBJ_BITMAP));
    EXPECT_TRUE(bitmap.DeleteObject()) << "selected nowhere";
}

TEST(DC, SelectingNothingChangesNothing)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    HGDIOBJ hFont = ::GetCurrentObject(dc, OBJ_FONT);
    EXPECT_EQ(nullptr, dc.SelectObject(static_cast<CFont *>(NULL)));
    CFont noFont;
    EXPECT_EQ(nullptr, dc.SelectObject(&noFont));
    EXPECT_EQ(hFont, ::GetCurrentObject(dc, OBJ_FONT));
}

TEST(DC, ExtentsAndBackgroundComeFromTheAttributeDC)
{
    CDC output, attributes;
    ASSERT_TRUE(output.CreateCompatibleDC(NULL));
    ASSERT_TRUE(attributes.CreateCompatibleDC(NULL));
    CFont big;
    ASSERT_TRUE(big.CreateFont(-40, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                               CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial"));
    attributes.SelectObject(&big);
    ::SetBkColor(attributes, RGB(3, 4, 5));
    ::SetBkColor(output, RGB(6, 7, 8));
    const CSize bigExtent = attributes.GetTextExtent(CString("Wide"));
    const CSize smallExtent = output.GetTextExtent(CString("Wide"));
    ASSERT_GT(bigExtent.cy, smallExtent.cy);

    {
        CDC split;
        split.m_hDC = output;
        split.m_hAttribDC = attributes;
        EXPECT_EQ(bigExtent, split.GetTextExtent("Wide", 4));
        EXPECT_EQ(RGB(3, 4, 5), split.GetBkColor());
        // Settings go to both.
        split.SetTextColor(RGB(11, 12, 13));
        split.m_hDC = split.m_hAttribDC = NULL;
    }
    EXPECT_EQ(RGB(11, 12, 13), ::GetTextColor(output));
    EXPECT_EQ(RGB(11, 12, 13), ::GetTextColor(attributes));
    ::SelectObject(attributes, ::GetStockObject(SYSTEM_FONT));
    AfxDeleteTempObjects();
}

// What a skinned window does on each paint: a double buffer, a pen, a
// brush and a font, all put back and freed. The handles it made are kept
// so that the test can see them gone.
void PaintLikeASkin(CDC *pTarget, std::vector<HGDIOBJ> &made)
{
    CDC memory;
    memory.CreateCompatibleDC(pTarget);
    CBitmap buffer;
    buffer.CreateCompatibleBitmap(pTarget, 40, 30);
    CBitmap *pOldBitmap = memory.SelectObject(&buffer);
    CBrush back(RGB(30, 60, 90));
    const CRect all(0, 0, 40, 30);
    memory.FillRect(all, &back);
    CPen line(PS_SOLID, 1, RGB(255, 255, 255));
    CPen *pOldPen = memory.SelectObject(&line);
    memory.MoveTo(0, 0);
    memory.LineTo(40, 30);
    CFont font;
    font.CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Arial");
    CFont *pOldFont = memory.SelectObject(&font);
    memory.SetBkMode(TRANSPARENT);
    memory.TextOut(2, 2, CString("Skin"));
    pTarget->BitBlt(0, 0, 40, 30, &memory, 0, 0, SRCCOPY);
    memory.SelectObject(pOldFont);
    memory.SelectObject(pOldPen);
    memory.SelectObject(pOldBitmap);
    made = {memory.m_hDC, buffer.m_hObject, back.m_hObject, line.m_hObject, font.m_hObject};
}

TEST(DC, PaintCyclesLeaveNoGdiObjectBehind)
{
    DibSurface surface(40, 30);
    const DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    std::vector<HGDIOBJ> made;
    for (int cycle = 0; cycle < 200; ++cycle) {
        PaintLikeASkin(CDC::FromHandle(surface.Dc()), made);
        AfxDeleteTempObjects();
    }
    EXPECT_EQ(RGB(30, 60, 90), surface.Pixel(39, 0));
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(20, 15));
    ASSERT_EQ(5u, made.size());
    for (HGDIOBJ hObject : made) {
        EXPECT_NE(nullptr, hObject);
        EXPECT_FALSE(IsLive(hObject)) << hObject;
    }
    // Wine may report no count at all; where it does, it must not grow.
    const DWORD after = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (before != 0) {
        EXPECT_EQ(before, after);
    }
    EXPECT_EQ(static_cast<DWORD>(OBJ_MEMDC), ::GetObjectType(surface.Dc()));
}

struct DragCase
{
    const char *name;
    RECT last;      // {0,0,0,0}: no earlier frame
    SIZE lastSize;
    RECT next;
    SIZE nextSize;
};

class DrawDragRectTest : public ::testing::TestWithParam<DragCase>
{
};

// Drawing the next frame over the last one gives exactly what drawing the
// next frame alone on a clean surface gives.
TEST_P(DrawDragRectTest, MovingTheFrameLeavesOnlyTheNewFrame)
{
    const DragCase &c = GetParam();
    DibSurface moved(60, 50, RGB(40, 120, 200));
    DibSurface fresh(60, 50, RGB(40, 120, 200));
    CDC *pMoved = CDC::FromHandle(moved.Dc());
    CDC *pFresh = CDC::FromHandle(fresh.Dc());

    const bool hasLast = !::IsRectEmpty(&c.last);
    if (hasLast)
        pMoved->DrawDragRect(&c.last, c.lastSize, NULL, CSize(0, 0));
    pMoved->DrawDragRect(&c.next, c.nextSize, hasLast ? &c.last : NULL, c.lastSize);
    pFresh->DrawDragRect(&c.next, c.nextSize, NULL, CSize(0, 0));
    EXPECT_TRUE(moved.SameAs(fresh));
    AfxDeleteTempObjects();
}

INSTANTIATE_TEST_SUITE_P(
    Frames, DrawDragRectTest,
    ::testing::Values(DragCase{"first", {0, 0, 0, 0}, {0, 0}, {5, 5, 30, 20}, {2, 2}},
                      DragCase{"overlapping", {5, 5, 30, 20}, {2, 2}, {8, 6, 40, 30}, {2, 2}},
                      DragCase{"apart", {0, 0, 10, 10}, {3, 3}, {30, 30, 55, 45}, {3, 3}},
                      DragCase{"thicker", {5, 5, 30, 20}, {1, 1}, {5, 5, 30, 20}, {4, 4}},
                      DragCase{"thicker than half", {5, 5, 30, 20}, {2, 2}, {10, 10, 20, 16},
                               {20, 20}}),
    [](const ::testing::TestParamInfo<DragCase> &info) {
        std::string name = info.param.name;
        for (char &ch : name) {
            if (ch == ' ')
                ch = '_';
        }
        return name;
    });

TEST(DrawDragRect, InvertsTheBandOnlyAndErasesItself)
{
    DibSurface surface(40, 40, RGB(255, 255, 255));
    CDC *pDC = CDC::FromHandle(surface.Dc());
    CBrush black(RGB(0, 0, 0));
    CBrush white(RGB(255, 255, 255));
    const CRect frame(10, 10, 30, 30);

    pDC->DrawDragRect(frame, CSize(3, 2), NULL, CSize(0, 0), &white);
    EXPECT_EQ(RGB(0, 0, 0), surface.Pixel(10, 10));
    EXPECT_EQ(RGB(0, 0, 0), surface.Pixel(12, 20)) << "left band, 3 wide";
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(13, 20));
    EXPECT_EQ(RGB(0, 0, 0), surface.Pixel(20, 11)) << "top band, 2 high";
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(20, 12));
    EXPECT_EQ(RGB(0, 0, 0), surface.Pixel(29, 29));
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(30, 30)) << "outside";

    // The same frame as the last one, with a brush that changes nothing for
    // the new frame: the old one is taken away.
    pDC->DrawDragRect(frame, CSize(3, 2), frame, CSize(3, 2), &black, &white);
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(10, 10));
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(29, 29));

    // The default brush is a half-tone: neighbours differ.
    pDC->DrawDragRect(frame, CSize(3, 3), NULL, CSize(0, 0));
    EXPECT_NE(surface.Pixel(10, 10), surface.Pixel(11, 10));
    EXPECT_EQ(RGB(255, 255, 255), surface.Pixel(20, 20));
    AfxDeleteTempObjects();
}

} // namespace
