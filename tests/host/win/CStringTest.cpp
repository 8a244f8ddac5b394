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

