#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "PrintCString.h"
#include "host/win/CString.h"

TEST(CStringOrder, ComparesByCodeUnit) {
    EXPECT_LT(CString(u"F10").Compare(u"F2"), 0);
    EXPECT_GT(CString(u"b").Compare(u"B"), 0);
    EXPECT_EQ(CString(u"房间").Compare(CString(u"房间")), 0);
    EXPECT_LT(CString(u"ab").Compare(u"abc"), 0);
    EXPECT_GT(CString(u"a").Compare(nullptr), 0);
    // A character beyond the BMP (surrogates D800..) sorts before U+E000..U+FFFF by code unit.
    EXPECT_LT(CString(u"\U0001F600").Compare(u"\uFF21"), 0);

    std::vector<CString> v{u"房间2", u"房间10", u"A", u"a"};
    std::sort(v.begin(), v.end());
    EXPECT_EQ(v, (std::vector<CString>{u"A", u"a", u"房间10", u"房间2"}));
}

TEST(CStringOrder, CompareNoCaseFoldsLatinLetters) {
    EXPECT_EQ(CString(u"Section").CompareNoCase(u"SECTION"), 0);
    EXPECT_EQ(CString(u"ÉCOLE").CompareNoCase(u"école"), 0);
    EXPECT_LT(CString(u"apple").CompareNoCase(u"BANANA"), 0);
    EXPECT_NE(CString(u"房间").CompareNoCase(u"房问"), 0);
    EXPECT_GT(CString(u"abc").CompareNoCase(u"AB"), 0);
    CString s(u"Mixed Éa");
    EXPECT_EQ(s.MakeUpper(), CString(u"MIXED ÉA"));
    EXPECT_EQ(s.MakeLower(), CString(u"mixed éa"));
}

TEST(CStringEdit, FindingAndSlicingClampToTheString) {
    CString s(u"C:\\proj\\房间\\a.dwg");
    EXPECT_EQ(s.Find(u'\\'), 2);
    EXPECT_EQ(s.Find(u'\\', 3), 7);
    EXPECT_EQ(s.ReverseFind(u'\\'), 10);
    EXPECT_EQ(s.Find(u"房间"), 8);
    EXPECT_EQ(s.Find(u"x"), -1);
    EXPECT_EQ(s.Find(u'a', 100), -1);
    EXPECT_EQ(s.Left(s.ReverseFind(u'\\')), CString(u"C:\\proj\\房间"));
    EXPECT_EQ(s.Mid(11), CString(u"a.dwg"));
    EXPECT_EQ(s.Right(3), CString(u"dwg"));
    EXPECT_EQ(s.Left(-1), CString());
    EXPECT_EQ(s.Mid(13, 50), CString(u"dwg"));
    EXPECT_EQ(s.Mid(99), CString());
    EXPECT_EQ(s.Right(99), s);
}

TEST(CStringEdit, ReplaceDeleteInsertTrim) {
    CString s(u"a-b-c");
    EXPECT_EQ(s.Replace(u"-", u"--"), 2);
    EXPECT_EQ(s, CString(u"a--b--c"));
    EXPECT_EQ(s.Replace(u'-', u'+'), 4);
    EXPECT_EQ(s.Replace(u"", u"x"), 0);
    EXPECT_EQ(s.Delete(1, 2), 5);
    EXPECT_EQ(s, CString(u"ab++c"));
    EXPECT_EQ(s.Delete(4, 10), 4);
    EXPECT_EQ(s.Insert(0, u"房"), 5);
    EXPECT_EQ(s.Insert(99, u"!"), 6);
    EXPECT_EQ(s, CString(u"房ab++!"));
    CString t(u" \t房间\u3000\r\n");
    EXPECT_EQ(t.Trim(), CString(u"房间"));
}

TEST(CStringUtf8, RoundTripsAndReplacesBrokenText) {
    CString s(u"标准房间 A\U0001F600");
    EXPECT_EQ(CString::FromUtf8(s.ToUtf8()), s);
    EXPECT_EQ(CString(u"é").ToUtf8(), "\xC3\xA9");
    EXPECT_EQ(CString::FromUtf8("a\xFF" "b"), CString(u"a\uFFFDb"));
    EXPECT_EQ(CString::FromUtf8("\xE6\x88"), CString(u"\uFFFD"));          // truncated
    EXPECT_EQ(CString::FromUtf8("\xE6\x88x"), CString(u"\uFFFDx"));
    EXPECT_EQ(CString::FromUtf8("\xC0\xAF"), CString(u"\uFFFD\uFFFD"));    // overlong
    EXPECT_EQ(CString::FromUtf8("\xED\xA0\x80"), CString(u"\uFFFD\uFFFD\uFFFD"));  // surrogate
    const char16_t lone[] = {u'x', 0xD800, u'y', 0};
    EXPECT_EQ(CString(lone).ToUtf8(), "x\xEF\xBF\xBDy");
}

TEST(CStringFormat, IntegersWithFlagsWidthAndLength) {
    CString s;
    s.Format(u"%d|%5d|%-5d|%05d|%+d|%i", 42, 42, 42, 42, 42, -7);
    EXPECT_EQ(s, CString(u"42|   42|42   |00042|+42|-7"));
    s.Format(u"%u %x %X %#x %o", 4000000000u, 255, 255, 255, 8);
    EXPECT_EQ(s, CString(u"4000000000 ff FF 0xff 10"));
    s.Format(u"%ld %lld %I64d %zu", -5L, -9000000000LL, 9000000000LL, size_t(7));
    EXPECT_EQ(s, CString(u"-5 -9000000000 9000000000 7"));
    s.Format(u"%*d|%-*d|%.3d", 4, 1, 3, 2, 5);
    EXPECT_EQ(s, CString(u"   1|2  |005"));
}

TEST(CStringFormat, FloatingPoint) {
    CString s;
    s.Format(u"%g %f %.2f %e %8.3f %G", 0.5, 1.25, 3.14159, 1234.5, -2.0, 1e-10);
    EXPECT_EQ(s, CString(u"0.5 1.250000 3.14 1.234500e+03   -2.000 1E-10"));
}

TEST(CStringFormat, WideAndNarrowStringsAndChars) {
    CString name(u"房间1");
    CString s;
    s.Format(u"[%s] [%6s] [%-6s] [%.1s]", u"标准", u"ab", u"ab", u"房间");
    EXPECT_EQ(s, CString(u"[标准] [    ab] [ab    ] [房]"));
    s.Format(u"%S/%hs/%s", "utf8 é", "标准", name);  // a CString goes through as its text
    EXPECT_EQ(s, CString(u"utf8 é/标准/房间1"));
    s.Format(u"%c%c%3c%%", u'房', u'x', u'y');
    EXPECT_EQ(s, CString(u"房x  y%"));
    s.Format(u"%s", static_cast<const char16_t*>(nullptr));
    EXPECT_EQ(s, CString(u"(null)"));
    s.Format(u"no conversions 100%%");
    EXPECT_EQ(s, CString(u"no conversions 100%"));
    s.AppendFormat(u" +%d", 1);
    EXPECT_EQ(s, CString(u"no conversions 100% +1"));
}

TEST(CStringFormat, LongResultsAreNotCut) {
    CString s;
    s.Format(u"%300d|%.200f", 1, 1.0);
    EXPECT_EQ(s.GetLength(), 300 + 1 + 202);
    EXPECT_EQ(s.Left(299), CString(u' ', 299));
}
