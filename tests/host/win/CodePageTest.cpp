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

TEST(CodePage, DefaultsToGbkWithoutTheEnvironmentVariable) {
    if (std::getenv("VKCAD_CODEPAGE")) GTEST_SKIP() << "VKCAD_CODEPAGE is set";
    EXPECT_EQ(GetACP(), 936u);
}

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

TEST(CodePage, PlainTextIsConvertedByThePageEvenWhereThePageMovesAscii) {
    // GBK keeps ASCII as it is; EBCDIC (page 500) does not, so plain text must still go through it.
    EXPECT_EQ(WideToAnsi(u"S1=+1A", 936), "S1=+1A");
    EXPECT_EQ(AnsiToWide("S1=+1A", 936), CString(u"S1=+1A"));
    EXPECT_EQ(WideToAnsi(u"ABC", 500), "\xC1\xC2\xC3");
    EXPECT_EQ(AnsiToWide("\xC1\xC2\xC3", 500), CString(u"ABC"));
    EXPECT_EQ(AnsiToWide("ABC", 500), CString(u"\u00A0\u00E2\u00E4"));
}

TEST(CodePage, Utf8PageUsesUtf8) {
    EXPECT_EQ(WideToAnsi(u"标准", CP_UTF8), "\xE6\xA0\x87\xE5\x87\x86");
    EXPECT_EQ(AnsiToWide("\xE6\xA0\x87\xE5\x87", CP_UTF8), CString(u"标\uFFFD"));
    EXPECT_TRUE(IsAnsiRepresentable(u"한\U0001F600", CP_UTF8));
}

TEST(CodePage, SetAcpChangesWhatCpAcpMeans) {
    AcpGuard guard;
    SetACP(65001);
    EXPECT_EQ(GetACP(), 65001u);
    EXPECT_EQ(WideToAnsi(u"房"), "\xE6\x88\xBF");
    SetACP(1252);
    EXPECT_EQ(WideToAnsi(u"房é"), "?\xE9");
    SetACP(4242);  // no such page: ignored
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_FALSE(IsCodePageSupported(4242));
    SetACP(936);
    EXPECT_EQ(AnsiToWide("\xB7\xBF"), CString(u"房"));
}

TEST(CodePage, ThreadsConvertIndependently) {
    // Each thread has its own iconv descriptors; interleaved conversions must not mix states.
    auto work = [](bool* ok) {
        *ok = true;
        for (int i = 0; i < 2000 && *ok; ++i)
            *ok = AnsiToWide(WideToAnsi(u"标准房间한", 936), 936) == CString(u"标准房间?");
    };
    bool a = false, b = false;
    std::thread t1(work, &a), t2(work, &b);
    t1.join();
    t2.join();
    EXPECT_TRUE(a);
    EXPECT_TRUE(b);
}
