// Reading the drawing format: everything is checked before the database changes.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "host/db/AcDbDatabase.h"
#include "host/db/AcDbSymbolTables.h"
#include "host/db/DwgFormat.h"
#include "host/db/DwgFormatFilers.h"
#include "host/db/DwgFormatProxy.h"
#include "host/db/DwgFormatSource.h"

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

struct ParsedFile {
    std::uint64_t handseed = 0;
    std::uint64_t blockTable = 0, layerTable = 0, linetypeTable = 0;
    std::vector<ClassEntry> classes;
    std::vector<std::uint64_t> handles;  // ascending
    std::vector<std::uint64_t> records;  // where each handle's record starts in the file
    std::vector<bool> erased;
};

constexpr size_t kMinClassEntry = 4 + 4;
// The bytes looked at between two releases of a map's pages: small enough that a drawing
// being checked does not sit in memory whole, large enough to cost nothing.
constexpr size_t kReleaseStep = size_t{4} << 20;

Acad::ErrorStatus checkHeader(const SourceBytes& src, const ReadOptions& opt)
{
    std::string_view in = src.bytes();
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
    std::uint32_t crc = 0;
    for (size_t at = 0, end = in.size() - 4; at < end; at += kReleaseStep) {
        size_t n = std::min(kReleaseStep, end - at);
        crc = crc32(in.data() + at, n, crc);
        src.release(at, at + n);
    }
    if (crc != stored) return Acad::eDwgCRCDoesNotMatch;
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

// Checks every record (handles ascending below the handseed, known classes and flags,
// well-formed payloads) and notes where it lies. base: the cursor's offset in the file.
bool parseObjects(Cursor& c, ParsedFile& f, const SourceBytes& src, size_t base, const ReadOptions& opt)
{
    std::uint32_t n = 0;
    if (!c.read(n) || c.left() / kRecordHeadSize < n) return false;
    f.handles.resize(n);
    f.records.resize(n);
    f.erased.resize(n);
    std::uint64_t previous = 0;
    size_t released = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        size_t at = c.pos();
        RecordHead r;
        std::string_view payload;
        if (!c.read(r.handle) || !c.read(r.classIndex) || !c.read(r.owner) || !c.read(r.flags) || !c.read(r.length))
            return false;
        if (r.handle <= previous || r.handle >= f.handseed) return false;  // ascending, unique
        if (r.classIndex >= f.classes.size() || r.flags > 1) return false;
        if (!c.readView(r.length, payload) || (opt.checkPayloads && !scanPayload(payload, nullptr))) return false;
        f.handles[i] = r.handle;
        f.records[i] = base + at;
        f.erased[i] = r.flags != 0;
        previous = r.handle;
        if (c.pos() - released >= kReleaseStep) {
            src.release(base + released, base + c.pos());
            released = c.pos();
        }
    }
    src.release(base + released, base + c.pos());
    return true;
}

Acad::ErrorStatus parse(const SourceBytes& src, ParsedFile& f, const ReadOptions& opt)
{
    if (Acad::ErrorStatus es = checkHeader(src, opt); es != Acad::eOk) return es;
    std::string_view in = src.bytes();
    Cursor c(in.substr(kHeaderSize, in.size() - kHeaderSize - 4));
    std::uint32_t vars = 0;
    if (!c.read(f.handseed) || !c.read(vars) || c.left() / 12 < vars) return Acad::eDwgObjectImproperlyRead;
    for (std::uint32_t i = 0; i < vars; ++i) {
        CString key;
        std::uint64_t h = 0;
        if (!c.readString(key) || !c.read(h)) return Acad::eDwgObjectImproperlyRead;
        if (key == CString(u"BlockTable")) f.blockTable = h;
        if (key == CString(u"LayerTable")) f.layerTable = h;
        if (key == CString(u"LinetypeTable")) f.linetypeTable = h;
    }
    if (!parseClasses(c, f) || !parseObjects(c, f, src, kHeaderSize, opt) || c.left() != 0)
        return Acad::eDwgObjectImproperlyRead;
    return Acad::eOk;
}

std::unique_ptr<AcDbObject> makeProxy(const ClassEntry& e, std::string_view payload,
                                      const DwgInFiler::Resolver& resolve, AcDbDatabase* db)
{
    std::unique_ptr<AcDbObject> obj;
    ProxyContent* content = nullptr;
    if (e.entityLike) {
        auto ent = std::make_unique<AcDbProxyEntity>();
        DwgInFiler front(payload, db, resolve);
        if (ent->AcDbEntity::dwgInFields(&front) != Acad::eOk) return nullptr;
        content = &ent->content();
        obj = std::move(ent);
    } else {
        auto o = std::make_unique<AcDbProxyObject>();
        content = &o->content();
        obj = std::move(o);
    }
    if (!content->setPayload(std::string(payload))) return nullptr;
    content->classChain = e.chain;
    for (size_t i = 0; i < content->refs.size(); ++i)
        content->ids[i] = content->refs[i].handle ? resolve(content->refs[i].handle) : AcDbObjectId::kNull;
    return obj;
}

