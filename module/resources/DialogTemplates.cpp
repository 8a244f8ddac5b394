#include "module/resources/DialogTemplates.h"

#include "module/resources/resource.h"

namespace vkroom {
namespace {
using vkui::ControlKind;
using vkui::ControlTemplate;
using vkui::DialogTemplate;

constexpr DWORD kPopup = vkui::WS_POPUP | vkui::WS_CAPTION | vkui::WS_SYSMENU | vkui::DS_SETFONT;
constexpr DWORD kListStyle = vkui::LBS_NOTIFY | vkui::WS_VSCROLL | vkui::WS_BORDER |
                             vkui::LBS_NOINTEGRALHEIGHT | vkui::WS_TABSTOP;

DialogTemplate Make(int id, const char16_t* caption, DWORD style, int w, int h,
                    std::vector<ControlTemplate> controls)
{
    DialogTemplate t;
    t.id = id;
    t.caption = caption;
    t.style = style;
    t.w = w;
    t.h = h;
    t.controls = std::move(controls);
    return t;
}
}  // namespace

DialogTemplate DefineRoomTemplate()
{
    return Make(IDD_DEFINE_ROOM, u"创建标准房间", kPopup | vkui::DS_MODALFRAME, 257, 174, {
        {IDOK, ControlKind::kDefButton, u"确定", vkui::WS_TABSTOP, 200, 72, 50, 14},
        {IDCANCEL, ControlKind::kButton, u"取消", vkui::WS_TABSTOP, 200, 118, 50, 14},
        {IDC_STATIC, ControlKind::kStatic, u"名称", 0, 22, 20, 26, 11},
        {IDC_ROOM_NAME, ControlKind::kComboDropDown, u"", vkui::WS_VSCROLL | vkui::WS_TABSTOP, 45, 19, 142, 153},
        {IDC_PICK_ROOM, ControlKind::kButton, u"提取图形", vkui::WS_TABSTOP, 200, 17, 50, 14},
        {IDC_DEFINE_PREVIEW, ControlKind::kPicture, u"房间预览", vkui::WS_BORDER, 22, 42, 165, 113},
    });
}

DialogTemplate SelectRoomTemplate()
{
    return Make(IDD_SELECT_ROOM, u"布置标准房间", kPopup, 303, 201, {
        {IDC_STATIC, ControlKind::kStatic, u"列表", vkui::SS_CENTER, 25, 9, 22, 9},
        {IDC_ROOM_LIST, ControlKind::kListBox, u"", kListStyle | vkui::WS_HSCROLL, 19, 21, 66, 145},
        {IDC_DELETE_ROOM, ControlKind::kButton, u"删除", vkui::WS_TABSTOP, 29, 180, 50, 14},
        {IDC_SELECT_PREVIEW, ControlKind::kPicture, u"房间预览", vkui::WS_BORDER, 100, 21, 196, 145},
        {IDC_PLACE_ROOM, ControlKind::kButton, u"布置房间", vkui::WS_TABSTOP, 181, 180, 50, 14},
    });
}

DialogTemplate EntityOptionTemplate()
{
    return Make(IDD_ENTITY_OPTION, u"构件选择", kPopup | vkui::DS_MODALFRAME, 202, 156, {
        {IDC_STATIC, ControlKind::kGroupBox, u"跟随房间复制的构件", 0, 20, 15, 141, 111},
        {IDC_FILTER_ARCH, ControlKind::kCheckBox, u"土建构件", vkui::WS_TABSTOP, 30, 24, 80, 13},
        {IDC_FILTER_WATER, ControlKind::kCheckBox, u"给排水构件", vkui::WS_TABSTOP, 30, 42, 80, 13},
        {IDC_FILTER_ELECTRIC, ControlKind::kCheckBox, u"电气构件", vkui::WS_TABSTOP, 30, 60, 80, 13},
        {IDC_FILTER_HVAC, ControlKind::kCheckBox, u"暖通构件", vkui::WS_TABSTOP, 30, 78, 80, 13},
        {IDC_FILTER_FIRE, ControlKind::kCheckBox, u"消防构件", vkui::WS_TABSTOP, 30, 96, 48, 10},
        {IDC_FILTER_LOWVOLT, ControlKind::kCheckBox, u"弱电构件", vkui::WS_TABSTOP, 30, 114, 48, 10},
        {IDOK, ControlKind::kDefButton, u"确定", vkui::WS_TABSTOP, 36, 132, 50, 14},
        {IDCANCEL, ControlKind::kButton, u"取消", vkui::WS_TABSTOP, 96, 132, 50, 14},
    });
}

DialogTemplate ModifyRoomTemplate()
{
    return Make(IDD_MODIFY_ROOM, u"编辑标准房间", kPopup, 300, 194, {
        {IDC_STATIC, ControlKind::kStatic, u"列表", 0, 7, 7, 47, 8},
        {IDC_ROOM_LIST, ControlKind::kListBox, u"", kListStyle, 7, 17, 71, 148},
        {IDC_MODIFY_PREVIEW, ControlKind::kPicture, u"房间预览", vkui::WS_BORDER, 91, 17, 192, 148},
        {IDC_RE_EXTRACT, ControlKind::kButton, u"重新提取", vkui::WS_TABSTOP, 7, 173, 71, 14},
        {IDOK, ControlKind::kDefButton, u"确定", vkui::WS_TABSTOP, 144, 173, 50, 14},
        {IDCANCEL, ControlKind::kButton, u"取消", vkui::WS_TABSTOP, 231, 173, 50, 14},
    });
}

void RegisterDialogTemplates(HINSTANCE module)
{
    for (const DialogTemplate& t :
         {DefineRoomTemplate(), SelectRoomTemplate(), EntityOptionTemplate(), ModifyRoomTemplate()})
        vkui::RegisterDialogTemplate(module, t);
}

void UnregisterDialogTemplates(HINSTANCE module)
{
    vkui::UnregisterDialogTemplates(module);
}
}  // namespace vkroom
