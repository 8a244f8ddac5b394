// The prompt calls: points, numbers, strings, keywords and entity picks.
#include <cmath>
#include <cstdarg>
#include <unordered_map>

#include "host/ed/AcEdInput.h"
#include "host/ed/Transcript.h"
#include "host/ed/detail/PromptReader.h"

namespace vked::detail {
namespace {

struct InitGet {
    int flags = 0;
    CString keywords;
};
InitGet g_initGet;
CString g_lastKeyword;
AcGePoint3d g_lastPoint;

// Entity names: an index into the table of ids named so far (tag in the second word).
constexpr Adesk::Int64 kEntityTag = 0x454E54;
std::vector<AcDbObjectId>& NameTable()
{
    static std::vector<AcDbObjectId> t;
    return t;
}
std::unordered_map<AcDbObjectId, Adesk::Int64>& NameIndex()
{
    static std::unordered_map<AcDbObjectId, Adesk::Int64> m;
    return m;
}

InitGet TakeInitGet()
{
    InitGet g = g_initGet;
    g_initGet = InitGet();
    return g;
}

// How a prompt reads one answer. Interpret gets a line that is neither Enter nor Esc nor a
// dialog action; it answers a result code, or 0 with a reason when the line does not fit.
template <class Interpret>
int RunPrompt(const char16_t* prompt, const CString& what, const InitGet& ig, int onEnter, Interpret interpret,
              vked::PromptInput input = vked::PromptInput::kOther)
{
    PromptScope scope(vked::WaitingReader::kPrompt, input, &ig.keywords);
    if (prompt) transcript().write(prompt);
    for (;;) {
        ReadResult r = ReadEvent(what);
        switch (r.kind) {
        case ReadResult::kAction: continue;
        case ReadResult::kCancel: return RTCAN;
        case ReadResult::kEnter:
            if ((ig.flags & RSG_NONULL) && !r.line.text.IsEmpty()) {
                ReportBadLine(r.line, u"a value is required");
                continue;
            }
            return onEnter;
        case ReadResult::kLine: break;
        }
        CString text = r.line.text;
        text.Trim();
        CString why;
        int rc = interpret(text, why);
        if (rc == 0) {
            CString kw;
            if (MatchKeyword(ig.keywords, text, &kw) >= 0) {
                g_lastKeyword = kw;
                EchoInput(r.line);
                return RTKWORD;
            }
            if (ig.flags & RSG_OTHER) {
                g_lastKeyword = text;
                EchoInput(r.line);
                return RTKWORD;
            }
            ReportBadLine(r.line, why);
            continue;
        }
        EchoInput(r.line);
        return rc;
    }
}

bool NumberAllowed(double v, int flags, CString& why)
{
    if ((flags & RSG_NOZERO) && v == 0) { why = u"zero is not allowed"; return false; }
    if ((flags & RSG_NONEG) && v < 0) { why = u"a negative value is not allowed"; return false; }
    return true;
}

}  // namespace

void SetLastPoint(const AcGePoint3d& p) { g_lastPoint = p; }
AcGePoint3d LastPoint() { return g_lastPoint; }
void SetLastKeyword(const CString& kw) { g_lastKeyword = kw; }

}  // namespace vked::detail

using namespace vked::detail;

int acedInitGet(int flags, const char16_t* keywordList)
{
    g_initGet.flags = flags;
    g_initGet.keywords = keywordList ? CString(keywordList) : CString();
    return RTNORM;
}

int acedGetInput(char16_t* keyword, size_t bufLen)
{
    if (!keyword || bufLen == 0) return RTERROR;
    if (static_cast<size_t>(g_lastKeyword.GetLength()) + 1 > bufLen) return RTERROR;
    for (int i = 0; i < g_lastKeyword.GetLength(); ++i) keyword[i] = g_lastKeyword[i];
    keyword[g_lastKeyword.GetLength()] = 0;
    return RTNORM;
}

