#include "siblings/object/CObjectKind.h"

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
    case Object::kStandRoom: return u"标准房间";
    case Object::kUnknown: break;
    }
    return CString();
}
