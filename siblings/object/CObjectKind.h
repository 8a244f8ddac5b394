#pragma once
// Kinds of objects of the building-services library and the detail names of their layers.
// The layer services turn a detail name into the layer name to use.
#include "host/win/CString.h"

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
    // The detail name of the layer for that kind; empty for a kind without a layer.
    static CString GetLayerByKind(Object::Kind kind);
};
