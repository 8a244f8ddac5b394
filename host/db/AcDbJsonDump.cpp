// The JSON dump: each object's fields as its class files them, through a field recorder.
#include <nlohmann/json.hpp>

#include <cmath>
#include <map>
#include <ostream>

#include "host/db/AcDbJson.h"
#include "host/db/DwgFormatFilers.h"
#include "host/db/detail/CopyFiler.h"

namespace {

using Json = nlohmann::ordered_json;

std::string hexText(const std::vector<unsigned char>& bytes)
{
    static const char* digits = "0123456789ABCDEF";
    std::string s;
    s.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        s.push_back(digits[b >> 4]);
        s.push_back(digits[b & 15]);
    }
    return s;
}

Json number(double v)
{
    return std::isfinite(v) ? Json(v) : Json(nullptr);
}

class FieldsToJson {
public:
    FieldsToJson(const vkdb::FieldList& fields, const AcDbDatabase* db) : m_fields(fields), m_db(db) {}

    // Adds the fields to line; a name filed twice gets "#2", "#3"... so nothing is lost.
    void into(Json& line)
    {
        std::map<std::string, int> seen{{"handle", 1}, {"class", 1}, {"owner", 1}, {"erased", 1}};
        int unnamed = 0;
        while (m_pos < m_fields.size()) {
            const vkdb::Field& f = m_fields[m_pos];
            std::string key = f.name ? f.name : "_" + std::to_string(unnamed++);
            int n = ++seen[key];
            if (n > 1) key += "#" + std::to_string(n);
            line[key] = value();
        }
    }

private:
    Json value()
    {
        const vkdb::Field& f = m_fields[m_pos++];
        return std::visit([&](const auto& v) { return convert(v); }, f.value);
    }
    Json convert(bool v) { return v; }
    Json convert(Adesk::Int32 v) { return v; }
    Json convert(Adesk::Int64 v) { return v; }
    Json convert(double v) { return number(v); }
    Json convert(const CString& v) { return v.ToUtf8(); }
    Json convert(const AcGePoint2d& v) { return Json::array({number(v.x), number(v.y)}); }
    Json convert(const AcGePoint3d& v) { return Json::array({number(v.x), number(v.y), number(v.z)}); }
    Json convert(const AcGeVector3d& v) { return Json::array({number(v.x), number(v.y), number(v.z)}); }
    Json convert(const AcGeMatrix3d& m)
    {
        Json a = Json::array();
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 4; ++c) a.push_back(number(m.entry[r][c]));
        return a;
    }
    Json convert(const vkdb::FieldRef& r)
    {
        if (r.id.isNull() || r.id.database() != m_db) return nullptr;
        return r.id.handle().text().ToUtf8();
    }
    Json convert(const std::vector<unsigned char>& v) { return hexText(v); }
    Json convert(const vkdb::FieldArrayBegin&)
    {
        Json a = Json::array();
        while (m_pos < m_fields.size()) {
            if (std::holds_alternative<vkdb::FieldArrayEnd>(m_fields[m_pos].value)) {
                ++m_pos;
                break;
            }
            a.push_back(value());
        }
        return a;
    }
    Json convert(const vkdb::FieldArrayEnd&) { return nullptr; }  // unbalanced: nothing to show

    const vkdb::FieldList& m_fields;
    const AcDbDatabase* m_db;
    size_t m_pos = 0;
};

}  // namespace

Acad::ErrorStatus acdbDumpJson(AcDbDatabase* db, std::ostream& out)
{
    if (!db) return Acad::eNoDatabase;
    for (AcDbObjectId id : db->allObjectIds(true)) {
        vkdwg::ObjectReadScope scope(id);
        const AcDbObject* obj = scope.get();
        if (!obj) continue;
        vkdb::FieldRecorder rec(AcDb::kJsonFiler, db);
        Acad::ErrorStatus es = obj->dwgOutFields(&rec);
        if (es != Acad::eOk) return es;
        Json line;
        line["handle"] = id.handle().text().ToUtf8();
        line["class"] = CString(obj->isA()->name()).ToUtf8();
        AcDbObjectId owner = obj->ownerId();
        line["owner"] = (owner.isNull() || owner.database() != db) ? std::string("0") : owner.handle().text().ToUtf8();
        line["erased"] = id.isErased();
        FieldsToJson(rec.fields(), db).into(line);
        out << line.dump(-1, ' ', false, Json::error_handler_t::replace) << '\n';
    }
    return out.good() ? Acad::eOk : Acad::eFileAccessErr;
}
