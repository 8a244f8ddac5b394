// The system variable table.
#include <algorithm>
#include <map>

#include "host/ed/AcApDocManager.h"
#include "host/ed/AcEdCommandStack.h"
#include "host/ed/AcEdInput.h"
#include "host/ed/SystemVariables.h"

namespace {

struct Var {
    explicit Var(short t = RTNONE) : type(t) {}
    short type;
    double real = 0;
    short shrt = 0;
    CString str;
    AcGePoint3d pt;
    bool readOnly = false;
};

std::map<CString, Var> Defaults()
{
    std::map<CString, Var> v;
    auto s = [&](const char16_t* n, short val) { Var x(RTSHORT); x.shrt = val; v[n] = x; };
    auto r = [&](const char16_t* n, double val) { Var x(RTREAL); x.real = val; v[n] = x; };
    auto t = [&](const char16_t* n, const char16_t* val) { Var x(RTSTR); x.str = val; v[n] = x; };
    s(u"ORTHOMODE", 0);
    s(u"OSMODE", 0);
    s(u"PICKBOX", 3);
    r(u"PIXELSIZE", 1.0);
    s(u"CMDECHO", 1);
    s(u"FILEDIA", 1);
    t(u"MODEMACRO", u"");
    t(u"CLAYER", u"0");
    s(u"LUPREC", 4);
    r(u"ANGBASE", 0);
    v[u"LASTPOINT"] = Var(RT3DPOINT);
    for (const char16_t* n : {u"CMDACTIVE"}) { Var x(RTSHORT); x.readOnly = true; v[n] = x; }
    for (const char16_t* n : {u"CMDNAMES", u"DWGNAME", u"DWGPREFIX"}) { Var x(RTSTR); x.readOnly = true; v[n] = x; }
    return v;
}

std::map<CString, Var>& Table()
{
    static std::map<CString, Var> t = Defaults();
    return t;
}

Var* Find(const char16_t* name)
{
    if (!name) return nullptr;
    CString key = name;
    key.MakeUpper();
    auto it = Table().find(key);
    return it == Table().end() ? nullptr : &it->second;
}

// Read-only variables are worked out when asked.
void Refresh(const CString& key, Var& v)
{
    if (key == u"CMDACTIVE") {
        v.shrt = vked::ActiveCommand() ? 1 : 0;
    } else if (key == u"CMDNAMES") {
        v.str = vked::ActiveCommand() ? vked::ActiveCommand()->globalName() : CString();
    } else if (key == u"DWGNAME" || key == u"DWGPREFIX") {
        AcApDocument* doc = acDocManager->curDocument();
        CString path = doc ? CString(doc->fileName()) : CString();
        int slash = std::max(path.ReverseFind(u'\\'), path.ReverseFind(u'/'));
        v.str = key == u"DWGNAME" ? path.Mid(slash + 1) : path.Left(slash + 1);
    } else if (key == u"LASTPOINT") {
        ads_point p;
        acedGetLastPoint(p);
        v.pt = AcGePoint3d(p[0], p[1], p[2]);
    }
}

}  // namespace

int acedGetVar(const char16_t* name, struct resbuf* result)
{
    Var* v = Find(name);
    if (!v || !result) return RTERROR;
    CString key = name;
    key.MakeUpper();
    Refresh(key, *v);
    result->restype = v->type;
    switch (v->type) {
    case RTSHORT: result->resval.rint = v->shrt; break;
    case RTREAL: result->resval.rreal = v->real; break;
    case RTSTR: result->resval.rstring = acutNewString(v->str.GetString()); break;
    case RT3DPOINT:
        result->resval.rpoint[0] = v->pt.x;
        result->resval.rpoint[1] = v->pt.y;
        result->resval.rpoint[2] = v->pt.z;
        break;
    }
    return RTNORM;
}

int acedSetVar(const char16_t* name, const struct resbuf* value)
{
    Var* v = Find(name);
    if (!v || !value || v->readOnly) return RTERROR;
    switch (v->type) {
    case RTSHORT:
        if (value->restype == RTSHORT) v->shrt = value->resval.rint;
        else if (value->restype == RTLONG && value->resval.rlong >= -32768 && value->resval.rlong <= 32767)
            v->shrt = static_cast<short>(value->resval.rlong);
        else return RTERROR;
        return RTNORM;
    case RTREAL:
        if (value->restype == RTREAL) v->real = value->resval.rreal;
        else if (value->restype == RTSHORT) v->real = value->resval.rint;
        else if (value->restype == RTLONG) v->real = value->resval.rlong;
        else return RTERROR;
        return RTNORM;
    case RTSTR:
        if (value->restype != RTSTR) return RTERROR;
        v->str = value->resval.rstring ? CString(value->resval.rstring) : CString();
        return RTNORM;
    case RT3DPOINT:
        if (value->restype != RT3DPOINT && value->restype != RTPOINT) return RTERROR;
        v->pt = AcGePoint3d(value->resval.rpoint[0], value->resval.rpoint[1],
                            value->restype == RT3DPOINT ? value->resval.rpoint[2] : 0);
        return RTNORM;
    }
    return RTERROR;
}

namespace vked {

short GetShortVar(const char16_t* name, short fallback)
{
    resbuf rb;
    if (acedGetVar(name, &rb) != RTNORM || rb.restype != RTSHORT) return fallback;
    return rb.resval.rint;
}

double GetRealVar(const char16_t* name, double fallback)
{
    resbuf rb;
    if (acedGetVar(name, &rb) != RTNORM) return fallback;
    if (rb.restype == RTREAL) return rb.resval.rreal;
    if (rb.restype == RTSHORT) return rb.resval.rint;
    if (rb.restype == RTSTR) acutDelString(rb.resval.rstring);
    return fallback;
}

bool SetShortVar(const char16_t* name, short value)
{
    resbuf rb;
    rb.restype = RTSHORT;
    rb.resval.rint = value;
    return acedSetVar(name, &rb) == RTNORM;
}

bool SetRealVar(const char16_t* name, double value)
{
    resbuf rb;
    rb.restype = RTREAL;
    rb.resval.rreal = value;
    return acedSetVar(name, &rb) == RTNORM;
}

void ResetSystemVariables() { Table() = Defaults(); }

}  // namespace vked
