// Loading JSON lines into a database: everything is checked (a dry run of every line's
// fields) before the database changes.
#include <nlohmann/json.hpp>

#include <cmath>
#include <functional>
#include <istream>
#include <map>
#include <memory>
#include <set>

#include "host/db/AcDbEntities.h"
#include "host/db/AcDbJson.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/DeepClone.h"
#include "host/db/detail/DbInternals.h"

namespace {

using Json = nlohmann::ordered_json;

// Handle text -> handle; false for text that is no handle.
bool parseHandle(const Json& v, std::uint64_t& h)
{
    h = 0;
    if (v.is_null()) return true;
    if (!v.is_string()) return false;
    const std::string& s = v.get_ref<const std::string&>();
    if (s.empty() || s.size() > 16) return false;
    for (char c : s) {
        int d = (c >= '0' && c <= '9') ? c - '0' : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : (c >= 'a' && c <= 'f') ? c - 'a' + 10 : -1;
        if (d < 0) return false;
        h = h << 4 | static_cast<std::uint64_t>(d);
    }
    return true;
}

// Reads a class's fields from one JSON object by the names the class files them under.
class JsonInFiler : public AcDbDwgReadOnlyFiler {
public:
    // Maps a handle to an id; false for a handle that is nowhere.
    using Resolver = std::function<bool(std::uint64_t, AcDbObjectId&)>;
    JsonInFiler(const Json& obj, AcDbDatabase* db, Resolver resolve)
        : m_obj(obj), m_db(db), m_resolve(std::move(resolve)) {}
    AcDb::FilerType filerType() const override { return AcDb::kJsonFiler; }
    Acad::ErrorStatus filerStatus() const override { return m_status; }
    AcDbDatabase* database() const override { return m_db; }
    const std::string& message() const { return m_message; }

