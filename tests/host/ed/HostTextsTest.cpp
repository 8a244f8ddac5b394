// The host's texts: the session's language as the environment chooses it, and a catalogue
// whose Chinese texts take the same values as the English ones (a format that differs would
// print garbage or crash at the first message).
#include <gtest/gtest.h>

#include <string>

#include "host/ed/HostTexts.h"

namespace {

using vked::Language;

// The printf conversions of a text, in order ("%s%d").
std::string Conversions(const char16_t* text)
{
    std::string out;
    for (const char16_t* p = text; *p; ++p)
        if (p[0] == u'%' && p[1]) out += {'%', static_cast<char>(*++p)};
    return out;
}

}  // namespace

TEST(HostTexts, VkcadLangWinsThenTheFirstLocaleVariableSet)
{
    EXPECT_EQ(vked::LanguageFromEnvironment("en", "zh_CN.UTF-8", nullptr, nullptr), Language::kEnglish);
    EXPECT_EQ(vked::LanguageFromEnvironment("zh", nullptr, nullptr, "C"), Language::kChinese);
    // An unknown VKCAD_LANG falls back on the locale.
    EXPECT_EQ(vked::LanguageFromEnvironment("fr", nullptr, nullptr, "zh_TW.UTF-8"), Language::kChinese);
    // LC_ALL before LC_MESSAGES before LANG; an empty one counts as unset.
    EXPECT_EQ(vked::LanguageFromEnvironment(nullptr, "en_US.UTF-8", "zh_CN", "zh_CN"), Language::kEnglish);
    EXPECT_EQ(vked::LanguageFromEnvironment(nullptr, "", "zh_CN", "en_US"), Language::kChinese);
    EXPECT_EQ(vked::LanguageFromEnvironment(nullptr, nullptr, nullptr, nullptr), Language::kEnglish);
}

TEST(HostTexts, EveryTextHasBothLanguagesWithTheSameValues)
{
    for (int i = 0; i < vked::txt::kCount; ++i) {
        const auto id = static_cast<vked::txt::Id>(i);
        const char16_t* en = vked::TextIn(id, Language::kEnglish);
        const char16_t* zh = vked::TextIn(id, Language::kChinese);
        EXPECT_NE(*en, 0) << "text " << i;
        EXPECT_NE(*zh, 0) << "text " << i;
        EXPECT_EQ(Conversions(en), Conversions(zh)) << "text " << i;
    }
}
