// CBitmapLayer: a memory context holding its own bitmap across messages.
// The class library frees its temporary wrappers when the message loop goes
// idle, so a layer made in one message and ended in a later one must end
// with what it kept itself: its context's own bitmap selected back and its
// bitmap deleted, selected nowhere.
#include <BitmapLayer.h>

#include <FoundationUi.h>

#include <gtest/gtest.h>

namespace {

bool IsLive(HGDIOBJ object)
{
    return ::GetObjectType(object) != 0;
}

// TRUE when the bitmap can be selected into a new context, that is when no
// other context holds it.
bool IsSelectable(HGDIOBJ bitmap)
{
    HDC probe = ::CreateCompatibleDC(NULL);
    HGDIOBJ own = ::SelectObject(probe, bitmap);
    if (own)
        ::SelectObject(probe, own);
    ::DeleteDC(probe);
    return own != NULL;
}

class BitmapLayerTest : public ::testing::Test
{
protected:
    void SetUp() override { m_screen = ::GetDC(NULL); }
    void TearDown() override { ::ReleaseDC(NULL, m_screen); }

    CDC *Screen() { return CDC::FromHandle(m_screen); }

    HDC m_screen = NULL;
};

TEST_F(BitmapLayerTest, EndsWithItsContextsOwnBitmapAfterTheIdleCleanUp)
{
    struct Case {
        const char *name;
        bool screenReference;
        WORD bitsPerPixel; // 0: the screen's
    } cases[] = {
        {"screen", true, 0},
        {"no reference: one bit a pixel", false, 1},
    };
    for (const Case &c : cases) {
        CBitmapLayer layer;
        ASSERT_TRUE(layer.Create(c.screenReference ? Screen() : NULL, 40, 20)) << c.name;
        ASSERT_TRUE(layer.IsMade());
        EXPECT_EQ(40, layer.Size().cx) << c.name;
        EXPECT_EQ(20, layer.Size().cy) << c.name;
        const HGDIOBJ bitmap = ::GetCurrentObject(layer.DC().GetSafeHdc(), OBJ_BITMAP);
        BITMAP info = {};
        ASSERT_TRUE(::GetObjectA(bitmap, sizeof info, &info)) << c.name;
        EXPECT_EQ(40, info.bmWidth) << c.name;
        if (c.bitsPerPixel) {
            EXPECT_EQ(c.bitsPerPixel, info.bmBitsPixel) << c.name;
        }
        EXPECT_FALSE(IsSelectable(bitmap)) << c.name << ": held by the layer";

        AfxDeleteTempObjects(); // the idle between making the layer and ending it
        EXPECT_TRUE(layer.Free()) << c.name << ": the own bitmap back, the layer's deleted";
        EXPECT_FALSE(IsLive(bitmap)) << c.name;
        EXPECT_FALSE(layer.IsMade());
        EXPECT_EQ(0, layer.Size().cx);
        EXPECT_FALSE(layer.Free()) << c.name << ": nothing left to end";
    }
}

TEST_F(BitmapLayerTest, ANewLayerReplacesTheOldAndTheDestructorEndsTheLast)
{
    HGDIOBJ first, second;
    {
        CBitmapLayer layer;
        ASSERT_TRUE(layer.Create(Screen(), 10, 10));
        first = ::GetCurrentObject(layer.DC().GetSafeHdc(), OBJ_BITMAP);
        AfxDeleteTempObjects();
        ASSERT_TRUE(layer.Create(Screen(), 30, 5));
        second = ::GetCurrentObject(layer.DC().GetSafeHdc(), OBJ_BITMAP);
        EXPECT_FALSE(IsLive(first));
        EXPECT_TRUE(IsLive(second));
        EXPECT_EQ(30, layer.Size().cx);
        AfxDeleteTempObjects();
    }
    EXPECT_FALSE(IsLive(second));
}

TEST_F(BitmapLayerTest, ALayerThatCannotBeMadeLeavesNothing)
{
    CBitmapLayer layer;
    ASSERT_TRUE(layer.Create(Screen(), 8, 8));
    // A bitmap of a million pixels a side cannot be made: the old layer is
    // gone all the same.
    EXPECT_FALSE(layer.Create(Screen(), 1 << 20, 1 << 20));
    EXPECT_FALSE(layer.IsMade());
    EXPECT_EQ(0, layer.Size().cx);
}

} // namespace
