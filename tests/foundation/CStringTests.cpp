// CString: construction, index rules, searching, replacing, formatting,
// comparison order and independence of copies across threads.
#include <CString.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <thread>

namespace {

TEST(CStringConstruct, FormsGiveTheExpectedText)
{
    EXPECT_STREQ("", CString());
    EXPECT_STREQ("", CString(static_cast<LPCTSTR>(NULL)));
    EXPECT_STREQ("abc", CString("abc"));
    EXPECT_STREQ("ab", CString("abc", 2));
    EXPECT_STREQ("", CString("abc", -1));
    EXPECT_STREQ("xxx", CString('x', 3));
    EXPECT_STREQ("", CString('x', 0));
    EXPECT_STREQ("y", CString('y'));

    CString withNul("a\0b", 3);
    EXPECT_EQ(3, withNul.GetLength());
    EXPECT_EQ('b', withNul.GetAt(2));
}

TEST(CStringConstruct, EmptyConvertsToAnEmptyTextNeverNull)
{
    CString empty;
    LPCTSTR text = empty;
    ASSERT_NE(nullptr, text);
    EXPECT_EQ('\0', text[0]);

    CString emptied("abc");
    emptied.Empty();
    EXPECT_TRUE(emptied.IsEmpty());
    ASSERT_NE(nullptr, static_cast<LPCTSTR>(emptied));
    EXPECT_STREQ("", emptied);

    CString formatted;
    formatted.Format("%s", "");
    ASSERT_NE(nullptr, static_cast<LPCTSTR>(formatted));
    EXPECT_STREQ("", formatted);
}

TEST(CStringConstruct, AssignmentFromItsOwnTextAndCopiesAreDeep)
{
    CString s("hello world");
    s = static_cast<LPCTSTR>(s) + 6;
    EXPECT_STREQ("world", s);

    s = 'z';
    EXPECT_STREQ("z", s);

    CString original("abc");
    CString copy(original);
    copy.MakeUpper();
    EXPECT_STREQ("abc", original);
    EXPECT_STREQ("ABC", copy);
    EXPECT_NE(static_cast<LPCTSTR>(original), static_cast<LPCTSTR>(copy));

    CString assigned;
    assigned = original;
    assigned += "d";
    EXPECT_STREQ("abc", original);
    EXPECT_STREQ("abcd", assigned);
}

TEST(CStringAccess, GetAtAndIndexOperator)
{
    CString s("ab");
    EXPECT_EQ('a', s.GetAt(0));
    EXPECT_EQ('b', s[1]);
    EXPECT_EQ(2, s.GetLength());
    EXPECT_FALSE(s.IsEmpty());
}

TEST(CStringBuffer, ReleaseBufferTakesTheLengthOfACWrite)
{
    CString s("old");
    LPTSTR buffer = s.GetBuffer(50);
    EXPECT_STREQ("old", buffer);
    strcpy(buffer, "written by C code");
    s.ReleaseBuffer();
    EXPECT_EQ(17, s.GetLength());
    EXPECT_STREQ("written by C code", s);

    buffer = s.GetBuffer(0);
    buffer[3] = '\0';
    s.ReleaseBuffer(-1);
    EXPECT_STREQ("wri", s);

    s.GetBuffer(10);
    s.ReleaseBuffer(2);
    EXPECT_STREQ("wr", s);
    EXPECT_EQ(2, s.GetLength());
}

TEST(CStringBuffer, TakesAnApiResult)
{
    CString path;
    DWORD n = GetModuleFileNameA(NULL, path.GetBuffer(MAX_PATH), MAX_PATH);
    path.ReleaseBuffer();
    ASSERT_GT(n, 0u);
    EXPECT_EQ(static_cast<int>(n), path.GetLength());
    EXPECT_NE(-1, path.ReverseFind('\\'));

    CString empty;
    LPTSTR buffer = empty.GetBuffer(0);
    ASSERT_NE(nullptr, buffer);
    EXPECT_EQ('\0', buffer[0]);
    empty.ReleaseBuffer();
    EXPECT_TRUE(empty.IsEmpty());
}

TEST(CStringConcatenate, EveryMixOfOperands)
{
    CString a("ab");
    EXPECT_STREQ("abcd", a + CString("cd"));
    EXPECT_STREQ("abcd", a + "cd");
    EXPECT_STREQ("cdab", "cd" + a);
    EXPECT_STREQ("abc", a + 'c');
    EXPECT_STREQ("cab", 'c' + a);
    EXPECT_STREQ("ab", CString() + a + CString());

    CString s("x");
    s += CString("y");
    s += "z";
    s += '!';
    EXPECT_STREQ("xyz!", s);
}

TEST(CStringConcatenate, AppendingItsOwnText)
{
    CString s("abc");
    s += s;
    EXPECT_STREQ("abcabc", s);
    s += static_cast<LPCTSTR>(s) + 4;
    EXPECT_STREQ("abcabcbc", s);
    s = s + s;
    EXPECT_STREQ("abcabcbcabcabcbc", s);

    CString grown;
    for (int i = 0; i < 10000; ++i)
        grown += static_cast<TCHAR>('a' + i % 26);
    EXPECT_EQ(10000, grown.GetLength());
    EXPECT_EQ('a' + 9999 % 26, grown[9999]);
}

struct CompareCase
{
    const char *left;
    const char *right;
    int sign;
};

class CStringCompare : public ::testing::TestWithParam<CompareCase> {};

int Sign(int n)
{
    return (n > 0) - (n < 0);
}

TEST_P(CStringCompare, UnsignedByteOrder)
{
    const CompareCase &c = GetParam();
    CString left(c.left), right(c.right);
    EXPECT_EQ(c.sign, Sign(left.Compare(c.right)));
    EXPECT_EQ(-c.sign, Sign(right.Compare(c.left)));
    EXPECT_EQ(c.sign == 0, left == right);
    EXPECT_EQ(c.sign == 0, left == c.right);
    EXPECT_EQ(c.sign == 0, c.left == right);
    EXPECT_EQ(c.sign != 0, left != right);
    EXPECT_EQ(c.sign < 0, left < right);
    EXPECT_EQ(c.sign < 0, left < c.right);
    EXPECT_EQ(c.sign < 0, c.left < right);
    EXPECT_EQ(c.sign > 0, left > right);
    EXPECT_EQ(c.sign > 0, left > c.right);
    EXPECT_EQ(c.sign <= 0, left <= right);
    EXPECT_EQ(c.sign >= 0, left >= right);
}

INSTANTIATE_TEST_SUITE_P(Cases, CStringCompare, ::testing::Values(
    CompareCase{"\x80", "a", 1},
    CompareCase{"\xFF", "\x7F", 1},
    CompareCase{"A", "a", -1},
    CompareCase{"abc", "abc", 0},
    CompareCase{"ab", "abc", -1},
    CompareCase{"", "a", -1},
    CompareCase{"", "", 0}));

struct ExtractCase
{
    const char *what;
    CString (*extract)(const CString &);
    const char *expected;
};

class CStringExtract : public ::testing::TestWithParam<ExtractCase> {};

TEST_P(CStringExtract, ClampsItsIndexes)
{
    const ExtractCase &c = GetParam();
    EXPECT_STREQ(c.expected, c.extract(CString("hello"))) << c.what;
}

INSTANTIATE_TEST_SUITE_P(Cases, CStringExtract, ::testing::Values(
    ExtractCase{"Mid(1)", [](const CString &s) { return s.Mid(1); }, "ello"},
    ExtractCase{"Mid(5)", [](const CString &s) { return s.Mid(5); }, ""},
    ExtractCase{"Mid(9)", [](const CString &s) { return s.Mid(9); }, ""},
    ExtractCase{"Mid(-2)", [](const CString &s) { return s.Mid(-2); }, "hello"},
    ExtractCase{"Mid(1, 3)", [](const CString &s) { return s.Mid(1, 3); }, "ell"},
    ExtractCase{"Mid(1, 100)", [](const CString &s) { return s.Mid(1, 100); }, "ello"},
    ExtractCase{"Mid(2, INT_MAX)", [](const CString &s) { return s.Mid(2, INT_MAX); }, "llo"},
    ExtractCase{"Mid(-2, 2)", [](const CString &s) { return s.Mid(-2, 2); }, "he"},
    ExtractCase{"Mid(2, -1)", [](const CString &s) { return s.Mid(2, -1); }, ""},
    ExtractCase{"Mid(7, 2)", [](const CString &s) { return s.Mid(7, 2); }, ""},
    ExtractCase{"Left(2)", [](const CString &s) { return s.Left(2); }, "he"},
    ExtractCase{"Left(-1)", [](const CString &s) { return s.Left(-1); }, ""},
    ExtractCase{"Left(99)", [](const CString &s) { return s.Left(99); }, "hello"},
    ExtractCase{"Right(2)", [](const CString &s) { return s.Right(2); }, "lo"},
    ExtractCase{"Right(-1)", [](const CString &s) { return s.Right(-1); }, ""},
    ExtractCase{"Right(99)", [](const CString &s) { return s.Right(99); }, "hello"}));

struct FindCase
{
    TCHAR ch;
    int start;
    int expected;
};

class CStringFindChar : public ::testing::TestWithParam<FindCase> {};

TEST_P(CStringFindChar, StartIsClampedBelowAndEndsTheSearchAbove)
{
    const FindCase &c = GetParam();
    EXPECT_EQ(c.expected, CString("abcab").Find(c.ch, c.start));
}

INSTANTIATE_TEST_SUITE_P(Cases, CStringFindChar, ::testing::Values(
    FindCase{'a', -1, 0},
    FindCase{'a', 0, 0},
    FindCase{'a', 1, 3},
    FindCase{'b', 4, 4},
    FindCase{'a', 4, -1},
    FindCase{'b', 5, -1},
    FindCase{'b', 10, -1},
    FindCase{'z', 0, -1}));

TEST(CStringSearch, TextAndReverseSearch)
{
    CString s("one,two,,three");
    EXPECT_EQ(3, s.Find(','));
    EXPECT_EQ(3, s.Find(","));
    EXPECT_EQ(7, s.Find(",,"));
    EXPECT_EQ(8, s.Find(",", 8));
    EXPECT_EQ(-1, s.Find(",", 9));
    EXPECT_EQ(-1, s.Find("four"));
    EXPECT_EQ(-1, s.Find("three!"));
    EXPECT_EQ(9, s.Find("three", -4));
    EXPECT_EQ(-1, s.Find("e", s.GetLength()));
    EXPECT_EQ(8, s.ReverseFind(','));
    EXPECT_EQ(-1, s.ReverseFind('x'));
    EXPECT_EQ(-1, CString().Find('a'));
    EXPECT_EQ(-1, CString().Find("a"));
    EXPECT_EQ(-1, CString().ReverseFind('a'));

    // A column parser resumes after each separator until Find says -1.
    int fields = 0;
    for (int start = 0, end; start <= s.GetLength(); start = end + 1, ++fields) {
        end = s.Find(',', start);
        if (end < 0)
            end = s.GetLength();
    }
    EXPECT_EQ(4, fields);
}

struct ReplaceCase
{
    const char *text;
    const char *oldText;
    const char *newText;
    int count;
    const char *expected;
};

class CStringReplaceText : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(CStringReplaceText, ScansOnceLeftToRight)
{
    const ReplaceCase &c = GetParam();
    CString s(c.text);
    EXPECT_EQ(c.count, s.Replace(c.oldText, c.newText));
    EXPECT_STREQ(c.expected, s);
}

INSTANTIATE_TEST_SUITE_P(Cases, CStringReplaceText, ::testing::Values(
    ReplaceCase{"a\\\\tb", "\\t", "\t", 1, "a\\\tb"},
    ReplaceCase{"a\\tb\\nc", "\\t", "\t", 1, "a\tb\\nc"},
    ReplaceCase{"aaa", "aa", "b", 1, "ba"},
    ReplaceCase{"ab", "a", "aa", 1, "aab"},
    ReplaceCase{"abc", "", "x", 0, "abc"},
    ReplaceCase{"abc", NULL, "x", 0, "abc"},
    ReplaceCase{"abc", "b", "", 1, "ac"},
    ReplaceCase{"abc", "b", NULL, 1, "ac"},
    ReplaceCase{"bbb", "b", "", 3, ""},
    ReplaceCase{"it's 'x'", "'", "''", 3, "it''s ''x''"},
    ReplaceCase{"1234567", ",", ".", 0, "1234567"},
    ReplaceCase{"", "a", "b", 0, ""}));

TEST(CStringReplace, ArgumentsMayPointIntoTheString)
{
    CString s("abcabc");
    EXPECT_EQ(2, s.Replace(static_cast<LPCTSTR>(s) + 3, "x"));
    EXPECT_STREQ("xx", s);

    CString t("ab");
    EXPECT_EQ(1, t.Replace("a", t));
    EXPECT_STREQ("abb", t);
}

TEST(CStringReplace, CharacterFormCounts)
{
    CString s("C:\\a\\b");
    EXPECT_EQ(2, s.Replace('\\', '/'));
    EXPECT_STREQ("C:/a/b", s);
    EXPECT_EQ(0, s.Replace('x', 'y'));
    EXPECT_STREQ("C:/a/b", s);
}

TEST(CStringInsert, IndexesAreClamped)
{
    CString s("hello");
    EXPECT_EQ(6, s.Insert(99, 'x'));
    EXPECT_STREQ("hellox", s);
    EXPECT_EQ(8, s.Insert(-3, "ab"));
    EXPECT_STREQ("abhellox", s);
    EXPECT_EQ(10, s.Insert(4, "XY"));
    EXPECT_STREQ("abheXYllox", s);
    EXPECT_EQ(10, s.Insert(1, ""));
    EXPECT_EQ(13, s.Insert(s.GetLength(), static_cast<LPCTSTR>(s) + 7));
    EXPECT_STREQ("abheXYlloxlox", s);

    // Thousands separators, inserted from the right.
    CString number("1234567");
    for (int i = number.GetLength() - 3; i > 0; i -= 3)
        number.Insert(i, ',');
    EXPECT_STREQ("1,234,567", number);
}

TEST(CStringModify, CaseAndTrim)
{
    CString s("MiXeD 123 [z]");
    s.MakeUpper();
    EXPECT_STREQ("MIXED 123 [Z]", s);
    s.MakeLower();
    EXPECT_STREQ("mixed 123 [z]", s);

    CString high("\xC4\xE4");
    high.MakeUpper();
    EXPECT_STREQ("\xC4\xE4", high);

    CString padded(" \t\r\n\v\fword  x \t\r\n\v\f");
    padded.TrimLeft();
    EXPECT_STREQ("word  x \t\r\n\v\f", padded);
    padded.TrimRight();
    EXPECT_STREQ("word  x", padded);

    CString blank(" \t ");
    blank.TrimRight();
    EXPECT_TRUE(blank.IsEmpty());
    blank = "  ";
    blank.TrimLeft();
    EXPECT_TRUE(blank.IsEmpty());
}

TEST(CStringFormat, PrintsAsTheCrtDoes)
{
    CString s;
    s.Format("%d|%u|%x|%s|%c|%05.1f|%%", INT_MIN, 4294967295u, 0xBEEFu, "text", 'q', 2.3);
    EXPECT_STREQ("-2147483648|4294967295|beef|text|q|002.3|%", s);

    s.Format("%I64d", static_cast<__int64>(-1234567890123LL));
    EXPECT_STREQ("-1234567890123", s);

    s.Format("%d.%d.%d.%d", 192, 168, 0, 1);
    EXPECT_STREQ("192.168.0.1", s);
}

TEST(CStringFormat, HasNoFixedBuffer)
{
    CString big('x', 5000);
    CString s;
    s.Format("%s|%d", static_cast<LPCTSTR>(big), 7);
    ASSERT_EQ(5002, s.GetLength());
    EXPECT_EQ('x', s[4999]);
    EXPECT_STREQ("|7", static_cast<LPCTSTR>(s) + 5000);

    s.Format("%-70000s|", "");
    EXPECT_EQ(70001, s.GetLength());
}

TEST(CStringFormat, ArgumentMayBeTheStringItself)
{
    CString s("abc");
    s.Format("%s!%s", static_cast<LPCTSTR>(s), static_cast<LPCTSTR>(s));
    EXPECT_STREQ("abc!abc", s);

    CString path("C:\\dir\\");
    path.Format("%s%s", static_cast<LPCTSTR>(path), "file.txt");
    EXPECT_STREQ("C:\\dir\\file.txt", path);
}

// Copies made from one string on two threads at once, each changed on its
// own thread: a shared buffer or an unguarded reference count shows here.
TEST(CStringThreads, CopiesStayIndependent)
{
    const CString source("shared text that every thread copies");
    auto work = [&source](TCHAR mark, int *failures) {
        for (int i = 0; i < 20000; ++i) {
            CString copy(source);
            copy += mark;
            copy.MakeUpper();
            CString expected("SHARED TEXT THAT EVERY THREAD COPIES");
            expected += mark;
            if (copy != expected)
                ++*failures;
        }
    };
    int failuresA = 0, failuresB = 0;
    std::thread a(work, 'A', &failuresA);
    std::thread b(work, 'B', &failuresB);
    a.join();
    b.join();
    EXPECT_EQ(0, failuresA);
    EXPECT_EQ(0, failuresB);
    EXPECT_STREQ("shared text that every thread copies", source);
}

} // namespace
