// The component selection dialog as a user drives it: every click reaches the library's
// filter at once, construction ticks all six kinds again, OK and Cancel leave the filter alone.
#include "host/ui/AfxWin.h"
#include "module/selection/CEntityOptionDlg.h"
#include "tests/support/ModuleOnFloorTest.h"

namespace {
class EntityOptionDlgTest : public vktest::EditorTest {
protected:
    vktest::ModuleStarted module;

    // Runs the dialog modally on the given action lines.
    INT_PTR run(CEntityOptionDlg& dlg, const std::vector<CString>& actions)
    {
        vktest::QueueLines(actions);
        return dlg.DoModal();
    }
    static std::bitset<6> filter() { return CManageStdRoom::CreateOnlyInstance()->GetFilterOption(); }
    static std::bitset<6> allBut(size_t bit) { return std::bitset<6>().set().reset(bit); }
};

TEST_F(EntityOptionDlgTest, ConstructionTicksAllSixKindsWhateverAnEarlierRunLeft)
{
    std::bitset<6> cleared;
    CManageStdRoom::CreateOnlyInstance()->SetFilterOption(cleared);
    CEntityOptionDlg dlg;
    EXPECT_EQ(filter(), std::bitset<6>().set());
    EXPECT_EQ(dlg.m_Filter, std::bitset<6>().set());
    EXPECT_EQ(run(dlg, {u"!show", u"!ok"}), IDOK);
    const std::string text = out.utf8();
    EXPECT_NE(text.find("<dialog 202 \"构件选择\""), std::string::npos) << text;
    EXPECT_EQ(count("check=1"), 6u) << text;
    EXPECT_EQ(filter(), std::bitset<6>().set());
}

TEST_F(EntityOptionDlgTest, EachBoxClearsItsOwnBitAndCancelKeepsTheClick)
{
    const std::pair<const char16_t*, size_t> boxes[] = {
        {u"!click 202", 0}, {u"!click 203", 1}, {u"!click 204", 2},
        {u"!click 218", 3}, {u"!click 219", 4}, {u"!click 220", 5}};
    for (const auto& [click, bit] : boxes) {
        CEntityOptionDlg dlg;
        EXPECT_EQ(run(dlg, {click, u"!cancel"}), IDCANCEL);
        EXPECT_EQ(filter(), allBut(bit)) << "bit " << bit;
        EXPECT_EQ(dlg.m_Filter, allBut(bit)) << "bit " << bit;
    }
}

TEST_F(EntityOptionDlgTest, TheLibraryFollowsEveryClickWhileTheDialogIsOpen)
{
    // A second click ticks the box again; the filter follows both, and OK changes nothing more.
    CEntityOptionDlg dlg;
    EXPECT_EQ(run(dlg, {u"!click 204", u"!click 219", u"!click 204", u"!ok"}), IDOK);
    EXPECT_EQ(filter(), allBut(4));
    EXPECT_EQ(dlg.m_bElectric, 1);
    EXPECT_EQ(dlg.m_bFire, 0);

    CEntityOptionDlg again;
    EXPECT_EQ(run(again, {u"!check 202 0", u"!check 203 0", u"!check 204 0", u"!check 218 0",
                          u"!check 219 0", u"!check 220 0", u"!ok"}),
              IDOK);
    EXPECT_EQ(filter(), std::bitset<6>());
}
}  // namespace
