// The placement code is the module's own, not exported: the tests build it in, once, so that
// the jig, the insertion and the library read share the tests' state (one library session).
#include "module/frame/PointInReach.cpp"
#include "module/library/LibraryReadCache.cpp"
#include "module/library/RoomInsertion.cpp"
#include "module/placement/CRoomJig.cpp"
#include "module/placement/CVkQsTempRoom.cpp"
#include "module/placement/LinkInsertedRoom.cpp"
