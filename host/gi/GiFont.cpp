// The font of texts in pictures, chosen through fontconfig for Chinese text.
#include <fontconfig/fontconfig.h>

#include "host/gi/GiPicture.h"

namespace vkgi {

ResolvedFont ResolveFont(const CString& sample)
{
    ResolvedFont out;
    if (!FcInit()) return out;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddString(pat, FC_LANG, reinterpret_cast<const FcChar8*>("zh-cn"));
    FcCharSet* wanted = FcCharSetCreate();
    std::vector<FcChar32> chars;
    for (int i = 0; i < sample.GetLength(); ++i) {
        char32_t c = sample[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < sample.GetLength()) {
            c = 0x10000 + ((c - 0xD800) << 10) + (sample[i + 1] - 0xDC00);
            ++i;
        }
        if (c > u' ') chars.push_back(c), FcCharSetAddChar(wanted, c);
    }
    FcPatternAddCharSet(pat, FC_CHARSET, wanted);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pat, &result)) {
        FcChar8* s = nullptr;
        if (FcPatternGetString(match, FC_FAMILY, 0, &s) == FcResultMatch) out.family = reinterpret_cast<char*>(s);
        if (FcPatternGetString(match, FC_FILE, 0, &s) == FcResultMatch) out.file = reinterpret_cast<char*>(s);
        FcCharSet* has = nullptr;
        out.coversAll = FcPatternGetCharSet(match, FC_CHARSET, 0, &has) == FcResultMatch;
        for (FcChar32 c : chars) out.coversAll = out.coversAll && FcCharSetHasChar(has, c);
        FcPatternDestroy(match);
    }
    FcCharSetDestroy(wanted);
    FcPatternDestroy(pat);
    return out;
}

const std::string& TextFontFamily()
{
    // The family that covers the common room words; cairo then finds it by name.
    static const std::string family = [] {
        ResolvedFont f = ResolveFont(u"卫生间房间标准");
        return f.family.empty() ? std::string("sans-serif") : f.family;
    }();
    return family;
}

}  // namespace vkgi
