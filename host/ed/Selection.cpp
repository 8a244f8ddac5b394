// Selection sets and the selection prompt.
#include <algorithm>
#include <map>

#include "host/ed/AcEdInput.h"
#include "host/ed/AcEdSelection.h"
#include "host/ed/HostTexts.h"
#include "host/ed/Transcript.h"
#include "host/ed/detail/PromptReader.h"

namespace {

using namespace vked::detail;

constexpr Adesk::Int64 kSetTag = 0x5353;
std::map<Adesk::Int64, std::vector<AcDbObjectId>> g_sets;
Adesk::Int64 g_nextSet = 1;
AcEdSSKwordCallback g_kwordCallback = nullptr;

std::vector<AcDbObjectId>* FindSet(const ads_name ss)
{
    if (!ss || ss[1] != kSetTag) return nullptr;
    auto it = g_sets.find(ss[0]);
    return it == g_sets.end() ? nullptr : &it->second;
}

void NewSet(std::vector<AcDbObjectId> ids, ads_name ss)
{
    Adesk::Int64 n = g_nextSet++;
    g_sets[n] = std::move(ids);
    ss[0] = n;
    ss[1] = kSetTag;
}

void AddUnique(std::vector<AcDbObjectId>& to, const std::vector<AcDbObjectId>& ids)
{
    for (AcDbObjectId id : ids)
        if (std::find(to.begin(), to.end(), id) == to.end()) to.push_back(id);
}

struct Mode {
    bool single = false, prompts = false, keywords = false;
    bool window = false, crossing = false, all = false;
};

Mode ParseMode(const char16_t* mode)
{
    Mode m;
    CString s = mode ? CString(mode) : CString();
    s.MakeUpper();
    m.single = s.Find(u":S") >= 0;
    m.prompts = s.Find(u":$") >= 0;
    m.keywords = s.Find(u":K") >= 0;
    CString plain = s;
    plain.Replace(u":S", u"");
    plain.Replace(u":$", u"");
    plain.Replace(u":K", u"");
    plain.Trim();
    m.window = plain == u"W";
    m.crossing = plain == u"C";
    m.all = plain == u"X";
    return m;
}

AcGePoint3d ToPoint(const void* p)
{
    const double* d = static_cast<const double*>(p);
    return d ? AcGePoint3d(d[0], d[1], d[2]) : AcGePoint3d();
}

// The interactive part: operations until one selects something (:S) or Enter.
int InteractiveSelection(const Mode& m, const CString& prompt, const CString& keywords, std::vector<AcDbObjectId>& chosen)
{
    PromptScope scope(vked::WaitingReader::kPrompt, vked::PromptInput::kSelection, &keywords);
    vked::transcript().write(prompt);
    for (;;) {
        ReadResult r = ReadEvent(u"a selection waited; it was");
        if (r.kind == ReadResult::kAction) continue;
        if (r.kind == ReadResult::kCancel) return RTCAN;
        if (r.kind == ReadResult::kEnter) return chosen.empty() ? RTERROR : RTNORM;
        CString text = r.line.text;
        text.Trim();
        std::vector<AcDbObjectId> found;
        std::vector<AcDbHandle> handles;
        AcGePoint3d a, b;
        bool crossing = false;
        CString why;
        if (ParsePoint(text, a)) {
            SetLastPoint(a);
            AcDbObjectId id = PickAt(a);
            if (!id.isNull()) found.push_back(id);
        } else if (ParseHandles(text, handles)) {
            bool ok = true;
            for (const AcDbHandle& h : handles) {
                bool missed = false;
                AcDbObjectId id = EntityByHandle(h, why, &missed);
                if (missed) continue;  // an object that is no entity here is not found
                if (id.isNull()) { ok = false; break; }
                found.push_back(id);
            }
            if (!ok) {
                ReportBadLine(r.line, why);
                continue;
            }
        } else if (ParseBox(text, crossing, a, b)) {
            found = SelectBox(a, b, crossing);
        } else if (m.keywords && MatchKeyword(keywords, text) >= 0) {
            CString kw;
            MatchKeyword(keywords, text, &kw);
            vked::EchoInput(r.line);
            SetLastKeyword(kw);
            if (g_kwordCallback) acutRelRb(g_kwordCallback(kw.GetString()));
            vked::transcript().write(prompt);  // the selection goes on
            continue;
        } else {
            ReportBadLine(r.line, m.keywords ? CString(u"expected a pick, #handles, W or C box, or a keyword")
                                             : CString(u"expected a pick, #handles, or a W or C box"));
            continue;
        }
        vked::EchoInput(r.line);
        vked::NotifyDrawingInput();
        size_t before = chosen.size();
        AddUnique(chosen, found);
        CString msg;
        msg = vked::FormatText(vked::txt::kFound, static_cast<int>(found.size()));
        if (found.size() != chosen.size() - before)
            msg += vked::FormatText(vked::txt::kDuplicates, static_cast<int>(found.size() - (chosen.size() - before)));
        vked::transcript().writeLine(msg);
        if (m.single && !chosen.empty()) return RTNORM;
        if (!m.single) vked::transcript().write(prompt);
    }
}

}  // namespace

