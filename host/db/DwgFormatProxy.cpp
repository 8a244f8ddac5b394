#include "host/db/DwgFormatProxy.h"

#include <cstring>

#include "host/db/AcDbDatabase.h"

ACRX_DEFINE_MEMBERS(AcDbProxyObject, AcDbObject);
ACRX_DEFINE_MEMBERS(AcDbProxyEntity, AcDbEntity);

namespace vkdwg {

bool ProxyContent::setPayload(std::string p)
{
    std::vector<PayloadRef> r;
    if (!scanPayload(p, &r)) return false;
    payload = std::move(p);
    refs = std::move(r);
    ids.assign(refs.size(), AcDbObjectId::kNull);
    return true;
}

std::string ProxyContent::currentPayload(const AcDbDatabase* db) const
{
    std::string out = payload;
    for (size_t i = 0; i < refs.size() && i < ids.size(); ++i) {
        std::uint64_t h = (!ids[i].isNull() && ids[i].database() == db) ? ids[i].handle().value() : 0;
        std::memcpy(out.data() + refs[i].handleOffset, &h, sizeof h);
    }
    return out;
}

Acad::ErrorStatus ProxyContent::fileOut(AcDbDwgFiler* f) const
{
    f->writeArrayBegin(static_cast<Adesk::Int32>(classChain.size()), "proxyClasses");
    for (const CString& c : classChain) f->writeString(c);
    f->writeArrayEnd();
    f->writeBytes(payload.data(), payload.size(), "proxyData");
    f->writeArrayBegin(static_cast<Adesk::Int32>(ids.size()), "proxyRefs");
    for (size_t i = 0; i < ids.size(); ++i) f->writeReference(ids[i], refs[i].kind);
    f->writeArrayEnd();
    return f->filerStatus();
}

Acad::ErrorStatus ProxyContent::fileIn(AcDbDwgFiler* f)
{
    Adesk::Int32 n = 0;
    Acad::ErrorStatus es = f->readArrayBegin(&n, "proxyClasses");
    if (es != Acad::eOk) return es;
    std::vector<CString> chain;
    for (Adesk::Int32 i = 0; i < n; ++i) {
        CString c;
        if ((es = f->readString(&c)) != Acad::eOk) return es;
        chain.push_back(c);
    }
    if ((es = f->readArrayEnd()) != Acad::eOk) return es;
    std::vector<unsigned char> data;
    if ((es = f->readBytes(&data, "proxyData")) != Acad::eOk) return es;
    ProxyContent next;
    if (chain.empty() || !next.setPayload(std::string(data.begin(), data.end())))
        return Acad::eDwgObjectImproperlyRead;
    next.classChain = std::move(chain);
    if ((es = f->readArrayBegin(&n, "proxyRefs")) != Acad::eOk) return es;
    if (n != static_cast<Adesk::Int32>(next.refs.size())) return Acad::eDwgObjectImproperlyRead;
    for (size_t i = 0; i < next.refs.size(); ++i)
        if ((es = f->readReference(&next.ids[i], next.refs[i].kind)) != Acad::eOk) return es;
    if ((es = f->readArrayEnd()) != Acad::eOk) return es;
    *this = std::move(next);
    return Acad::eOk;
}

const ProxyContent* proxyContent(const AcDbObject* obj)
{
    if (auto* p = AcDbProxyObject::cast(obj)) return &p->content();
    if (auto* e = AcDbProxyEntity::cast(obj)) return &e->content();
    return nullptr;
}
ProxyContent* proxyContent(AcDbObject* obj)
{
    return const_cast<ProxyContent*>(proxyContent(static_cast<const AcDbObject*>(obj)));
}

}  // namespace vkdwg

Acad::ErrorStatus AcDbProxyObject::dwgOutFields(AcDbDwgFiler* filer) const
{
    return m_content.fileOut(filer);
}
Acad::ErrorStatus AcDbProxyObject::dwgInFields(AcDbDwgFiler* filer)
{
    return m_content.fileIn(filer);
}

Acad::ErrorStatus AcDbProxyEntity::dwgOutFields(AcDbDwgFiler* filer) const
{
    Acad::ErrorStatus es = AcDbEntity::dwgOutFields(filer);
    return es != Acad::eOk ? es : m_content.fileOut(filer);
}
Acad::ErrorStatus AcDbProxyEntity::dwgInFields(AcDbDwgFiler* filer)
{
    Acad::ErrorStatus es = AcDbEntity::dwgInFields(filer);
    return es != Acad::eOk ? es : m_content.fileIn(filer);
}
