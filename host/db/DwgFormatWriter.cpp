// Writing a database in the drawing format (layout: docs/drawing-format.md).
#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/DwgFormat.h"
#include "host/db/DwgFormatFilers.h"
#include "host/db/DwgFormatProxy.h"
#include "host/db/DwgFormatSource.h"
#include "host/db/detail/DbInternals.h"

namespace vkdwg {
namespace {


// The classes named in a file, each after its parent.
class ClassTable {
public:
    // The class of an unread record of source, by its chain in the source's class table.
    std::uint32_t indexOf(const ClassEntry& sourceClass)
    {
        if (auto it = m_bySource.find(&sourceClass); it != m_bySource.end()) return it->second;
        return m_bySource[&sourceClass] = addChain(sourceClass.chain);
    }
    std::uint32_t indexOf(const AcDbObject* obj)
    {
        if (const ProxyContent* p = proxyContent(obj)) return addChain(p->classChain);
        const AcRxClass* c = obj->isA();
        if (auto it = m_byClass.find(c); it != m_byClass.end()) return it->second;
        std::vector<CString> chain;
        for (const AcRxClass* k = c; k; k = k->myParent()) chain.emplace_back(k->name());
        return m_byClass[c] = addChain(chain);
    }
    void write(std::string& out) const
    {
        put(out, static_cast<std::uint32_t>(m_entries.size()));
        for (const auto& [name, parent] : m_entries) {
            putString(out, name);
            put(out, parent);
        }
    }

private:
    std::uint32_t addChain(const std::vector<CString>& leafFirst)
    {
        std::int32_t parent = -1;
        for (auto it = leafFirst.rbegin(); it != leafFirst.rend(); ++it) {
            // A class is its name under its parent: a proxy's chain may give a known name
            // another parent, and each must keep its own.
            std::vector<std::uint32_t>& same = m_byName[*it];
            auto found = std::find_if(same.begin(), same.end(),
                                      [&](std::uint32_t i) { return m_entries[i].second == parent; });
            if (found != same.end()) {
                parent = static_cast<std::int32_t>(*found);
                continue;
            }
            m_entries.emplace_back(*it, parent);
            parent = static_cast<std::int32_t>(m_entries.size() - 1);
            same.push_back(static_cast<std::uint32_t>(parent));
        }
        return static_cast<std::uint32_t>(parent);
    }
    std::vector<std::pair<CString, std::int32_t>> m_entries;
    std::unordered_map<CString, std::vector<std::uint32_t>> m_byName;  // entries of each name
    std::unordered_map<const AcRxClass*, std::uint32_t> m_byClass;
    std::unordered_map<const ClassEntry*, std::uint32_t> m_bySource;
};

std::uint64_t handleIn(AcDbObjectId id, const AcDbDatabase* db)
{
    return (!id.isNull() && id.database() == db) ? id.handle().value() : 0;
}

// What goes into a file: live objects whose owners go too. An erased block takes its
// entities along, an erased room its parts, whatever their own flags say. The block and layer
// tables are the roots: live, they go, whoever is named as their owner.
class LiveObjects {
public:
    explicit LiveObjects(AcDbDatabase* db) : m_db(db), m_source(sourceOf(db))
    {
        // Handles are mostly dense: the answers sit in a table by handle, unless the drawing's
        // handles are too sparse for one.
        const std::uint64_t seed = db->handseed().value(), objects = db->impl()->byHandle.size();
        if (seed <= 4 * objects + 4096) m_byHandle.assign(seed, kUnknown);
        else m_known.reserve(objects);
        for (AcDbObjectId root : {db->blockTableId(), db->layerTableId(), db->linetypeTableId()})
            if (AcDbStub* s = root.stub(); s && !s->erased) remember(s, true);
    }
    bool kept(AcDbObjectId id)
    {
        std::vector<AcDbStub*> chain;
        bool keep = true;
        for (AcDbObjectId at = id;;) {
            AcDbStub* s = at.stub();
            if (!s || at.database() != m_db || !vkdb::hasObject(s)) break;  // no owner in this drawing
            if (const std::int8_t known = recalled(s); known != kUnknown) {
                keep = known != 0;
                break;
            }
            if (s->erased || std::find(chain.begin(), chain.end(), s) != chain.end()) {
                keep = false;  // erased, or owned in a circle
                chain.push_back(s);
                break;
            }
            chain.push_back(s);
            at = ownerOf(s);
        }
        for (AcDbStub* s : chain) remember(s, keep);
        return keep;
    }

private:
    static constexpr std::int8_t kUnknown = -1;
    std::int8_t recalled(const AcDbStub* s) const
    {
        const std::uint64_t h = s->handle.value();
        if (!m_byHandle.empty()) return h < m_byHandle.size() ? m_byHandle[h] : kUnknown;
        auto it = m_known.find(s);
        return it == m_known.end() ? kUnknown : std::int8_t(it->second);
    }
    void remember(AcDbStub* s, bool keep)
    {
        const std::uint64_t h = s->handle.value();
        if (m_byHandle.empty()) m_known[s] = keep;
        else if (h < m_byHandle.size()) m_byHandle[h] = keep ? 1 : 0;
        // A handle at or past the seed is refused by the caller before it is written.
    }

