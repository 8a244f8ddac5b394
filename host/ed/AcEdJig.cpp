// The drag jig: samples read from the input queue.
#include "host/ed/AcEdJig.h"

#include <cmath>
#include <cstdarg>

#include "host/ed/SystemVariables.h"
#include "host/ed/Transcript.h"
#include "host/ed/detail/PromptReader.h"

using namespace vked::detail;

namespace {
vked::JigPreviewSink& PreviewSink()
{
    static vked::JigPreviewSink s;
    return s;
}
}  // namespace

// What the last acquire call read, so that drag() knows whether the drag goes on.
struct AcEdJig::SampleState {
    bool acquired = false;
    bool final = false;   // a point, keyword, Enter or Esc: drag() returns
};

namespace vked {
JigPreviewSink SetJigPreviewSink(JigPreviewSink sink)
{
    JigPreviewSink old = std::move(PreviewSink());
    PreviewSink() = std::move(sink);
    return old;
}
}  // namespace vked

AcEdJig::AcEdJig() = default;
AcEdJig::~AcEdJig() = default;

void AcEdJig::setDispPrompt(const char16_t* prompt, ...)
{
    va_list args;
    va_start(args, prompt);
    m_prompt.FormatV(prompt ? prompt : u"", args);
    va_end(args);
}

void AcEdJig::setKeywordList(const char16_t* keywords) { m_keywords = keywords ? CString(keywords) : CString(); }

AcEdJig::DragStatus AcEdJig::drag()
{
    PromptScope scope(vked::WaitingReader::kPrompt, vked::PromptInput::kDrag, &m_keywords);
    if (!m_prompt.IsEmpty()) vked::transcript().write(m_prompt);
    SampleState state;
    SampleState* outer = m_sample;
    m_sample = &state;
    DragStatus status;
    for (;;) {
        state = SampleState();
        try {
            status = sampler();
        } catch (...) {
            m_sample = outer;
            throw;
        }
        if (status == kNormal) {
            update();
            if (PreviewSink()) {
                if (AcDbEntity* e = entity()) PreviewSink()(e);
            }
        }
        if (!state.acquired || state.final) break;
    }
    m_sample = outer;
    return status;
}

namespace {

// Reads one jig event: a motion (!move), a point, a keyword, Enter, Esc. Numbers are taken
// when `number` is given.
template <class OnPoint, class OnNumber>
AcEdJig::DragStatus ReadJigEvent(const CString& keywords, int controls, bool& final, OnPoint onPoint, OnNumber onNumber)
{
    for (;;) {
        ReadResult r = ReadEvent(u"a drag waited; it was", true);
        switch (r.kind) {
        case ReadResult::kAction: continue;
        case ReadResult::kCancel: final = true; return AcEdJig::kCancel;
        case ReadResult::kEnter:
            if ((controls & AcEdJig::kNullResponseAccepted) || r.line.text.IsEmpty()) {
                final = true;
                return AcEdJig::kNull;
            }
            ReportBadLine(r.line, u"Enter is not accepted here");
            continue;
        case ReadResult::kLine: break;
        }
        CString text = r.line.text;
        text.Trim();
        std::vector<CString> words = SplitWords(text);
        AcGePoint3d p;
        if (words[0].CompareNoCase(u"!move") == 0) {
            if (words.size() != 2 || !ParsePoint(words[1], p)) {
                ReportBadLine(r.line, u"expected !move x,y");
                continue;
            }
            vked::EchoInput(r.line);
            vked::NotifyDrawingInput();
            final = false;
            return onPoint(p);
        }
        if (ParsePoint(text, p)) {
            vked::EchoInput(r.line);
            vked::NotifyDrawingInput();
            SetLastPoint(p);
            final = true;
            return onPoint(p);
        }
        double v;
        if (ParseNumber(text, v)) {
            AcEdJig::DragStatus s = onNumber(v, r.line);
            if (s != AcEdJig::kOther) {
                vked::EchoInput(r.line);
                final = true;
                return s;
            }
            continue;
        }
        CString kw;
        int k = MatchKeyword(keywords, text, &kw);
        if (k >= 0 && k < 9) {
            vked::EchoInput(r.line);
            SetLastKeyword(kw);
            final = true;
            return static_cast<AcEdJig::DragStatus>(AcEdJig::kKW1 + k);
        }
        ReportBadLine(r.line, keywords.IsEmpty() ? CString(u"expected a point")
                                                 : CString(u"expected a point or one of the keywords ") + keywords);
    }
}

}  // namespace

AcEdJig::DragStatus AcEdJig::acquirePoint(AcGePoint3d& point)
{
    bool final = true;
    DragStatus s = ReadJigEvent(m_keywords, m_controls, final,
        [&](const AcGePoint3d& p) {
            point = (m_controls & kAccept3dCoordinates) ? p : AcGePoint3d(p.x, p.y, 0);
            return kNormal;
        },
        [&](double, const vked::InputLine& line) {
            ReportBadLine(line, u"expected a point");
            return kOther;
        });
    if (m_sample) {
        m_sample->acquired = true;
        m_sample->final = final;
    }
    return s;
}

AcEdJig::DragStatus AcEdJig::acquirePoint(AcGePoint3d& point, const AcGePoint3d& base)
{
    DragStatus s = acquirePoint(point);
    if (s == kNormal && (m_controls & kGovernedByOrthoMode) && vked::GetShortVar(u"ORTHOMODE") != 0) {
        if (std::fabs(point.x - base.x) >= std::fabs(point.y - base.y)) point.y = base.y;
        else point.x = base.x;
    }
    return s;
}

AcEdJig::DragStatus AcEdJig::acquireDist(double& distance)
{
    bool final = true;
    DragStatus s = ReadJigEvent(m_keywords, m_controls, final,
        [&](const AcGePoint3d& p) { distance = std::hypot(p.x, p.y); return kNormal; },
        [&](double v, const vked::InputLine& line) {
            if ((m_controls & kNoZeroResponseAccepted) && v == 0) { ReportBadLine(line, u"zero is not accepted"); return kOther; }
            if ((m_controls & kNoNegativeResponseAccepted) && v < 0) { ReportBadLine(line, u"a negative value is not accepted"); return kOther; }
            distance = v;
            return kNormal;
        });
    if (m_sample) {
        m_sample->acquired = true;
        m_sample->final = final;
    }
    return s;
}

AcEdJig::DragStatus AcEdJig::acquireAngle(double& angle)
{
    bool final = true;
    DragStatus s = ReadJigEvent(m_keywords, m_controls, final,
        [&](const AcGePoint3d& p) { angle = std::atan2(p.y, p.x); return kNormal; },
        [&](double v, const vked::InputLine&) {
            angle = v * 3.14159265358979323846 / 180.0;
            return kNormal;
        });
    if (m_sample) {
        m_sample->acquired = true;
        m_sample->final = final;
    }
    return s;
}
