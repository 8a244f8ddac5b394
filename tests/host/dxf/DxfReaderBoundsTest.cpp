// What the reader takes from a file before it refuses it: no more than a line may hold, and
// numbers only as DXF writes them.
#include <gtest/gtest.h>

#include <istream>
#include <sstream>
#include <streambuf>

#include "host/db/AcDb.h"
#include "host/dxf/DxfInterchange.h"
#include "tests/host/dxf/DxfTestSupport.h"
#include "tests/support/TestDrawing.h"

namespace {

// A stream of `size` bytes: a head, then one byte over and over, made as it is read and
// counting what was taken. It tells where it is when seekable, as a file does, or not, as a
// pipe does; it never goes back.
class Endless : public std::streambuf {
public:
    Endless(std::string head, char fill, size_t size, bool seekable)
        : m_head(std::move(head)), m_fill(fill), m_left(size), m_seekable(seekable)
    {
    }
    size_t taken() const { return m_taken; }

protected:
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode) override
    {
        if (!m_seekable || off != 0 || dir != std::ios_base::cur) return pos_type(off_type(-1));
        return pos_type(off_type(m_taken - size_t(egptr() - gptr())));
    }

    int_type underflow() override
    {
        if (m_left == 0) return traits_type::eof();
        size_t n = 0;
        for (; n < sizeof m_block && n < m_left; ++n) m_block[n] = m_at < m_head.size() ? m_head[m_at++] : m_fill;
        m_left -= n;
        m_taken += n;
        setg(m_block, m_block, m_block + n);
        return traits_type::to_int_type(m_block[0]);
    }

private:
    std::string m_head;
    char m_fill;
    size_t m_left, m_at = 0, m_taken = 0;
    bool m_seekable;
    char m_block[4096];
};

std::string ImportWhy(std::istream& in)
{
    AcDbDatabase db;
    vkdxf::ImportReport report;
    std::string why;
    EXPECT_FALSE(vkdxf::ImportDxf(in, &db, report, why));
    EXPECT_TRUE(vktest::EntityIds(&db).empty()) << why;  // nothing added
    return why;
}

}  // namespace