    AcDbObjectId ownerOf(const AcDbStub* s) const
    {
        if (s->object) return s->object->ownerId();
        return m_source ? m_source->resolve(m_source->head(s).owner) : AcDbObjectId::kNull;
    }
    AcDbDatabase* m_db;
    const DrawingSource* m_source;
    std::vector<std::int8_t> m_byHandle;              // by handle: kUnknown, 0 (left out) or 1 (kept)
    std::unordered_map<const AcDbStub*, bool> m_known;  // when the handles are too sparse
};

}  // namespace

Acad::ErrorStatus writeDrawing(AcDbDatabase* db, std::string& out, AcDb::AcDbDwgVersion ver)
{
    if (ver != AcDb::kDHL_1027) return Acad::eInvalidDwgVersion;
    if (!db) return Acad::eNoDatabase;

    // A reader refuses a file without both tables, and handles at or past the handle seed.
    if (!AcDbBlockTable::cast(vkdb::DbAccess::peek(db->blockTableId())) ||
        !AcDbLayerTable::cast(vkdb::DbAccess::peek(db->layerTableId())) ||
        db->blockTableId().isErased() || db->layerTableId().isErased())
        return Acad::eNoDatabase;

    LiveObjects live(db);
    auto keep = [&live](AcDbObjectId id) { return live.kept(id); };
    ClassTable classes;
    const DrawingSource* source = sourceOf(db);
    std::function<AcDbObjectId(std::uint64_t)> resolve = [source](std::uint64_t h) { return source->resolve(h); };

    // What goes into the file and the class of each, first: the class table comes before the
    // objects, which are then filed straight into the output.
    struct Item {
        AcDbStub* stub;
        std::uint32_t classIndex;
    };
    std::vector<Item> items;
    size_t unreadBytes = 0;
    for (AcDbObjectId id : db->allObjectIds(false)) {
        if (!live.kept(id)) continue;
        if (id.handle().value() >= db->handseed().value()) return Acad::eHandleExists;
        AcDbStub* s = id.stub();
        if (!s->object && s->record && source) {
            const RecordHead head = source->head(s);
            items.push_back({s, classes.indexOf(source->classOf(head))});
            unreadBytes += kRecordHeadSize + head.length;
        } else if (const AcDbObject* obj = vkdb::DbAccess::peek(id)) {
            items.push_back({s, classes.indexOf(obj)});
        }  // else a reserved handle without an object
    }

    out.clear();
    out.reserve(unreadBytes + 64 * items.size() + 4096);
    out.append(kMagic, sizeof kMagic);
    out.append(kVersionTag1027, sizeof kVersionTag1027);
    put(out, kRevision);
    put(out, std::uint64_t{0});  // the file length, known at the end
    put(out, db->handseed().value());
    // The linetype table only when the drawing has one: drawings without stay as they were.
    const bool linetypes = !db->linetypeTableId().isNull() && live.kept(db->linetypeTableId());
    put(out, std::uint32_t{linetypes ? 3u : 2u});
    putString(out, u"BlockTable");
    put(out, handleIn(db->blockTableId(), db));
    putString(out, u"LayerTable");
    put(out, handleIn(db->layerTableId(), db));
    if (linetypes) {
        putString(out, u"LinetypeTable");
        put(out, handleIn(db->linetypeTableId(), db));
    }
    classes.write(out);
    put(out, static_cast<std::uint32_t>(items.size()));
    std::vector<PayloadRef> refs;
    for (const Item& item : items) {
        AcDbStub* s = item.stub;
        AcDbObjectId id(s);
        put(out, s->handle.value());
        put(out, item.classIndex);
        size_t ownerPos = out.size();
        put(out, std::uint64_t{0});
        out.push_back(0);
        size_t lenPos = out.size();
        put(out, std::uint32_t{0});
        Acad::ErrorStatus es = Acad::eOk;
        if (!s->object && s->record && source) {
            // Not read since the file was opened: its record goes as its object would file
            // itself, the references brought up to date.
            const RecordHead head = source->head(s);
            patch(out, ownerPos, handleIn(source->resolve(head.owner), db));
            std::string_view payload = source->payload(s, head);
            refs.clear();
            scanPayload(payload, &refs);
            // Most records refer to nothing that changed: their bytes are what filing gives.
            bool same = std::all_of(refs.begin(), refs.end(), [&](const PayloadRef& r) {
                AcDbObjectId to = source->resolve(r.handle);
                return r.handle == 0 || (!to.isNull() && live.kept(to));
            });
            source->releaseBefore(s->record);  // records are copied in file order
            if (same) {
                out.append(payload);
            } else {
                DwgOutFiler filer(out, db, keep);
                es = replayPayload(payload, &filer, resolve);
            }
        } else {
            ObjectReadScope scope(id);
            const AcDbObject* obj = scope.get();
            if (!obj) {
                out.clear();
                return Acad::eNullObjectPointer;
            }
            patch(out, ownerPos, handleIn(obj->ownerId(), db));
            if (const ProxyContent* p = proxyContent(obj)) {
                out += p->currentPayload(db);
            } else {
                DwgOutFiler filer(out, db, keep);
                es = obj->dwgOutFields(&filer);
                if (es == Acad::eOk) es = filer.filerStatus();
            }
        }
        size_t len = out.size() - lenPos - 4;
        if (es == Acad::eOk && len > 0xFFFFFFFFu) es = Acad::eFilerError;
        if (es != Acad::eOk) {
            out.clear();  // nothing half written
            return es;
        }
        patch(out, lenPos, static_cast<std::uint32_t>(len));
    }
    patch(out, 16, static_cast<std::uint64_t>(out.size() + 4));
    put(out, crc32(out.data(), out.size()));
    return Acad::eOk;
}

}  // namespace vkdwg
