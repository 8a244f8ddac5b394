#include "siblings/object/CObjectKind.h"

#include "siblings/object/AcDbQsStandRoom.h"
#include "siblings/object/VkQsDlpEnt.h"
#include "siblings/object/VkQsDuctFitting.h"
#include "siblings/object/VkQsElementComponent.h"
#include "siblings/object/VkQsFittingBase.h"
#include "siblings/object/VkQsMainLine.h"
#include "siblings/object/VkQsNode.h"
#include "siblings/object/VkQsNodeEntPrototype.h"
#include "siblings/object/VkQsPipe.h"
#include "siblings/object/VkQsPipeValve.h"

#include <vector>

namespace {

// Each kind's discipline (the first word of its layer's detail name) and name.
struct KindRow {
    Object::Kind kind;
    const char16_t* discipline;
    const char16_t* name;
};
constexpr KindRow kKinds[] = {
    {Object::kPipe, u"给排水", u"管道"},          {Object::kMainPipe, u"给排水", u"干管"},
    {Object::kValve, u"给排水", u"阀门"},         {Object::kPipeFitting, u"给排水", u"管件"},
    {Object::kDuct, u"暖通", u"风管"},            {Object::kDuctFitting, u"暖通", u"风管管件"},
    {Object::kNode, u"电气", u"节点"},            {Object::kSprinkler, u"消防", u"喷头"},
    {Object::kEquipment, u"暖通", u"设备"},       {Object::kFloorDrain, u"给排水", u"地漏"},
    {Object::kSanitary, u"给排水", u"洁具"},      {Object::kStandRoom, nullptr, u"标准房间"},
};

const KindRow* rowOf(Object::Kind kind)
{
    for (const KindRow& r : kKinds)
        if (r.kind == kind) return &r;
    return nullptr;
}

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

// Whether a word of the path after its discipline is the kind's name ("给排水\附件\地漏").
bool PathNames(const CString& path, Object::Kind kind)
{
    const std::vector<CString> words = PathWords(path);
    const CString name = CObjectKind::GetNameByKind(kind);
    for (size_t i = 1; i < words.size(); ++i)
        if (words[i] == name) return true;
    return false;
}

}  // namespace

CString CObjectKind::GetLayerByKind(Object::Kind kind)
{
    const KindRow* r = rowOf(kind);
    if (!r) return CString();
    return r->discipline ? CString(r->discipline) + u"\\" + r->name : CString(r->name);
}

CString CObjectKind::GetNameByKind(Object::Kind kind)
{
    const KindRow* r = rowOf(kind);
    return r ? CString(r->name) : CString();
}

Object::Kind CObjectKind::GetKind(const AcDbEntity* ent)
{
    if (!ent) return Object::kUnknown;
    if (ent->isKindOf(AcDbQsStandRoom::desc())) return AcDbQsStandRoom::kKind;
    const VkQsEntity* c = VkQsEntity::cast(ent);
    if (!c) return Object::kUnknown;
    // The most derived classes first: a main pipe is a pipe, a sprinkler a placed node.
    if (VkQsMainLine::vk_cast(c)) return Object::kMainPipe;
    if (c->isKindOf(VkQsPipe::desc())) return Object::kPipe;
    if (c->isKindOf(VkQsPipeValve::desc())) return Object::kValve;
    if (c->isKindOf(VkQsDuctFitting::desc())) return Object::kDuctFitting;
    if (c->isKindOf(VkQsPipeFitting::desc())) return Object::kPipeFitting;
    if (c->isKindOf(VkQsDlpEnt::desc())) return Object::kDuct;
    if (c->isKindOf(VkQsSprinkler::desc())) return Object::kSprinkler;
    // Floor drains are nodes and sanitary fixtures components: their type paths tell them apart.
    if (c->isKindOf(VkQsNodeEntPrototype::desc()) || c->isKindOf(VkQsNode::desc()))
        return PathNames(c->GetSmallTypeNamePath(), Object::kFloorDrain) ? Object::kFloorDrain : Object::kNode;
    if (c->isKindOf(VkQsElementComponent::desc()))
        return PathNames(c->GetSmallTypeNamePath(), Object::kSanitary) ? Object::kSanitary : Object::kEquipment;
    return Object::kUnknown;
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
