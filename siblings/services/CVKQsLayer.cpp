#include "siblings/services/CVKQsLayer.h"

#include "host/db/AcDb.h"

namespace {

// The colour a new layer of a discipline starts with; other layers start white (7).
Adesk::UInt16 DisciplineColor(const CString& layer)
{
    static const struct {
        const char16_t* prefix;
        Adesk::UInt16 color;
    } kColors[] = {{u"VK_给排水_", 3}, {u"VK_消防_", 1}, {u"VK_暖通_", 4}, {u"VK_电气_", 2}, {u"VK_弱电_", 6}, {u"VK_建筑_", 8}};
    for (const auto& c : kColors)
        if (layer.Left(static_cast<int>(std::char_traits<char16_t>::length(c.prefix))) == c.prefix) return c.color;
    return 7;
}

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
        rec->setColorIndex(DisciplineColor(name));
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
    // Layer names hold no backslash: the levels of a detail name are joined by "_".
    name.Replace(u"\\", u"_");
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
