#pragma once
// Kinds of objects of the building-services library: their names as designers know them and
// the detail names of their layers. The layer services turn a detail name into the layer name
// to use.
#include "host/win/CString.h"

class AcDbEntity;

namespace Object {
enum Kind {
    kUnknown = 0,
    kPipe = 1,
    kMainPipe = 2,
    kValve = 3,
    kPipeFitting = 4,
    kDuct = 5,
    kDuctFitting = 6,
    kNode = 7,
    kSprinkler = 8,
    kEquipment = 9,
    kFloorDrain = 10,
    kSanitary = 11,   // sanitary fixtures: WCs, basins, showers
    kStandRoom = 35,  // the standard-room marker
};
}  // namespace Object

class CObjectKind {
public:
    // The detail name of the layer for that kind, "DISCIPLINE\ELEMENT" ("消防\喷头"; the marker's
    // is "标准房间"); empty for a kind without a layer.
    static CString GetLayerByKind(Object::Kind kind);
    // The same for a component of that type path ("给排水\管道\给水管"): the discipline is the
    // path's first word, and pipes lie on their system's layer, the path's last word
    // ("给排水\给水管"). A path naming no discipline gives the kind's own layer.
    static CString GetLayerByKind(Object::Kind kind, const CString& typePath);
    // The kind's name ("喷头"); empty for kUnknown.
    static CString GetNameByKind(Object::Kind kind);
    // The kind of an object of this library; kUnknown for null and for anything else. A node or
    // component whose type path names a floor drain or a sanitary fixture after its discipline
    // ("给排水\附件\地漏", "给排水\洁具\坐便器") is of that kind.
    static Object::Kind GetKind(const AcDbEntity* ent);
    // The five disciplines, the first word of every type path: 给排水, 电气, 暖通, 消防, 弱电.
    static bool IsDiscipline(const CString& word);
};
