// The undo journal: steps of object states and file contents, taken back and brought back.
#include <algorithm>
#include <memory>
#include <string>
#include <unordered_set>
#include <utility>

#include "host/db/AcDbCore.h"
#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbObject.h"
#include "host/db/AcDbUndo.h"
#include "host/db/DwgFormatFilers.h"
#include "host/db/detail/DatabaseImpl.h"
#include "host/win/DeferredWrites.h"

namespace {

using Access = AcDbObjectAccess;

// An object as a step found it.
struct ObjectState {
    enum Kind : unsigned char { kAbsent, kFiled, kOwnedList } kind = kAbsent;
    bool erased = false;
    AcRxClass* cls = nullptr;
    AcDbObjectId owner;
    std::string payload;             // kFiled: its fields as the drawing file holds them
    size_t keep = 0;                 // kOwnedList: the list cut to this length...
    std::vector<AcDbObjectId> tail;  // ...then these appended
};

struct DrawingChanges {
    AcDbDatabase* db = nullptr;
    std::vector<std::pair<AcDbStub*, ObjectState>> objects;  // in the order first changed
    std::unordered_set<AcDbStub*> seen;
};

struct FileChange {
    CString path;
    bool existed = false;
    std::string bytes;
};

struct Step {
    CString name;
    std::vector<DrawingChanges> drawings;
    std::vector<FileChange> files;
    bool empty() const { return drawings.empty() && files.empty(); }
};

// The state of a resident object as it stands; it must be readable (open, or opened here).
ObjectState capture(AcDbStub* s, const AcDbObject* obj)
{
    ObjectState st;
    st.erased = s->erased;
    st.cls = obj->isA();
    st.owner = obj->ownerId();
    if (const std::vector<AcDbObjectId>* list = vkdb::DbAccess::ownedList(const_cast<AcDbObject*>(obj))) {
        st.kind = ObjectState::kOwnedList;
        st.keep = list->size();
        return st;
    }
    st.kind = ObjectState::kFiled;
    vkdwg::DwgOutFiler filer(st.payload, s->db);
    obj->dwgOutFields(&filer);
    return st;
}

// An object made afresh from a filed state; null when its fields do not read back.
AcDbObject* make(const ObjectState& st, AcDbDatabase* db)
{
    std::unique_ptr<AcDbObject> obj(st.cls ? AcDbObject::cast(st.cls->create()) : nullptr);
    if (!obj) return nullptr;
    vkdwg::DwgInFiler filer(st.payload, db, [db](std::uint64_t h) {
        AcDbObjectId id;
        db->getAcDbObjectId(id, false, AcDbHandle(h));
        return id;
    });
    if (obj->dwgInFields(&filer) != Acad::eOk || filer.filerStatus() != Acad::eOk || !filer.atEnd()) return nullptr;
    return obj.release();
}

class Journal : public vkwin::ReplaceObserver {
public:
    Journal() { vkwin::SetReplaceObserver(this); }

    void begin(const CString& name)
    {
        close();
        m_current.name = name;
        m_open = true;
    }

    void noteWrite(AcDbStub* s)
    {
        if (!recording(s->db)) return;
        DrawingChanges& d = changesOf(s->db);
        if (!d.seen.insert(s).second) return;
        d.objects.emplace_back(s, capture(s, s->object));
    }

    void noteAppended(AcDbStub* s)
    {
        if (!recording(s->db)) return;
        DrawingChanges& d = changesOf(s->db);
        if (d.seen.insert(s).second) d.objects.emplace_back(s, ObjectState{});
    }

    bool wantsContents() const override { return m_open && !m_applying; }
    void replaced(const CString& path, bool existed, std::string before) override
    {
        if (!wantsContents()) return;
        for (const FileChange& f : m_current.files)
            if (f.path.CompareNoCase(path) == 0) return;  // the step keeps what the file held first
        changing().files.push_back({path, existed, std::move(before)});
    }

    void forget(AcDbDatabase* db)
    {
        auto drop = [db](Step& step) {
            std::erase_if(step.drawings, [db](const DrawingChanges& d) { return d.db == db; });
        };
        drop(m_current);
        for (Step& step : m_undo) drop(step);
        for (auto& group : m_redo)
            for (Step& step : group) drop(step);
        std::erase_if(m_undo, [](const Step& s) { return s.empty(); });
    }

