#include "siblings/services/COsVarVal.h"

#include "host/ed/SystemVariables.h"

COsVarVal::COsVarVal(const CString& name) : m_name(name)
{
    m_old = acutNewRb(RTNONE);
    if (acedGetVar(m_name, m_old) == RTNORM) {
        m_set = true;
        return;
    }
    acutRelRb(m_old);
    m_old = nullptr;
}

COsVarVal::COsVarVal(const CString& name, short value) : m_name(name)
{
    resbuf rb;
    rb.restype = RTSHORT;
    rb.resval.rint = value;
    Apply(rb);
}

COsVarVal::COsVarVal(const CString& name, double value) : m_name(name)
{
    resbuf rb;
    rb.restype = RTREAL;
    rb.resval.rreal = value;
    Apply(rb);
}

COsVarVal::COsVarVal(const CString& name, const CString& value) : m_name(name)
{
    resbuf* rb = acutBuildString(value);
    Apply(*rb);
    acutRelRb(rb);
}

void COsVarVal::Apply(resbuf& value)
{
    m_old = acutNewRb(RTNONE);
    if (acedGetVar(m_name, m_old) != RTNORM || acedSetVar(m_name, &value) != RTNORM) {
        acutRelRb(m_old);
        m_old = nullptr;
        return;
    }
    m_set = true;
}

COsVarVal::~COsVarVal()
{
    if (!m_old) return;
    acedSetVar(m_name, m_old);
    acutRelRb(m_old);
}