// 20 MB of blank lines or of one line are refused at the line that is wrong, having read
// little more than that line.
TEST(DxfReaderBounds, RefusesAtTheFirstBadLineWithoutReadingOn)
{
    const std::string entities = dxftest::Dxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "TEXT"}});
    const struct {
        std::string head;
        char fill;
        std::string expected;
    } cases[] = {
        {"", '\n', "line 1: not DXF: expected a group code, found \"\""},
        {"", '0', "line 1: longer than 1000 characters"},
        {entities, '\n', "line 7: not DXF: expected a group code, found \"\""},
        {entities + "1\n", 'x', "line 8: longer than 1000 characters"},
        // The library would read "TEXT" where the scan reads more.
        {entities + "1\nTEXT" + std::string(1, '\0') + "x\n", '\n', "line 8: holds a NUL byte: not DXF text"},
        // The library starts a new object at group 9 as at group 0: an INSERT to it, not to the scan.
        {entities + "9\nINSERT\n", '\n', "line 8: group code 9 needs a header variable's name, found \"INSERT\""},
        {entities + "9\n$ACADVER\n", '\n', "line 7: group code 9 (a header variable) inside section ENTITIES"},
        // Whatever one reader takes for an object's type or a group code, the other must too.
        {entities + "0\nINSERT \r\n", '\n', "line 8: \"INSERT \" has blanks around it: not an object's type"},
        {entities + "0.1e1\nINSERT\n", '\n', "line 7: not DXF: expected a group code, found \"0.1e1\""},
    };
    constexpr size_t kSize = 20u << 20;
    for (const bool seekable : {true, false})
        for (const auto& c : cases) {
            Endless source(c.head, c.fill, kSize, seekable);
            std::istream in(&source);
            EXPECT_EQ(ImportWhy(in), c.expected);
            EXPECT_LT(source.taken(), 256u << 10) << c.expected << (seekable ? "" : " (not seekable)");
        }
    // A good file from a stream that cannot go back is read all the same.
    const std::string good = entities + dxftest::Dxf({{8, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {40, "2"},
                                                      {1, "ok"}, {0, "ENDSEC"}, {0, "EOF"}});
    Endless source(good, '\n', good.size(), false);
    std::istream in(&source);
    AcDbDatabase db;
    vkdxf::ImportReport report;
    std::string why;
    ASSERT_TRUE(vkdxf::ImportDxf(in, &db, report, why)) << why;
    EXPECT_EQ(report.imported, (std::map<std::string, int>{{"TEXT", 1}}));
    // Some writers close the header early and go on with its variables outside any section.
    std::istringstream early(dxftest::Dxf({{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1015"},
                                           {0, "ENDSEC"}, {9, "$DIMASZ"}, {40, "2.5"}, {0, "ENDSEC"}}) +
                             good);
    AcDbDatabase db2;
    vkdxf::ImportReport report2;
    ASSERT_TRUE(vkdxf::ImportDxf(early, &db2, report2, why)) << why;
    EXPECT_EQ(report2.imported, (std::map<std::string, int>{{"TEXT", 1}}));
}

TEST(DxfReaderBounds, NumbersAreDecimalAsDxfWritesThem)
{
    auto line = [](const std::string& x) {
        return dxftest::Dxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {8, "0"}, {10, x}, {20, "0"}, {30, "0"},
                             {11, "1"}, {21, "1"}, {31, "0"}, {0, "ENDSEC"}, {0, "EOF"}});
    };
    for (const char* bad : {"0x10", "0x1p3", "0X1A", "inf", "nan", "1e", "1e+", ".", "-", "1.5.2", "1,5", "1 2", "1d3"}) {
        std::istringstream in(line(bad));
        EXPECT_EQ(ImportWhy(in), "line 10: group code 10 needs a number, found \"" + std::string(bad) + "\"");
    }
    const struct {
        const char* text;
        double x;
    } good[] = {{"-12.5", -12.5}, {".5", 0.5}, {"5.", 5}, {"+2", 2}, {"1E+03", 1000}, {"  7e-1\r", 0.7}, {"0010", 10}};
    for (const auto& g : good) {
        std::istringstream in(line(g.text));
        AcDbDatabase db;
        vkdxf::ImportReport report;
        std::string why;
        ASSERT_TRUE(vkdxf::ImportDxf(in, &db, report, why)) << g.text << ": " << why;
        const std::vector<AcDbObjectId> ids = vktest::EntityIds(&db);
        ASSERT_EQ(ids.size(), 1u) << g.text;
        AcDbObjectPointer<AcDbLine> read(ids[0], AcDb::kForRead);
        ASSERT_EQ(read.openStatus(), Acad::eOk) << g.text;
        EXPECT_EQ(read->startPoint(), AcGePoint3d(g.x, 0, 0)) << g.text;
    }
    // Group codes too: "0x0" is no code 0.
    std::istringstream in("0x0\nSECTION\n");
    EXPECT_EQ(ImportWhy(in), "line 1: not DXF: expected a group code, found \"0x0\"");
}

