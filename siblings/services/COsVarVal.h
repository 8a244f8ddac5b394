#pragma once
// Holds a system variable at a value for the guard's lifetime and puts the old value back
// on destruction. An unknown or read-only variable leaves everything as it was (IsSet() false).
#include <memory>

#include "host/win/CString.h"

struct resbuf;

class COsVarVal {
public:
    // Keeps the value the variable has now, to put it back whatever is set meanwhile.
    explicit COsVarVal(const CString& name);
    COsVarVal(const CString& name, short value);
    COsVarVal(const CString& name, double value);
    COsVarVal(const CString& name, const CString& value);
    ~COsVarVal();
    COsVarVal(const COsVarVal&) = delete;
    COsVarVal& operator=(const COsVarVal&) = delete;
    bool IsSet() const { return m_set; }

private:
    void Apply(resbuf& value);
    CString m_name;
    resbuf* m_old = nullptr;  // the value to put back
    bool m_set = false;
};