    vkundo::Outcome undo(int count)
    {
        close();
        vkundo::Outcome out;
        std::vector<Step> taken;
        for (int i = 0; i < count && !m_undo.empty(); ++i) {
            Step inverse;
            if (!apply(m_undo.back(), inverse, out.error)) {
                out.error = m_undo.back().name + u": " + out.error;
                break;
            }
            out.commands.push_back(m_undo.back().name);
            taken.push_back(std::move(inverse));
            m_undo.pop_back();
        }
        if (!taken.empty()) m_redo.push_back(std::move(taken));
        return out;
    }

    vkundo::Outcome redo()
    {
        close();
        vkundo::Outcome out;
        if (m_redo.empty()) return out;
        std::vector<Step> group = std::move(m_redo.back());
        m_redo.pop_back();
        // Undone newest first: brought back oldest first.
        while (!group.empty()) {
            Step inverse;
            if (!apply(group.back(), inverse, out.error)) {
                out.error = group.back().name + u": " + out.error;
                m_redo.push_back(std::move(group));
                break;
            }
            out.commands.push_back(group.back().name);
            m_undo.push_back(std::move(inverse));
            group.pop_back();
        }
        return out;
    }

    size_t undoDepth() const { return m_undo.size() + (m_current.empty() ? 0 : 1); }
    size_t redoDepth() const { return m_redo.size(); }
    bool applying() const { return m_applying; }
    unsigned appliedCount() const { return m_appliedCount; }
    void clear()
    {
        m_current = Step{};
        m_undo.clear();
        m_redo.clear();
        m_open = false;
    }

private:
    bool recording(const AcDbDatabase* db) const { return m_open && !m_applying && db && db->impl()->undoTracked; }

    // The current step, about to hold its first change or another one. A new change makes what
    // was undone before it unreachable.
    Step& changing()
    {
        if (m_current.empty()) m_redo.clear();
        return m_current;
    }

    DrawingChanges& changesOf(AcDbDatabase* db)
    {
        Step& step = changing();
        for (DrawingChanges& d : step.drawings)
            if (d.db == db) return d;
        step.drawings.push_back(DrawingChanges{db, {}, {}});
        return step.drawings.back();
    }

    void close()
    {
        if (!m_current.empty()) m_undo.push_back(std::move(m_current));
        m_current = Step{};
    }

    // Puts back what the step recorded: its files first, in one replacement (nothing changes
    // when that fails), then its objects. `inverse` is what brings the present back.
    bool apply(const Step& step, Step& inverse, CString& why)
    {
        struct Applying {
            bool& flag;
            explicit Applying(bool& f) : flag(f) { flag = true; }
            ~Applying() { flag = false; }
        } applying(m_applying);
        inverse.name = step.name;
        if (!putFilesBack(step.files, inverse.files, why)) return false;
        for (const DrawingChanges& d : step.drawings) inverse.drawings.push_back(putObjectsBack(d));
        ++m_appliedCount;
        return true;
    }

    static bool putFilesBack(const std::vector<FileChange>& files, std::vector<FileChange>& present, CString& why)
    {
        if (files.empty()) return true;
        for (const FileChange& f : files) {
            FileChange now{f.path, false, {}};
            now.existed = vkwin::ReadWholeFile(f.path, now.bytes);
            if (!now.existed && GetLastError() != ERROR_FILE_NOT_FOUND) {
                why = CString(u"cannot read ") + f.path;
                return false;
            }
            present.push_back(std::move(now));
        }
        // One scope naming every file: they are replaced together or not at all.
        std::vector<std::unique_ptr<vkwin::DeferredWrites>> scopes;
        for (const FileChange& f : files)
            scopes.push_back(std::make_unique<vkwin::DeferredWrites>(std::initializer_list<CString>{f.path}));
        for (const FileChange& f : files)
            if (f.existed && !vkwin::ReplaceWholeFile(f.path, f.bytes)) {
                why = CString(u"cannot write ") + f.path;
                return false;
            }
        if (!scopes.front()->Commit()) {
            why = scopes.front()->FailedPath() + u" cannot be replaced: " +
                  acadErrorStatusDescription(acdbFileErrorStatus(scopes.front()->Error()));
            return false;
        }
        for (const FileChange& f : files)
            if (!f.existed) DeleteFileW(f.path.GetString());
        return true;
    }

