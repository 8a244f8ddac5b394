#include "siblings/object/QsGlobalVariable.h"

bool m_bLeadContainer = false;

namespace {
bool g_deepClone = true;
bool g_notifySRoom = true;
bool g_sroomInsert = false;
}  // namespace

namespace QsGlobalVariable {
bool DeepCloneEnabled() { return g_deepClone; }
bool NotifySRoomEnabled() { return g_notifySRoom; }
bool SRoomInsertEnabled() { return g_sroomInsert; }
void SetDeepClone(bool on) { g_deepClone = on; }
void SetNotifySRoom(bool on) { g_notifySRoom = on; }
void SetSRoomInsert(bool on) { g_sroomInsert = on; }
}  // namespace QsGlobalVariable

TmpSetDeepCone::TmpSetDeepCone(bool on) : m_old(g_deepClone) { g_deepClone = on; }
TmpSetDeepCone::~TmpSetDeepCone() { g_deepClone = m_old; }

TmpSetNotifySRoom::TmpSetNotifySRoom(bool on) : m_old(g_notifySRoom) { g_notifySRoom = on; }
TmpSetNotifySRoom::~TmpSetNotifySRoom() { g_notifySRoom = m_old; }

TmpSetSRoomInsert::TmpSetSRoomInsert(bool on) : m_old(g_sroomInsert) { g_sroomInsert = on; }
TmpSetSRoomInsert::~TmpSetSRoomInsert() { g_sroomInsert = m_old; }
