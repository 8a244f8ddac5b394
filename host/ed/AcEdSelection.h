#pragma once
// Selection sets.
//
// acedSSGet(mode, pt1, pt2, filter, ss), modes (combinable, in one string):
//   nullptr or ""  interactive: operations gather entities until <enter>
//   ":S"           one selection operation: the first that selects something ends the call
//   ":$"           pt1 is const char16_t* prompts[2]: prompts[0] is printed before reading,
//                  prompts[1] when removing (not used by scripts)
//   ":K"           pt2 is the keyword list text (space separated), e.g.
//                  u"Q". A typed keyword calls the callback set with
//                  acedSSSetKwordCallbackPtr; the callback may run nested prompts and
//                  selections; after it returns the selection goes on (prompt printed again)
//   "W" / "C"      no input: pt1 and pt2 are the corners; window (extents inside) or
//                  crossing (geometry crosses or lies inside the box)
//   "X"            no input: every entity of the current space (filter ignored)
// Interactive operations are lines: a point (pick, as acedEntSel), handles "#1A0 #1B4",
// "W x1,y1 x2,y2", "C x1,y1 x2,y2". Only visible entities of the current space are found
// (handles excepted, which need only to be entities of the current space; a handle of an
// object that is no entity of the current space finds nothing, one that names no object is
// an error line). Each operation prints "N found". <enter> ends: RTNORM with a set, RTERROR when nothing was selected;
// <esc> or the cancel character: RTCAN. The set is freed with acedSSFree.
#include "host/ed/AdsTypes.h"

int acedSSGet(const char16_t* mode, const void* pt1, const void* pt2, const struct resbuf* filter,
              ads_name ss);
int acedSSFree(const ads_name ss);
int acedSSLength(const ads_name ss, Adesk::Int32* length);
int acedSSName(const ads_name ss, Adesk::Int32 index, ads_name entity);
int acedSSAdd(const ads_name entity, const ads_name ss, ads_name result);  // null ss: a new set
int acedSSDel(const ads_name entity, const ads_name ss);
int acedSSMemb(const ads_name entity, const ads_name ss);                 // RTNORM when a member

using AcEdSSKwordCallback = struct resbuf* (*)(const char16_t* keyword);
// The callback stays until replaced; the result list it returns is freed by the host.
int acedSSSetKwordCallbackPtr(AcEdSSKwordCallback callback);
int acedSSGetKwordCallbackPtr(AcEdSSKwordCallback* callback);

namespace vked {
int OpenSelectionSetCount();  // sets not yet freed, for leak checks in tests
}