    Acad::ErrorStatus readBool(bool* v, const char* name) override
    {
        return take(name, "true or false", [&](const Json& j) { return j.is_boolean() && (*v = j.get<bool>(), true); });
    }
    Acad::ErrorStatus readInt32(Adesk::Int32* v, const char* name) override
    {
        return take(name, "a 32-bit integer", [&](const Json& j) {
            if (!j.is_number_integer()) return false;
            auto x = j.get<std::int64_t>();
            if (x < INT32_MIN || x > INT32_MAX) return false;
            *v = static_cast<Adesk::Int32>(x);
            return true;
        });
    }
    Acad::ErrorStatus readInt64(Adesk::Int64* v, const char* name) override
    {
        return take(name, "an integer", [&](const Json& j) { return j.is_number_integer() && (*v = j.get<std::int64_t>(), true); });
    }
    Acad::ErrorStatus readDouble(double* v, const char* name) override
    {
        return take(name, "a number", [&](const Json& j) { return number(j, *v); });
    }
    Acad::ErrorStatus readString(CString* v, const char* name) override
    {
        return take(name, "a string", [&](const Json& j) {
            if (!j.is_string()) return false;
            *v = CString::FromUtf8(j.get_ref<const std::string&>());
            return true;
        });
    }
    Acad::ErrorStatus readPoint2d(AcGePoint2d* v, const char* name) override
    {
        return take(name, "a point [x, y]", [&](const Json& j) {
            double d[2];
            return numbers(j, d, 2) && (v->set(d[0], d[1]), true);
        });
    }
    Acad::ErrorStatus readPoint3d(AcGePoint3d* v, const char* name) override
    {
        return take(name, "a point [x, y, z]", [&](const Json& j) {
            double d[3];
            return numbers(j, d, 3) && (v->set(d[0], d[1], d[2]), true);
        });
    }
    Acad::ErrorStatus readVector3d(AcGeVector3d* v, const char* name) override
    {
        return take(name, "a vector [x, y, z]", [&](const Json& j) {
            double d[3];
            return numbers(j, d, 3) && (*v = AcGeVector3d(d[0], d[1], d[2]), true);
        });
    }
    Acad::ErrorStatus readMatrix3d(AcGeMatrix3d* v, const char* name) override
    {
        return take(name, "a matrix of 16 numbers", [&](const Json& j) { return numbers(j, &v->entry[0][0], 16); });
    }
    Acad::ErrorStatus readReference(AcDbObjectId* id, AcDb::ReferenceKind, const char* name) override
    {
        return take(name, "a handle", [&](const Json& j) {
            std::uint64_t h = 0;
            if (!parseHandle(j, h)) return false;
            if (h == 0) {
                id->setNull();
                return true;
            }
            if (!m_resolve(h, *id)) {
                m_detail = "handle " + j.get<std::string>() + " is not in the drawing";
                return false;
            }
            return true;
        });
    }
    Acad::ErrorStatus readBytes(std::vector<unsigned char>* data, const char* name) override
    {
        return take(name, "hexadecimal bytes", [&](const Json& j) {
            if (!j.is_string()) return false;
            const std::string& s = j.get_ref<const std::string&>();
            if (s.size() % 2) return false;
            std::vector<unsigned char> out;
            for (size_t i = 0; i < s.size(); i += 2) {
                std::uint64_t hi = 0, lo = 0;
                if (!parseHandle(Json(s.substr(i, 1)), hi) || !parseHandle(Json(s.substr(i + 1, 1)), lo)) return false;
                out.push_back(static_cast<unsigned char>(hi << 4 | lo));
            }
            *data = std::move(out);
            return true;
        });
    }
    Acad::ErrorStatus readArrayBegin(Adesk::Int32* count, const char* name) override
    {
        bool absent = false;
        Acad::ErrorStatus es = take(name, "an array", [&](const Json& j) {
            if (!j.is_array()) return false;
            m_arrays.push_back({&j, 0});
            *count = static_cast<Adesk::Int32>(j.size());
            return true;
        }, &absent);
        return absent ? Acad::eKeyNotFound : es;
    }
    Acad::ErrorStatus readArrayEnd() override
    {
        if (m_status != Acad::eOk) return m_status;
        if (m_arrays.empty()) return fail("unbalanced array end");
        m_arrays.pop_back();
        return Acad::eOk;
    }


private:
    static bool number(const Json& j, double& v)
    {
        if (!j.is_number()) return false;
        v = j.get<double>();
        return std::isfinite(v);
    }
    static bool numbers(const Json& j, double* out, size_t n)
    {
        if (!j.is_array() || j.size() != n) return false;
        for (size_t i = 0; i < n; ++i)
            if (!number(j[i], out[i])) return false;
        return true;
    }
    Acad::ErrorStatus fail(const std::string& what)
    {
        m_status = Acad::eInvalidInput;
        m_message = what;
        return m_status;
    }
    // The next value: by name at the top level (a name met again is looked up as "name#2"),
    // by position inside an array. Absent names leave the variable alone.
    template <class F>
    Acad::ErrorStatus take(const char* name, const char* expected, F&& convert, bool* absent = nullptr)
    {
        if (m_status != Acad::eOk) return m_status;
        const Json* v = nullptr;
        std::string label;
        if (!m_arrays.empty()) {
            auto& [arr, index] = m_arrays.back();
            label = "item " + std::to_string(index) + " of an array";
            if (index >= arr->size()) return fail(label + ": missing");
            v = &(*arr)[index++];
        } else {
            std::string key = name ? name : "_" + std::to_string(m_unnamed++);
            int n = ++m_seen[key];
            if (n > 1) key += "#" + std::to_string(n);
            label = "field \"" + key + "\"";
            auto it = m_obj.find(key);
            if (it == m_obj.end()) {
                if (absent) *absent = true;
                return Acad::eOk;
            }
            v = &*it;
        }
        m_detail.clear();
        if (!convert(*v))
            return fail(label + ": " + (m_detail.empty() ? std::string("expected ") + expected : m_detail));
        return Acad::eOk;
    }

