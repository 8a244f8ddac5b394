#pragma once
// The host's plain-C interface types: points, entity and selection-set names, result codes
// and result buffers.
#include <cstdint>

#include "host/db/AcDbCore.h"

using ads_real = double;
using ads_point = double[3];
using ads_name = Adesk::Int64[2];
using ads_pointp = double*;
using ads_namep = Adesk::Int64*;
enum { X = 0, Y = 1, Z = 2 };

// Result codes of the prompt, selection and system-variable calls.
constexpr int RTNONE = 5000;    // Enter with nothing typed
constexpr int RTREAL = 5001;
constexpr int RTPOINT = 5002;
constexpr int RTSHORT = 5003;
constexpr int RTANG = 5004;
constexpr int RTSTR = 5005;
constexpr int RTENAME = 5006;
constexpr int RTPICKS = 5007;
constexpr int RTORINT = 5008;
constexpr int RT3DPOINT = 5009;
constexpr int RTLONG = 5010;
constexpr int RTLB = 5016;
constexpr int RTLE = 5017;
constexpr int RTNORM = 5100;    // success
constexpr int RTERROR = -5001;  // failure, or an empty selection
constexpr int RTCAN = -5002;    // Esc, or the cancel character sent to the command line
constexpr int RTREJ = -5003;
constexpr int RTFAIL = -5004;
constexpr int RTKWORD = -5005;  // a keyword was typed; acedGetInput gives it

// acedInitGet flags.
constexpr int RSG_NONULL = 0x01;   // Enter is refused
constexpr int RSG_NOZERO = 0x02;
constexpr int RSG_NONEG = 0x04;
constexpr int RSG_NOLIM = 0x08;
constexpr int RSG_GETZ = 0x10;
constexpr int RSG_DASH = 0x20;
constexpr int RSG_2D = 0x40;
constexpr int RSG_OTHER = 0x80;    // any text is accepted as a keyword

// A result buffer: a typed value, chained. Strings are malloc'ed; acutRelRb frees a chain.
union ads_u_val {
    ads_real rreal;
    ads_real rpoint[3];
    short rint;
    char16_t* rstring;
    Adesk::Int32 rlong;
    Adesk::Int64 rlong64;
    Adesk::Int64 rlname[2];
};
struct resbuf {
    struct resbuf* rbnext = nullptr;
    short restype = RTNONE;
    union ads_u_val resval {};
};

struct resbuf* acutNewRb(int type);           // zeroed, restype set
int acutRelRb(struct resbuf* rb);             // frees the chain and its strings; RTNORM
struct resbuf* acutBuildString(const char16_t* s);  // one RTSTR buffer
char16_t* acutNewString(const char16_t* s);   // malloc'ed copy; free with acutDelString
void acutDelString(char16_t*& s);
