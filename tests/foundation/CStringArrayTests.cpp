// CStringArray and CDWordArray: indexes returned by Add, element access,
// and removal that moves later entries down.
#include <CDWordArray.h>
#include <CStringArray.h>

#include <gtest/gtest.h>

namespace {

TEST(CStringArray, AddReturnsIndexesAndElementsCanBeChanged)
{
    CStringArray tips;
    EXPECT_EQ(0, tips.GetSize());
    EXPECT_EQ(0, tips.Add("first"));
    EXPECT_EQ(1, tips.Add(CString("second")));
    EXPECT_EQ(2, tips.GetSize());
    EXPECT_STREQ("first", tips.GetAt(0));
    EXPECT_STREQ("second", tips[1]);

    tips[0] += "!";
    EXPECT_STREQ("first!", tips.GetAt(0));

    tips.RemoveAll();
    EXPECT_EQ(0, tips.GetSize());
    EXPECT_EQ(0, tips.Add("again"));
}

TEST(CDWordArray, RemoveAtMovesLaterEntriesDown)
{
    CDWordArray keys;
    for (DWORD key : {10u, 20u, 30u, 40u, 50u})
        keys.Add(key);
    ASSERT_EQ(5, keys.GetSize());

    keys.RemoveAt(1);
    ASSERT_EQ(4, keys.GetSize());
    EXPECT_EQ(10u, keys.GetAt(0));
    EXPECT_EQ(30u, keys[1]);

    keys.RemoveAt(1, 2);
    ASSERT_EQ(2, keys.GetSize());
    EXPECT_EQ(10u, keys[0]);
    EXPECT_EQ(50u, keys[1]);

    keys[1] = 55;
    EXPECT_EQ(55u, keys.GetAt(1));
    keys.RemoveAt(1);
    EXPECT_EQ(1, keys.GetSize());

    keys.RemoveAll();
    EXPECT_EQ(0, keys.GetSize());
    EXPECT_EQ(0, keys.Add(7));
}

} // namespace
