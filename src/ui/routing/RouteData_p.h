#pragma once
// The routing's own tables: families, page options, panel toggles, same-mode boxes, mouse button
// pictures, palettes. Names are written as in the skins; lookups ignore case.

#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <string_view>

#include "lighting/LightingRecords.h"
#include "ui/routing/RouteTables.h"

namespace korva::ui::routing_data {

enum class FamilyKind { kIndex, kColour };

struct FamilyRow {
  std::string_view prefix;
  RouteArea area;
  FamilyKind kind;
  bool finishesClick;          // no full-name test runs after it
  std::string_view showFirst;  // a hidden control shown and enabled before the handler ("" = none)
};

// Click families, in the order they are tested.
inline constexpr std::array kClickFamilies = {
    FamilyRow{"kb_key_", RouteArea::kKeyboardKeys, FamilyKind::kIndex, true, "kb_tab_function"},
    FamilyRow{"hs_Deng_color_btn_", RouteArea::kHeadsetLighting, FamilyKind::kColour, false, ""},
    FamilyRow{"kb_dkey_", RouteArea::kKeyboardLighting, FamilyKind::kIndex, true, ""},
    FamilyRow{"ms_key_", RouteArea::kMouseButtons, FamilyKind::kIndex, true, ""},
    FamilyRow{"ms_DPI_color_btn_", RouteArea::kMouseSettings, FamilyKind::kColour, false, ""},
    FamilyRow{"ms_Deng_color_btn_", RouteArea::kMouseLighting, FamilyKind::kColour, false, ""},
    FamilyRow{"mp_Deng_color_btn_", RouteArea::kMousepad, FamilyKind::kColour, false, ""},
    FamilyRow{"kb_Deng_color_btn_", RouteArea::kKeyboardLighting, FamilyKind::kColour, false, ""},
    FamilyRow{"ms_profile_", RouteArea::kMouseSettings, FamilyKind::kIndex, false, ""},
    FamilyRow{"ms_bullet_op_", RouteArea::kCursorMacros, FamilyKind::kIndex, false, ""},
};

inline constexpr std::array kSelectFamilies = {
    FamilyRow{"ms_gun_op_", RouteArea::kCursorMacros, FamilyKind::kIndex, false, ""},
    FamilyRow{"ms_bullet_op_", RouteArea::kCursorMacros, FamilyKind::kIndex, false, ""},
    FamilyRow{"hs_slien_check_", RouteArea::kHeadsetVoice, FamilyKind::kIndex, false, ""},
};

// The palettes send their colour to the handler of these swatch families.
struct PaletteRow {
  std::string_view palette;
  std::string_view swatchFamily;
};
inline constexpr std::array kPalettes = {
    PaletteRow{"hs_deng_Color_Pallet", "hs_Deng_color_btn_"},
    PaletteRow{"Pallet", "ms_DPI_color_btn_"},
    PaletteRow{"ms_deng_Color_Pallet", "ms_Deng_color_btn_"},
    PaletteRow{"mp_deng_Color_Pallet", "mp_Deng_color_btn_"},
    PaletteRow{"kb_deng_Color_Pallet", "kb_Deng_color_btn_"},
};

// Window buttons the main window handles before any routing; all but "skinbtn" end the
// notification there.
struct WindowButtonRow {
  std::string_view name;
  bool continuesRouting;
};
inline constexpr std::array kWindowButtons = {
    WindowButtonRow{"closebtn", false},   WindowButtonRow{"minbtn", false}, WindowButtonRow{"maxbtn", false},
    WindowButtonRow{"restorebtn", false}, WindowButtonRow{"skinbtn", true},
};

// Device pages: the option, its page of "tab_switch" and the device page it makes current
// (-1: the split page changes none).
struct DevicePageRow {
  std::string_view option;
  int page;
  int devicePage;
};
inline constexpr std::array kDevicePages = {
    DevicePageRow{"kb_tab", 0, 0}, DevicePageRow{"ms_tab", 1, 1},     DevicePageRow{"mp_tab", 2, 2},
    DevicePageRow{"hs_tab", 3, 3}, DevicePageRow{"split_tab", 4, -1},
};

// What a sub-page shows in its device's profile panel.
enum class ProfilePanel {
  kUnchanged,
  kLightProfiles,  // select page 0 and the lighting profile name editor
  kKeyProfiles,    // select page 1 and the key profile name editor
  kDisabled,       // the pages without profiles (macros, cursor macros)
};

struct SubPageRow {
  std::string_view option;
  std::string_view tabLayout;
  int page;
  std::string_view device;  // control-name prefix of the profile panel: "kb", "ms"
  ProfilePanel panel;
  // Hidden and disabled first when the page is entered from another page ("" = none): the key
  // editor starts closed until a key is clicked.
  std::string_view functionPanel;
};
inline constexpr std::array kSubPages = {
    SubPageRow{"kb_deng_Op_tab", "kb_tab_switch", 0, "kb", ProfilePanel::kLightProfiles, ""},
    SubPageRow{"kb_macro_Op_tab", "kb_tab_switch", 1, "kb", ProfilePanel::kDisabled, ""},
    SubPageRow{"kb_key_Op_tab", "kb_tab_switch", 2, "kb", ProfilePanel::kKeyProfiles, "kb_tab_function"},
    SubPageRow{"kb_rich_Op_tab", "kb_tab_switch", 3, "kb", ProfilePanel::kUnchanged, ""},
    SubPageRow{"ms_deng_Op_tab", "ms_tab_switch", 0, "ms", ProfilePanel::kLightProfiles, ""},
    SubPageRow{"ms_macro_Op_tab", "ms_tab_switch", 1, "ms", ProfilePanel::kDisabled, ""},
    SubPageRow{"ms_key_Op_tab", "ms_tab_switch", 2, "ms", ProfilePanel::kKeyProfiles, "ms_tab_function"},
    SubPageRow{"ms_rich_Op_tab", "ms_tab_switch", 3, "ms", ProfilePanel::kLightProfiles, ""},
    SubPageRow{"ms_cursor_Op_tab", "ms_tab_switch", 4, "ms", ProfilePanel::kDisabled, ""},
    SubPageRow{"hs_deng_Op_tab", "hs_tab_switch", 0, "hs", ProfilePanel::kUnchanged, ""},
    SubPageRow{"hs_voice_Op_tab", "hs_tab_switch", 1, "hs", ProfilePanel::kUnchanged, ""},
};

// A macro editor with unsaved edits (its save/cancel bar visible) keeps its page in front: only
// its own sub-page option and device option may be selected.
struct EditorGuardRow {
  std::string_view saveBar;
  std::string_view subPageOption;
  std::string_view deviceOption;
};
inline constexpr std::array kEditorGuards = {
    EditorGuardRow{"ms_macro_tab_saveorcancel", "ms_macro_Op_tab", "ms_tab"},
    EditorGuardRow{"kb_macro_tab_saveorcancel", "kb_macro_Op_tab", "kb_tab"},
};
inline constexpr std::string_view kUnsavedMacroText = "message_text_3";

// Buttons that show or hide a profile panel part.
struct PanelToggleRow {
  std::string_view button;
  std::string_view panel;
};
inline constexpr std::array kPanelToggles = {
    PanelToggleRow{"kb_profile_fun_spread_btn", "kb_profile_fun_spead_tab"},
    PanelToggleRow{"ms_profile_fun_spread_btn", "ms_profile_fun_spead_tab"},
    PanelToggleRow{"mp_profile_fun_spread_btn", "mp_profile_fun_spead_tab"},
    PanelToggleRow{"kb_pro_deng_edit_btn", "kb_deng_profile_edit"},
    PanelToggleRow{"kb_pro_key_edit_btn", "kb_key_profile_edit"},
    PanelToggleRow{"ms_pro_deng_edit_btn", "ms_deng_profile_edit"},
    PanelToggleRow{"ms_pro_key_edit_btn", "ms_key_profile_edit"},
    PanelToggleRow{"mp_pro_deng_edit_btn", "mp_deng_profile_edit"},
};

struct SameModeRow {
  std::string_view checkBox;
  DeviceKind source;
};
inline constexpr std::array kSameModeBoxes = {
    SameModeRow{"kb_deng_same_mode", DeviceKind::kKeyboard},
    SameModeRow{"ms_deng_same_mode", DeviceKind::kMouse},
    SameModeRow{"mp_deng_same_mode", DeviceKind::kMousepad},
    SameModeRow{"hs_deng_same_mode", DeviceKind::kHeadset},
};

// Mouse buttons: the picture of the companion control "<button>_0" while the pointer is away
// and while it is over the button.
struct ButtonPictureRow {
  std::string_view button;
  std::string_view normal;
  std::string_view hovered;
};
inline constexpr std::array kButtonPictures = {
    ButtonPictureRow{"ms_key_0", "file='ms/key_left_normal.png'", "file='ms/key_left_down.png'"},
    ButtonPictureRow{"ms_key_1", "file='ms/key_wheel_normal.png'", "file='ms/key_wheel_down.png'"},
    ButtonPictureRow{"ms_key_2", "file='ms/key_right_normal.png'", "file='ms/key_right_down.png'"},
    ButtonPictureRow{"ms_key_3", "file='ms/key_forward_normal.png'", "file='ms/key_forward_down.png'"},
    ButtonPictureRow{"ms_key_4", "file='ms/key_back_normal.png'", "file='ms/key_back_down.png'"},
    ButtonPictureRow{"ms_key_5", "file='ms/key_dpi_add_normal.png'", "file='ms/key_dpi_add_down.png'"},
    ButtonPictureRow{"ms_key_6", "file='ms/key_dpi_sub_normal.png'", "file='ms/key_dpi_sub_down.png'"},
};

// Lookups by lower-case key; nullptr / nullopt when the key is not in the table.
inline QString Lower(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())).toLower();
}
inline QString Text(std::string_view s) {
  return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()));
}

template <class Rows, class Field>
auto FindRow(const Rows& rows, Field field, QStringView lowerKey) -> const typename Rows::value_type* {
  for (const auto& row : rows)
    if (Lower(row.*field) == lowerKey) return &row;
  return nullptr;
}

}  // namespace korva::ui::routing_data
