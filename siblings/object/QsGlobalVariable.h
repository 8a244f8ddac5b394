#pragma once
// Process-wide switches of the building-services object library, and scope guards that hold
// one for their lifetime and put the previous value back on every path.
//
// - deep clone (on by default): while on, a component copied by a deep clone (a user copy)
//   forgets the standard room it belonged to; the standard-room tools turn it off so that
//   stored and placed rooms keep their links.
// - standard-room notification (on by default): while on, modifying or erasing a component
//   or room boundary of a placed copy marks that copy's marker as changed (change type 1).
// - standard-room insert (off by default): while on, markers that arrive through a deep
//   clone start in the not-modified state.

namespace QsGlobalVariable {
bool DeepCloneEnabled();
bool NotifySRoomEnabled();
bool SRoomInsertEnabled();
void SetDeepClone(bool on);
void SetNotifySRoom(bool on);
void SetSRoomInsert(bool on);
}  // namespace QsGlobalVariable

// Set true by the standard-room commands for their whole duration.
extern bool m_bLeadContainer;

class TmpSetDeepCone {
public:
    explicit TmpSetDeepCone(bool on);
    ~TmpSetDeepCone();
    TmpSetDeepCone(const TmpSetDeepCone&) = delete;
    TmpSetDeepCone& operator=(const TmpSetDeepCone&) = delete;

private:
    bool m_old;
};

class TmpSetNotifySRoom {
public:
    explicit TmpSetNotifySRoom(bool on);
    ~TmpSetNotifySRoom();
    TmpSetNotifySRoom(const TmpSetNotifySRoom&) = delete;
    TmpSetNotifySRoom& operator=(const TmpSetNotifySRoom&) = delete;

private:
    bool m_old;
};

class TmpSetSRoomInsert {
public:
    explicit TmpSetSRoomInsert(bool on);
    ~TmpSetSRoomInsert();
    TmpSetSRoomInsert(const TmpSetSRoomInsert&) = delete;
    TmpSetSRoomInsert& operator=(const TmpSetSRoomInsert&) = delete;

private:
    bool m_old;
};
