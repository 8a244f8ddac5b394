#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "host/ui/AfxWin.h"
#include "host/win/WinPath.h"
#include "siblings/services/VkQsGsPreviewCtrl.h"
#include "tests/siblings/services/ServicesTestDb.h"

namespace fs = std::filesystem;

namespace {

struct Box { int minX = 1 << 30, minY = 1 << 30, maxX = -1, maxY = -1, count = 0; };

Box Ink(const std::vector<unsigned>& px, int w)
{
    Box b;
    for (size_t i = 0; i < px.size(); ++i) {
        if (px[i] == 0xFFFFFFu) continue;
        int x = int(i % size_t(w)), y = int(i / size_t(w));
        b.minX = std::min(b.minX, x), b.maxX = std::max(b.maxX, x);
        b.minY = std::min(b.minY, y), b.maxY = std::max(b.maxY, y);
        ++b.count;
    }
    return b;
}

class PreviewTest : public ServicesTest {
protected:
    void SetUp() override
    {
        ServicesTest::SetUp();
        dir = fs::temp_directory_path() / ("vk_preview_" + std::to_string(::getpid()));
        fs::create_directories(dir);
        lib = vkwin::FromHostPath((dir / "lib.dwg").string());
        writeLibrary(10);
    }
    void TearDown() override
    {
        fs::remove_all(dir);
        ServicesTest::TearDown();
    }
    // Block "房间1": a size x size square whose top edge bulges out into a half circle.
    void writeLibrary(double size)
    {
        AcDbDatabase d(true);
        AcDbObjectId block = addBlock(&d, u"房间1");
        auto* pl = new AcDbPolyline;
        pl->addVertexAt(0, AcGePoint2d(0, 0));
        pl->addVertexAt(1, AcGePoint2d(size, 0));
        pl->addVertexAt(2, AcGePoint2d(size, size), 1.0);
        pl->addVertexAt(3, AcGePoint2d(0, size));
        pl->setClosed(true);
        append(&d, pl, block);
        append(&d, line(0, 0, size, size), block);
        append(&d, line(500, 500, 600, 600));  // model space: not part of the block
        ASSERT_EQ(d.saveAs(lib, false), Acad::eOk);
    }
    fs::path dir;
    CString lib;
};

TEST_F(PreviewTest, ABlockOfTheLibraryCopyIsShownFittedAndCentred)
{
    VkQsGsPreviewCtrl ctrl(lib);
    EXPECT_TRUE(ctrl.InitDrawingControl(nullptr, u"房间1", u"*Model_Space"));
    ASSERT_FALSE(ctrl.IsEmpty());
    std::vector<unsigned> px;
    ASSERT_TRUE(ctrl.RenderImage(300, 100, px));
    ASSERT_EQ(px.size(), 300u * 100u);
    // The block is 10 wide and 15 high (with its arc): fitted to the height, 5% margins.
    Box b = Ink(px, 300);
    EXPECT_GT(b.count, 100);
    EXPECT_NEAR(b.minY, 5, 2);
    EXPECT_NEAR(b.maxY, 95, 2);
    EXPECT_NEAR((b.minX + b.maxX) / 2.0, 150, 2);
    EXPECT_NEAR(b.maxX - b.minX, 60, 3);

    // The copy is read afresh each time, not held: it can be rewritten in between.
    writeLibrary(40);
    EXPECT_TRUE(ctrl.InitDrawingControl(nullptr, u"房间1", u"*Model_Space"));
    double maxX = 0;
    for (auto& p : ctrl.Primitives())
        for (auto& pt : p.points) maxX = std::max(maxX, pt.x);
    EXPECT_NEAR(maxX, 40, 1e-6);
}

HINSTANCE Handle() { static int token; return reinterpret_cast<HINSTANCE>(&token); }

class CPreviewDlg : public CDialog {
public:
    explicit CPreviewDlg(const CString& lib) : CDialog(700), m_preview(lib) {}
    VkQsGsPreviewCtrl m_preview;
    BOOL m_subclassed = FALSE;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_subclassed = m_preview.SubclassDlgItem(301, this);
        m_preview.InitDrawingControl(Handle(), u"房间1", u"*Model_Space");
        return TRUE;
    }
};

}  // namespace
