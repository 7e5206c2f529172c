#include "CppSQLiteException.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace {

struct CodeCase {
    int code;
    const char *engineMessage;
    const char *expected;
};

class ExceptionText : public testing::TestWithParam<CodeCase> {};

TEST_P(ExceptionText, NamesTheCodeBeforeTheEngineText)
{
    const CodeCase &c = GetParam();
    CppSQLiteException e(c.code, c.engineMessage);
    EXPECT_EQ(c.code, e.GetCode());
    EXPECT_STREQ(c.expected, e.GetMessageText());
}

INSTANTIATE_TEST_SUITE_P(
    Codes, ExceptionText,
    testing::Values(
        CodeCase{19, "UNIQUE constraint failed: t.a", "SQLITE_CONSTRAINT[19]UNIQUE constraint failed: t.a"},
        CodeCase{5, "database is locked", "SQLITE_BUSY[5]database is locked"},
        CodeCase{14, nullptr, "SQLITE_CANTOPEN[14]"},
        CodeCase{0, "", "SQLITE_OK[0]"},
        CodeCase{25, "x", "SQLITE_RANGE[25]x"},
        CodeCase{100, "", "SQLITE_ROW[100]"},
        CodeCase{101, "", "SQLITE_DONE[101]"},
        CodeCase{26, "file is not a database", "UNKNOWN_ERROR[26]file is not a database"},
        CodeCase{42, "odd", "UNKNOWN_ERROR[42]odd"},
        CodeCase{-1, "", "UNKNOWN_ERROR[-1]"}));

TEST(ExceptionText, OwnTextHasCodeOneAndNoPrefix)
{
    CppSQLiteException e("Database not open");
    EXPECT_EQ(1, e.GetCode());
    EXPECT_STREQ("Database not open", e.GetMessageText());

    CppSQLiteException none(static_cast<const char *>(nullptr));
    EXPECT_EQ(1, none.GetCode());
    EXPECT_STREQ("", none.GetMessageText());
}

TEST(ExceptionText, CopiesOutliveTheirOriginal)
{
    auto original = std::make_unique<CppSQLiteException>(19, "duplicate");
    CppSQLiteException copy(*original);
    CppSQLiteException assigned("other");
    assigned = *original;
    original.reset();
    EXPECT_EQ(19, copy.GetCode());
    EXPECT_STREQ("SQLITE_CONSTRAINT[19]duplicate", copy.GetMessageText());
    EXPECT_EQ(19, assigned.GetCode());
    EXPECT_STREQ("SQLITE_CONSTRAINT[19]duplicate", assigned.GetMessageText());

    assigned = assigned;
    EXPECT_STREQ("SQLITE_CONSTRAINT[19]duplicate", assigned.GetMessageText());
}

} // namespace