int acedSSGet(const char16_t* mode, const void* pt1, const void* pt2, const struct resbuf* filter, ads_name ss)
{
    if (!ss) return RTERROR;
    Mode m = ParseMode(mode);
    std::vector<AcDbObjectId> chosen;
    if (m.all) {
        for (AcDbObjectId id : CurrentSpaceEntities()) chosen.push_back(id);
    } else if (m.window || m.crossing) {
        chosen = SelectBox(ToPoint(pt1), ToPoint(pt2), m.crossing);
    } else {
        CString prompt = vked::Text(vked::txt::kSelectObjects);
        if (m.prompts && pt1) {
            const char16_t* const* prompts = static_cast<const char16_t* const*>(pt1);
            prompt = prompts[0] ? CString(prompts[0]) : CString();
        }
        CString keywords = m.keywords && pt2 ? CString(static_cast<const char16_t*>(pt2)) : CString();
        int rc = InteractiveSelection(m, prompt, keywords, chosen);
        if (rc != RTNORM) return rc;
    }
    if (chosen.empty()) return RTERROR;
    NewSet(std::move(chosen), ss);
    return RTNORM;
}

int acedSSFree(const ads_name ss)
{
    if (!FindSet(ss)) return RTERROR;
    g_sets.erase(ss[0]);
    return RTNORM;
}

int acedSSLength(const ads_name ss, Adesk::Int32* length)
{
    std::vector<AcDbObjectId>* s = FindSet(ss);
    if (!s || !length) return RTERROR;
    *length = static_cast<Adesk::Int32>(s->size());
    return RTNORM;
}

int acedSSName(const ads_name ss, Adesk::Int32 index, ads_name entity)
{
    std::vector<AcDbObjectId>* s = FindSet(ss);
    if (!s || index < 0 || static_cast<size_t>(index) >= s->size()) return RTERROR;
    return acdbGetAdsName(entity, (*s)[static_cast<size_t>(index)]) == Acad::eOk ? RTNORM : RTERROR;
}

int acedSSAdd(const ads_name entity, const ads_name ss, ads_name result)
{
    AcDbObjectId id;
    if (entity && acdbGetObjectId(id, entity) != Acad::eOk) return RTERROR;
    if (!ss || (ss[0] == 0 && ss[1] == 0)) {
        std::vector<AcDbObjectId> ids;
        if (entity) ids.push_back(id);
        NewSet(std::move(ids), result);
        return RTNORM;
    }
    std::vector<AcDbObjectId>* s = FindSet(ss);
    if (!s) return RTERROR;
    if (entity) AddUnique(*s, {id});
    result[0] = ss[0];
    result[1] = ss[1];
    return RTNORM;
}

int acedSSDel(const ads_name entity, const ads_name ss)
{
    AcDbObjectId id;
    std::vector<AcDbObjectId>* s = FindSet(ss);
    if (!s || acdbGetObjectId(id, entity) != Acad::eOk) return RTERROR;
    auto it = std::find(s->begin(), s->end(), id);
    if (it == s->end()) return RTERROR;
    s->erase(it);
    return RTNORM;
}

int acedSSMemb(const ads_name entity, const ads_name ss)
{
    AcDbObjectId id;
    std::vector<AcDbObjectId>* s = FindSet(ss);
    if (!s || acdbGetObjectId(id, entity) != Acad::eOk) return RTERROR;
    return std::find(s->begin(), s->end(), id) != s->end() ? RTNORM : RTERROR;
}

int acedSSSetKwordCallbackPtr(AcEdSSKwordCallback callback)
{
    g_kwordCallback = callback;
    return RTNORM;
}

int acedSSGetKwordCallbackPtr(AcEdSSKwordCallback* callback)
{
    if (!callback) return RTERROR;
    *callback = g_kwordCallback;
    return RTNORM;
}

namespace vked {
int OpenSelectionSetCount() { return static_cast<int>(g_sets.size()); }
}
