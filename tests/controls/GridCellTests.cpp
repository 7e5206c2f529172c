// The grid's cells on their own: the action cell's click boxes, what each
// picture cell draws from the shipped pictures, the base cell's insets,
// the header cells and the run-time classes.
#include "DibSectionDC.h"
#include "GridHost.h"

#include <SkinPalette.h>

namespace {

// A window that records what the action cells send it.
class CNotifyRecorder : public CWnd
{
public:
    CNotifyRecorder()
    {
        CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, NULL, NULL);
    }
    ~CNotifyRecorder() override { DestroyWindow(); }

    struct Sent
    {
        UINT message;
        WPARAM item;
        LPARAM subItem;
    };
    std::vector<Sent> sent;
    // The answer to the cells' messages.
    LRESULT answer = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= WM_USER) {
            sent.push_back(Sent{message, wParam, lParam});
            return answer;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

TEST(GridCellTest, TheActionBoxesTakeTheirClicksAndNothingAround)
{
    const int none = 9;
    struct Case
    {
        int x, y, expected;
    } cases[] = {
        {10, 5, none}, {11, 5, 0}, {19, 5, 0}, {20, 5, none}, {23, 5, none}, {24, 5, 1}, {31, 5, 1},
        {32, 5, none}, {36, 5, none}, {37, 5, 2}, {46, 5, 2}, {47, 5, none},
        {15, 1, none}, {15, 2, 0}, {15, 11, 0}, {15, 12, none}, {40, 1, none}, {40, 11, 2},
    };
    CNotifyRecorder recorder;
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "x " << c.x << " y " << c.y);
        CJActionCell cell;
        cell.m_value = none;
        cell.m_pNotifyWnd = &recorder;
        cell.m_notifyMessage = WM_ACTION_CELL_CHANGED;
        recorder.sent.clear();
        cell.OnClick(4, 3, c.x, c.y);
        EXPECT_EQ(cell.m_value, c.expected);
        if (c.expected == none) {
            EXPECT_TRUE(recorder.sent.empty());
        } else {
            ASSERT_EQ(recorder.sent.size(), 1u);
            EXPECT_EQ(recorder.sent[0].message, static_cast<UINT>(WM_ACTION_CELL_CHANGED));
            EXPECT_EQ(recorder.sent[0].item, 4u);
            EXPECT_EQ(recorder.sent[0].subItem, 3);
        }
    }
}

// A window that cannot keep the change refuses it, and the cell shows its
// old value again; any other answer keeps the new one.
TEST(GridCellTest, ARefusedChangeTakesTheOldValueBack)
{
    CNotifyRecorder recorder;
    const struct {
        LRESULT answer;
        int kept;
    } cases[] = {
        {CJActionCell::ACTION_CELL_REFUSED, 0},
        {0, 2},
        {2, 2},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "answer " << c.answer);
        CJActionCell cell;
        cell.m_value = 0;
        cell.m_pNotifyWnd = &recorder;
        cell.m_notifyMessage = WM_ACTION_CELL_CHANGED;
        recorder.answer = c.answer;
        recorder.sent.clear();
        cell.OnClick(1, 4, 40, 6);
        EXPECT_EQ(1u, recorder.sent.size());
        EXPECT_EQ(c.kept, cell.m_value);
    }
}

TEST(GridCellTest, TheChosenPictureSendsNothingAndNoWindowMeansSilence)
{
    CNotifyRecorder recorder;
    CJActionCell cell;
    cell.m_value = 1;
    cell.m_pNotifyWnd = &recorder;
    cell.m_notifyMessage = WM_ACTION_CELL_CHANGED;
    cell.OnClick(0, 2, 26, 6);
    EXPECT_TRUE(recorder.sent.empty());
    CJActionCell silent;
    silent.OnClick(0, 2, 40, 6);
    EXPECT_EQ(silent.m_value, 2);
}

