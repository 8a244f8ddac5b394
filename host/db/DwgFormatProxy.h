#pragma once
// Stand-ins for objects whose class is not registered in this process. They keep the
// original class (with its parents) and the fields exactly as filed, so saving writes them
// back unchanged; their references take part in cloning like anyone's.
#include <string>
#include <vector>

#include "host/db/AcDbObject.h"
#include "host/db/DwgFormatFilers.h"

namespace vkdwg {

struct ProxyContent {
    std::vector<CString> classChain;   // the original class first, then its parents
    std::string payload;               // the tagged payload as it was read
    std::vector<PayloadRef> refs;      // where the references lie in it, and their kinds
    std::vector<AcDbObjectId> ids;     // the references as ids of this process, one per ref

    CString originalClassName() const { return classChain.empty() ? CString() : classChain.front(); }
    // Takes a payload apart; false when it is malformed.
    bool setPayload(std::string payload);
    // The payload with the current ids' handles (null for ids of other databases).
    std::string currentPayload(const AcDbDatabase* db) const;
    // Non-file filers get a self-describing form: "proxyClasses", "proxyData", "proxyRefs".
    Acad::ErrorStatus fileOut(AcDbDwgFiler* filer) const;
    Acad::ErrorStatus fileIn(AcDbDwgFiler* filer);
};

}  // namespace vkdwg

class AcDbProxyObject : public AcDbObject {
public:
    ACRX_DECLARE_MEMBERS(AcDbProxyObject);
    CString originalClassName() const { return m_content.originalClassName(); }
    const vkdwg::ProxyContent& content() const { return m_content; }
    vkdwg::ProxyContent& content() { return m_content; }
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

private:
    vkdwg::ProxyContent m_content;
};

// An entity of an unknown class. Its layer, colour and visibility are read from the front of
// the payload, where every entity files them; changing them does not change what is saved.
class AcDbProxyEntity : public AcDbEntity {
public:
    ACRX_DECLARE_MEMBERS(AcDbProxyEntity);
    CString originalClassName() const { return m_content.originalClassName(); }
    const vkdwg::ProxyContent& content() const { return m_content; }
    vkdwg::ProxyContent& content() { return m_content; }
    Acad::ErrorStatus dwgOutFields(AcDbDwgFiler* filer) const override;
    Acad::ErrorStatus dwgInFields(AcDbDwgFiler* filer) override;

private:
    vkdwg::ProxyContent m_content;
};

namespace vkdwg {
// The proxy content of obj, or null when obj is no proxy.
const ProxyContent* proxyContent(const AcDbObject* obj);
ProxyContent* proxyContent(AcDbObject* obj);
}  // namespace vkdwg
