// Feeds arbitrary bytes to the DXF reader (the structural scan, then dxflib and the import
// behind it). Whatever the input, it is refused naming one of its lines (or, well-formed but
// with no entity that could be read, naming the entities' types), or read into a drawing that
// leaves nothing open and whose every entity draws.
//
// Fast on small inputs: the bytes are read in place (no copy into a string stream), and a bad
// file costs no more than the lines read up to its first bad one. Seeds: fuzz/seeds/dxf (a
// few hundred bytes each: one of every kind the reader takes, and some it does not); words:
// fuzz/dxf.dict.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <istream>
#include <streambuf>
#include <string>

#include "host/db/AcDb.h"
#include "host/dxf/DxfInterchange.h"
#include "host/gi/GiPicture.h"

namespace {

// The input as a stream that can tell and go back to where it is, as a file can.
class Bytes : public std::streambuf {
public:
    Bytes(const std::uint8_t* data, size_t size)
    {
        char* p = const_cast<char*>(reinterpret_cast<const char*>(data));
        setg(p, p, p + size);
    }

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override
    {
        const off_type base = dir == std::ios_base::beg ? 0 : dir == std::ios_base::cur ? gptr() - eback() : egptr() - eback();
        return seekpos(pos_type(base + off), std::ios_base::in);
    }
    pos_type seekpos(pos_type pos, std::ios_base::openmode) override
    {
        if (off_type(pos) < 0 || off_type(pos) > egptr() - eback()) return pos_type(off_type(-1));
        setg(eback(), eback() + off_type(pos), egptr());
        return pos;
    }
};

// The lines of the input, a last one without its line end included; an empty input has one.
size_t LineCount(const std::uint8_t* data, size_t size)
{
    const size_t ends = size_t(std::count(data, data + size, '\n'));
    return std::max<size_t>(1, ends + (size > 0 && data[size - 1] != '\n' ? 1 : 0));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size)
{
    Bytes bytes(data, size);
    std::istream in(&bytes);
    AcDbDatabase db(true, true);
    vkdxf::ImportReport report;
    std::string why;
    if (!vkdxf::ImportDxf(in, &db, report, why)) {
        // A well-formed file of which no entity could be read names what it holds instead.
        if (why.rfind("line ", 0) != 0) {
            if (why.find("not imported: ") == std::string::npos || report.skipped.empty()) std::abort();
            return 0;
        }
        const unsigned long line = std::strtoul(why.c_str() + 5, nullptr, 10);
        if (line < 1 || line > LineCount(data, size)) std::abort();
        return 0;
    }
    if (db.numOpenObjects() != 0) std::abort();
    // Blocks nested many times over draw the same code many times over: a drawing that draws
    // more than this (the import allows up to vkdxf::kMaxDrawn) is not drawn here.
    if (report.drawn > 100'000) return 0;
    std::vector<vkgi::Primitive> prims;
    if (vkgi::CollectModelSpace(&db, prims) != Acad::eOk) std::abort();
    return 0;
}
