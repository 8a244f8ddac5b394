#pragma once
// The drag jig. drag() prints the display prompt (when set) and then reads input:
//   !move x,y      a cursor motion: sampler() runs (acquirePoint answers kNormal with the
//                  point), then update(), then entity() is drawn to the preview sink; the drag
//                  goes on. A sampler answering kNoChange skips update and drawing.
//   x,y[,z]        a point: as a motion, then drag() returns kNormal
//   a keyword      of setKeywordList (case-insensitive, whole word): drag() returns kKW1 for
//                  the first keyword, kKW2 for the second, ... kKW9
//   <enter>        kNull when kNullResponseAccepted is set (else an error line, still dragging)
//   <esc>, cancel  kCancel
//   !action        to the top dialog; the drag goes on
//   other lines    an error line; the drag goes on
// acquireDist/acquireAngle take a number line (an angle typed in degrees, given in radians).
#include <functional>

#include "host/db/AcDbObject.h"
#include "host/win/CString.h"

class AcEdJig {
public:
    enum DragStatus {
        kModeless = -17,
        kNoChange = -6,
        kCancel = -4,
        kOther = -3,
        kNull = -1,
        kNormal = 0,
        kKW1 = 1, kKW2, kKW3, kKW4, kKW5, kKW6, kKW7, kKW8, kKW9,
    };
    enum UserInputControls {
        kGovernedByOrthoMode = 0x0001,
        kNullResponseAccepted = 0x0002,
        kDontEchoCancelForCtrlC = 0x0004,
        kDontUpdateLastPoint = 0x0008,
        kNoDwgLimitsChecking = 0x0010,
        kNoZeroResponseAccepted = 0x0020,
        kNoNegativeResponseAccepted = 0x0040,
        kAccept3dCoordinates = 0x0080,
        kAcceptMouseUpAsPoint = 0x0100,
        kAnyBlankTerminatesInput = 0x0200,
        kInitialBlankTerminatesInput = 0x0400,
        kAcceptOtherInputString = 0x0800,
    };
    enum CursorType { kNoSpecialCursor = -1, kCrosshair = 0, kRectCursor, kRubberBand, kNotRotated,
                      kTargetBox, kRotatedCrosshair, kCrosshairNoRotate, kInvisible, kEntitySelect };

    AcEdJig();
    virtual ~AcEdJig();

    DragStatus drag();
    virtual DragStatus sampler() { return kNormal; }
    virtual bool update() { return true; }
    virtual AcDbEntity* entity() const { return nullptr; }

    DragStatus acquirePoint(AcGePoint3d& point);
    DragStatus acquirePoint(AcGePoint3d& point, const AcGePoint3d& basePoint);  // ortho about base
    DragStatus acquireDist(double& distance);
    DragStatus acquireAngle(double& angle);

    const char16_t* dispPrompt() const { return m_prompt.GetString(); }
    void setDispPrompt(const char16_t* prompt, ...);  // printf semantics
    const char16_t* keywordList() const { return m_keywords.GetString(); }
    void setKeywordList(const char16_t* keywords);    // space separated: u"A B C"
    UserInputControls userInputControls() const { return m_controls; }
    void setUserInputControls(UserInputControls controls) { m_controls = controls; }
    void setUserInputControls(int controls) { m_controls = static_cast<UserInputControls>(controls); }
    CursorType specialCursorType() const { return m_cursor; }
    void setSpecialCursorType(CursorType t) { m_cursor = t; }
    void setSpecialCursorType(int t) { m_cursor = static_cast<CursorType>(t); }

private:
    friend struct JigAccess;
    CString m_prompt;
    CString m_keywords;
    UserInputControls m_controls = static_cast<UserInputControls>(0);
    CursorType m_cursor = kNoSpecialCursor;
    struct SampleState;
    SampleState* m_sample = nullptr;  // while drag() runs
};

namespace vked {
// Where drag previews go: called with entity() after each update during a drag (tests keep
// what they need; the entity belongs to the jig). Returns the previous sink.
using JigPreviewSink = std::function<void(const AcDbEntity* entity)>;
JigPreviewSink SetJigPreviewSink(JigPreviewSink sink);
}  // namespace vked
