// Feeds arbitrary bytes to the profile (INI) functions, on the file's bytes as they work on
// them. Every listed key of a section reads; writing a key makes it read back as the value
// written and keeps the other sections' keys as they read before (the other lines stay byte
// for byte); a second write of the same value changes nothing; deleting the key again leaves
// the other sections as they were.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "host/win/HostFile.h"

using namespace vkwin::detail;

namespace {
// Only the first few sections and keys are compared, to keep each run short.
constexpr size_t kChecked = 3;

struct Entry {
    CString section, key, value;
};

std::vector<Entry> Snapshot(const std::string& bytes)
{
    std::vector<Entry> out;
    const std::vector<CString> sections = ProfileSections(bytes);
    for (size_t s = 0; s < sections.size() && s < kChecked; ++s) {
        if (sections[s].CompareNoCase(u"VkFuzz") == 0) continue;
        const std::vector<CString> keys = ProfileKeys(bytes, sections[s]);
        for (size_t k = 0; k < keys.size() && k < kChecked; ++k) {
            const std::optional<CString> value = ProfileValue(bytes, sections[s], keys[k]);
            if (!value) std::abort();  // a listed key always reads
            out.push_back({sections[s], keys[k], *value});
        }
    }
    return out;
}

void SameAs(const std::string& bytes, const std::vector<Entry>& before)
{
    for (const Entry& e : before) {
        const std::optional<CString> value = ProfileValue(bytes, e.section, e.key);
        if (!value || *value != e.value) std::abort();
    }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<Entry> before = Snapshot(bytes);

    const std::optional<std::string> written = ProfileWrite(bytes, u"VkFuzz", u"Segment1", u"+1A0+1B4");
    if (!written) std::abort();
    const std::optional<CString> back = ProfileValue(*written, u"VkFuzz", u"Segment1");
    if (!back || *back != u"+1A0+1B4") std::abort();
    SameAs(*written, before);
    if (ProfileWrite(*written, u"VkFuzz", u"Segment1", u"+1A0+1B4") != written) std::abort();

    const std::optional<std::string> removed = ProfileWrite(*written, u"VkFuzz", u"Segment1", nullptr);
    if (!removed) std::abort();
    SameAs(*removed, before);
    if (ProfileWrite(bytes, u"Vk]Fuzz", u"k", u"v") || ProfileWrite(bytes, u"s", u"k=", u"v") ||
        ProfileWrite(bytes, u"s", u"k", u"a\nb"))
        std::abort();  // text that would read back as other lines is refused
    return 0;
}