    static DrawingChanges putObjectsBack(const DrawingChanges& d)
    {
        DrawingChanges present{d.db, {}, {}};
        struct Changed {
            AcDbStub* s;
            bool erasedBefore;
        };
        std::vector<Changed> changed;
        for (auto it = d.objects.rbegin(); it != d.objects.rend(); ++it) {
            AcDbStub* s = it->first;
            AcDbObject* obj = vkdb::residentObject(s);
            if (!obj || Access::openState(obj) != 0 || s->notifyOpens > 0) continue;
            const bool erasedBefore = s->erased;
            present.objects.emplace_back(s, putBack(s, obj, it->second));
            changed.push_back({s, erasedBefore});
        }
        // Told once every object stands as before, so that whoever listens sees them together.
        for (const Changed& c : changed) {
            const AcDbObject* obj = c.s->object;
            if (c.s->erased != c.erasedBefore) vkdb::DbAccess::notifyErased(d.db, obj, c.s->erased);
            else vkdb::DbAccess::notifyModified(d.db, obj);
        }
        vkdb::DbAccess::fileSlot(d.db).modified = true;
        return present;
    }

    // Gives the object of s the state st; answers the state it had.
    static ObjectState putBack(AcDbStub* s, AcDbObject* obj, const ObjectState& st)
    {
        ObjectState present;
        {
            Access::openState(obj) = 1;  // read, to file it
            present = capture(s, obj);
            Access::openState(obj) = 0;
        }
        if (st.kind == ObjectState::kOwnedList) {
            std::vector<AcDbObjectId>* list = vkdb::DbAccess::ownedList(obj);
            const size_t keep = std::min(st.keep, list->size());
            present.keep = keep;
            present.tail.assign(list->begin() + static_cast<std::ptrdiff_t>(keep), list->end());
            list->resize(keep);
            list->insert(list->end(), st.tail.begin(), st.tail.end());
        } else if (st.kind == ObjectState::kFiled) {
            if (AcDbObject* fresh = make(st, s->db)) {
                Access::stub(fresh) = s;
                Access::owner(fresh) = st.owner;
                Access::isNew(fresh) = Access::isNew(obj);
                s->object = fresh;
                Access::stub(obj) = nullptr;
                delete obj;
            }
        }
        s->erased = st.kind == ObjectState::kAbsent ? true : st.erased;
        return present;
    }

    Step m_current;
    std::vector<Step> m_undo;
    std::vector<std::vector<Step>> m_redo;  // what each undo took, newest first within it
    bool m_open = false;
    bool m_applying = false;
    unsigned m_appliedCount = 0;
};

Journal& journal()
{
    static auto* j = new Journal;  // never destroyed: drawings may be deleted at exit
    return *j;
}
// Set up at load, so that it hears the first file replacement too.
const bool g_journalReady = (journal(), true);

}  // namespace

namespace vkdb {
void undoNoteWrite(AcDbStub* s) { journal().noteWrite(s); }
void undoNoteAppended(AcDbStub* s) { journal().noteAppended(s); }
void undoForget(AcDbDatabase* db) { journal().forget(db); }
}  // namespace vkdb

namespace vkundo {
void setTracked(AcDbDatabase* db, bool tracked)
{
    if (db) db->impl()->undoTracked = tracked;
}
void beginCommand(const CString& name) { journal().begin(name); }
Outcome undo(int count) { return journal().undo(count); }
Outcome redo() { return journal().redo(); }
size_t undoDepth() { return journal().undoDepth(); }
size_t redoDepth() { return journal().redoDepth(); }
bool isApplying() { return journal().applying(); }
unsigned appliedCount() { return journal().appliedCount(); }
void clear() { journal().clear(); }
}  // namespace vkundo
