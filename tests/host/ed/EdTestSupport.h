#pragma once
// The editor session of the editor's tests, with lines to pick and script lines to queue.
#include "tests/support/EditorTest.h"

class EditorTest : public vktest::EditorTest {
protected:
    // Appends a line to model space (on `layer`, created when missing).
    AcDbObjectId addLine(AcGePoint3d a, AcGePoint3d b, const char16_t* layer = u"0")
    {
        return append(new AcDbLine(a, b), layer);
    }
    static void script(const std::vector<CString>& lines) { vktest::QueueLines(lines); }
    static AcDbObjectId idOf(const ads_name n)
    {
        AcDbObjectId id;
        acdbGetObjectId(id, n);
        return id;
    }
};
