// CSkinBitmap and CMemoryDC, drawing into DIB sections whose pixels the
// tests read: plain, masked and stretched pictures, failed loads, and the
// double buffer's forms.
#include "DibSectionDC.h"
#include "KitMissRecorder.h"

#include <MemoryDC.h>
#include <SkinBitmap.h>
#include <SkinCanvas.h>
#include <SkinPieces.h>

#include "../foundation/TempFolder.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kBackground = RGB(10, 200, 30);
const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kBlue = RGB(0, 0, 255);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);

// A colour that says where in the source picture a pixel came from.
COLORREF Where(int x, int y)
{
    return RGB(x * 4, y * 4, 100);
}

// Writes a 24-bit bitmap file whose pixel (x, y) is colour(x, y).
template <typename Colour>
std::string WriteBitmap(const TempFolder &folder, const char *name, int width, int height, Colour colour)
{
    SkinCanvas canvas(width, height, kBlack);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            canvas.SetPixel(x, y, colour(x, y));
    const std::string path = folder.File(name);
    canvas.SaveBmp(path.c_str());
    return path;
}

class SkinBitmapTest : public ::testing::Test
{
protected:
    TempFolder m_folder{"skin-bitmap"};
    DibSectionDC m_target{100, 100, kBackground};

    // Every draw form on a picture that did not load: nothing changes.
    void ExpectDrawsNothing(CSkinBitmap &picture)
    {
        picture.Draw(RECT{0, 0, 50, 50}, &m_target, SRCCOPY, 0, 0);
        picture.DrawMasked(0, 0, &m_target);
        picture.DrawStretched(0, 0, 100, 100, &m_target, SRCCOPY);
        EXPECT_EQ(100 * 100, m_target.Count(kBackground));
        EXPECT_FALSE(picture.IsLoaded());
        EXPECT_EQ(nullptr, picture.m_bitmap.GetSafeHandle());
        EXPECT_EQ(0, picture.m_size.cx);
        EXPECT_EQ(0, picture.m_size.cy);
    }
};

TEST_F(SkinBitmapTest, DrawCopiesABlockOfTheGivenWidthAndHeight)
{
    CSkinBitmap picture;
    ASSERT_TRUE(picture.Load(WriteBitmap(m_folder, "Where.bmp", 64, 64, Where).c_str()));
    EXPECT_EQ(64, picture.m_size.cx);
    EXPECT_EQ(64, picture.m_size.cy);

    // (10, 20, 30, 40) is x, y, width and height.
    picture.Draw(RECT{10, 20, 30, 40}, &m_target, SRCCOPY, 5, 6);
    EXPECT_EQ(Where(5, 6), m_target.Pixel(10, 20));
    EXPECT_EQ(Where(34, 45), m_target.Pixel(39, 59));
    EXPECT_EQ(30 * 40, 100 * 100 - m_target.Count(kBackground));
    EXPECT_EQ(kBackground, m_target.Pixel(40, 20));
    EXPECT_EQ(kBackground, m_target.Pixel(10, 60));
    EXPECT_EQ(kBackground, m_target.Pixel(9, 19));
}

TEST_F(SkinBitmapTest, DrawStretchedFillsTheRectangleBetweenItsEdges)
{
    CSkinBitmap picture;
    ASSERT_TRUE(picture.Load(
        WriteBitmap(m_folder, "Four.bmp", 2, 2, [](int x, int y) { return x == y ? kRed : kBlue; }).c_str()));
    picture.DrawStretched(10, 10, 30, 20, &m_target, SRCCOPY);
    EXPECT_EQ(200, 100 * 100 - m_target.Count(kBackground));
    EXPECT_EQ(kRed, m_target.Pixel(10, 10));
    EXPECT_EQ(kBlue, m_target.Pixel(29, 10));
    EXPECT_EQ(kBlue, m_target.Pixel(10, 19));
    EXPECT_EQ(kRed, m_target.Pixel(29, 19));
    EXPECT_EQ(kBackground, m_target.Pixel(30, 20));
    EXPECT_EQ(kBackground, m_target.Pixel(9, 9));
}

// A masked picture 4 wide and 7 high: rows 0-2 image, 3-5 mask, row 6 never
// shown. Column 0 has a black mask (image shown), column 1 a white mask
// under a black image (background kept), columns 2-3 a black mask over a
// black image (black shown).
COLORREF Masked(int x, int y)
{
    if (y == 6)
        return kRed;    // the unused last row
    if (y < 3)
        return x == 0 ? kBlue : kBlack;
    return x == 1 ? kWhite : kBlack;
}

TEST_F(SkinBitmapTest, DrawMaskedShowsTheImageWhereTheMaskIsBlackAndNothingBelowItsHalf)
{
    CSkinBitmap picture;
    ASSERT_TRUE(picture.Load(WriteBitmap(m_folder, "Masked.bmp", 4, 7, Masked).c_str()));
    picture.DrawMasked(50, 60, &m_target);
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(kBlue, m_target.Pixel(50, 60 + y)) << y;
        EXPECT_EQ(kBackground, m_target.Pixel(51, 60 + y)) << y;
        EXPECT_EQ(kBlack, m_target.Pixel(52, 60 + y)) << y;
        EXPECT_EQ(kBlack, m_target.Pixel(53, 60 + y)) << y;
    }
    // Three rows of four pixels changed at most; the fourth row is untouched.
    EXPECT_EQ(9, 100 * 100 - m_target.Count(kBackground));
    EXPECT_EQ(0, m_target.Count(kRed));
}

