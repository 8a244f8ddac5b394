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
    {Object::kEquipment, u"暖通", u"设备"},       {Object::kStandRoom, nullptr, u"标准房间"},
};

const KindRow* rowOf(Object::Kind kind)
{
    for (const KindRow& r : kKinds)
        if (r.kind == kind) return &r;
    return nullptr;
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
    if (c->isKindOf(VkQsNodeEntPrototype::desc()) || c->isKindOf(VkQsNode::desc())) return Object::kNode;
    if (c->isKindOf(VkQsElementComponent::desc())) return Object::kEquipment;
    return Object::kUnknown;
}
