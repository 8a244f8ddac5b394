// Reading the drawing format: everything is checked before the database changes.
#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/DwgFormat.h"
#include "host/db/DwgFormatFilers.h"
#include "host/db/DwgFormatProxy.h"
#include "host/db/detail/DbInternals.h"

namespace vkdwg {
namespace {

// A bounds-checked cursor over the file bytes.
class Cursor {
public:
    explicit Cursor(std::string_view in) : m_in(in) {}
    size_t pos() const { return m_pos; }
    size_t left() const { return m_in.size() - m_pos; }
    template <class T>
    bool read(T& v)
    {
        if (left() < sizeof(T)) return false;
        std::memcpy(&v, m_in.data() + m_pos, sizeof(T));
        m_pos += sizeof(T);
        return true;
    }
    bool readString(CString& s)
    {
        std::uint32_t n = 0;
        if (!read(n) || left() / 2 < n) return false;
        std::u16string u(n, u'\0');
        std::memcpy(u.data(), m_in.data() + m_pos, size_t{n} * 2);
        m_pos += size_t{n} * 2;
        s = CString(std::move(u));
        return true;
    }
    bool readView(size_t n, std::string_view& v)
    {
        if (left() < n) return false;
        v = m_in.substr(m_pos, n);
        m_pos += n;
        return true;
    }

private:
    std::string_view m_in;
    size_t m_pos = 0;
};

struct ClassEntry {
    CString name;
    std::int32_t parent = -1;
    const AcRxClass* cls = nullptr;  // a registered, creatable class of database objects
    bool entityLike = false;         // an entity by its chain (decides the kind of proxy)
    std::vector<CString> chain;      // the name and the parents' names
};

struct ObjectRecord {
    std::uint64_t handle = 0;
    std::uint32_t classIndex = 0;
    std::uint64_t owner = 0;
    bool erased = false;
    std::string_view payload;
};

struct ParsedFile {
    std::uint64_t handseed = 0;
    std::uint64_t blockTable = 0, layerTable = 0;
    std::vector<ClassEntry> classes;
    std::vector<ObjectRecord> objects;  // in ascending handle order
};

constexpr size_t kMinClassEntry = 4 + 4;
constexpr size_t kMinObjectRecord = 8 + 4 + 8 + 1 + 4;

Acad::ErrorStatus checkHeader(std::string_view in, const ReadOptions& opt)
{
    if (in.size() < sizeof kMagic || std::memcmp(in.data(), kMagic, sizeof kMagic) != 0)
        return Acad::eBadDwgHeader;
    if (in.size() < kHeaderSize + 4) return Acad::eBadDwgHeader;  // cut off inside the header
    if (std::memcmp(in.data() + 8, kVersionTag1027, sizeof kVersionTag1027) != 0)
        return Acad::eInvalidDwgVersion;
    std::uint16_t revision = 0;
    std::memcpy(&revision, in.data() + 14, 2);
    if (revision != kRevision) return Acad::eInvalidDwgVersion;
    if (!opt.verifyChecksum) return Acad::eOk;
    std::uint64_t length = 0;
    std::memcpy(&length, in.data() + 16, 8);
    if (length != in.size()) return Acad::eDwgCRCDoesNotMatch;  // cut off or grown
    std::uint32_t stored = 0;
    std::memcpy(&stored, in.data() + in.size() - 4, 4);
    if (crc32(in.data(), in.size() - 4) != stored) return Acad::eDwgCRCDoesNotMatch;
    return Acad::eOk;
}

bool parseClasses(Cursor& c, ParsedFile& f)
{
    std::uint32_t n = 0;
    if (!c.read(n) || c.left() / kMinClassEntry < n) return false;
    f.classes.resize(n);
    for (std::uint32_t i = 0; i < n; ++i) {
        ClassEntry& e = f.classes[i];
        if (!c.readString(e.name) || !c.read(e.parent)) return false;
        if (e.parent < -1 || e.parent >= static_cast<std::int32_t>(i)) return false;  // parents come first
        e.chain.push_back(e.name);
        if (e.parent >= 0) {
            const ClassEntry& p = f.classes[static_cast<size_t>(e.parent)];
            e.chain.insert(e.chain.end(), p.chain.begin(), p.chain.end());
        }
        for (const CString& name : e.chain)
            if (name == CString(u"AcDbEntity")) e.entityLike = true;
        const AcRxClass* cls = acrxFindClass(e.name.GetString());
        if (cls && !cls->isAbstract() && cls->isDerivedFrom(AcDbObject::desc())) e.cls = cls;
    }
    return true;
}

bool parseObjects(Cursor& c, ParsedFile& f)
{
    std::uint32_t n = 0;
    if (!c.read(n) || c.left() / kMinObjectRecord < n) return false;
    f.objects.resize(n);
    std::uint64_t previous = 0;
    for (ObjectRecord& r : f.objects) {
        std::uint8_t flags = 0;
        std::uint32_t len = 0;
        if (!c.read(r.handle) || !c.read(r.classIndex) || !c.read(r.owner) || !c.read(flags) || !c.read(len))
            return false;
        if (r.handle <= previous || r.handle >= f.handseed) return false;  // ascending, unique
        if (r.classIndex >= f.classes.size() || flags > 1) return false;
        if (!c.readView(len, r.payload) || !scanPayload(r.payload, nullptr)) return false;
        r.erased = flags != 0;
        previous = r.handle;
    }
    return true;
}

Acad::ErrorStatus parse(std::string_view in, ParsedFile& f, const ReadOptions& opt)
{
    if (Acad::ErrorStatus es = checkHeader(in, opt); es != Acad::eOk) return es;
    Cursor c(in.substr(kHeaderSize, in.size() - kHeaderSize - 4));
    std::uint32_t vars = 0;
    if (!c.read(f.handseed) || !c.read(vars) || c.left() / 12 < vars) return Acad::eDwgObjectImproperlyRead;
    for (std::uint32_t i = 0; i < vars; ++i) {
        CString key;
        std::uint64_t h = 0;
        if (!c.readString(key) || !c.read(h)) return Acad::eDwgObjectImproperlyRead;
        if (key == CString(u"BlockTable")) f.blockTable = h;
        if (key == CString(u"LayerTable")) f.layerTable = h;
    }
    if (!parseClasses(c, f) || !parseObjects(c, f) || c.left() != 0) return Acad::eDwgObjectImproperlyRead;
    return Acad::eOk;
}

// Where a handle's record lies in the file, if it does.
std::optional<size_t> recordOf(const ParsedFile& f, std::uint64_t h)
{
    auto it = std::lower_bound(f.objects.begin(), f.objects.end(), h,
                               [](const ObjectRecord& r, std::uint64_t v) { return r.handle < v; });
    if (it == f.objects.end() || it->handle != h) return std::nullopt;
    return static_cast<size_t>(it - f.objects.begin());
}

std::unique_ptr<AcDbObject> makeProxy(const ClassEntry& e, const ObjectRecord& r,
                                      const DwgInFiler::Resolver& resolve, AcDbDatabase* db)
{
    std::unique_ptr<AcDbObject> obj;
    ProxyContent* content = nullptr;
    if (e.entityLike) {
        auto ent = std::make_unique<AcDbProxyEntity>();
        DwgInFiler front(r.payload, db, resolve);
        if (ent->AcDbEntity::dwgInFields(&front) != Acad::eOk) return nullptr;
        content = &ent->content();
        obj = std::move(ent);
    } else {
        auto o = std::make_unique<AcDbProxyObject>();
        content = &o->content();
        obj = std::move(o);
    }
    if (!content->setPayload(std::string(r.payload))) return nullptr;
    content->classChain = e.chain;
    for (size_t i = 0; i < content->refs.size(); ++i)
        content->ids[i] = content->refs[i].handle ? resolve(content->refs[i].handle) : AcDbObjectId::kNull;
    return obj;
}

Acad::ErrorStatus materialize(AcDbDatabase* db, const ParsedFile& f)
{
    std::vector<AcDbObjectId> ids(f.objects.size());
    for (size_t i = 0; i < f.objects.size(); ++i) {
        Acad::ErrorStatus es = db->getAcDbObjectId(ids[i], true, AcDbHandle(f.objects[i].handle));
        if (es != Acad::eOk) return es;
    }
    // A reference to a handle that the file does not hold reads as null.
    DwgInFiler::Resolver resolve = [&](std::uint64_t h) {
        auto i = recordOf(f, h);
        return i ? ids[*i] : AcDbObjectId::kNull;
    };
    for (size_t i = 0; i < f.objects.size(); ++i) {
        const ObjectRecord& r = f.objects[i];
        const ClassEntry& e = f.classes[r.classIndex];
        std::unique_ptr<AcDbObject> obj;
        if (e.cls) {
            obj.reset(AcDbObject::cast(e.cls->create()));
            if (!obj) return Acad::eDwgObjectImproperlyRead;
            DwgInFiler filer(r.payload, db, resolve);
            Acad::ErrorStatus es = obj->dwgInFields(&filer);
            if (es != Acad::eOk || filer.filerStatus() != Acad::eOk || !filer.atEnd())
                return Acad::eDwgObjectImproperlyRead;
        } else {
            obj = makeProxy(e, r, resolve, db);
            if (!obj) return Acad::eDwgObjectImproperlyRead;
        }
        Acad::ErrorStatus es = vkdb::DbAccess::addObjectWithHandle(db, obj.get(), AcDbHandle(r.handle),
                                                                   resolve(r.owner), r.erased);
        if (es != Acad::eOk) return es;
        obj.release();  // the database owns it now
    }
    AcDbObjectId bt = resolve(f.blockTable), lt = resolve(f.layerTable);
    const AcDbObject* btObj = vkdb::DbAccess::peek(bt);
    const AcDbObject* ltObj = vkdb::DbAccess::peek(lt);
    if (!AcDbBlockTable::cast(btObj) || !AcDbLayerTable::cast(ltObj)) return Acad::eDwgObjectImproperlyRead;
    vkdb::DbAccess::setTables(db, bt, lt);
    vkdb::DbAccess::setHandseed(db, AcDbHandle(f.handseed));
    return Acad::eOk;
}

}  // namespace

Acad::ErrorStatus checkFileStart(std::string_view head, std::uint64_t fileSize)
{
    if (head.size() < sizeof kMagic || std::memcmp(head.data(), kMagic, sizeof kMagic) != 0)
        return Acad::eBadDwgHeader;
    if (head.size() < kHeaderSize || fileSize < kHeaderSize + 4) return Acad::eBadDwgHeader;
    if (std::memcmp(head.data() + 8, kVersionTag1027, sizeof kVersionTag1027) != 0 ||
        get<std::uint16_t>(head, 14) != kRevision)
        return Acad::eInvalidDwgVersion;
    if (get<std::uint64_t>(head, 16) != fileSize) return Acad::eDwgCRCDoesNotMatch;  // cut off or grown
    return Acad::eOk;
}

Acad::ErrorStatus readDrawing(AcDbDatabase* db, std::string_view bytes, const ReadOptions& opt)
{
    if (!db) return Acad::eNoDatabase;
    ParsedFile f;
    if (Acad::ErrorStatus es = parse(bytes, f, opt); es != Acad::eOk) return es;
    if (!db->allObjectIds(true).empty()) vkdb::DbAccess::clearContents(db);  // a read replaces
    Acad::ErrorStatus es = materialize(db, f);
    if (es != Acad::eOk) vkdb::DbAccess::clearContents(db);
    return es;
}

}  // namespace vkdwg
