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
    kStandRoom = 35,  // the standard-room marker
};
}  // namespace Object

class CObjectKind {
public:
    // The detail name of the layer for that kind ("消防\\喷头"); empty for a kind without a layer.
    static CString GetLayerByKind(Object::Kind kind);
    // The kind's name ("喷头"); empty for kUnknown.
    static CString GetNameByKind(Object::Kind kind);
    // The kind of an object of this library; kUnknown for null and for anything else.
    static Object::Kind GetKind(const AcDbEntity* ent);
};