    struct ArrayCursor {
        const Json* arr;
        size_t index;
    };
    const Json& m_obj;
    AcDbDatabase* m_db;
    Resolver m_resolve;
    std::vector<ArrayCursor> m_arrays;
    std::map<std::string, int> m_seen{{"handle", 1}, {"class", 1}, {"owner", 1}, {"erased", 1}};
    int m_unnamed = 0;
    Acad::ErrorStatus m_status = Acad::eOk;
    std::string m_message, m_detail;
};

struct Line {
    int number = 0;
    Json obj;
    const AcRxClass* cls = nullptr;
    std::uint64_t handle = 0;
    bool hasOwner = false;
    std::uint64_t owner = 0;
    bool erased = false;
    CString recordName;  // a symbol table record's name, read by the dry run
    std::uint64_t blockParts[2] = {0, 0};  // handles for the begin and end a block line lacks
};

// The largest handle an object may keep: the file keeps the next handle after it.
constexpr std::uint64_t kLastHandle = ~std::uint64_t{0} - 1;

// The fields of one line read into a throw-away object; false with why when they do not.
std::unique_ptr<AcDbObject> readFields(const Json& obj, const AcRxClass* cls, AcDbDatabase* db,
                                       const JsonInFiler::Resolver& resolve, std::string& why)
{
    std::unique_ptr<AcDbObject> made(AcDbObject::cast(cls->create()));
    if (!made) {
        why = "cannot create the class";
        return nullptr;
    }
    JsonInFiler filer(obj, db, resolve);
    if (made->dwgInFields(&filer) != Acad::eOk || filer.filerStatus() != Acad::eOk) {
        why = filer.message();
        return nullptr;
    }
    return made;
}

// The field a class refuses when its value is of the right type but not one it takes: the
// one without which the line reads.
std::string blameField(const Json& obj, const AcRxClass* cls, AcDbDatabase* db, const JsonInFiler::Resolver& resolve)
{
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        const std::string& key = it.key();
        if (key == "handle" || key == "class" || key == "owner" || key == "erased") continue;
        Json without = obj;
        without.erase(key);
        std::string why;
        if (readFields(without, cls, db, resolve, why))
            return "field \"" + key + "\": " + it.value().dump() + " is not a value this class takes";
    }
    return "the fields do not go together";
}

class Loader {
public:
    Loader(AcDbDatabase* db, CString& error) : m_db(db), m_error(error) {}

    Acad::ErrorStatus run(std::istream& in)
    {
        if (!readLines(in) || !assignHandles() || !dryRun()) return Acad::eInvalidInput;
        Acad::ErrorStatus es = load();
        // Every refusal names its reason; a step below that fails without one still says what.
        if (es != Acad::eOk && m_error.IsEmpty())
            fail(m_lines.empty() ? 1 : m_lines.front().number,
                 std::string("the lines do not make a drawing: ") + acadErrorStatusText(es));
        return es;
    }

private:
    bool fail(int line, const std::string& what)
    {
        m_error = CString::FromUtf8("line " + std::to_string(line) + ": " + what);
        return false;
    }
    bool existsInDb(std::uint64_t h) const
    {
        AcDbObjectId id;
        return h < m_db->handseed().value() && m_db->getAcDbObjectId(id, false, AcDbHandle(h)) == Acad::eOk &&
               vkdb::DbAccess::peek(id) != nullptr;
    }

    bool readLines(std::istream& in)
    {
        std::string text;
        int number = 0;
        while (std::getline(in, text)) {
            ++number;
            if (text.find_first_not_of(" \t\r") == std::string::npos) continue;
            Line line;
            line.number = number;
            std::string key;  // the top-level field being read, for messages
            try {
                line.obj = Json::parse(text, [&key](int depth, Json::parse_event_t event, Json& parsed) {
                    if (event == Json::parse_event_t::key && depth == 1) key = parsed.get<std::string>();
                    return true;
                });
            } catch (const Json::out_of_range& e) {
                return fail(number, (key.empty() ? std::string() : "field \"" + key + "\": ") +
                                        "a number beyond what a drawing can hold");
            } catch (const Json::exception& e) {
                return fail(number, std::string("malformed JSON: ") + e.what());
            }
            if (!line.obj.is_object()) return fail(number, "expected a JSON object");
            auto cls = line.obj.find("class");
            if (cls == line.obj.end() || !cls->is_string()) return fail(number, "field \"class\": missing or not a string");
            const std::string& name = cls->get_ref<const std::string&>();
            line.cls = acrxFindClass(CString::FromUtf8(name).GetString());
            if (!line.cls || line.cls->isAbstract() || !line.cls->isDerivedFrom(AcDbObject::desc()))
                return fail(number, "unknown class \"" + name + "\"");
            if (auto h = line.obj.find("handle"); h != line.obj.end()) {
                if (!parseHandle(*h, line.handle) || line.handle == 0)
                    return fail(number, "field \"handle\": " + h->dump() + " is no handle (hexadecimal text, not 0)");
                if (line.handle > kLastHandle)
                    return fail(number, "\"handle\" " + h->get<std::string>() +
                                            " cannot be kept: the last handle of a drawing is FFFFFFFFFFFFFFFE");
            }
            if (auto o = line.obj.find("owner"); o != line.obj.end()) {
                line.hasOwner = true;
                if (!parseHandle(*o, line.owner))
                    return fail(number, "field \"owner\": " + o->dump() + " is no handle (hexadecimal text)");
            }
            if (auto e = line.obj.find("erased"); e != line.obj.end()) {
                if (!e->is_boolean()) return fail(number, "field \"erased\": expected true or false");
                line.erased = e->get<bool>();
            }
            m_lines.push_back(std::move(line));
        }
        return true;
    }