int acedGetPoint(const ads_point basePoint, const char16_t* prompt, ads_point result)
{
    InitGet ig = TakeInitGet();
    return RunPrompt(prompt, u"a point prompt waited; it was", ig, RTNONE, [&](const CString& t, CString& why) {
        AcGePoint3d p;
        if (!ParsePoint(t, p)) {
            why = u"expected a point x,y";
            return 0;
        }
        result[0] = p.x;
        result[1] = p.y;
        result[2] = p.z;
        SetLastPoint(p);
        vked::NotifyDrawingInput();
        return RTNORM;
    }, vked::PromptInput::kPoint);
}

int acedGetReal(const char16_t* prompt, ads_real* result)
{
    InitGet ig = TakeInitGet();
    return RunPrompt(prompt, u"a number prompt waited; it was", ig, RTNONE, [&](const CString& t, CString& why) {
        double v;
        if (!ParseNumber(t, v)) {
            why = u"expected a number";
            return 0;
        }
        if (!NumberAllowed(v, ig.flags, why)) return 0;
        *result = v;
        return RTNORM;
    });
}

int acedGetInt(const char16_t* prompt, int* result)
{
    InitGet ig = TakeInitGet();
    return RunPrompt(prompt, u"an integer prompt waited; it was", ig, RTNONE, [&](const CString& t, CString& why) {
        double v;
        if (!ParseNumber(t, v) || v != std::floor(v) || std::fabs(v) > 32767) {
            why = u"expected an integer between -32768 and 32767";
            return 0;
        }
        if (!NumberAllowed(v, ig.flags, why)) return 0;
        *result = static_cast<int>(v);
        return RTNORM;
    });
}

int acedGetDist(const ads_point basePoint, const char16_t* prompt, ads_real* result)
{
    InitGet ig = TakeInitGet();
    return RunPrompt(prompt, u"a distance prompt waited; it was", ig, RTNONE, [&](const CString& t, CString& why) {
        double v;
        AcGePoint3d p;
        if (ParseNumber(t, v)) {
        } else if (basePoint && ParsePoint(t, p)) {
            v = std::hypot(p.x - basePoint[0], p.y - basePoint[1], p.z - basePoint[2]);
            if (!std::isfinite(v)) {
                why = u"the distance to that point is too large";
                return 0;
            }
        } else {
            why = u"expected a distance";
            return 0;
        }
        if (!NumberAllowed(v, ig.flags, why)) return 0;
        *result = v;
        return RTNORM;
    }, basePoint ? vked::PromptInput::kPoint : vked::PromptInput::kOther);
}

int acedGetAngle(const ads_point basePoint, const char16_t* prompt, ads_real* result)
{
    InitGet ig = TakeInitGet();
    return RunPrompt(prompt, u"an angle prompt waited; it was", ig, RTNONE, [&](const CString& t, CString& why) {
        double v;
        if (!ParseNumber(t, v)) {
            why = u"expected an angle in degrees";
            return 0;
        }
        const double radians = v * 3.14159265358979323846 / 180.0;
        if (!std::isfinite(radians)) {
            why = u"the angle is too large";
            return 0;
        }
        *result = radians;
        return RTNORM;
    });
}

int acedGetString(int cronly, const char16_t* prompt, char16_t* result, size_t bufLen)
{
    InitGet ig = TakeInitGet();
    if (!result || bufLen == 0) return RTERROR;
    PromptScope scope;
    if (prompt) vked::transcript().write(prompt);
    for (;;) {
        ReadResult r = ReadEvent(u"a text prompt waited; it was");
        if (r.kind == ReadResult::kAction) continue;
        if (r.kind == ReadResult::kCancel) return RTCAN;
        CString text = r.kind == ReadResult::kEnter ? CString() : r.line.text;
        if (static_cast<size_t>(text.GetLength()) + 1 > bufLen) {
            ReportBadLine(r.line, u"the text is too long");
            continue;
        }
        if (r.kind == ReadResult::kLine) EchoInput(r.line);
        for (int i = 0; i < text.GetLength(); ++i) result[i] = text[i];
        result[text.GetLength()] = 0;
        return RTNORM;
    }
}

