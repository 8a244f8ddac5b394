#pragma once
// System variables. acedGetVar fills a result buffer (a string is malloc'ed: free it with
// acutRelRb on a heap buffer, or acutDelString on resval.rstring of a stack one);
// acedSetVar takes one. RTERROR for an unknown name (case-insensitive), a read-only variable,
// a value of the wrong type (RTSHORT and RTLONG convert into each other, RTSHORT/RTLONG
// into a real) or out of the variable's range, and a CLAYER naming no layer of the current
// drawing (a layer's name is taken in its own spelling).
//
// Table (name, type, default, values):
//   ORTHOMODE  RTSHORT 0    0 or 1   orthogonal mode (jigs with kGovernedByOrthoMode follow it)
//   OSMODE     RTSHORT 0    0..16383
//   PICKBOX    RTSHORT 3    0..50    pick aperture in pixels ...
//   PIXELSIZE  RTREAL  1.0  > 0      ... times drawing units per pixel = aperture (drawing units)
//   CMDECHO    RTSHORT 1    0 or 1
//   FILEDIA    RTSHORT 1    0 or 1
//   MODEMACRO  RTSTR   ""   any text
//   CLAYER     RTSTR   "0"  a layer of the current drawing
//   LUPREC     RTSHORT 4    0..8
//   ANGBASE    RTREAL  0    any finite number
//   LASTPOINT  RT3DPOINT 0,0,0
//   CMDACTIVE  RTSHORT          read-only: 1 while a command runs
//   CMDNAMES   RTSTR            read-only: the running command's global name
//   DWGNAME    RTSTR            read-only: the current document's file name (no folder)
//   DWGPREFIX  RTSTR            read-only: its folder, with the trailing backslash
#include "host/ed/AdsTypes.h"

int acedGetVar(const char16_t* name, struct resbuf* result);
int acedSetVar(const char16_t* name, const struct resbuf* value);

namespace vked {
// Shortcuts for host code and tests.
short GetShortVar(const char16_t* name, short fallback = 0);
double GetRealVar(const char16_t* name, double fallback = 0);
bool SetShortVar(const char16_t* name, short value);
bool SetRealVar(const char16_t* name, double value);
void ResetSystemVariables();  // every variable back to its default
// Sets the variable as acedSetVar does; the reason it refuses, e.g. "the value must be 0 or
// 1", "the drawing has no layer X", "no such variable" (empty when it took the value).
CString SetVarRefusal(const char16_t* name, const resbuf& value);
bool IsReadOnlyVar(const char16_t* name);
}  // namespace vked
