// The skin maker's three kinds of piece, written to files and read back as
// the programs' pictures are: plain, image over mask, state strip.
#include <SkinCanvas.h>
#include <SkinPieces.h>
#include <SkinPalette.h>

#include "../foundation/TempFolder.h"

#include <gtest/gtest.h>

namespace {

// A bitmap file read back with its own pixels.
class BitmapFile
{
public:
    explicit BitmapFile(const std::string &path)
    {
        m_bitmap = static_cast<HBITMAP>(
            LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
        m_dc = CreateCompatibleDC(nullptr);
        m_old = SelectObject(m_dc, m_bitmap);
        GetObjectA(m_bitmap, sizeof m_info, &m_info);
    }
    ~BitmapFile()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    bool Loaded() const { return m_bitmap != nullptr; }
    int Width() const { return m_info.bmWidth; }
    int Height() const { return m_info.bmHeight; }
    COLORREF Pixel(int x, int y) const { return GetPixel(m_dc, x, y); }

private:
    HBITMAP m_bitmap;
    HDC m_dc;
    HGDIOBJ m_old;
    BITMAP m_info = {};
};

using namespace SkinPalette;

TEST(SkinPieces, APlainPieceIsWhatWasPainted)
{
    TempFolder folder("skin-pieces");
    const std::string path = folder.File("Plain.bmp");
    ASSERT_TRUE(SkinPieces::PlainPiece(path.c_str(), 7, 5, [](SkinCanvas &c) {
        c.Fill(RECT{0, 0, 3, 5}, Slate);
        c.Frame(RECT{3, 0, 7, 5}, Accent);
    }));
    BitmapFile file(path);
    ASSERT_TRUE(file.Loaded());
    EXPECT_EQ(7, file.Width());
    EXPECT_EQ(5, file.Height());
    EXPECT_EQ(Slate, file.Pixel(0, 4));
    EXPECT_EQ(Accent, file.Pixel(6, 0));
    EXPECT_EQ(Client, file.Pixel(5, 2));   // left as the piece starts
}

TEST(SkinPieces, AMaskedPieceHoldsItsImageAboveItsMask)
{
    TempFolder folder("skin-pieces");
    const std::string path = folder.File("Masked.bmp");
    ASSERT_TRUE(SkinPieces::MaskedPiece(path.c_str(), 6, 4,
                                        [](SkinCanvas &c) { c.Fill(RECT{1, 1, 4, 3}, SlateBlue); }));
    BitmapFile file(path);
    ASSERT_TRUE(file.Loaded());
    ASSERT_EQ(8, file.Height());
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x) {
            const bool covered = x >= 1 && x < 4 && y >= 1 && y < 3;
            EXPECT_EQ(covered ? SlateBlue : Black, file.Pixel(x, y)) << x << "," << y;
            EXPECT_EQ(covered ? Black : White, file.Pixel(x, 4 + y)) << x << "," << y;
        }
    }
}

TEST(SkinPieces, AStateStripPaintsEachCellInItsPlace)
{
    const COLORREF faces[] = {Accent, AccentHover, AccentPressed, SlateBlue};
    TempFolder folder("skin-pieces");
    const std::string path = folder.File("Strip.bmp");
    ASSERT_TRUE(SkinPieces::StateStrip(path.c_str(), 5, 3, 4, 2, true,
                                       [&](SkinCanvas &c, const RECT &cell, int state, int row) {
                                           // Painting past the cell must not reach the next one.
                                           RECT wide = cell;
                                           wide.right += 5;
                                           c.Fill(wide, faces[state]);
                                           if (row == 1)
                                               c.SetPixel(cell.left, cell.top, SkinPieces::Key);
                                       }));
    BitmapFile file(path);
    ASSERT_TRUE(file.Loaded());
    ASSERT_EQ(20, file.Width());
    ASSERT_EQ(12, file.Height());   // two rows of 3, then their mask
    for (int state = 0; state < 4; ++state) {
        EXPECT_EQ(faces[state], file.Pixel(state * 5 + 4, 2)) << state;
        EXPECT_EQ(Black, file.Pixel(state * 5 + 4, 6 + 2)) << state;
        // The key colour in the second row shows the background.
        EXPECT_EQ(Black, file.Pixel(state * 5, 3)) << state;
        EXPECT_EQ(White, file.Pixel(state * 5, 6 + 3)) << state;
    }
}

} // namespace