    bool assignHandles()
    {
        std::uint64_t next = m_db->handseed().value();
        for (const Line& l : m_lines) {
            if (!l.handle) continue;
            if (existsInDb(l.handle)) return fail(l.number, "handle " + l.obj["handle"].get<std::string>() + " is already in the drawing");
            if (!m_lineOf.emplace(l.handle, &l - m_lines.data()).second)
                return fail(l.number, "handle " + l.obj["handle"].get<std::string>() + " is used twice");
            next = std::max(next, l.handle + 1);
        }
        for (Line& l : m_lines) {
            if (l.handle) continue;
            while (next <= kLastHandle && (m_lineOf.count(next) || existsInDb(next))) ++next;
            if (next > kLastHandle) return fail(l.number, "the drawing has no handle left for this object");
            m_lineOf.emplace(l.handle = next++, &l - m_lines.data());
        }
        // A block given without its begin and end gets them, as a block added to its table does;
        // one given only one of them is refused.
        for (Line& l : m_lines) {
            if (!l.cls->isDerivedFrom(AcDbBlockTableRecord::desc())) continue;
            const bool begin = given(l.obj, "begin"), end = given(l.obj, "end");
            if (begin != end)
                return fail(l.number, std::string("field \"") + (begin ? "end" : "begin") +
                                          "\": a block is given its begin and end together, or neither");
            if (begin) continue;
            for (std::uint64_t& part : l.blockParts) {
                while (next <= kLastHandle && (m_lineOf.count(next) || existsInDb(next))) ++next;
                if (next > kLastHandle) return fail(l.number, "the drawing has no handle left for the block's begin and end");
                part = next++;
            }
        }
        return true;
    }

    // A reference field that names an object: present, not null and not handle 0.
    static bool given(const Json& obj, const char* key)
    {
        auto it = obj.find(key);
        if (it == obj.end() || it->is_null()) return false;
        std::uint64_t h = 0;
        return !parseHandle(*it, h) || h != 0;
    }

    bool known(std::uint64_t h) const { return m_lineOf.count(h) || existsInDb(h); }

    // Every line's fields read into a throw-away object: types and references are checked.
    bool dryRun()
    {
        JsonInFiler::Resolver resolve = [&](std::uint64_t h, AcDbObjectId& id) {
            id.setNull();
            return known(h);
        };
        const Line* ownerless = nullptr;  // the first entity without owner
        for (Line& l : m_lines) {
            std::string why;
            std::unique_ptr<AcDbObject> obj = readFields(l.obj, l.cls, m_db, resolve, why);
            if (!obj) return fail(l.number, why.empty() ? blameField(l.obj, l.cls, m_db, resolve) : why);
            if (l.hasOwner && l.owner && !known(l.owner)) return fail(l.number, "field \"owner\": handle " + AcDbHandle(l.owner).text().ToUtf8() + " is not in the drawing");
            if ((!l.hasOwner || !l.owner) && (AcDbBlockBegin::cast(obj.get()) || AcDbBlockEnd::cast(obj.get())))
                return fail(l.number, "field \"owner\": a block's begin or end needs its block as owner");
            if (!l.hasOwner && AcDbEntity::cast(obj.get()) && !ownerless) ownerless = &l;
            if (auto* rec = AcDbSymbolTableRecord::cast(obj.get())) {
                rec->getName(l.recordName);
                std::unique_ptr<AcDbSymbolTableRecord> probe(AcDbSymbolTableRecord::cast(l.cls->create()));
                if (probe->setName(l.recordName.GetString()) != Acad::eOk)
                    return fail(l.number, "field \"name\": \"" + l.recordName.ToUtf8() + "\" is not a valid name");
            }
        }
        // Entities without owner go to model space: the drawing's, or a live one the lines bring.
        if (ownerless && m_db->modelSpaceId().isNull() && !bringsModelSpace())
            return fail(ownerless->number, "an entity without owner needs a model space");
        return planTables();
    }

