#pragma once
// Dialog templates as data, registered per resource handle.
//
// A plug-in describes its dialogs as DialogTemplate values and registers them at load time
// (kInitAppMsg) under its resource handle:
//     vkui::RegisterDialogTemplate(vked::ResourceHandleOf(appId), MakeDefineRoomTemplate());
// and removes them at unload with vkui::UnregisterDialogTemplates(handle). CDialog finds a
// template by id under AfxGetResourceHandle() first, then under the other handles in order
// of registration.
#include <vector>

#include "host/ed/ResourceHandle.h"
#include "host/ui/WinUser.h"

namespace vkui {

enum class ControlKind {
    kButton,         // push button
    kDefButton,      // default push button (Enter)
    kCheckBox,       // auto check box: a click toggles it
    kRadio,          // auto radio button: a click checks it and clears the radios of its group
    kComboDropDown,  // combo box with an editable text
    kComboDropList,  // combo box whose text is only the selected row
    kListBox,
    kEdit,
    kStatic,         // static text
    kGroupBox,
    kPicture,        // a static frame (previews take it over)
};
const char16_t* ControlKindName(ControlKind k);  // "button", "default-button", "check-box", ...

// Style bits the framework looks at; others are kept as given.
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_GROUP = 0x00020000;   // a radio with it starts a new group
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD DS_MODALFRAME = 0x80;
constexpr DWORD DS_SETFONT = 0x40;
constexpr DWORD LBS_NOTIFY = 0x0001;
constexpr DWORD LBS_SORT = 0x0002;      // rows kept sorted (by code unit)
constexpr DWORD LBS_NOINTEGRALHEIGHT = 0x0100;
constexpr DWORD CBS_SORT = 0x0100;
constexpr DWORD SS_CENTER = 0x0001;

struct ControlTemplate {
    int id = IDC_STATIC;
    ControlKind kind = ControlKind::kStatic;
    CString text;
    DWORD style = 0;
    int x = 0, y = 0, w = 0, h = 0;   // dialog units
};

struct DialogTemplate {
    int id = 0;
    CString caption;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
    CString fontName = u"MS Shell Dlg";
    int fontSize = 8;
    int w = 0, h = 0;                 // dialog units
    std::vector<ControlTemplate> controls;
};

// Replaces a template of the same id under the same handle.
void RegisterDialogTemplate(HINSTANCE handle, const DialogTemplate& t);
void UnregisterDialogTemplates(HINSTANCE handle);
// Under `preferred` first, then any handle; null when no handle has it.
const DialogTemplate* FindDialogTemplate(int id, HINSTANCE preferred);

}  // namespace vkui
