// Random room list files, the same every run: whatever the bytes, the library reads a list of
// names its drawing holds, and writing it gives a file that reads back the same.
#include <gtest/gtest.h>

#include <random>

#include "tests/module/library/LibraryTestProject.h"

namespace {
class RoomListRandomInputTest : public LibraryProjectTest {};

// Bytes biased towards what a list is made of: digits, whitespace, signs, names, GBK pairs.
std::string RandomList(std::mt19937& rng)
{
    static const std::vector<std::string> pieces = {
        "0", "1", "2", "3", "9", "-", "+", " ", "\r\n", "\n", "\t", "A", "B", "a", "\xB7\xBF\xBC\xE4" "1",
        "\xB7\xBF", "\xFF", std::string(1, '\0'), "2147483648", "-1", "99999999999999999999", "x"};
    std::string text;
    const int n = std::uniform_int_distribution<int>(0, 24)(rng);
    for (int i = 0; i < n; ++i) {
        if (std::uniform_int_distribution<int>(0, 9)(rng) == 0)
            text += char(std::uniform_int_distribution<int>(0, 255)(rng));
        else
            text += pieces[std::uniform_int_distribution<size_t>(0, pieces.size() - 1)(rng)];
    }
    return text;
}
}  // namespace

TEST_F(RoomListRandomInputTest, AnyBytesGiveListedRoomsOfTheLibraryAndWriteBackTheSame)
{
    {
        AcDbDatabase lib(true, true);
        for (const char16_t* name : {u"A", u"B", u"房间1"}) ASSERT_FALSE(vktest::addBlockDefinition(lib, name).isNull());
        ASSERT_EQ(lib.saveAs(hostPath("StardardRoom.dwg")), Acad::eOk);
    }
    std::mt19937 rng(20261205);
    for (int round = 0; round < 300; ++round) {
        const std::string text = RandomList(rng);
        std::ofstream(dir / "Roomlist.txt", std::ios::binary | std::ios::trunc) << text;
        CManageStdRoom::DelIntance();
        CManageStdRoom* lib = CManageStdRoom::CreateOnlyInstance();
        ASSERT_NE(lib, nullptr);
        for (const CString& name : lib->m_RoomNames)
            ASSERT_TRUE(name == u"A" || name == u"B" || name == u"a" || name == u"房间1") << round << ": " << name.ToUtf8();
        ASSERT_EQ(bytes("Roomlist.txt"), text) << "reading never rewrites the file";
        const std::vector<CString> read = lib->m_RoomNames;
        lib->WriteToFile();
        CManageStdRoom::DelIntance();
        ASSERT_EQ(CManageStdRoom::CreateOnlyInstance()->m_RoomNames, read) << round;
    }
}