    bool bringsModelSpace() const
    {
        for (const Line& l : m_lines)
            if (!l.erased && l.cls->isDerivedFrom(AcDbBlockTableRecord::desc()) &&
                l.recordName.CompareNoCase(ACDB_MODEL_SPACE) == 0)
                return true;
        return false;
    }

    // The drawing's two tables: the database's, or those the lines bring.
    bool findTable(const AcRxClass* cls, AcDbObjectId existing, const char* what, std::uint64_t& handle)
    {
        handle = existing.isNull() ? 0 : existing.handle().value();
        for (const Line& l : m_lines) {
            if (!l.cls->isDerivedFrom(cls)) continue;
            if (handle) return fail(l.number, std::string("the drawing has a ") + what + " already");
            handle = l.handle;
        }
        if (handle) return true;
        return fail(m_lines.empty() ? 1 : m_lines.front().number,
                    std::string("the lines make no drawing: there is no ") + what);
    }

    // Table records belong to their table: one without owner is given it, and every record
    // that names its table as owner is in the table's list. Live records of a table never
    // share a name (case aside).
    bool planTables()
    {
        std::uint64_t blocks = 0, layers = 0, linetypes = 0;
        if (!findTable(AcDbBlockTable::desc(), m_db->blockTableId(), "block table", blocks) ||
            !findTable(AcDbLayerTable::desc(), m_db->layerTableId(), "layer table", layers))
            return false;
        // The linetype table is optional: needed only by linetype records.
        bool needLinetypes = false;
        for (const Line& l : m_lines)
            needLinetypes = needLinetypes || l.cls->isDerivedFrom(AcDbLinetypeTableRecord::desc()) ||
                            l.cls->isDerivedFrom(AcDbLinetypeTable::desc());
        if (needLinetypes && !findTable(AcDbLinetypeTable::desc(), m_db->linetypeTableId(), "linetype table", linetypes))
            return false;
        std::map<std::uint64_t, std::map<CString, std::string>> names;  // table -> name -> where
        for (AcDbObjectId table : {m_db->blockTableId(), m_db->layerTableId(), m_db->linetypeTableId()}) {
            auto* t = AcDbSymbolTable::cast(vkdb::DbAccess::peek(table));
            if (!t) continue;
            for (AcDbObjectId id : t->recordIds()) {
                CString n;
                if (auto* rec = AcDbSymbolTableRecord::cast(vkdb::DbAccess::peek(id))) rec->getName(n);
                names[table.handle().value()][n.MakeLower()] = "in the drawing";
            }
        }
        for (Line& l : m_lines) {
            const int kind = l.cls->isDerivedFrom(AcDbBlockTableRecord::desc())      ? 0
                             : l.cls->isDerivedFrom(AcDbLayerTableRecord::desc())    ? 1
                             : l.cls->isDerivedFrom(AcDbLinetypeTableRecord::desc()) ? 2
                                                                                      : -1;
            if (kind < 0) continue;
            static const char* kKinds[3] = {"block", "layer", "linetype"};
            static const char* kTables[3] = {"block table", "layer table", "linetype table"};
            const std::uint64_t table = kind == 0 ? blocks : kind == 1 ? layers : linetypes;
            if (!l.hasOwner || !l.owner) {
                l.hasOwner = true;
                l.owner = table;
            } else if (l.owner != table) {
                return fail(l.number, std::string("a ") + kKinds[kind] + " record belongs to the " + kTables[kind] +
                                          " (" + AcDbHandle(table).text().ToUtf8() + "), not to " +
                                          AcDbHandle(l.owner).text().ToUtf8());
            }
            m_members[table].push_back(l.handle);
            if (l.erased) continue;
            CString key = l.recordName;
            auto [it, added] = names[table].emplace(key.MakeLower(), "on line " + std::to_string(l.number));
            if (!added)
                return fail(l.number, std::string(kKinds[kind]) + " \"" + l.recordName.ToUtf8() + "\" is already in the " +
                                          kTables[kind] + " (" + it->second + ")");
        }
        return true;
    }