int acedGetString(int cronly, const char16_t* prompt, char16_t* result) { return acedGetString(cronly, prompt, result, 133); }

int acedGetKword(const char16_t* prompt, char16_t* result, size_t bufLen)
{
    InitGet ig = TakeInitGet();
    int rc = RunPrompt(prompt, u"a keyword prompt waited; it was", ig, RTNONE, [&](const CString&, CString& why) {
        why = u"expected one of the keywords " + ig.keywords;
        return 0;
    });
    if (rc == RTKWORD) return acedGetInput(result, bufLen) == RTNORM ? RTNORM : RTERROR;
    if (rc == RTNONE && result && bufLen) result[0] = 0;
    return rc;
}

int acedEntSel(const char16_t* prompt, ads_name entity, ads_point pickedPoint)
{
    InitGet ig = TakeInitGet();
    AcDbObjectId picked;
    AcGePoint3d at;
    int rc = RunPrompt(prompt, u"an entity pick waited; it was", ig, RTERROR, [&](const CString& t, CString& why) {
        std::vector<AcDbHandle> handles;
        if (ParsePoint(t, at)) {
            SetLastPoint(at);
            vked::NotifyDrawingInput();
            picked = PickAt(at);
            return picked.isNull() ? RTERROR : RTNORM;
        }
        if (ParseHandles(t, handles)) {
            if (handles.size() != 1) {
                why = u"pick one entity";
                return 0;
            }
            bool missed = false;
            picked = EntityByHandle(handles[0], why, &missed);
            if (missed) return RTERROR;  // like a pick beside every entity
            if (picked.isNull()) return 0;
            at = FirstGeometryPoint(picked);
            vked::NotifyDrawingInput();
            return RTNORM;
        }
        why = u"expected a point or an entity handle #HEX";
        return 0;
    }, vked::PromptInput::kPick);
    if (rc == RTNORM) {
        acdbGetAdsName(entity, picked);
        pickedPoint[0] = at.x;
        pickedPoint[1] = at.y;
        pickedPoint[2] = at.z;
    }
    return rc;
}

Acad::ErrorStatus acdbGetAdsName(ads_name name, AcDbObjectId id)
{
    if (id.isNull()) {
        name[0] = name[1] = 0;
        return Acad::eNullObjectId;
    }
    auto it = NameIndex().find(id);
    Adesk::Int64 index;
    if (it != NameIndex().end()) {
        index = it->second;
    } else {
        NameTable().push_back(id);
        index = static_cast<Adesk::Int64>(NameTable().size());
        NameIndex().emplace(id, index);
    }
    name[0] = index;
    name[1] = kEntityTag;
    return Acad::eOk;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name name)
{
    id.setNull();
    if (!name || name[1] != kEntityTag || name[0] < 1 || name[0] > static_cast<Adesk::Int64>(NameTable().size()))
        return Acad::eInvalidInput;
    id = NameTable()[static_cast<size_t>(name[0] - 1)];
    return id.isValid() ? Acad::eOk : Acad::eNullObjectId;
}

int acedPrompt(const char16_t* text)
{
    if (text) vked::transcript().write(text);
    return RTNORM;
}

int acutPrintf(const char16_t* format, ...)
{
    if (!format) return 0;
    va_list args;
    va_start(args, format);
    CString s;
    s.FormatV(format, args);
    va_end(args);
    vked::transcript().write(s);
    return s.GetLength();
}

void acedGetLastPoint(ads_point p)
{
    p[0] = g_lastPoint.x;
    p[1] = g_lastPoint.y;
    p[2] = g_lastPoint.z;
}
