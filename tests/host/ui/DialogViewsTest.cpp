// The dialogs and message boxes as a window that draws them sees them.
#include <gtest/gtest.h>

#include "host/ed/AcEd.h"
#include "host/ui/AfxWin.h"
#include "host/ui/DialogViews.h"

namespace {

HINSTANCE Handle() { static int token; return reinterpret_cast<HINSTANCE>(&token); }

vkui::DialogTemplate ListDialog()
{
    vkui::DialogTemplate t;
    t.id = 700;
    t.caption = u"Rooms";
    t.w = 200, t.h = 100;
    t.controls.push_back({10, vkui::ControlKind::kListBox, u"", 0, 10, 20, 80, 40});
    t.controls.push_back({IDOK, vkui::ControlKind::kDefButton, u"OK", 0, 120, 70, 50, 14});
    return t;
}

}  // namespace

TEST(DialogViews, AShownDialogIsSeenWithItsControlsInPixelsAndStates)
{
    vkui::RegisterDialogTemplate(Handle(), ListDialog());
    vked::TranscriptCapture out;
    EXPECT_TRUE(vkui::VisibleDialogs().empty());
    CDialog dlg;
    ASSERT_TRUE(dlg.Create(700));
    EXPECT_TRUE(vkui::VisibleDialogs().empty()) << "created hidden";
    dlg.ShowWindow(SW_SHOW);
    static_cast<CListBox*>(dlg.GetDlgItem(10))->AddString(u"卫生间");
    static_cast<CListBox*>(dlg.GetDlgItem(10))->SetCurSel(0);
    dlg.GetDlgItem(IDOK)->EnableWindow(FALSE);

    const std::vector<vkui::DialogView> views = vkui::VisibleDialogs();
    ASSERT_EQ(views.size(), 1u);
    const vkui::DialogView& v = views[0];
    EXPECT_EQ(v.caption, u"Rooms");
    EXPECT_TRUE(v.top);
    EXPECT_FALSE(v.modal);
    EXPECT_EQ(v.rect.right, 300);  // 200 dialog units across
    ASSERT_EQ(v.controls.size(), 2u);
    EXPECT_EQ(v.controls[0].rect.left, 15);
    EXPECT_EQ(v.controls[0].rect.bottom, 97);  // (20 + 40) units down
    EXPECT_EQ(v.controls[0].rows, std::vector<CString>{u"卫生间"});
    EXPECT_EQ(v.controls[0].sel, 0);
    EXPECT_FALSE(v.controls[1].enabled);
    EXPECT_EQ(v.controls[1].window, dlg.GetDlgItem(IDOK));
    dlg.DestroyWindow();
    EXPECT_TRUE(vkui::VisibleDialogs().empty());
    vkui::UnregisterDialogTemplates(Handle());
}

TEST(DialogViews, AMessageBoxIsToldWithItsButtonsBeforeItIsAnswered)
{
    vked::inputQueue().clear();
    vked::TranscriptCapture out;
    std::vector<vkui::MessageBoxView> boxes;
    vkui::MessageBoxObserver old = vkui::SetMessageBoxObserver([&](const vkui::MessageBoxView& b) {
        boxes.push_back(b);
        EXPECT_EQ(vked::inputQueue().size(), 1u) << "told before it is answered";
    });
    vked::inputQueue().push(u"!answer no");
    EXPECT_EQ(MessageBoxW(nullptr, u"Save 1F?", u"Save", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON3), IDNO);
    vkui::SetMessageBoxObserver(old);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, u"Save");
    EXPECT_EQ(boxes[0].kind, u"question");
    EXPECT_EQ(boxes[0].buttons, (std::vector<CString>{u"yes", u"no", u"cancel"}));
    EXPECT_EQ(boxes[0].defaultButton, 2);
}