TEST_F(SkinBitmapTest, AWhiteMaskUnderABlackImageChangesNothing)
{
    CSkinBitmap picture;
    ASSERT_TRUE(picture.Load(
        WriteBitmap(m_folder, "Clear.bmp", 8, 8, [](int, int y) { return y < 4 ? kBlack : kWhite; }).c_str()));
    picture.DrawMasked(3, 3, &m_target);
    EXPECT_EQ(100 * 100, m_target.Count(kBackground));
}

TEST_F(SkinBitmapTest, MissingFileLoadsNothingAndIsReported)
{
    KitMissRecorder recorder;
    CSkinBitmap picture;
    const std::string path = m_folder.File("Missing.bmp");
    EXPECT_FALSE(picture.Load(path.c_str()));
    ExpectDrawsNothing(picture);
    ASSERT_EQ(1u, recorder.Misses().size());
    EXPECT_EQ(KIT_PICTURE_NOT_LOADED, recorder.Misses()[0].kind);
    EXPECT_EQ(path, recorder.Misses()[0].subject);
}

TEST_F(SkinBitmapTest, AFailedReloadLeavesNothingOfThePreviousPicture)
{
    CSkinBitmap picture;
    ASSERT_TRUE(picture.Load(WriteBitmap(m_folder, "Where.bmp", 16, 16, Where).c_str()));
    EXPECT_FALSE(picture.Load(m_folder.File("Missing.bmp").c_str()));
    ExpectDrawsNothing(picture);
    // And a good load after that works again.
    ASSERT_TRUE(picture.Load(m_folder.File("Where.bmp").c_str()));
    picture.Draw(RECT{0, 0, 16, 16}, &m_target, SRCCOPY, 0, 0);
    EXPECT_EQ(Where(15, 15), m_target.Pixel(15, 15));
}

TEST_F(SkinBitmapTest, AFileHeldOpenByAnotherProgramDoesNotLoad)
{
    const std::string path = WriteBitmap(m_folder, "Held.bmp", 8, 8, Where);
    HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    CSkinBitmap picture;
    EXPECT_FALSE(picture.Load(path.c_str()));
    CloseHandle(held);
    ExpectDrawsNothing(picture);
    EXPECT_TRUE(picture.Load(path.c_str()));
}

TEST_F(SkinBitmapTest, FilesThatAreNoBitmapDrawNothingAndStayDeletable)
{
    const std::string whole = WriteBitmap(m_folder, "Whole.bmp", 16, 16, Where);
    const std::string bytes = TempFolder::Read(whole);
    const int iconSizes[] = {16};
    SkinPieces::Icon(m_folder.File("Icon.ico").c_str(), iconSizes, 1,
                     [](SkinCanvas &c) { c.Fill(RECT{2, 2, 14, 14}, kBlue); });
    const std::string files[] = {
        m_folder.Write("Empty.bmp", ""),
        m_folder.Write("Cut.bmp", bytes.substr(0, bytes.size() / 2)),
        m_folder.Write("Header.bmp", bytes.substr(0, 20)),
        m_folder.File("Icon.ico"),
        m_folder.Write("Text.bmp", "this is no picture at all\r\n"),
    };
    for (const std::string &path : files) {
        KitMissRecorder recorder;
        CSkinBitmap picture;
        EXPECT_FALSE(picture.Load(path.c_str())) << path;
        ExpectDrawsNothing(picture);
        EXPECT_EQ(1u, recorder.Misses().size()) << path;
        EXPECT_TRUE(DeleteFileA(path.c_str())) << path << " is still held";
    }
}

// A 256-colour run-length bitmap file of the given size whose runs end at
// once: 1,080 bytes whatever the size the header claims.
std::string RunLengthBitmap(LONG width, LONG height)
{
    const DWORD palette = 256 * sizeof(RGBQUAD);
    const BYTE endOfBitmap[] = {0, 1};
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info + palette;
    file.bfSize = file.bfOffBits + sizeof endOfBitmap;
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 8;
    info.biCompression = BI_RLE8;
    info.biSizeImage = sizeof endOfBitmap;
    std::string bytes(reinterpret_cast<const char *>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char *>(&info), sizeof info);
    bytes.append(palette, '\0');
    bytes.append(reinterpret_cast<const char *>(endOfBitmap), sizeof endOfBitmap);
    return bytes;
}

