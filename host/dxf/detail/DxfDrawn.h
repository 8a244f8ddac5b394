#pragma once
// What an imported drawing draws: each entity once, each block as often as references (and
// dimensions, which draw their blocks) draw it, nested in each other (no deeper than references
// nest). A block that holds itself twice would be drawn 2^32 times over; the import refuses
// such a file at the INSERT or DIMENSION from which model space draws too much.
#include <map>
#include <string>
#include <vector>

#include "host/db/AcDb.h"

namespace vkdxf {

class DrawnCount {
public:
    // The INSERT or DIMENSION being read starts at that line of the file; what it draws of a
    // block is counted with it.
    void startReference(size_t line, const char* type) { m_line = line, m_type = type; }
    // An entity appended to that block (model space too).
    void add(AcDbObjectId block, const AcDbEntity& e);
    // What model space draws; false, with why "line N: ..." naming the INSERT or DIMENSION from
    // which its references draw more than max (plain entities alone are not limited).
    bool within(AcDbObjectId modelSpace, long max, long& drawn, std::string& why) const;

private:
    struct Ref {
        AcDbObjectId block;
        size_t line;
        const char* type;
    };
    struct Holds {
        long entities = 0;  // references included: each costs a drawing too
        std::vector<Ref> refs;
    };
    std::map<AcDbObjectId, Holds> m_blocks;
    size_t m_line = 0;
    const char* m_type = "INSERT";
};

}  // namespace vkdxf
