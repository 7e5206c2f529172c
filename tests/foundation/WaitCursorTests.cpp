// CWaitCursor shows the hourglass for its life and then puts back the
// cursor that was there before.
#include <CWaitCursor.h>

#include <gtest/gtest.h>

namespace {

TEST(WaitCursor, ShowsTheHourglassThenRestores)
{
    HCURSOR hArrow = ::LoadCursor(NULL, IDC_ARROW);
    HCURSOR hWait = ::LoadCursor(NULL, IDC_WAIT);
    ::SetCursor(hArrow);
    {
        CWaitCursor wait;
        EXPECT_EQ(hWait, ::GetCursor());
        {
            CWaitCursor nested;
            EXPECT_EQ(hWait, ::GetCursor());
        }
        EXPECT_EQ(hWait, ::GetCursor()) << "the inner one restores the outer hourglass";
    }
    EXPECT_EQ(hArrow, ::GetCursor());
}

} // namespace
