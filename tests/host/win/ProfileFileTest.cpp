#include "TempDrive.h"

namespace {

CString Get(LPCWSTR section, LPCWSTR key, LPCWSTR def = u"<none>") {
    char16_t buf[256];
    DWORD n = GetPrivateProfileStringW(section, key, def, buf, 256, u"C:\\sgd.ini");
    return CString(buf, static_cast<int>(n));
}

}  // namespace

using Profile = TempDriveTest;

TEST_F(Profile, ReplacesInPlaceAndKeepsEveryOtherByte) {
    const std::string before =
        "; settings\n"
        "[First]\r\n"
        "  Alpha = 1  \r\n"
        "beta=2\r\n"
        "\r\n"
        "[Second]\n"
        "gamma=3\n"
        "\n"
        "[Third]\r\n"
        "delta=4";  // no line end at the end of the file
    WriteBytes("sgd.ini", before);

    ASSERT_TRUE(WritePrivateProfileStringW(u"first", u"ALPHA", u"10", u"C:\\sgd.ini"));
    std::string expected = before;
    expected.replace(expected.find("  Alpha = 1  "), 13, "Alpha=10");
    EXPECT_EQ(ReadBytes("sgd.ini"), expected);

    // A new key goes after the section's last line, before its blank lines.
    ASSERT_TRUE(WritePrivateProfileStringW(u"Second", u"eps", u"5", u"C:\\sgd.ini"));
    expected.insert(expected.find("\n\n[Third]") + 1, "eps=5\r\n");
    EXPECT_EQ(ReadBytes("sgd.ini"), expected);

    ASSERT_TRUE(WritePrivateProfileStringW(u"Third", u"zeta", u"6", u"C:\\sgd.ini"));
    expected += "\r\nzeta=6\r\n";
    EXPECT_EQ(ReadBytes("sgd.ini"), expected);

    EXPECT_EQ(Get(u"FIRST", u"alpha"), CString(u"10"));
    EXPECT_EQ(Get(u"second", u"GAMMA"), CString(u"3"));
}

TEST_F(Profile, RefusedArgumentsLeaveTheFileByteIdentical) {
    const std::string before = "[S]\r\nk=v\r\n";
    WriteBytes("sgd.ini", before);
    struct Case { LPCWSTR section, key, value; };
    for (const Case& c : {Case{u"S\r\n[X", u"k", u"v"}, Case{u"S", u"k\n", u"v"}, Case{u"S", u"k", u"v\r\nj=1"},
                          Case{u"S]x", u"k", u"v"}, Case{u"S", u"k=j", u"v"}, Case{u"S", u"[T]", u"v"},
                          Case{nullptr, u"k", u"v"}}) {
        SetLastError(0);
        EXPECT_FALSE(WritePrivateProfileStringW(c.section, c.key, c.value, u"C:\\sgd.ini"));
        EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(ReadBytes("sgd.ini"), before);
    }
}

TEST_F(Profile, GbkSectionWithBracketTrailByteIsFound) {
    // 匽 is 85 5D in GBK: its trail byte is ']'.
    ASSERT_EQ(WideToAnsi(u"匽", 936), "\x85\x5D");
    ASSERT_TRUE(WritePrivateProfileStringW(u"匽x", u"a", u"1", u"C:\\sgd.ini"));
    ASSERT_TRUE(WritePrivateProfileStringW(u"匽x", u"a", u"2", u"C:\\sgd.ini"));
    EXPECT_EQ(ReadBytes("sgd.ini"), WideToAnsi(u"[匽x]\r\na=2\r\n", 936));
    EXPECT_EQ(Get(u"匽x", u"a"), CString(u"2"));
}

TEST_F(Profile, ReadingTrimsUnquotesTruncatesAndLists) {
    WriteBytes("sgd.ini", "[S]\r\nq = \"quoted\" \r\nlong=abcdefgh\r\n[T]\r\n");
    EXPECT_EQ(Get(u"S", u"q"), CString(u"quoted"));
    char16_t small[4];
    EXPECT_EQ(GetPrivateProfileStringW(u"S", u"long", u"", small, 4, u"C:\\sgd.ini"), 3u);
    EXPECT_EQ(CString(small), CString(u"abc"));
    EXPECT_EQ(Get(u"S", u"none", u"dflt  "), CString(u"dflt"));
    EXPECT_EQ(GetPrivateProfileStringW(u"S", u"q", u"d", small, 4, u"C:\\missing.ini"), 1u);
    EXPECT_EQ(CString(small), CString(u"d"));

    char16_t list[64];
    DWORD n = GetPrivateProfileStringW(nullptr, nullptr, u"", list, 64, u"C:\\sgd.ini");
    EXPECT_EQ(std::u16string(list, n + 1), std::u16string(u"S\0T\0\0", 5));
    n = GetPrivateProfileStringW(u"s", nullptr, u"", list, 64, u"C:\\sgd.ini");
    EXPECT_EQ(std::u16string(list, n + 1), std::u16string(u"q\0long\0\0", 8));
}

TEST_F(Profile, ANulEndsTheTextOfItsLine) {
    WriteBytes("sgd.ini", std::string("[S]\r\nab\0cd=1\r\nk=v\0tail\r\n", 24));
    char16_t list[64];
    const DWORD n = GetPrivateProfileStringW(u"S", nullptr, u"", list, 64, u"C:\\sgd.ini");
    EXPECT_EQ(std::u16string(list, n + 1), std::u16string(u"k\0\0", 3));
    EXPECT_EQ(Get(u"S", u"k"), CString(u"v"));
    ASSERT_TRUE(WritePrivateProfileStringW(u"S", u"k", u"w", u"C:\\sgd.ini"));
    EXPECT_EQ(Get(u"S", u"k"), CString(u"w"));
}

TEST_F(Profile, AKeyAddedAfterALastLineWithoutLineFeedIsALineOfItsOwn) {
    for (const char* file : {"[S]\r\nt\r", "[S]\r\nt", "[S]\r", "[S]"}) {
        WriteBytes("sgd.ini", file);
        ASSERT_TRUE(WritePrivateProfileStringW(u"S", u"k", u"v", u"C:\\sgd.ini"));
        EXPECT_EQ(Get(u"S", u"k"), CString(u"v")) << file;
    }
}

TEST_F(Profile, WriteIsRefusedWhileAnotherOpenDeniesWriters) {
    WriteBytes("sgd.ini", "[S]\r\nk=v\r\n");
    SharedFile holder;
    ASSERT_TRUE(holder.Open(u"C:\\sgd.ini", SharedFile::kRead, _SH_DENYWR));
    EXPECT_FALSE(WritePrivateProfileStringW(u"S", u"k", u"w", u"C:\\sgd.ini"));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    holder.Close();
    EXPECT_TRUE(WritePrivateProfileStringW(u"S", u"k", u"w", u"C:\\sgd.ini"));
    EXPECT_EQ(ReadBytes("sgd.ini"), "[S]\r\nk=w\r\n");
}