    Acad::ErrorStatus load()
    {
        std::map<std::uint64_t, AcDbObjectId> ids;
        for (const Line& l : m_lines) {
            AcDbObjectId id;
            if (Acad::ErrorStatus es = m_db->getAcDbObjectId(id, true, AcDbHandle(l.handle)); es != Acad::eOk) return es;
            ids[l.handle] = id;
        }
        auto resolve = [&](std::uint64_t h, AcDbObjectId& id) {
            if (auto it = ids.find(h); it != ids.end()) {
                id = it->second;
                return true;
            }
            return m_db->getAcDbObjectId(id, false, AcDbHandle(h)) == Acad::eOk;
        };
        AcDbObjectId blockTable, layerTable, linetypeTable;
        std::vector<AcDbObjectId> toModelSpace, entities;
        std::map<AcDbObjectId, std::vector<AcDbObjectId>> byOwner;  // entities that name their owner
        for (const Line& l : m_lines) {
            std::unique_ptr<AcDbObject> obj(AcDbObject::cast(l.cls->create()));
            JsonInFiler filer(l.obj, m_db, resolve);
            if (obj->dwgInFields(&filer) != Acad::eOk || filer.filerStatus() != Acad::eOk) {
                fail(l.number, filer.message());
                return Acad::eInvalidInput;
            }
            AcDbObjectId owner;
            if (l.hasOwner && l.owner) resolve(l.owner, owner);
            bool isEntity = AcDbEntity::cast(obj.get()) != nullptr;
            if (AcDbBlockTable::cast(obj.get())) blockTable = ids[l.handle];
            if (AcDbLayerTable::cast(obj.get())) layerTable = ids[l.handle];
            if (AcDbLinetypeTable::cast(obj.get())) linetypeTable = ids[l.handle];
            Acad::ErrorStatus es = vkdb::DbAccess::addObjectWithHandle(m_db, obj.get(), AcDbHandle(l.handle), owner, l.erased);
            if (es != Acad::eOk) {
                fail(l.number, acadErrorStatusText(es));
                return es;
            }
            obj.release();
            if (isEntity) entities.push_back(ids[l.handle]);
            if (isEntity && !l.hasOwner) toModelSpace.push_back(ids[l.handle]);
            if (isEntity && l.hasOwner && l.owner) byOwner[owner].push_back(ids[l.handle]);
        }
        if (m_db->blockTableId().isNull() && !blockTable.isNull())
            vkdb::DbAccess::setTables(m_db, blockTable, layerTable);
        if (m_db->linetypeTableId().isNull() && !linetypeTable.isNull())
            vkdb::DbAccess::setLinetypeTable(m_db, linetypeTable);
        // The tables take their records first: model space may be a record the lines bring.
        for (auto& [tableHandle, members] : m_members)
            if (Acad::ErrorStatus es = joinTable(resolve, tableHandle, members); es != Acad::eOk) return es;
        if (!toModelSpace.empty()) {
            AcDbObjectId ms = m_db->modelSpaceId();
            for (AcDbObjectId id : toModelSpace) vkdb::DbAccess::setOwner(vkdb::DbAccess::peek(id), ms);
            if (Acad::ErrorStatus es = vkclone::appendToBlock(ms, toModelSpace); es != Acad::eOk) return es;
        }
        for (const Line& l : m_lines)
            if (l.blockParts[0])
                if (Acad::ErrorStatus es = addBlockParts(ids[l.handle], l, entities); es != Acad::eOk) return es;
        // An entity that names a block as its owner is one of the block's entities.
        for (auto& [owner, owned] : byOwner) {
            auto* block = AcDbBlockTableRecord::cast(vkdb::DbAccess::peek(owner));
            if (!block) continue;
            std::vector<AcDbObjectId> entities = block->entityIds(true), missing;
            std::set<AcDbObjectId> listed(entities.begin(), entities.end());
            listed.insert(block->blockBeginId());  // its begin and end are no entities of its list
            listed.insert(block->blockEndId());
            for (AcDbObjectId id : owned)
                if (!listed.count(id)) missing.push_back(id);
            if (missing.empty()) continue;
            if (Acad::ErrorStatus es = vkclone::appendToBlock(owner, missing); es != Acad::eOk) return es;
        }
        for (AcDbObjectId id : entities) {
            if (auto* ent = AcDbEntity::cast(vkdb::DbAccess::peek(id)))
                acdbEnsureLayer(m_db, ent->layer().GetString(), true);
        }
        return Acad::eOk;
    }

