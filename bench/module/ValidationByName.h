#pragma once
// The room list's validation done the plain way, name by name: a fresh read of the library
// drawing for every listed name, as the validation worked before it read the library once; the
// benchmark measures the one-read validation against it.
#include <memory>
#include <vector>

#include "host/db/AcDb.h"
#include "module/frame/CManageStdRoom.h"

namespace vktest {

inline std::vector<CString> ValidatedNameByName(std::vector<CString> names)
{
    for (int i = int(names.size()) - 1; i >= 0; --i) {
        AcDbDatabase* raw = nullptr;
        CManageStdRoom::GetDb(raw);
        std::unique_ptr<AcDbDatabase> db(raw);
        AcDbBlockTable* table = nullptr;
        if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk) continue;
        AcDbObjectId id;
        if (table->getAt(names[size_t(i)], id) != Acad::eOk) names.erase(names.begin() + i);
        table->close();
    }
    return names;
}

}  // namespace vktest