TEST(GridCellTest, PictureCellsDrawTheShippedPicturesByValue)
{
    CProgramFolderFixture folder;
    const RECT rect = {10, 10, 70, 26};
    const COLORREF back = RGB(250, 250, 250);
    struct Case
    {
        CRuntimeClass *cellClass;
        int value;
        POINT probe; // relative to the cell
        COLORREF expected;
    } cases[] = {
        {RUNTIME_CLASS(CJActionCell), 0, {15, 7}, SkinPalette::CellPass},
        {RUNTIME_CLASS(CJActionCell), 1, {28, 7}, SkinPalette::CellQuery},
        {RUNTIME_CLASS(CJActionCell), 2, {42, 7}, SkinPalette::CellDeny},
        {RUNTIME_CLASS(CJActionCell), 1, {15, 7}, SkinPalette::White},
        {RUNTIME_CLASS(CJActionCell), 3, {15, 7}, back},
        {RUNTIME_CLASS(CJActionCell), -1, {42, 7}, back},
        {RUNTIME_CLASS(CJActiveCell), 0, {8, 7}, SkinPalette::Client},
        {RUNTIME_CLASS(CJActiveCell), 5, {8, 7}, SkinPalette::CellActive},
        {RUNTIME_CLASS(CJKeyCell), 0, {4, 7}, SkinPalette::CellKey},
        {RUNTIME_CLASS(CJKeyCell), 1, {4, 7}, back},
        {RUNTIME_CLASS(CJOptionCell), 7, {6, 8}, SkinPalette::Slate},
        // Around the pictures the background shows through their masks.
        {RUNTIME_CLASS(CJActionCell), 0, {5, 7}, back},
        {RUNTIME_CLASS(CJActiveCell), 5, {0, 0}, back},
    };
    for (bool loaded : {false, true}) {
        if (loaded) {
            ASSERT_TRUE(LoadGridCellPictures(folder.SkinFile("")));
        }
        for (const Case &c : cases) {
            SCOPED_TRACE(testing::Message() << c.cellClass->m_lpszClassName << " value " << c.value << " loaded "
                                            << loaded);
            CJBaseCell *cell = static_cast<CJBaseCell *>(c.cellClass->CreateObject());
            ASSERT_NE(cell, nullptr);
            cell->m_value = c.value;
            cell->m_text = "text is never drawn";
            DibSectionDC dc(100, 40, back);
            RECT r = rect;
            cell->Draw(&dc, &r, CDIS_SELECTED, DT_LEFT, RGB(255, 0, 0), RGB(0, 255, 0));
            EXPECT_TRUE(EqualRect(cell->GetRect(), &rect));
            const COLORREF pixel = dc.Pixel(rect.left + c.probe.x, rect.top + c.probe.y);
            EXPECT_EQ(pixel, loaded ? c.expected : back);
            EXPECT_EQ(dc.Count(RGB(255, 0, 0), RECT{0, 0, 100, 40}), 0);
            delete cell;
        }
    }
    ReleaseGridCellPictures();
}

TEST(GridCellTest, TheBaseCellInsetsItsTextAndKeepsTheImagesPlaceEvenWhenItDoesNotFit)
{
    GridHost grid;
    CGridList &list = grid.MakeList(RECT{10, 10, 300, 200});
    CImageList images;
    images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 1, 1);
    images.Add(LoadIconA(NULL, MAKEINTRESOURCEA(32516)));
    const COLORREF back = RGB(250, 250, 250);
    struct Case
    {
        bool imageList;
        int image;
        int width;
        int expectedLeft; // the rectangle's left after drawing
        bool iconDrawn;
    } cases[] = {
        {false, -1, 60, 4, false},
        {false, 0, 60, 4, false},  // an image without a list: no shift
        {true, -1, 60, 4, false},
        {true, 0, 60, 22, true},
        {true, 0, 12, 22, false},  // too narrow for the image: shifted all the same
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "list " << c.imageList << " image " << c.image << " width " << c.width);
        list.SetImageList(c.imageList ? &images : nullptr, LVSIL_NORMAL);
        CJBaseCell cell;
        cell.m_pOwner = &list;
        cell.m_image = c.image;
        cell.m_text = "Wx";
        DibSectionDC dc(100, 40, back);
        const RECT original = {10, 10, 10 + c.width, 30};
        RECT r = original;
        cell.Draw(&dc, &r, 0, DT_LEFT | DT_SINGLELINE, RGB(0, 0, 0), back);
        EXPECT_EQ(r.left, original.left + c.expectedLeft);
        EXPECT_EQ(r.right, original.right - 2);
        EXPECT_EQ(r.top, original.top + 1);
        EXPECT_TRUE(EqualRect(cell.GetRect(), &original));
        // The icon's colours: neither the background nor the black text.
        int iconPixels = 0;
        for (int x = original.left; x < original.left + 18; ++x)
            for (int y = 10; y < 30; ++y)
                iconPixels += dc.Pixel(x, y) != back && dc.Pixel(x, y) != RGB(0, 0, 0);
        EXPECT_EQ(iconPixels > 20, c.iconDrawn);
    }
    list.SetImageList(nullptr, LVSIL_NORMAL);
}

