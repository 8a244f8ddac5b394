#include "siblings/services/CVKQsLayer.h"

#include "host/db/AcDb.h"

namespace {

void EnsureLayer(const CString& name)
{
    AcDbDatabase* db = acdbCurDwg();
    AcDbLayerTable* table = nullptr;
    if (!db || db->getLayerTable(table, AcDb::kForRead) != Acad::eOk) return;
    AcDbObjectId id;
    bool missing = table->getAt(name, id) != Acad::eOk;
    if (missing && table->upgradeOpen() == Acad::eOk) {
        auto* rec = new AcDbLayerTableRecord;
        rec->setName(name);
        if (table->add(id, rec) == Acad::eOk) rec->close();
        else delete rec;
    }
    table->close();
}

}  // namespace

CString CVKQsLayer::GetLayer(const CString& detailName)
{
    CString name = detailName;
    name.Trim();
    if (name.IsEmpty()) return u"0";
    const CString layer = CString(u"VK_") + name;
    EnsureLayer(layer);
    return layer;
}

CString CVKQsLayer::GetJzLayerByDetailNamePath(const CString& path, bool create)
{
    CString p = path;
    p.Trim();
    while (!p.IsEmpty() && (p[p.GetLength() - 1] == u'\\' || p[p.GetLength() - 1] == u'/')) p = p.Left(p.GetLength() - 1);
    int cut = std::max(p.ReverseFind(u'\\'), p.ReverseFind(u'/'));
    CString last = p.Mid(cut + 1);
    if (last.IsEmpty()) return {};
    CString layer = CString(u"VK_建筑_SYS_") + last;
    if (create) EnsureLayer(layer);
    return layer;
}
