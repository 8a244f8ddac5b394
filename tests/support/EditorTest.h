#pragma once
// The second kind of set-up, on top of the working drawing: an editor session, with a fresh
// input queue and system variables and the transcript captured.
#include "host/ed/AcEd.h"
#include "host/ed/SystemVariables.h"
#include "host/ed/Transcript.h"
#include "tests/support/ModuleSession.h"
#include "tests/support/WorkingDrawingTest.h"

namespace vktest {

class EditorTest : public WorkingDrawingTest {
protected:
    void SetUp() override
    {
        vked::inputQueue().clear();
        vked::inputQueue().setPullSource(nullptr);
        vked::ResetSystemVariables();
        vked::ResetInputEnded();
        WorkingDrawingTest::SetUp();
    }
    void TearDown() override
    {
        vked::inputQueue().setPullSource(nullptr);
        WorkingDrawingTest::TearDown();
    }
    static CString hashOf(AcDbObjectId id) { return CString(u"#") + id.handle().text(); }
    bool seen(const std::string& text) const { return out.utf8().find(text) != std::string::npos; }
    size_t count(const std::string& text) const { return Occurrences(out.utf8(), text); }

    vked::TranscriptCapture out;
};

}  // namespace vktest