// Gives db a stub for every record of the file, the source to make their objects from on
// first open, the tables and the handseed. db is empty.
Acad::ErrorStatus attach(AcDbDatabase* db, ParsedFile& f, std::unique_ptr<SourceBytes> bytes)
{
    AcDbDatabaseImpl& impl = *db->impl();
    std::vector<AcDbStub*> stubs(f.handles.size());
    impl.byHandle.reserve(f.handles.size());
    for (size_t i = 0; i < f.handles.size(); ++i) {
        AcDbStub* s = vkdb::allocateStub();
        s->db = db;
        s->handle = AcDbHandle(f.handles[i]);
        s->record = f.records[i];
        s->erased = f.erased[i];
        impl.byHandle.insert(f.handles[i], s);
        stubs[i] = s;
    }
    f.records = {};
    f.erased = {};
    auto source = std::make_unique<DrawingSource>(std::move(bytes), std::move(f.classes), std::move(f.handles),
                                                  std::move(stubs));
    DrawingSource* src = source.get();
    impl.source = std::move(source);
    if (!f.handles.empty()) impl.handseed = std::max(impl.handseed, src->stubs().back()->handle.value() + 1);
    AcDbObjectId bt = src->resolve(f.blockTable), lt = src->resolve(f.layerTable);
    // The tables are live (a writer never writes them erased, and would refuse to save them).
    if (!AcDbBlockTable::cast(vkdb::DbAccess::peek(bt)) || !AcDbLayerTable::cast(vkdb::DbAccess::peek(lt)) ||
        bt.isErased() || lt.isErased())
        return Acad::eDwgObjectImproperlyRead;
    vkdb::DbAccess::setTables(db, bt, lt);
    // Drawings written before linetypes were kept have no linetype table.
    const AcDbObjectId ltt = f.linetypeTable ? src->resolve(f.linetypeTable) : AcDbObjectId();
    if (AcDbLinetypeTable::cast(vkdb::DbAccess::peek(ltt)) && !ltt.isErased()) vkdb::DbAccess::setLinetypeTable(db, ltt);
    vkdb::DbAccess::setHandseed(db, AcDbHandle(f.handseed));
    return Acad::eOk;
}

// Reads bytes into db: checks the whole file, then gives db its records; with everyNow, makes
// every object at once and lets go of the bytes.
Acad::ErrorStatus read(AcDbDatabase* db, std::unique_ptr<SourceBytes> bytes, const ReadOptions& opt, bool everyNow)
{
    if (!db) return Acad::eNoDatabase;
    ParsedFile f;
    if (Acad::ErrorStatus es = parse(*bytes, f, opt); es != Acad::eOk) return es;
    if (!db->allObjectIds(true).empty() || db->impl()->source) vkdb::DbAccess::clearContents(db);  // a read replaces
    Acad::ErrorStatus es = attach(db, f, std::move(bytes));
    if (es == Acad::eOk && everyNow) {
        for (AcDbStub* s : sourceOf(db)->stubs()) {
            vkdb::residentObject(s, &es);
            if (es != Acad::eOk) break;
        }
        if (es == Acad::eOk) db->impl()->source.reset();
    }
    if (es != Acad::eOk) vkdb::DbAccess::clearContents(db);
    return es;
}

}  // namespace

// ---- the source of objects read on first open ----------------------------------------------

AcDbObjectId DrawingSource::resolve(std::uint64_t h) const
{
    if (h == 0 || m_handles.empty()) return AcDbObjectId::kNull;
    // References mostly go up the file one by one (a block's entities): try next to the last.
    size_t i = m_hint + 1 < m_handles.size() && m_handles[m_hint + 1] == h ? m_hint + 1
               : m_handles[m_hint] == h                                    ? m_hint
               : static_cast<size_t>(std::lower_bound(m_handles.begin(), m_handles.end(), h) - m_handles.begin());
    if (i == m_handles.size() || m_handles[i] != h) return AcDbObjectId::kNull;
    m_hint = i;
    return AcDbObjectId(m_stubs[i]);
}