TEST_F(SkinBitmapTest, APictureLargerThanAWindowIsRefusedLikeADamagedOne)
{
    EXPECT_EQ(1080u, RunLengthBitmap(8000, 8000).size());
    const std::string plainWide = WriteBitmap(m_folder, "Wide.bmp", 4097, 1, Where);
    const std::string plainEdge = WriteBitmap(m_folder, "Edge.bmp", 4096, 2, Where);
    std::string topDown = TempFolder::Read(WriteBitmap(m_folder, "Tall.bmp", 1, 4097, Where));
    reinterpret_cast<BITMAPINFOHEADER *>(&topDown[sizeof(BITMAPFILEHEADER)])->biHeight = -4097;
    struct Case {
        std::string path;
        bool loads;
        SIZE size;
    } cases[] = {
        {m_folder.Write("Huge.bmp", RunLengthBitmap(8000, 8000)), false, {}},
        {m_folder.Write("WideRuns.bmp", RunLengthBitmap(4097, 16)), false, {}},
        {m_folder.Write("TallRuns.bmp", RunLengthBitmap(16, 4097)), false, {}},
        {m_folder.Write("EdgeRuns.bmp", RunLengthBitmap(4096, 4)), true, {4096, 4}},
        {plainWide, false, {}},
        {m_folder.Write("TopDown.bmp", topDown), false, {}},
        {plainEdge, true, {4096, 2}},
    };
    for (const Case &c : cases) {
        KitMissRecorder recorder;
        CSkinBitmap picture;
        EXPECT_EQ(c.loads, picture.Load(c.path.c_str()) != FALSE) << c.path;
        if (c.loads) {
            EXPECT_EQ(c.size.cx, picture.m_size.cx) << c.path;
            EXPECT_EQ(c.size.cy, picture.m_size.cy) << c.path;
            EXPECT_TRUE(recorder.Misses().empty()) << c.path;
        } else {
            ExpectDrawsNothing(picture);
            EXPECT_EQ(1u, recorder.Misses().size()) << c.path;
        }
    }
}

TEST_F(SkinBitmapTest, ALoadedFileStaysDeletable)
{
    const std::string path = WriteBitmap(m_folder, "Loaded.bmp", 8, 8, Where);
    CSkinBitmap picture;
    ASSERT_TRUE(picture.Load(path.c_str()));
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(MemoryDC, TheOneArgumentFormStartsInTheTargetsBackgroundAndCopiesAtItsEnd)
{
    DibSectionDC target(40, 30, kRed);
    target.SetBkColor(kWhite);
    {
        CMemoryDC buffer(&target);
        EXPECT_TRUE(buffer.IsBuffering());
        buffer.FillSolidRect(5, 6, 3, 2, kBlue);
        // Nothing reaches the target before the end.
        EXPECT_EQ(40 * 30, target.Count(kRed));
    }
    EXPECT_EQ(6, target.Count(kBlue, RECT{5, 6, 8, 8}));
    EXPECT_EQ(40 * 30 - 6, target.Count(kWhite));
}

TEST(MemoryDC, TheTwoArgumentFormBuffersOnlyItsRectangleInTheTargetsCoordinates)
{
    DibSectionDC target(60, 60, kRed);
    {
        CMemoryDC buffer(&target, RECT{10, 20, 50, 40});
        // The caller paints every pixel of the rectangle.
        buffer.FillSolidRect(10, 20, 40, 20, kWhite);
        buffer.FillSolidRect(12, 22, 2, 2, kBlue);
        buffer.FillSolidRect(0, 0, 5, 5, kBlue);     // outside: lost
        EXPECT_EQ(60 * 60, target.Count(kRed));
    }
    EXPECT_EQ(4, target.Count(kBlue));
    EXPECT_EQ(kBlue, target.Pixel(12, 22));
    EXPECT_EQ(40 * 20 - 4, target.Count(kWhite));
    EXPECT_EQ(kRed, target.Pixel(9, 20));
    EXPECT_EQ(kRed, target.Pixel(50, 39));
}

TEST(MemoryDC, OverAPrintingTargetItDrawsStraightAndCopiesNothing)
{
    DibSectionDC target(20, 20, kRed);
    target.m_bPrinting = TRUE;
    {
        CMemoryDC buffer(&target);
        EXPECT_FALSE(buffer.IsBuffering());
        EXPECT_TRUE(buffer.IsPrinting());
        buffer.FillSolidRect(0, 0, 4, 4, kBlue);
        EXPECT_EQ(16, target.Count(kBlue));
    }
    EXPECT_EQ(16, target.Count(kBlue));
    EXPECT_EQ(20 * 20 - 16, target.Count(kRed));
    // The target's DC is still its own and alive.
    target.FillSolidRect(10, 10, 1, 1, kWhite);
    EXPECT_EQ(kWhite, target.Pixel(10, 10));
}

TEST(MemoryDC, WithoutABufferItDrawsStraightToTheTarget)
{
    DibSectionDC target(20, 20, kRed);
    {
        // No bitmap of this size can be made.
        CMemoryDC buffer(&target, RECT{0, 0, 200000, 200000});
        EXPECT_FALSE(buffer.IsBuffering());
        buffer.FillSolidRect(1, 1, 2, 2, kBlue);
        EXPECT_EQ(4, target.Count(kBlue));
    }
    EXPECT_EQ(4, target.Count(kBlue));
    target.FillSolidRect(10, 10, 1, 1, kWhite);
    EXPECT_EQ(kWhite, target.Pixel(10, 10));
}

} // namespace