// A block drawn within itself twice would be drawn 2^32 times over: refused at the INSERT that
// draws it. Drawn within itself once, it is drawn as deep as references nest, and read.
TEST(DxfReaderBounds, BlocksNestedManyTimesOverAreRefusedAtTheirInsert)
{
    auto file = [](int selfInserts) {
        std::vector<std::pair<int, std::string>> g{{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {8, "0"}, {2, "A"},
                                                   {70, "0"}, {10, "0"}, {20, "0"}, {30, "0"}, {3, "A"}};
        for (int i = 0; i < selfInserts; ++i)
            for (auto p : std::vector<std::pair<int, std::string>>{{0, "INSERT"}, {8, "0"}, {2, "A"}, {10, "1"}, {20, "0"}, {30, "0"}})
                g.push_back(p);
        for (auto p : std::vector<std::pair<int, std::string>>{{0, "ENDBLK"}, {8, "0"}, {0, "ENDSEC"}, {0, "SECTION"},
                                                                {2, "ENTITIES"}, {0, "INSERT"}, {8, "0"}, {2, "A"}, {10, "0"},
                                                                {20, "0"}, {30, "0"}, {0, "ENDSEC"}, {0, "EOF"}})
            g.push_back(p);
        return dxftest::Dxf(g);
    };
    AcDbDatabase refused;
    vkdxf::ImportReport report;
    std::string why;
    std::istringstream twice(file(2));
    EXPECT_FALSE(vkdxf::ImportDxf(twice, &refused, report, why));
    EXPECT_EQ(why, "line 56: from this INSERT on, the drawing draws more than 2000000 entities "
                   "(counting each block as often as it is nested)");
    std::istringstream once(file(1));
    AcDbDatabase db;
    ASSERT_TRUE(vkdxf::ImportDxf(once, &db, report, why)) << why;
    EXPECT_EQ(report.drawn, 1 + AcDbBlockReference::kMaxNesting);

    // A dimension draws its block as a reference does: a block holding a reference to itself
    // and a dimension drawn by itself is refused at the dimension that draws it.
    const std::vector<std::pair<int, std::string>> dimension{
        {0, "DIMENSION"}, {8, "0"}, {2, "A"}, {10, "0"}, {20, "0"}, {30, "0"}, {11, "0"}, {21, "0"}, {31, "0"},
        {70, "32"}, {100, "AcDbAlignedDimension"}, {13, "0"}, {23, "0"}, {33, "0"}, {14, "9"}, {24, "0"}, {34, "0"}};
    std::vector<std::pair<int, std::string>> g{{0, "SECTION"}, {2, "BLOCKS"}, {0, "BLOCK"}, {8, "0"}, {2, "A"}, {70, "0"},
                                               {10, "0"}, {20, "0"}, {30, "0"}, {3, "A"}, {0, "INSERT"}, {8, "0"},
                                               {2, "A"}, {10, "1"}, {20, "0"}, {30, "0"}};
    g.insert(g.end(), dimension.begin(), dimension.end());
    for (auto p : std::vector<std::pair<int, std::string>>{{0, "ENDBLK"}, {8, "0"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}})
        g.push_back(p);
    const size_t dimensionLine = 2 * g.size() + 2;  // the type's line of the next pair
    g.insert(g.end(), dimension.begin(), dimension.end());
    g.push_back({0, "ENDSEC"}), g.push_back({0, "EOF"});
    std::istringstream drawnTwice(dxftest::Dxf(g));
    AcDbDatabase refusedToo;
    EXPECT_FALSE(vkdxf::ImportDxf(drawnTwice, &refusedToo, report, why));
    EXPECT_EQ(why, "line " + std::to_string(dimensionLine) + ": from this DIMENSION on, the drawing draws more than "
                   "2000000 entities (counting each block as often as it is nested)");
}

// What follows EOF is not part of the file: neither the scan nor the library behind it reads it,
// from a file or from a pipe.
TEST(DxfReaderBounds, WhatFollowsEofIsNotRead)
{
    const std::string plan = dxftest::Dxf({{0, "SECTION"}, {2, "ENTITIES"}, {0, "LINE"}, {8, "0"}, {10, "0"}, {20, "0"},
                                           {11, "1"}, {21, "1"}, {0, "ENDSEC"}, {0, "EOF"}});
    const std::string text = plan + plan;
    std::istringstream file(text);
    Endless pipe(text, '\n', text.size(), false);
    std::istream fromPipe(&pipe);
    for (std::istream* in : {static_cast<std::istream*>(&file), &fromPipe}) {
        AcDbDatabase db;
        vkdxf::ImportReport report;
        std::string why;
        ASSERT_TRUE(vkdxf::ImportDxf(*in, &db, report, why)) << why;
        EXPECT_EQ(vktest::EntityIds(&db).size(), 1u);
        EXPECT_EQ(report.imported, (std::map<std::string, int>{{"LINE", 1}}));
    }
}