RecordHead DrawingSource::head(const AcDbStub* s) const
{
    std::string_view in = m_bytes->bytes();
    RecordHead r;
    r.handle = get<std::uint64_t>(in, s->record);
    r.classIndex = get<std::uint32_t>(in, s->record + 8);
    r.owner = get<std::uint64_t>(in, s->record + 12);
    r.flags = get<std::uint8_t>(in, s->record + 20);
    r.length = get<std::uint32_t>(in, s->record + 21);
    return r;
}

std::string_view DrawingSource::payload(const AcDbStub* s, const RecordHead& h) const
{
    return m_bytes->bytes().substr(s->record + kRecordHeadSize, h.length);
}

void DrawingSource::releaseBefore(std::uint64_t offset) const
{
    if (offset < m_released + kReleaseStep) return;
    m_bytes->release(m_released, offset);
    m_released = offset;
}

Acad::ErrorStatus DrawingSource::load(AcDbStub* s)
{
    if (!s->record || s->object) return Acad::eOk;
    AcDbDatabase* db = s->db;
    const RecordHead r = head(s);
    const ClassEntry& e = classOf(r);
    std::string_view body = payload(s, r);
    DwgInFiler::Resolver resolver = [this](std::uint64_t h) { return resolve(h); };
    std::unique_ptr<AcDbObject> obj;
    if (e.cls) {
        obj.reset(AcDbObject::cast(e.cls->create()));
        if (!obj) return Acad::eDwgObjectImproperlyRead;
        DwgInFiler filer(body, db, resolver);
        Acad::ErrorStatus es = obj->dwgInFields(&filer);
        if (es != Acad::eOk || filer.filerStatus() != Acad::eOk || !filer.atEnd())
            return Acad::eDwgObjectImproperlyRead;
    } else {
        obj = makeProxy(e, body, resolver, db);
        if (!obj) return Acad::eDwgObjectImproperlyRead;
    }
    // Resident, closed and not new, as every object of a file that was read.
    AcDbObject* o = obj.release();
    s->object = o;
    s->record = 0;
    AcDbObjectAccess::stub(o) = s;
    AcDbObjectAccess::owner(o) = resolve(r.owner);
    AcDbObjectAccess::openState(o) = 0;
    AcDbObjectAccess::modified(o) = false;
    AcDbObjectAccess::isNew(o) = false;
    return Acad::eOk;
}

AcRxClass* DrawingSource::classOf(const AcDbStub* s) const
{
    const ClassEntry& e = classOf(head(s));
    if (e.cls) return const_cast<AcRxClass*>(e.cls);
    return e.entityLike ? AcDbProxyEntity::desc() : AcDbProxyObject::desc();
}

namespace {

class MappedBytes : public SourceBytes {
public:
    MappedBytes(void* at, size_t size) : m_at(at), m_size(size) {}
    ~MappedBytes() override { munmap(m_at, m_size); }
    std::string_view bytes() const override { return {static_cast<const char*>(m_at), m_size}; }
    void release(size_t from, size_t to) const override
    {
        // Whole pages only: the ones that the range covers entirely.
        const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
        size_t first = (from + page - 1) / page * page, last = std::min(to, m_size) / page * page;
        if (last > first) madvise(static_cast<char*>(m_at) + first, last - first, MADV_DONTNEED);
    }

private:
    void* m_at;
    size_t m_size;
};

class ViewedBytes : public SourceBytes {
public:
    explicit ViewedBytes(std::string_view b) : m_bytes(b) {}
    std::string_view bytes() const override { return m_bytes; }

private:
    std::string_view m_bytes;
};

}  // namespace

std::unique_ptr<SourceBytes> mapFile(int fd, size_t size)
{
    if (size == 0) return nullptr;
    void* at = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (at == MAP_FAILED) return nullptr;
    return std::make_unique<MappedBytes>(at, size);
}

std::unique_ptr<SourceBytes> viewBytes(std::string_view bytes) { return std::make_unique<ViewedBytes>(bytes); }

std::unique_ptr<SourceBytes> ownBytes(std::shared_ptr<const std::string> bytes)
{
    class Owned : public ViewedBytes {
    public:
        explicit Owned(std::shared_ptr<const std::string> b) : ViewedBytes(*b), m_keep(std::move(b)) {}

    private:
        std::shared_ptr<const std::string> m_keep;
    };
    return std::make_unique<Owned>(std::move(bytes));
}

DrawingSource* sourceOf(AcDbDatabase* db)
{
    return db ? dynamic_cast<DrawingSource*>(db->impl()->source.get()) : nullptr;
}

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
    return read(db, viewBytes(bytes), opt, true);
}

Acad::ErrorStatus openDrawing(AcDbDatabase* db, std::unique_ptr<SourceBytes> bytes, const ReadOptions& opt)
{
    return read(db, std::move(bytes), opt, false);
}

}  // namespace vkdwg