    // Gives a block its begin and end; they join the entities, whose layers the drawing gets.
    Acad::ErrorStatus addBlockParts(AcDbObjectId blockId, const Line& l, std::vector<AcDbObjectId>& entities)
    {
        std::unique_ptr<AcDbObject> begin(new AcDbBlockBegin), end(new AcDbBlockEnd);
        Acad::ErrorStatus es = vkdb::DbAccess::addObjectWithHandle(m_db, begin.get(), AcDbHandle(l.blockParts[0]), blockId, l.erased);
        if (es != Acad::eOk) return es;
        entities.push_back(begin.release()->objectId());
        es = vkdb::DbAccess::addObjectWithHandle(m_db, end.get(), AcDbHandle(l.blockParts[1]), blockId, l.erased);
        if (es != Acad::eOk) return es;
        entities.push_back(end.release()->objectId());
        AcDbBlockTableRecord* block = nullptr;
        if ((es = acdbOpenObject(block, blockId, AcDb::kForWrite, true)) != Acad::eOk) return es;
        Json fields = Json::object();
        fields["begin"] = AcDbHandle(l.blockParts[0]).text().ToUtf8();
        fields["end"] = AcDbHandle(l.blockParts[1]).text().ToUtf8();
        JsonInFiler filer(fields, m_db, [this](std::uint64_t h, AcDbObjectId& id) {
            return m_db->getAcDbObjectId(id, false, AcDbHandle(h)) == Acad::eOk;
        });
        es = block->dwgInFields(&filer);
        block->close();
        return es;
    }

    // Adds to a table's list the records that name it as owner and are not listed yet.
    template <class Resolve>
    Acad::ErrorStatus joinTable(Resolve& resolve, std::uint64_t tableHandle, const std::vector<std::uint64_t>& members)
    {
        AcDbObjectId tableId;
        resolve(tableHandle, tableId);
        AcDbSymbolTable* table = nullptr;
        if (Acad::ErrorStatus es = acdbOpenObject(table, tableId, AcDb::kForWrite); es != Acad::eOk) return es;
        Json records = Json::array();
        std::set<std::uint64_t> listed;
        for (AcDbObjectId id : table->recordIds(true)) {
            records.push_back(id.handle().text().ToUtf8());
            listed.insert(id.handle().value());
        }
        for (std::uint64_t h : members)
            if (listed.insert(h).second) records.push_back(AcDbHandle(h).text().ToUtf8());
        Json fields = Json::object();
        fields["records"] = std::move(records);
        JsonInFiler filer(fields, m_db, resolve);
        Acad::ErrorStatus es = table->dwgInFields(&filer);
        table->close();
        return es;
    }

    AcDbDatabase* m_db;
    CString& m_error;
    std::vector<Line> m_lines;
    std::map<std::uint64_t, size_t> m_lineOf;
    std::map<std::uint64_t, std::vector<std::uint64_t>> m_members;  // table -> its records in the lines
};

}  // namespace

Acad::ErrorStatus acdbLoadJson(std::istream& in, AcDbDatabase* db, CString& error)
{
    error.Empty();
    if (!db) return Acad::eNoDatabase;
    return Loader(db, error).run(in);
}
