#include "host/ed/AdsTypes.h"

#include <cstdlib>
#include <cstring>

struct resbuf* acutNewRb(int type)
{
    auto* rb = static_cast<resbuf*>(std::calloc(1, sizeof(resbuf)));
    if (rb) rb->restype = static_cast<short>(type);
    return rb;
}

int acutRelRb(struct resbuf* rb)
{
    while (rb) {
        resbuf* next = rb->rbnext;
        if (rb->restype == RTSTR) std::free(rb->resval.rstring);
        std::free(rb);
        rb = next;
    }
    return RTNORM;
}

char16_t* acutNewString(const char16_t* s)
{
    size_t n = 0;
    if (s) while (s[n]) ++n;
    auto* out = static_cast<char16_t*>(std::malloc((n + 1) * sizeof(char16_t)));
    if (!out) return nullptr;
    if (n) std::memcpy(out, s, n * sizeof(char16_t));
    out[n] = 0;
    return out;
}

void acutDelString(char16_t*& s)
{
    std::free(s);
    s = nullptr;
}

struct resbuf* acutBuildString(const char16_t* s)
{
    resbuf* rb = acutNewRb(RTSTR);
    if (rb) rb->resval.rstring = acutNewString(s);
    return rb;
}
