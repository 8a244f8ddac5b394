// The system variable table.
#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

#include "host/db/AcDb.h"
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
    // The values a number may take (inclusive); a real's lower bound may exclude itself.
    double min = -32768, max = 32767;
    bool minExcluded = false;
    bool emptyAllowed = true;  // strings
};

std::map<CString, Var> Defaults()
{
    std::map<CString, Var> v;
    auto s = [&](const char16_t* n, short val, short lo, short hi) {
        Var x(RTSHORT);
        x.shrt = val;
        x.min = lo;
        x.max = hi;
        v[n] = x;
    };
    auto r = [&](const char16_t* n, double val, double lo, bool loExcluded) {
        Var x(RTREAL);
        x.real = val;
        x.min = lo;
        x.minExcluded = loExcluded;
        x.max = std::numeric_limits<double>::max();
        v[n] = x;
    };
    auto t = [&](const char16_t* n, const char16_t* val, bool emptyAllowed) {
        Var x(RTSTR);
        x.str = val;
        x.emptyAllowed = emptyAllowed;
        v[n] = x;
    };
    s(u"ORTHOMODE", 0, 0, 1);
    s(u"OSMODE", 0, 0, 16383);
    s(u"PICKBOX", 3, 0, 50);
    r(u"PIXELSIZE", 1.0, 0, true);
    s(u"CMDECHO", 1, 0, 1);
    s(u"FILEDIA", 1, 0, 1);
    t(u"MODEMACRO", u"", true);
    t(u"CLAYER", u"0", false);
    s(u"LUPREC", 4, 0, 8);
    r(u"ANGBASE", 0, std::numeric_limits<double>::lowest(), false);
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

namespace {

CString Number(double v)
{
    CString s;
    s.Format(u"%g", v);
    return s;
}

// Why the number cannot be the variable's value; empty when it can.
CString NumberRefusal(const Var& v, double x)
{
    if (!std::isfinite(x)) return u"the value must be a finite number";
    if (v.type == RTSHORT && x != std::floor(x)) return u"the value must be a whole number";
    const bool below = v.minExcluded ? x <= v.min : x < v.min;
    if (!below && x <= v.max) return CString();
    if (v.type == RTREAL && v.minExcluded) return u"the value must be greater than " + Number(v.min);
    if (v.type == RTREAL) return u"the value must be at least " + Number(v.min);
    if (v.min == 0 && v.max == 1) return u"the value must be 0 or 1";
    return u"the value must be between " + Number(v.min) + u" and " + Number(v.max);
}

// The layer of the current drawing with that name (its own spelling); empty when none.
CString LayerNamed(const CString& name, CString& why)
{
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    if (!db) {
        why = u"no drawing is open";
        return CString();
    }
    AcDbLayerTable* table = nullptr;
    if (db->getLayerTable(table, AcDb::kForRead) != Acad::eOk) {
        why = u"the drawing's layers cannot be read";
        return CString();
    }
    AcDbLayerTableRecord* layer = nullptr;
    CString own;
    if (table->getAt(name.GetString(), layer, AcDb::kForRead) == Acad::eOk) {
        const char16_t* n = nullptr;
        layer->getName(n);
        own = n ? CString(n) : name;
        layer->close();
    }
    table->close();
    if (own.IsEmpty()) why = u"the drawing has no layer " + name;
    return own;
}

// Checks the value against the variable and gives what it would become (a layer name in its
// own spelling); empty reason when it fits.
CString Refusal(const CString& key, const Var& v, const resbuf& value, Var& out)
{
    if (v.readOnly) return u"the variable is read-only";
    out = v;
    switch (v.type) {
    case RTSHORT:
    case RTREAL: {
        double x;
        if (value.restype == RTSHORT) x = value.resval.rint;
        else if (value.restype == RTLONG) x = value.resval.rlong;
        else if (value.restype == RTREAL && v.type == RTREAL) x = value.resval.rreal;
        else return v.type == RTSHORT ? u"the value must be a whole number" : u"the value must be a number";
        const CString why = NumberRefusal(v, x);
        if (!why.IsEmpty()) return why;
        if (v.type == RTSHORT) out.shrt = static_cast<short>(x);
        else out.real = x;
        return CString();
    }
    case RTSTR: {
        if (value.restype != RTSTR) return u"the value must be text";
        CString text = value.resval.rstring ? CString(value.resval.rstring) : CString();
        if (text.IsEmpty() && !v.emptyAllowed) return u"the value cannot be empty";
        if (key == u"CLAYER") {
            CString why;
            text = LayerNamed(text, why);
            if (text.IsEmpty()) return why;
        }
        out.str = text;
        return CString();
    }
    case RT3DPOINT:
        if (value.restype != RT3DPOINT && value.restype != RTPOINT) return u"the value must be a point";
        out.pt = AcGePoint3d(value.resval.rpoint[0], value.resval.rpoint[1],
                             value.restype == RT3DPOINT ? value.resval.rpoint[2] : 0);
        return CString();
    }
    return u"the variable cannot be set";
}

}  // namespace

int acedSetVar(const char16_t* name, const struct resbuf* value)
{
    return value && vked::SetVarRefusal(name, *value).IsEmpty() ? RTNORM : RTERROR;
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

CString SetVarRefusal(const char16_t* name, const resbuf& value)
{
    Var* v = Find(name);
    if (!v) return u"no such variable";
    CString key = name;
    key.MakeUpper();
    Var changed;
    const CString why = Refusal(key, *v, value, changed);
    if (why.IsEmpty()) *v = changed;
    return why;
}

bool IsReadOnlyVar(const char16_t* name)
{
    const Var* v = Find(name);
    return v && v->readOnly;
}

}  // namespace vked
