#include <gtest/gtest.h>

#include <thread>

#include "PrintCString.h"
#include "host/win/Windows.h"

namespace {

// Restores the host's code page after a test that changes it.
struct AcpGuard {
    UINT saved = GetACP();
    ~AcpGuard() { SetACP(saved); }
};

}  // namespace

TEST(CodePage, GbkRoundTripOfChineseNames) {
    const CString name(u"标准房间");
    const std::string bytes = WideToAnsi(name, 936);
    EXPECT_EQ(bytes, "\xB1\xEA\xD7\xBC\xB7\xBF\xBC\xE4");
    EXPECT_EQ(AnsiToWide(bytes, 936), name);
    EXPECT_TRUE(IsAnsiRepresentable(u"房间_10-A", 936));
}

TEST(CodePage, CharactersOutsideThePageBecomeOneQuestionMarkEach) {
    // Hangul, an emoji (a surrogate pair) and a lone surrogate have no place in GBK.
    const char16_t text[] = {u'房', u'한', 0xD83D, 0xDE00, u'x', 0xDC00, u'间', 0};
    EXPECT_EQ(WideToAnsi(text, 936), "\xB7\xBF??x?\xBC\xE4");
    EXPECT_FALSE(IsAnsiRepresentable(text, 936));
    EXPECT_EQ(WideToAnsi(u"é€ü房", 1252), "\xE9\x80\xFC?");
    EXPECT_FALSE(IsAnsiRepresentable(u"?房", 1252));
    EXPECT_TRUE(IsAnsiRepresentable(u"?", 1252));
}

TEST(CodePage, BrokenBytesBecomeReplacementCharacters) {
    // A lead byte at the end, a lead byte followed by a byte no GBK pair uses, and 0x80/0xFF.
    EXPECT_EQ(AnsiToWide("\xB7\xBF\xB7", 936), CString(u"房\uFFFD"));
    EXPECT_EQ(AnsiToWide("a\xB7\x20z", 936), CString(u"a\uFFFD z"));
    EXPECT_EQ(AnsiToWide("\xFF" "b", 936), CString(u"\uFFFDb"));
    EXPECT_EQ(AnsiToWide("\xE9\x80", 1252), CString(u"é€"));
    EXPECT_EQ(AnsiToWide(std::string("a\0b", 3), 936), CString(std::u16string(u"a\0b", 3)));
}

