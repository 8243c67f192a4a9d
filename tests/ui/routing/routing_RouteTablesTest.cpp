// Every control name the routing lists belongs to its owning area, for the notification type it
// is listed under and for no other; families take their numbered members.

#include <gtest/gtest.h>

#include <QStringList>
#include <vector>

#include "RoutingTestSupport.h"
#include "ui/Notify.h"
#include "ui/routing/NameFamily.h"
#include "ui/routing/RouteTables.h"

namespace korva::ui {
namespace {

using A = RouteArea;

struct Listing {
  const char* type;
  A area;
  QStringList names;
  bool familyMembers = false;  // the names are members of a family (prefix and number)
};

QStringList Prefixed(const QStringList& prefixes, const QStringList& stems) {
  QStringList out;
  for (const QString& p : prefixes)
    for (const QString& s : stems) out.append(p + s);
  return out;
}

// The routing lists, written out name by name.
std::vector<Listing> Listings() {
  const QStringList macroButtons = {
      "_macro_btn_redio",     "_macro_btn_name_add",     "_macro_btn_name_sub",   "_macro_btn_down",
      "_macro_btn_up",        "_macro_btn_uptop",        "_macro_btn_downbottom", "_macro_btn_delete",
      "_macro_btn_deleteall", "_macro_btn_cancel",       "_macro_btn_save",       "_macro_btn_import",
      "_macro_btn_export",    "_macro_btn_savemacroname"};
  const QStringList insertButtons = {
      "_macro_inset_leftkey_btn",      "_macro_inset_rightkey_btn",      "_macro_inset_moudlekey_btn",
      "_macro_inset_forwardkey_btn",   "_macro_inset_backkey_btn",       "_macro_inset_leftkeydown_btn",
      "_macro_inset_rightkeydown_btn", "_macro_inset_moudlekeydown_btn", "_macro_inset_forwardkeydown_btn",
      "_macro_inset_backkeydown_btn",  "_macro_inset_leftkeyup_btn",     "_macro_inset_rightkeyup_btn",
      "_macro_inset_moudlekeyup_btn",  "_macro_inset_forwardkeyup_btn",  "_macro_inset_backkeyup_btn",
      "_macro_inset_moveleftkey_btn",  "_macro_inset_moverightkey_btn",  "_macro_inset_moveupkey_btn",
      "_macro_inset_movedownkey_btn"};
  const QStringList macroEdits = {
      "__macro_edit_ActionDelay", "__macro_edit_mou_action_delay", "_macro_edit_mou_pointer_skewing",
      "_mouse_x_left_edit",       "_mouse_x_right_edit",           "_mouse_y_up_edit",
      "_mouse_y_down_edit"};
  const QStringList profileButtons = {"kb_pro_deng_add_btn",
                                      "kb_pro_deng_sub_btn",
                                      "kb_pro_deng_import_btn",
                                      "kb_pro_deng_export_btn",
                                      "kb_pro_deng_copy_btn",
                                      "kb_deng_profile_restore_btn",
                                      "kb_deng_profile_edit_save_btn",
                                      "kb_pro_key_add_btn",
                                      "kb_pro_key_sub_btn",
                                      "kb_pro_key_import_btn",
                                      "kb_pro_key_export_btn",
                                      "kb_pro_key_copy_btn",
                                      "kb_key_profile_restore_btn",
                                      "kb_key_profile_edit_save_btn",
                                      "ms_pro_deng_add_btn",
                                      "ms_pro_deng_sub_btn",
                                      "ms_pro_deng_import_btn",
                                      "ms_pro_deng_export_btn",
                                      "ms_pro_deng_copy_btn",
                                      "ms_deng_profile_restore_btn",
                                      "ms_deng_profile_edit_save_btn",
                                      "ms_pro_key_add_btn",
                                      "ms_pro_key_sub_btn",
                                      "ms_pro_key_import_btn",
                                      "ms_pro_key_export_btn",
                                      "ms_pro_key_copy_btn",
                                      "ms_key_profile_restore_btn",
                                      "ms_key_profile_edit_save_btn",
                                      "mp_pro_deng_add_btn",
                                      "mp_pro_deng_sub_btn",
                                      "mp_pro_deng_import_btn",
                                      "mp_pro_deng_export_btn",
                                      "mp_pro_deng_copy_btn",
                                      "mp_deng_profile_restore_btn",
                                      "mp_deng_profile_edit_save_btn"};
  const QStringList stores = {"kb_deng", "kb_key", "ms_deng", "ms_key", "mp_deng"};
  const char* click = notify::kClick;
  const char* select = notify::kSelectChanged;
  const char* item = notify::kItemSelect;
  const char* text = notify::kTextChanged;
  const char* value = notify::kValueChanged;
  const char* move = notify::kMoveValueChanged;
  return {
      {click, A::kWindow, {"closebtn", "minbtn", "maxbtn", "restorebtn", "skinbtn"}},
      {click,
       A::kHeadsetVoice,
       {"btn_recover", "hs_pro_voice_add_btn", "head_device_profile_restore_btn", "hs_pro_voice_sub_btn",
        "hs_pro_voice_export_btn", "hs_pro_voice_import_btn", "hs_voice_profile_edit_save_btn"}},
      {click, A::kMouseButtons, {"ms_key_butt_keysave", "ms_key_butt_prosave", "ms_key_butt_keydefalut"}},
      {click,
       A::kMouseSettings,
       {"ms_gunlun_speed_up_btn", "ms_gunlun_speed_down_btn", "ms_one_profile_default"}},
      {click, A::kMouseLighting, {"ms_Deng_FXL_btn", "ms_Deng_FXR_btn"}},
      {click,
       A::kCursorMacros,
       {"ms_bulletdate_save_btn", "ms_bulletdate_reset_btn", "bullet_selected_prev", "bullet_selected_next",
        "ms_bulletdate_import_btn", "ms_bulletdate_export_btn"}},
      {click, A::kMousepad, {"mp_one_profile_default"}},
      {click, A::kKeyboardKeys, {"kb_key_butt_prosave", "kb_key_butt_keydefalut"}},
      {click, A::kMacroEditor, Prefixed({"ms", "kb"}, macroButtons + insertButtons)},
      {click, A::kProfileLibrary, profileButtons},
      {click, A::kApplicationLink, Prefixed(stores, {"_profile_link_btn"})},
      {click,
       A::kRouting,
       {"kb_profile_fun_spread_btn", "ms_profile_fun_spread_btn", "mp_profile_fun_spread_btn",
        "kb_pro_deng_edit_btn", "kb_pro_key_edit_btn", "ms_pro_deng_edit_btn", "ms_pro_key_edit_btn",
        "mp_pro_deng_edit_btn", "kb_deng_same_mode", "ms_deng_same_mode", "mp_deng_same_mode",
        "hs_deng_same_mode"}},
      // Family members.
      {click, A::kKeyboardKeys, {"kb_key_0", "kb_key_104"}, true},
      {click, A::kHeadsetLighting, {"hs_Deng_color_btn_0", "hs_Deng_color_btn_29"}, true},
      {click, A::kKeyboardLighting, {"kb_dkey_0", "kb_dkey_125", "kb_Deng_color_btn_21"}, true},
      {click, A::kMouseButtons, {"ms_key_0", "ms_key_6"}, true},
      {click, A::kMouseSettings, {"ms_DPI_color_btn_3", "ms_profile_0", "ms_profile_4"}, true},
      {click, A::kMouseLighting, {"ms_Deng_color_btn_7"}, true},
      {click, A::kMousepad, {"mp_Deng_color_btn_12"}, true},
      {click, A::kCursorMacros, {"ms_bullet_op_1"}, true},

      {item,
       A::kKeyboardKeys,
       {"kb_key_fct_combo", "kb_key_fct_combo_11", "kb_key_fct_combo_12", "kb_key_fct_combo_13",
        "kb_key_fct_combo_14", "kb_key_fct_combo_21", "kb_key_fct_combo_22", "kb_key_fct_combo_23",
        "kb_key_fct_combo_24"}},
      {item, A::kKeyboardLighting, {"kb_deng_combo_modeSelect", "kb_deng_combo_curtom_count"}},
      {item,
       A::kMouseButtons,
       {"ms_key_fct_combo", "ms_key_fct_combo_11", "ms_key_fct_combo_12", "ms_key_fct_combo_13",
        "ms_key_fct_combo_14", "ms_key_fct_combo_21", "ms_key_fct_combo_22", "ms_key_fct_combo_23",
        "ms_key_fct_combo_24", "ms_key_fct_combo_25"}},
      {item, A::kMouseSettings, {"ms_report_fct_combo"}},
      {item,
       A::kMouseLighting,
       {"ms_deng_combo_modeSelect0", "ms_deng_combo_modeSelect1", "ms_deng_combo_modeSelect2"}},
      {item, A::kMousepad, {"mp_deng_combo_modeSelect", "mp_deng_combo_profile"}},
      {item, A::kHeadsetVoice, {"head_device_profile_combo"}},
      {item, A::kHeadsetLighting, {"hs_deng_combo_modeSelect"}},
      {item,
       A::kMacroEditor,
       {"ms_MacroName_list", "kb_MacroName_list", "ms_Macro_list", "ms_macro_combo_keyselect",
        "ms_macro_combo_mouselect", "ms_macro_combo_upordown", "kb_macro_combo_keyselect",
        "kb_macro_combo_mouselect", "kb_macro_combo_upordown"}},
      {item, A::kProfileLibrary, Prefixed(stores, {"_profile_combo"})},
      {notify::kItemClick, A::kMacroEditor, {"ms_macro_action", "kb_macro_action"}},

      {select,
       A::kRouting,
       {"kb_tab", "ms_tab", "mp_tab", "hs_tab", "split_tab", "kb_deng_Op_tab", "kb_macro_Op_tab",
        "kb_key_Op_tab", "kb_rich_Op_tab", "ms_deng_Op_tab", "ms_macro_Op_tab", "ms_key_Op_tab",
        "ms_rich_Op_tab", "ms_cursor_Op_tab", "hs_deng_Op_tab", "hs_voice_Op_tab"}},
      {select,
       A::kKeyboardLighting,
       {"kb_Deng_7color_check", "kb_Deng_FXL_check", "kb_Deng_FXR_check", "kb_Deng_all_kill_check",
        "kb_Deng_all_bright_check"}},
      {select, A::kMouseLighting, {"ms_Deng_7color_check", "ms_Deng_FXL_check", "ms_Deng_FXR_check"}},
      {select,
       A::kCursorMacros,
       {"ms_gun_op_0", "ms_gun_op_3", "ms_bullet_op_2", "ms_cursor_x_check", "ms_cursor_y_check"}},
      {select, A::kMousepad, {"mp_Deng_7color_check", "mp_Deng_FXL_check", "mp_Deng_FXR_check"}},
      {select,
       A::kHeadsetVoice,
       {"hs_slien_check_0", "hs_slien_check_1", "hs_virtual_check", "hs_scenes_btn_0", "hs_scenes_btn_1",
        "hs_scenes_btn_2", "hs_scenes_btn_3", "hs_scenes_btn_4", "hs_scenes_btn_5"}},
      {select, A::kHeadsetLighting, {"hs_Deng_FXL_check", "hs_Deng_FXR_check", "hs_Deng_7color_check"}},
      {select,
       A::kMacroEditor,
       {"ms_macro_check_time", "ms_macro_keyboard_event", "ms_macro_mouse_click", "ms_macro_mouse_roller",
        "ms_macro_mouse_move", "ms_macro_btn_shubiao", "kb_macro_btn_shubiao"}},
      {select, A::kApplicationLink, Prefixed(stores, {"_profile_link_check"})},

      {value, A::kKeyboardLighting, {"kb_deng_light_slider", "kb_deng_speed_slider"}},
      {value, A::kMouseLighting, {"ms_deng_light_slider", "ms_deng_speed_slider"}},
      {move, A::kMouseLighting, {"ms_deng_light_slider", "ms_deng_speed_slider"}},
      {value, A::kMousepad, {"mp_deng_light_slider", "mp_deng_speed_slider"}},
      {move, A::kMousepad, {"mp_deng_light_slider", "mp_deng_speed_slider"}},
      {value,
       A::kMouseSettings,
       {"ms_DPI1_slider", "ms_DPI2_slider", "ms_DPI3_slider", "ms_DPI4_slider", "ms_DPI5_slider",
        "ms_DPI6_slider", "ms_point_speed_slider", "ms_sensor_height_slider"}},
      {move,
       A::kMouseSettings,
       {"ms_DPI1_slider", "ms_DPI2_slider", "ms_DPI3_slider", "ms_DPI4_slider", "ms_DPI5_slider",
        "ms_DPI6_slider", "ms_point_speed_slider", "ms_sensor_height_slider"}},
      {value, A::kHeadsetLighting, {"hs_deng_light_slider", "hs_deng_speed_slider"}},
      {value,
       A::kHeadsetVoice,
       {"hs_LB_slider", "hs_ANGLE_slider", "hs_master_slider", "hs_right_slider", "hs_left_slider",
        "hs_mic_vol_slider"}},

      {text,
       A::kKeyboardKeys,
       {"kb_key_fct_edit_11", "kb_key_fct_edit_12", "kb_key_fct_edit_15", "kb_key_fct_edit_16",
        "kb_key_fct_edit_17", "kb_key_fct_edit_18", "kb_key_fct_edit_19", "kb_key_fct_edit_20",
        "kb_key_fct_edit_25"}},
      {text,
       A::kMouseButtons,
       {"ms_key_fct_edit_11", "ms_key_fct_edit_12", "ms_key_fct_edit_15", "ms_key_fct_edit_16",
        "ms_key_fct_edit_17", "ms_key_fct_edit_18", "ms_key_fct_edit_19", "ms_key_fct_edit_20",
        "ms_key_fct_edit_25"}},
      {text, A::kKeyboardLighting, {"kb_Deng_edit_R", "kb_Deng_edit_G", "kb_Deng_edit_B"}},
      {text, A::kMouseSettings, {"ms_DPI_edit_R", "ms_DPI_edit_G", "ms_DPI_edit_B"}},
      {text, A::kMouseLighting, {"ms_Deng_edit_R", "ms_Deng_edit_G", "ms_Deng_edit_B"}},
      {text, A::kMousepad, {"mp_Deng_edit_R", "mp_Deng_edit_G", "mp_Deng_edit_B"}},
      {text, A::kHeadsetLighting, {"hs_Deng_edit_R", "hs_Deng_edit_G", "hs_Deng_edit_B"}},
      {text, A::kCursorMacros, {"ms_cursor_x_eidt", "ms_cursor_y_eidt", "ms_cursor_delay_eidt"}},
      {text, A::kMacroEditor, Prefixed({"ms", "kb"}, macroEdits)},

      {notify::kColorChanged, A::kHeadsetLighting, {"hs_deng_Color_Pallet"}},
      {notify::kColorChanged, A::kMouseSettings, {"Pallet"}},
      {notify::kColorChanged, A::kMouseLighting, {"ms_deng_Color_Pallet"}},
      {notify::kColorChanged, A::kMousepad, {"mp_deng_Color_Pallet"}},
      {notify::kColorChanged, A::kKeyboardLighting, {"kb_deng_Color_Pallet"}},
      {notify::kMouseEnter,
       A::kMouseButtons,
       {"ms_key_0", "ms_key_1", "ms_key_2", "ms_key_3", "ms_key_4", "ms_key_5", "ms_key_6"}},
      {notify::kMouseLeave,
       A::kMouseButtons,
       {"ms_key_0", "ms_key_1", "ms_key_2", "ms_key_3", "ms_key_4", "ms_key_5", "ms_key_6"}},
  };
}

TEST(RouteTablesTest, EveryListedNameBelongsToItsArea) {
  int checked = 0;
  for (const Listing& listing : Listings()) {
    for (const QString& name : listing.names) {
      const Route route = ResolveRoute(QString::fromLatin1(listing.type), name);
      EXPECT_EQ(route.area, listing.area)
          << listing.type << " " << name.toStdString() << ": got " << RouteAreaName(route.area) << ", want "
          << RouteAreaName(listing.area);
      // Names compare without regard to case.
      EXPECT_EQ(ResolveRoute(QString::fromLatin1(listing.type), name.toUpper()).area, listing.area)
          << name.toStdString();
      ++checked;
    }
  }
  EXPECT_GT(checked, 300);  // the lists above were all walked
}

TEST(RouteTablesTest, ANameListedForOneTypeIsNotRoutedForAnother) {
  struct Row {
    const char* type;
    const char* name;
  };
  for (const Row& row : {
           Row{notify::kMoveValueChanged, "kb_deng_light_slider"},  // keyboard sliders act on release only
           Row{notify::kMoveValueChanged, "hs_deng_speed_slider"},
           Row{notify::kMoveValueChanged, "hs_master_slider"},
           Row{notify::kClick, "kb_tab"},
           Row{notify::kClick, "ms_gun_op_1"},  // a selectchanged family, not a click family
           Row{notify::kSelectChanged, "ms_key_3"},
           Row{notify::kItemSelect, "kb_Macro_list"},
           Row{notify::kSelectChanged, "kb_macro_check_time"},
           Row{notify::kMouseEnter, "ms_key_7"},
           Row{notify::kClick, "unknown_control"},
           Row{notify::kClick, "ms_key_butt_keysave_x"},
           Row{"windowsize", "root"},
           Row{"killfocus", "kb_Deng_edit_R"},
           Row{notify::kColorChanged, "kb_Deng_color_btn_3"},
       })
    EXPECT_EQ(ResolveRoute(QString::fromLatin1(row.type), QString::fromLatin1(row.name)).kind,
              RouteKind::kNone)
        << row.type << " " << row.name;
}

TEST(RouteTablesTest, FamiliesCarryTheirIndexAndSwatchesTheirColourKind) {
  const Route key = ResolveRoute(u"click", u"ms_key_3");
  EXPECT_EQ(key.kind, RouteKind::kIndexFamily);
  EXPECT_EQ(key.key, QStringLiteral("ms_key_"));
  EXPECT_EQ(key.index, 3);

  // "ms_key_butt_keysave" splits to "ms_key_butt_", which is no family: it is a name of its own.
  const Route save = ResolveRoute(u"click", u"ms_key_butt_keysave");
  EXPECT_EQ(save.kind, RouteKind::kNamed);
  EXPECT_EQ(save.area, RouteArea::kMouseButtons);

  const Route swatch = ResolveRoute(u"click", u"KB_DENG_COLOR_BTN_21");
  EXPECT_EQ(swatch.kind, RouteKind::kColourFamily);
  EXPECT_EQ(swatch.key, QStringLiteral("kb_deng_color_btn_"));
  EXPECT_EQ(swatch.index, 21);

  const Route palette = ResolveRoute(u"colorchanged", u"Pallet");
  EXPECT_EQ(palette.kind, RouteKind::kPalette);
  EXPECT_EQ(palette.key, QStringLiteral("ms_dpi_color_btn_"));
}

// The click dispatcher runs the full-name tests after a family other than "kb_key_", "kb_dkey_"
// and "ms_key_": a listed click name that were also a family member would reach the family's
// handler instead of its own.
TEST(RouteTablesTest, ListedClickNamesAreNoFamilyMembersAndMembersReachTheirFamily) {
  for (const Listing& listing : Listings()) {
    if (QLatin1String(listing.type) != QLatin1String(notify::kClick)) continue;
    for (const QString& name : listing.names) {
      const RouteKind kind = ResolveRoute(u"click", name).kind;
      const bool member = kind == RouteKind::kIndexFamily || kind == RouteKind::kColourFamily;
      EXPECT_EQ(member, listing.familyMembers) << name.toStdString();
    }
  }
}

// The skin must hold every control the routing lists: a name missing from the skin would be a
// control no user can reach. The macro step rows ("itemclick") are made while the program runs.
TEST(RouteTablesTest, EveryListedControlIsInTheSkin) {
  auto skin = test::OpenSourceSkin();
  ASSERT_TRUE(skin);
  test::MainWindow window(*skin);
  ASSERT_TRUE(window.built);
  QStringList missing;
  for (const Listing& listing : Listings()) {
    if (QLatin1String(listing.type) == QLatin1String(notify::kItemClick)) continue;
    for (const QString& name : listing.names)
      if (!window.FindControl(name) && !missing.contains(name)) missing.append(name);
  }
  EXPECT_TRUE(missing.isEmpty()) << missing.join(QLatin1Char(' ')).toStdString();
}

}  // namespace
}  // namespace korva::ui
