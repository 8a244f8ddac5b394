#include "siblings/object/CObjectKind.h"

#include <vector>

namespace {

constexpr const char16_t* kDisciplines[] = {u"给排水", u"电气", u"暖通", u"消防", u"弱电"};

// The words of a type path: discipline, kind, subkind.
std::vector<CString> PathWords(const CString& path)
{
    std::vector<CString> words;
    int start = 0;
    for (;;) {
        const int cut = path.Find(u'\\', start);
        words.push_back(cut < 0 ? path.Mid(start) : path.Mid(start, cut - start));
        if (cut < 0) break;
        start = cut + 1;
    }
    return words;
}

}  // namespace

CString CObjectKind::GetLayerByKind(Object::Kind kind)
{
    switch (kind) {
    case Object::kPipe: return u"给排水\\管道";
    case Object::kMainPipe: return u"给排水\\干管";
    case Object::kValve: return u"给排水\\阀门";
    case Object::kPipeFitting: return u"给排水\\管件";
    case Object::kDuct: return u"暖通\\风管";
    case Object::kDuctFitting: return u"暖通\\风管管件";
    case Object::kNode: return u"电气\\节点";
    case Object::kSprinkler: return u"消防\\喷头";
    case Object::kEquipment: return u"暖通\\设备";
    case Object::kFloorDrain: return u"给排水\\地漏";
    case Object::kSanitary: return u"给排水\\洁具";
    case Object::kStandRoom: return u"标准房间";
    case Object::kUnknown: break;
    }
    return CString();
}

CString CObjectKind::GetLayerByKind(Object::Kind kind, const CString& typePath)
{
    const CString own = GetLayerByKind(kind);
    const std::vector<CString> words = PathWords(typePath);
    const int cut = own.Find(u'\\');
    if (cut < 0 || !IsDiscipline(words.front())) return own;
    const bool pipe = kind == Object::kPipe || kind == Object::kMainPipe;
    const CString element = pipe && words.size() > 1 && !words.back().IsEmpty() ? words.back() : own.Mid(cut + 1);
    return words.front() + u"\\" + element;
}

bool CObjectKind::IsDiscipline(const CString& word)
{
    for (const char16_t* d : kDisciplines)
        if (word == d) return true;
    return false;
}
