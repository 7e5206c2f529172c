// CPoint, CSize and CRect: edges, sizes that may be negative, hit tests,
// intersection and the edge-by-edge comparison that layout decisions use.
#include <CRect.h>

#include <gtest/gtest.h>

namespace {

TEST(CRect, ConstructionAndMeasures)
{
    CRect empty;
    EXPECT_EQ(CRect(0, 0, 0, 0), empty);
    EXPECT_TRUE(empty.IsRectEmpty());

    RECT raw = {1, 2, 11, 22};
    CRect rect(raw);
    EXPECT_EQ(10, rect.Width());
    EXPECT_EQ(20, rect.Height());
    EXPECT_EQ(CSize(10, 20), rect.Size());
    EXPECT_EQ(CPoint(1, 2), rect.TopLeft());
    EXPECT_EQ(CPoint(11, 22), rect.BottomRight());

    LPRECT writable = rect;
    writable->right = 5;
    EXPECT_EQ(4, rect.Width());
    const CRect &constant = rect;
    LPCRECT readable = constant;
    EXPECT_EQ(&rect.left, &readable->left);

    CRect inverted(10, 10, 4, 7);
    EXPECT_EQ(-6, inverted.Width());
    EXPECT_EQ(-3, inverted.Height());
    EXPECT_TRUE(inverted.IsRectEmpty());
}

TEST(CRect, EqualityComparesAllFourEdges)
{
    struct { CRect a, b; bool equal; } cases[] = {
        {CRect(0, 0, 10, 10), CRect(0, 0, 10, 10), true},
        {CRect(0, 0, 10, 10), CRect(1, 0, 10, 10), false},
        {CRect(0, 0, 10, 10), CRect(0, 1, 10, 10), false},
        {CRect(0, 0, 10, 10), CRect(0, 0, 11, 10), false},
        {CRect(0, 0, 10, 10), CRect(0, 0, 10, 11), false},
        {CRect(5, 5, 5, 5), CRect(0, 0, 0, 0), false},   // both empty, still different
    };
    for (const auto &c : cases) {
        EXPECT_EQ(c.equal, c.a == c.b);
        EXPECT_EQ(!c.equal, c.a != c.b);
    }
}

TEST(CRect, PointInsideIncludesTheTopLeftEdgesOnly)
{
    CRect rect(0, 0, 10, 5);
    EXPECT_TRUE(rect.PtInRect(CPoint(0, 0)));
    EXPECT_TRUE(rect.PtInRect(CPoint(9, 4)));
    EXPECT_FALSE(rect.PtInRect(CPoint(10, 4)));
    EXPECT_FALSE(rect.PtInRect(CPoint(9, 5)));
    EXPECT_FALSE(rect.PtInRect(CPoint(-1, 2)));
}

TEST(CRect, IntersectionOrEmpty)
{
    CRect common;
    EXPECT_TRUE(common.IntersectRect(CRect(0, 0, 10, 10), CRect(5, -5, 20, 6)));
    EXPECT_EQ(CRect(5, 0, 10, 6), common);

    EXPECT_FALSE(common.IntersectRect(CRect(0, 0, 10, 10), CRect(10, 0, 20, 10)));
    EXPECT_EQ(CRect(0, 0, 0, 0), common);

    CRect self(0, 0, 8, 8);
    EXPECT_TRUE(self.IntersectRect(self, CRect(4, 4, 12, 12)));
    EXPECT_EQ(CRect(4, 4, 8, 8), self);
}

TEST(CRect, MovingGrowingAndShrinking)
{
    CRect rect(0, 0, 10, 10);
    rect.OffsetRect(3, -2);
    EXPECT_EQ(CRect(3, -2, 13, 8), rect);
    rect.OffsetRect(CPoint(-3, 2));
    rect.OffsetRect(CSize(1, 1));
    EXPECT_EQ(CRect(1, 1, 11, 11), rect);

    rect.InflateRect(2, 3);
    EXPECT_EQ(CRect(-1, -2, 13, 14), rect);
    rect.DeflateRect(2, 3);
    EXPECT_EQ(CRect(1, 1, 11, 11), rect);
    rect.InflateRect(1, 2, 3, 4);
    EXPECT_EQ(CRect(0, -1, 14, 15), rect);
    rect.DeflateRect(CSize(7, 8));
    EXPECT_EQ(CRect(7, 7, 7, 7), rect);
    rect.DeflateRect(1, 1);
    EXPECT_EQ(-2, rect.Width());

    rect.SetRect(1, 2, 3, 4);
    EXPECT_EQ(CRect(1, 2, 3, 4), rect);
    rect.SetRectEmpty();
    EXPECT_EQ(CRect(), rect);
}

TEST(CPointCSize, ConstructionAndComparison)
{
    POINT rawPoint = {-4, 9};
    EXPECT_EQ(CPoint(-4, 9), CPoint(rawPoint));
    EXPECT_NE(CPoint(-4, 9), CPoint(9, -4));
    EXPECT_EQ(CPoint(0, 0), CPoint());

    SIZE rawSize = {3, -1};
    EXPECT_EQ(CSize(3, -1), CSize(rawSize));
    EXPECT_NE(CSize(3, -1), CSize(3, 1));
    EXPECT_EQ(CSize(0, 0), CSize());
}

} // namespace
