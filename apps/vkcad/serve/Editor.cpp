// The editor as the window sees it. Runs on the editor's thread only.
#include "apps/vkcad/serve/Editor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "host/db/AcDb.h"
#include "host/db/AcDbSpatialIndex.h"
#include "host/db/DatabaseState.h"
#include "host/db/Highlights.h"
#include "host/ed/AcApDocManager.h"
#include "host/ed/AcEdCommandStack.h"
#include "host/ed/AdsTypes.h"
#include "host/ed/EditorLoop.h"
#include "host/ed/SystemVariables.h"
#include "host/ed/Transcript.h"
#include "host/ui/DialogViews.h"
#include "siblings/project/CProj.h"
#include "siblings/services/VkQsGsPreviewCtrl.h"

namespace vkcad::serve {

namespace {

using json = nlohmann::json;

std::string U8(const CString& s) { return s.ToUtf8(); }

class RevisionCounter : public AcDbDatabaseReactor {
public:
    void objectAppended(const AcDbDatabase*, const AcDbObject*) override { ++revision; }
    void objectModified(const AcDbDatabase*, const AcDbObject*) override { ++revision; }
    void objectErased(const AcDbDatabase*, const AcDbObject*, bool) override { ++revision; }
    void databaseToBeDestroyed(AcDbDatabase* db) override
    {
        if (db == watched) watched = nullptr;
        ++revision;
    }
    void watch(AcDbDatabase* db)
    {
        if (db == watched) return;
        if (watched) watched->removeReactor(this);
        watched = db;
        if (watched) watched->addReactor(this);
        ++revision;
    }
    unsigned revision = 0;
    AcDbDatabase* watched = nullptr;
};

RevisionCounter& Counter()
{
    static RevisionCounter counter;
    return counter;
}

AcDbDatabase* CurrentDb()
{
    AcApDocument* doc = acDocManager->curDocument();
    return doc ? doc->database() : nullptr;
}

const char* InputName(vked::PromptInput in)
{
    switch (in) {
    case vked::PromptInput::kNone: return "command";
    case vked::PromptInput::kOther: return "text";
    case vked::PromptInput::kPoint: return "point";
    case vked::PromptInput::kPick: return "pick";
    case vked::PromptInput::kSelection: return "selection";
    case vked::PromptInput::kDrag: return "drag";
    case vked::PromptInput::kDialog: return "dialog";
    case vked::PromptInput::kQuestion: return "question";
    }
    return "text";
}

// The prompt as the command line shows it: the unfinished line, or (a prompt printed with its
// own line end) the last line.
CString PromptText(const CString& lastLine)
{
    const vked::Transcript& t = vked::transcript();
    if (!t.currentLine().IsEmpty()) return t.currentLine();
    // Not a line the editor's own notes make (dialogs, waits, message boxes, errors).
    const bool note = lastLine.IsEmpty() || lastLine[0] == u'<' || lastLine[0] == u'[' || lastLine.Left(2) == u"**" ||
                      lastLine == u"*Cancel*";
    return note ? CString() : lastLine;
}

json PromptJson(const CString& lastLine)
{
    const vked::PromptState p = vked::InnermostPrompt();
    json keywords = json::array();
    for (const CString& w : [&] {
             std::vector<CString> out;
             std::u16string cur;
             for (char16_t c : p.keywords.str()) {
                 if (c == u' ' || c == u'\t') {
                     if (!cur.empty()) out.emplace_back(cur);
                     cur.clear();
                 } else {
                     cur += c;
                 }
             }
             if (!cur.empty()) out.emplace_back(cur);
             return out;
         }()) {
        if (w == u"_") break;  // global keywords follow
        keywords.push_back(U8(w));
    }
    return {{"kind", InputName(p.input)},
            {"text", p.input == vked::PromptInput::kNone ? std::string("Command: ") : U8(PromptText(lastLine))},
            {"keywords", keywords},
            {"serial", p.serial}};
}

json DocumentsJson()
{
    json docs = json::array();
    AcApDocumentIterator* it = acDocManager->newAcApDocumentIterator();
    for (; !it->done(); it->step()) {
        AcApDocument* d = it->document();
        docs.push_back({{"title", U8(d->docTitle())},
                        {"path", U8(d->fileName())},
                        {"current", d == acDocManager->curDocument()},
                        {"modified", vkdb::IsModifiedSinceSave(d->database())},
                        {"readOnly", d->isReadOnly()}});
    }
    delete it;
    return docs;
}

json ProjectJson()
{
    VkQsDataMng::CProj proj;
    CArray<VkQsDataMng::FloorRecord> floors;
    if (!proj.IsValid() || !proj.GetAllFloorData(floors)) return nullptr;
    const CString current = proj.GetCurFloorName();
    json list = json::array();
    for (int i = 0; i < floors.GetSize(); ++i)
        list.push_back({{"name", U8(floors[i].strFloorName)},
                        {"path", U8(floors[i].strDwgFullName)},
                        {"current", floors[i].strFloorName == current}});
    return {{"file", U8(proj.GetPrjPath())}, {"floors", list}};
}

json LayersJson(AcDbDatabase* db)
{
    json layers = json::array();
    AcDbLayerTable* table = nullptr;
    if (!db || db->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return layers;
    for (AcDbObjectId id : table->recordIds()) {
        AcDbLayerTableRecord* rec = nullptr;
        if (acdbOpenObject(rec, id, AcDb::kForRead) != Acad::eOk) continue;
        CString name;
        rec->getName(name);
        double r, g, b;
        vkgi::ColorOf(rec->colorIndex(), r, g, b);
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02x%02x%02x", int(r * 255), int(g * 255), int(b * 255));
        layers.push_back({{"name", U8(name)},
                          {"color", colour},
                          {"off", rec->isOff()},
                          {"frozen", rec->isFrozen()},
                          {"locked", rec->isLocked()}});
        rec->close();
    }
    table->close();
    return layers;
}

std::string PreviewKey(const VkQsGsPreviewCtrl* preview)
{
    // What the preview shows, in short: it changes when the picture does.
    size_t h = preview->Primitives().size();
    for (const vkgi::Primitive& p : preview->Primitives())
        for (const AcGePoint3d& pt : p.points)
            h = h * 1000003u ^ std::hash<double>{}(pt.x) ^ (std::hash<double>{}(pt.y) << 1);
    return std::to_string(h);
}

json DialogsJson()
{
    json out = json::array();
    for (const vkui::DialogView& d : vkui::VisibleDialogs()) {
        json controls = json::array();
        for (const vkui::ControlView& c : d.controls) {
            json cj = {{"id", c.id},
                       {"kind", U8(vkui::ControlKindName(c.kind))},
                       {"text", U8(c.text)},
                       {"rect", {c.rect.left, c.rect.top, c.rect.right - c.rect.left, c.rect.bottom - c.rect.top}},
                       {"visible", c.visible},
                       {"enabled", c.enabled},
                       {"focus", c.focus},
                       {"check", c.check},
                       {"sel", c.sel}};
            if (!c.rows.empty() || c.kind == vkui::ControlKind::kListBox || c.kind == vkui::ControlKind::kComboDropDown ||
                c.kind == vkui::ControlKind::kComboDropList) {
                json rows = json::array();
                for (const CString& r : c.rows) rows.push_back(U8(r));
                cj["rows"] = rows;
            }
            if (c.style & vkui::SS_CENTER && c.kind == vkui::ControlKind::kStatic) cj["center"] = true;
            if (const auto* preview = dynamic_cast<const VkQsGsPreviewCtrl*>(c.window)) cj["preview"] = PreviewKey(preview);
            controls.push_back(cj);
        }
        out.push_back({{"id", d.id},
                       {"caption", U8(d.caption)},
                       {"size", {d.rect.right - d.rect.left, d.rect.bottom - d.rect.top}},
                       {"modal", d.modal},
                       {"top", d.top},
                       {"controls", controls}});
    }
    return out;
}

json CommandsJson()
{
    json names = json::array();
    for (const AcEdCommand* c : acedRegCmds()->commands()) names.push_back(U8(c->globalName()));
    return names;
}

json ExtentsJson(AcDbDatabase* db)
{
    AcDbExtents ext;
    if (!db || AcDbSpatialIndex::modelSpaceExtents(db, ext) != Acad::eOk) return nullptr;
    return {ext.minPoint().x, ext.minPoint().y, ext.maxPoint().x, ext.maxPoint().y};
}

}  // namespace

unsigned DrawingRevision() { return Counter().revision; }
void WatchCurrentDrawing() { Counter().watch(CurrentDb()); }

std::string StateJson(const CString& lastLine)
{
    WatchCurrentDrawing();
    AcDbDatabase* db = CurrentDb();
    json state = {{"prompt", PromptJson(lastLine)},
                  {"documents", DocumentsJson()},
                  {"project", ProjectJson()},
                  {"layers", LayersJson(db)},
                  {"drawing", {{"revision", DrawingRevision()}, {"extents", ExtentsJson(db)}}},
                  {"highlight", vkdb::HighlightGeneration()},
                  {"pickbox", vked::GetShortVar(u"PICKBOX", 3)},
                  {"dialogs", DialogsJson()},
                  {"commands", CommandsJson()}};
    return state.dump(-1, ' ', false, json::error_handler_t::replace);
}

bool PlanPng(double x1, double y1, double x2, double y2, int w, int h, std::string& png)
{
    AcDbDatabase* db = CurrentDb();
    if (!db || w < 1 || h < 1 || !(x2 > x1) || !(y2 > y1)) return false;
    // The page's pick box is PICKBOX pixels of its plan: one pixel in drawing units.
    resbuf pixel;
    pixel.restype = RTREAL;
    pixel.resval.rreal = std::max((x2 - x1) / w, (y2 - y1) / h);
    if (std::isfinite(pixel.resval.rreal) && pixel.resval.rreal > 0) acedSetVar(u"PIXELSIZE", &pixel);
    std::vector<vkgi::Primitive> prims;
    if (vkgi::CollectModelSpaceWindow(db, x1, y1, x2, y2, prims) != Acad::eOk) return false;
    vkgi::View view;
    view.width = w, view.height = h, view.fit = false;
    view.x1 = x1, view.y1 = y1, view.x2 = x2, view.y2 = y2;
    return vkgi::RenderPngBytes(prims, view, png);
}

std::vector<vkgi::Primitive> DrawnEntity(const AcDbEntity* ent)
{
    std::vector<vkgi::Primitive> prims;
    if (!ent) return prims;
    vkgi::Collector c(prims, CurrentDb(), false);
    c.draw(ent);
    return prims;
}

std::string PathsJson(const std::vector<vkgi::Primitive>& prims)
{
    json paths = json::array();
    for (const vkgi::Primitive& p : prims) {
        if (p.kind != vkgi::Primitive::kPath || p.points.empty()) continue;
        double r, g, b;
        vkgi::ColorOf(p.color, r, g, b);
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02x%02x%02x", int(r * 255), int(g * 255), int(b * 255));
        json pts = json::array();
        for (const AcGePoint3d& pt : p.points) {
            pts.push_back(pt.x);
            pts.push_back(pt.y);
        }
        paths.push_back({{"c", colour}, {"w", p.width}, {"p", pts}});
    }
    return paths.dump();
}

std::string HighlightJson()
{
    std::vector<vkgi::Primitive> prims;
    AcDbDatabase* db = CurrentDb();
    AcDbObjectIdArray ids;
    for (const AcDbObjectId& id : vkdb::HighlightedEntities(db)) ids.append(id);
    vkgi::CollectEntities(ids, prims);
    return PathsJson(prims);
}

bool PreviewPng(int dialogId, int controlId, int w, int h, std::string& png)
{
    for (const vkui::DialogView& d : vkui::VisibleDialogs()) {
        if (d.id != dialogId) continue;
        for (const vkui::ControlView& c : d.controls) {
            const auto* preview = c.id == controlId ? dynamic_cast<const VkQsGsPreviewCtrl*>(c.window) : nullptr;
            if (!preview) continue;
            vkgi::View view;
            view.width = w, view.height = h;
            return vkgi::RenderPngBytes(preview->Primitives(), view, png);
        }
    }
    return false;
}

}  // namespace vkcad::serve
