#pragma once
// Dialog and control ids of the module's dialogs.
constexpr int IDD_DEFINE_ROOM = 200;
constexpr int IDD_SELECT_ROOM = 201;
constexpr int IDD_ENTITY_OPTION = 202;
constexpr int IDD_MODIFY_ROOM = 211;

// Define dialog (200).
constexpr int IDC_ROOM_NAME = 200;
constexpr int IDC_PICK_ROOM = 206;
constexpr int IDC_DEFINE_PREVIEW = 209;
// Select dialog (201) and edit dialog (211).
constexpr int IDC_ROOM_LIST = 204;
constexpr int IDC_DELETE_ROOM = 207;
constexpr int IDC_SELECT_PREVIEW = 211;
constexpr int IDC_PLACE_ROOM = 212;
constexpr int IDC_RE_EXTRACT = 214;
constexpr int IDC_MODIFY_PREVIEW = 221;
// Filter dialog (202): one check box per bit of the discipline filter, in bit order.
constexpr int IDC_FILTER_ARCH = 202;
constexpr int IDC_FILTER_WATER = 203;
constexpr int IDC_FILTER_ELECTRIC = 204;
constexpr int IDC_FILTER_HVAC = 218;
constexpr int IDC_FILTER_FIRE = 219;
constexpr int IDC_FILTER_LOWVOLT = 220;