TEST(GridCellTest, CopyTakesTextAndValueOnly)
{
    CJBaseCell a, b;
    a.m_text = "a";
    a.m_value = 3;
    a.m_image = 4;
    b.m_image = 7;
    b.m_rect = RECT{1, 2, 3, 4};
    b.Copy(a);
    EXPECT_STREQ(b.m_text, "a");
    EXPECT_EQ(b.m_value, 3);
    EXPECT_EQ(b.m_image, 7);
    EXPECT_EQ(b.m_rect.right, 3);
    b.Copy(b);
    EXPECT_STREQ(b.m_text, "a");
}

TEST(GridCellTest, TheRunTimeClassesCreateOnlyThePictureAndIconCells)
{
    EXPECT_EQ(RUNTIME_CLASS(CJBaseCell)->CreateObject(), nullptr);
    EXPECT_EQ(RUNTIME_CLASS(CJHBaseCell)->CreateObject(), nullptr);
    for (CRuntimeClass *cellClass : {RUNTIME_CLASS(CJActionCell), RUNTIME_CLASS(CJActiveCell),
                                     RUNTIME_CLASS(CJKeyCell), RUNTIME_CLASS(CJOptionCell)}) {
        EXPECT_TRUE(cellClass->IsDerivedFrom(RUNTIME_CLASS(CJBaseCell))) << cellClass->m_lpszClassName;
        EXPECT_FALSE(cellClass->IsDerivedFrom(RUNTIME_CLASS(CJHBaseCell)));
        CObject *cell = cellClass->CreateObject();
        EXPECT_NE(cell, nullptr);
        delete cell;
    }
    EXPECT_TRUE(RUNTIME_CLASS(CJHIconCell)->IsDerivedFrom(RUNTIME_CLASS(CJHBaseCell)));
    EXPECT_STREQ(RUNTIME_CLASS(CJActionCell)->m_lpszClassName, "CJActionCell");
}

TEST(GridCellTest, HeaderCellsDrawTheTitleOrTheirPicture)
{
    CProgramFolderFixture folder;
    const COLORREF back = RGB(250, 250, 250);
    DibSectionDC plainDc(100, 30, back);
    CJHBaseCell plain;
    plainDc.SetTextColor(RGB(0, 0, 0));
    plainDc.SetBkMode(TRANSPARENT);
    plain.Draw(&plainDc, RECT{0, 0, 100, 30}, "Title", DT_SINGLELINE | DT_VCENTER);
    int firstInk = -1;
    for (int x = 0; x < 100 && firstInk == -1; ++x)
        for (int y = 0; y < 30; ++y)
            if (plainDc.Pixel(x, y) != back) {
                firstInk = x;
                break;
            }
    EXPECT_GE(firstInk, 2);
    EXPECT_LE(firstInk, 4);

    CObject *created = RUNTIME_CLASS(CJHIconCell)->CreateObject();
    CJHBaseCell *icon = static_cast<CJHBaseCell *>(created);
    icon->SetImage(folder.SkinFile("LockCell.bmp"));
    DibSectionDC iconDc(100, 30, back);
    iconDc.SetTextColor(RGB(255, 0, 0));
    icon->Draw(&iconDc, RECT{20, 5, 100, 30}, "Title", DT_SINGLELINE);
    EXPECT_EQ(iconDc.Pixel(20 + 7, 5 + 11), SkinPalette::Slate);
    EXPECT_EQ(iconDc.Count(RGB(255, 0, 0), RECT{0, 0, 100, 30}), 0);
    delete icon;
}

} // namespace
