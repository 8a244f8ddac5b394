#pragma once
// Prompts on the command line. Each call prints its prompt to the transcript and reads the
// input queue until a line fits (see host/ed/EditorLoop.h for how lines are read):
//
//   line                     acedGetPoint  acedGetReal/Int  acedGetString  acedEntSel
//   x,y  or  x,y,z           RTNORM        error            the string     pick at the point
//   a number                 error         RTNORM           the string     error
//   a word                   keyword*      keyword*         the string     keyword*
//   #1A0                     error         error            the string     pick by handle
//   <enter>                  RTNONE        RTNONE           RTNORM, ""     RTERROR
//   <esc>, cancel character  RTCAN         RTCAN            RTCAN          RTCAN
//   !action                  to the top dialog while the prompt goes on waiting
//   * a word that is one of the keywords of acedInitGet answers RTKWORD (acedGetInput gives
//     it); any other word is an error (with RSG_OTHER any text is taken as the keyword).
// A line that does not fit prints "** line N (SOURCE): WHY **" and the prompt keeps waiting.
// With RSG_NONULL, <enter> is such an error.
#include "host/ed/AdsTypes.h"

int acedInitGet(int flags, const char16_t* keywordList = nullptr);  // for the next prompt only
int acedGetInput(char16_t* keyword, size_t bufLen = 512);             // the last keyword

int acedGetPoint(const ads_point basePoint, const char16_t* prompt, ads_point result);
int acedGetReal(const char16_t* prompt, ads_real* result);
int acedGetInt(const char16_t* prompt, int* result);
int acedGetDist(const ads_point basePoint, const char16_t* prompt, ads_real* result);
int acedGetAngle(const ads_point basePoint, const char16_t* prompt, ads_real* result);  // degrees typed, radians out
// The whole line is the string (cronly or not); bufLen counts char16_t with the terminator;
// a longer answer is an error and the prompt waits again.
int acedGetString(int cronly, const char16_t* prompt, char16_t* result, size_t bufLen);
int acedGetString(int cronly, const char16_t* prompt, char16_t* result);  // bufLen 133
int acedGetKword(const char16_t* prompt, char16_t* result, size_t bufLen = 512);

// Entity pick. A point picks the most recently appended visible entity of the current space
// (model space) whose geometry (AcDbEntity::getGeomPieces, or its extents when it has no
// pieces) passes within the pick aperture of the point: PICKBOX x PIXELSIZE drawing units
// (system variables; 3 x 1.0 by default). Visible: not erased, visibility on, layer neither off
// nor frozen. A handle (#1A0) picks that entity of the current drawing whatever its layer,
// and the point returned is the first point of its geometry. A point that hits nothing, or
// a handle of an object that is no entity of the current space (a layer, a block's entity),
// answers RTERROR, as a pick beside every entity does; a handle that names no object of the
// drawing is an error line.
int acedEntSel(const char16_t* prompt, ads_name entity, ads_point pickedPoint);

// Entity names <-> ids. Names stay valid for the life of the process.
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name);
Acad::ErrorStatus acdbGetAdsName(ads_name name, AcDbObjectId id);
inline bool ads_name_equal(const ads_name a, const ads_name b) { return a[0] == b[0] && a[1] == b[1]; }
inline void ads_name_set(const ads_name from, ads_name to) { to[0] = from[0]; to[1] = from[1]; }
inline void ads_name_clear(ads_name n) { n[0] = n[1] = 0; }
inline bool ads_name_nil(const ads_name n) { return n[0] == 0 && n[1] == 0; }

// Text to the command line. printf semantics on a char16_t format (%s takes const char16_t*).
int acedPrompt(const char16_t* text);
int acutPrintf(const char16_t* format, ...);

// The last point given to a prompt (LASTPOINT).
void acedGetLastPoint(ads_point p);
