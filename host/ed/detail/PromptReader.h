#pragma once
// Internals of the editor shared by its parts: reading a line for a waiting reader, the
// parsing of input lines, entity names and picks. Not for use outside host/ed.
#include <optional>
#include <vector>

#include "host/db/AcDb.h"
#include "host/ed/EditorLoop.h"

namespace vked::detail {

// What a waiting reader gets. kAction: a dialog action was carried out (the reader checks its
// own state and reads again); kLine: a line for the reader to interpret.
struct ReadResult {
    enum Kind { kLine, kEnter, kCancel, kAction } kind = kLine;
    InputLine line;
};

// Reads the next event for a reader described by `what` (used in the input-ended note).
// Comments and blank lines are skipped; the cancel character and <esc> give kCancel;
// <enter> kEnter; "!move ..." is a line for readers that want motions (wantsMotion), else it
// is ignored with an error line; other "!" lines go to the dialog hook. Input running out
// answers by the policy of EditorLoop.h.
ReadResult ReadEvent(const CString& what, bool wantsMotion = false);

// Scope of a waiting reader (IsPromptActive, PromptDepth, InnermostReader).
// `keywords` (when given) must outlive the scope; a jig sets its list while it drags.
struct PromptScope {
    explicit PromptScope(WaitingReader kind = WaitingReader::kPrompt, PromptInput input = PromptInput::kOther,
                         const CString* keywords = nullptr);
    ~PromptScope();
    PromptScope(const PromptScope&) = delete;
    PromptScope& operator=(const PromptScope&) = delete;
};

// Called when a command starts and ends (input-ended bookkeeping).
void ResetInputEndedState();

// ---- Parsing ---------------------------------------------------------------------------
// "x,y" or "x,y,z"; "@dx,dy[,dz]", "@dist<degrees" and "@" are taken from LastPoint().
bool ParsePoint(const CString& text, AcGePoint3d& pt);
bool ParseNumber(const CString& text, double& value);     // the whole text
bool ParseHandles(const CString& text, std::vector<AcDbHandle>& handles);  // "#1A0 #1B4"
// "W x1,y1 x2,y2" / "C x1,y1 x2,y2"
bool ParseBox(const CString& text, bool& crossing, AcGePoint3d& a, AcGePoint3d& b);
std::vector<CString> SplitWords(const CString& text);
// Index of the keyword in a space-separated list that the word names (whole keyword or its
// capital letters, case-insensitive); -1 when none. Words after "_" are ignored.
int MatchKeyword(const CString& keywordList, const CString& word, CString* canonical = nullptr);

// ---- Entities ------------------------------------------------------------------------
AcDbDatabase* CurrentDatabase();
std::vector<AcDbObjectId> CurrentSpaceEntities();          // in order of appending
bool IsPickable(AcDbObjectId id);                           // visible entity, layer on and thawed
double PickAperture();
AcDbObjectId PickAt(const AcGePoint3d& pt);                 // null when nothing is hit
std::vector<AcDbObjectId> SelectBox(const AcGePoint3d& a, const AcGePoint3d& b, bool crossing);
// An entity of the current space with that handle; null with a reason otherwise. `missed`
// (when given) tells an object that exists but is no entity of the current space, which a
// pick takes as hitting nothing, from a handle that names nothing at all.
AcDbObjectId EntityByHandle(const AcDbHandle& h, CString& why, bool* missed = nullptr);
AcGePoint3d FirstGeometryPoint(AcDbObjectId id);
// "<highlighted: #110 #112>" (entities of the current space, in order), "<highlighted: none>".
CString HighlightedText();

void SetLastPoint(const AcGePoint3d& p);
AcGePoint3d LastPoint();  // LASTPOINT: the last point given to a prompt, pick or drag
void SetLastKeyword(const CString& kw);

}  // namespace vked::detail
