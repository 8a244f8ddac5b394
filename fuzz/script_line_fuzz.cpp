// Feeds arbitrary text to the parsers of script lines, line by line as the input queue splits
// a script: points, numbers, handle lists, window and crossing boxes, words and keywords.
// Whatever the input, a parser answers; every value it accepts is finite, a handle list has
// one handle per word, and a keyword match names a keyword of the list. (The whole editor
// reading the same lines: script_run_fuzz.cpp.)
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "host/ed/detail/PromptReader.h"

namespace {

bool Finite(const AcGePoint3d& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); }

void CheckParsers(const CString& line)
{
    using namespace vked::detail;
    AcGePoint3d pt;
    if (ParsePoint(line, pt) && !Finite(pt)) std::abort();
    double v = 0;
    if (ParseNumber(line, v) && !std::isfinite(v)) std::abort();
    std::vector<AcDbHandle> handles;
    if (ParseHandles(line, handles) && handles.size() != SplitWords(line).size()) std::abort();
    bool crossing = false;
    AcGePoint3d a, b;
    if (ParseBox(line, crossing, a, b) && !(Finite(a) && Finite(b))) std::abort();
    CString canonical;
    const int k = MatchKeyword(u"Left Right Up _ L R U", line, &canonical);
    if (k > 2 || (k >= 0 && canonical.IsEmpty())) std::abort();
    for (const CString& word : SplitWords(line))
        if (word.Find(u' ') >= 0 || word.Find(u'\t') >= 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const CString text = CString::FromUtf8(std::string(reinterpret_cast<const char*>(data), size));
    const std::u16string& all = text.str();
    for (size_t start = 0; start <= all.size();) {
        size_t end = all.find(u'\n', start);
        if (end == std::u16string::npos) end = all.size();
        std::u16string line = all.substr(start, end - start);
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        CheckParsers(CString(line));
        start = end + 1;
    }
    return 0;
}
