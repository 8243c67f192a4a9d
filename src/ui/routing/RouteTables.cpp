#include "ui/routing/RouteTables.h"

#include <QHash>
#include <QStringList>
#include <initializer_list>

#include "ui/Notify.h"
#include "ui/routing/NameFamily.h"
#include "ui/routing/RouteData_p.h"

namespace korva::ui {

using namespace routing_data;

const char* RouteAreaName(RouteArea area) {
  switch (area) {
    case RouteArea::kNone:
      return "none";
    case RouteArea::kWindow:
      return "window";
    case RouteArea::kRouting:
      return "routing";
    case RouteArea::kKeyboardKeys:
      return "keyboard keys";
    case RouteArea::kKeyboardLighting:
      return "keyboard lighting";
    case RouteArea::kMouseSettings:
      return "mouse settings";
    case RouteArea::kMouseLighting:
      return "mouse lighting";
    case RouteArea::kCursorMacros:
      return "cursor macros";
    case RouteArea::kMouseButtons:
      return "mouse buttons";
    case RouteArea::kMousepad:
      return "mousepad";
    case RouteArea::kHeadsetVoice:
      return "headset voice";
    case RouteArea::kHeadsetLighting:
      return "headset lighting";
    case RouteArea::kMacroEditor:
      return "macro editor";
    case RouteArea::kProfileLibrary:
      return "profile library";
    case RouteArea::kApplicationLink:
      return "application link";
  }
  return "?";
}

namespace {

using Names = std::initializer_list<const char*>;

// Name -> owner, for one notification type. Names are kept in lower case.
class NameTable {
 public:
  void Add(RouteArea area, Names names) {
    for (const char* name : names) Add(area, QString::fromLatin1(name));
  }
  void Add(RouteArea area, const QStringList& names) {
    for (const QString& name : names) Add(area, name);
  }
  void Add(RouteArea area, const QString& name) { areas_.insert(name.toLower(), area); }
  RouteArea Find(const QString& lowerName) const { return areas_.value(lowerName, RouteArea::kNone); }

 private:
  QHash<QString, RouteArea> areas_;
};

// "<prefix><stem>" for each prefix and stem: the keyboard and mouse editors share their names.
QStringList Cross(Names prefixes, Names stems) {
  QStringList names;
  for (const char* prefix : prefixes)
    for (const char* stem : stems) names.append(QString::fromLatin1(prefix) + QString::fromLatin1(stem));
  return names;
}

// "<head><n><tail>" for n = first..last.
QStringList Numbered(const QString& head, int first, int last, const QString& tail = {}) {
  QStringList names;
  for (int n = first; n <= last; ++n) names.append(head + QString::number(n) + tail);
  return names;
}

// The five profile stores: light and key profiles of keyboard and mouse, light profiles of the mousepad.
constexpr std::array<std::pair<const char*, const char*>, 5> kStores = {
    {{"kb", "deng"}, {"kb", "key"}, {"ms", "deng"}, {"ms", "key"}, {"mp", "deng"}}};

QStringList ForEachStore(const char* pattern) {
  QStringList names;
  for (const auto& [device, kind] : kStores)
    names.append(QString::fromLatin1(pattern).arg(QLatin1String(device), QLatin1String(kind)));
  return names;
}

QStringList MacroInsertButtons() {
  QStringList stems;
  for (const char* key : {"leftkey", "rightkey", "moudlekey", "forwardkey", "backkey"})
    for (const char* action : {"", "down", "up"})
      stems.append(QStringLiteral("_macro_inset_%1%2_btn").arg(QLatin1String(key), QLatin1String(action)));
  for (const char* move : {"moveleftkey", "moverightkey", "moveupkey", "movedownkey"})
    stems.append(QStringLiteral("_macro_inset_%1_btn").arg(QLatin1String(move)));
  QStringList names;
  for (const char* prefix : {"ms", "kb"})
    for (const QString& stem : stems) names.append(QLatin1String(prefix) + stem);
  return names;
}

struct Tables {
  NameTable voiceClicks;  // tested before every other click
  NameTable clicks;
  NameTable selects;
  NameTable itemSelects;
  NameTable itemClicks;
  NameTable textChanges;
  NameTable valueChanges;
  NameTable moveValueChanges;
};

Tables Build() {
  Tables t;
  using A = RouteArea;

  t.voiceClicks.Add(
      A::kHeadsetVoice,
      {"btn_recover", "hs_pro_voice_add_btn", "head_device_profile_restore_btn", "hs_pro_voice_sub_btn",
       "hs_pro_voice_export_btn", "hs_pro_voice_import_btn", "hs_voice_profile_edit_save_btn"});

  t.clicks.Add(A::kMouseButtons, {"ms_key_butt_keysave", "ms_key_butt_prosave", "ms_key_butt_keydefalut"});
  t.clicks.Add(A::kMouseSettings,
               {"ms_gunlun_speed_up_btn", "ms_gunlun_speed_down_btn", "ms_one_profile_default"});
  t.clicks.Add(A::kMouseLighting, {"ms_Deng_FXL_btn", "ms_Deng_FXR_btn"});
  t.clicks.Add(A::kCursorMacros,
               {"ms_bulletdate_save_btn", "ms_bulletdate_reset_btn", "bullet_selected_prev",
                "bullet_selected_next", "ms_bulletdate_import_btn", "ms_bulletdate_export_btn"});
  t.clicks.Add(A::kMousepad, {"mp_one_profile_default"});
  t.clicks.Add(A::kKeyboardKeys, {"kb_key_butt_prosave", "kb_key_butt_keydefalut"});
  t.clicks.Add(A::kMacroEditor,
               Cross({"ms", "kb"},
                     {"_macro_btn_redio", "_macro_btn_name_add", "_macro_btn_name_sub", "_macro_btn_down",
                      "_macro_btn_up", "_macro_btn_uptop", "_macro_btn_downbottom", "_macro_btn_delete",
                      "_macro_btn_deleteall", "_macro_btn_cancel", "_macro_btn_save", "_macro_btn_import",
                      "_macro_btn_export", "_macro_btn_savemacroname"}));
  t.clicks.Add(A::kMacroEditor, MacroInsertButtons());
  for (const char* pattern :
       {"%1_pro_%2_add_btn", "%1_pro_%2_sub_btn", "%1_pro_%2_import_btn", "%1_pro_%2_export_btn",
        "%1_pro_%2_copy_btn", "%1_%2_profile_restore_btn", "%1_%2_profile_edit_save_btn"})
    t.clicks.Add(A::kProfileLibrary, ForEachStore(pattern));
  t.clicks.Add(A::kApplicationLink, ForEachStore("%1_%2_profile_link_btn"));
  for (const PanelToggleRow& row : kPanelToggles) t.clicks.Add(A::kRouting, Text(row.button));
  for (const SameModeRow& row : kSameModeBoxes) t.clicks.Add(A::kRouting, Text(row.checkBox));

  t.itemSelects.Add(A::kKeyboardKeys, QStringList{QStringLiteral("kb_key_fct_combo")} +
                                          Numbered("kb_key_fct_combo_", 11, 14) +
                                          Numbered("kb_key_fct_combo_", 21, 24));
  t.itemSelects.Add(A::kKeyboardLighting, {"kb_deng_combo_modeSelect", "kb_deng_combo_curtom_count"});
  t.itemSelects.Add(A::kMouseButtons, QStringList{QStringLiteral("ms_key_fct_combo")} +
                                          Numbered("ms_key_fct_combo_", 11, 14) +
                                          Numbered("ms_key_fct_combo_", 21, 25));
  t.itemSelects.Add(A::kMouseSettings, {"ms_report_fct_combo"});
  t.itemSelects.Add(A::kMouseLighting, Numbered("ms_deng_combo_modeSelect", 0, 2));
  t.itemSelects.Add(A::kMousepad, {"mp_deng_combo_modeSelect", "mp_deng_combo_profile"});
  t.itemSelects.Add(A::kHeadsetVoice, {"head_device_profile_combo"});
  t.itemSelects.Add(A::kHeadsetLighting, {"hs_deng_combo_modeSelect"});
  t.itemSelects.Add(A::kMacroEditor,
                    {"ms_MacroName_list", "kb_MacroName_list", "ms_Macro_list", "ms_macro_combo_keyselect",
                     "ms_macro_combo_mouselect", "ms_macro_combo_upordown", "kb_macro_combo_keyselect",
                     "kb_macro_combo_mouselect", "kb_macro_combo_upordown"});
  t.itemSelects.Add(A::kProfileLibrary, ForEachStore("%1_%2_profile_combo"));

  t.itemClicks.Add(A::kMacroEditor, {"ms_macro_action", "kb_macro_action"});

  t.selects.Add(A::kKeyboardLighting, {"kb_Deng_7color_check", "kb_Deng_FXL_check", "kb_Deng_FXR_check",
                                       "kb_Deng_all_kill_check", "kb_Deng_all_bright_check"});
  t.selects.Add(A::kMouseLighting, {"ms_Deng_7color_check", "ms_Deng_FXL_check", "ms_Deng_FXR_check"});
  t.selects.Add(A::kCursorMacros, {"ms_cursor_x_check", "ms_cursor_y_check"});
  t.selects.Add(A::kMousepad, {"mp_Deng_7color_check", "mp_Deng_FXL_check", "mp_Deng_FXR_check"});
  t.selects.Add(A::kHeadsetVoice,
                QStringList{QStringLiteral("hs_virtual_check")} + Numbered("hs_scenes_btn_", 0, 5));
  t.selects.Add(A::kHeadsetLighting, {"hs_Deng_FXL_check", "hs_Deng_FXR_check", "hs_Deng_7color_check"});
  t.selects.Add(A::kMacroEditor, {"ms_macro_check_time", "ms_macro_keyboard_event", "ms_macro_mouse_click",
                                  "ms_macro_mouse_roller", "ms_macro_mouse_move", "ms_macro_btn_shubiao",
                                  "kb_macro_btn_shubiao"});
  t.selects.Add(A::kApplicationLink, ForEachStore("%1_%2_profile_link_check"));
  for (const DevicePageRow& row : kDevicePages) t.selects.Add(A::kRouting, Text(row.option));
  for (const SubPageRow& row : kSubPages) t.selects.Add(A::kRouting, Text(row.option));

  // Sliders: every one reports its release; only some also follow the drag.
  const auto sliders = [&](A area, const QStringList& names, bool whileDragging) {
    t.valueChanges.Add(area, names);
    if (whileDragging) t.moveValueChanges.Add(area, names);
  };
  sliders(A::kKeyboardLighting, {"kb_deng_light_slider", "kb_deng_speed_slider"}, false);
  sliders(A::kMouseLighting, {"ms_deng_light_slider", "ms_deng_speed_slider"}, true);
  sliders(A::kMousepad, {"mp_deng_light_slider", "mp_deng_speed_slider"}, true);
  sliders(A::kMouseSettings, Numbered("ms_DPI", 1, 6, "_slider"), true);
  sliders(A::kMouseSettings, {"ms_point_speed_slider", "ms_sensor_height_slider"}, true);
  sliders(A::kHeadsetLighting, {"hs_deng_light_slider", "hs_deng_speed_slider"}, false);
  sliders(A::kHeadsetVoice,
          {"hs_LB_slider", "hs_ANGLE_slider", "hs_master_slider", "hs_right_slider", "hs_left_slider",
           "hs_mic_vol_slider"},
          false);

  const auto functionEdits = [](const char* device) {
    const QString head = QLatin1String(device) + QStringLiteral("_key_fct_edit_");
    return QStringList{head + QStringLiteral("11"), head + QStringLiteral("12")} + Numbered(head, 15, 20) +
           QStringList{head + QStringLiteral("25")};
  };
  t.textChanges.Add(A::kKeyboardKeys, functionEdits("kb"));
  t.textChanges.Add(A::kMouseButtons, functionEdits("ms"));
  t.textChanges.Add(A::kKeyboardLighting, Cross({"kb"}, {"_Deng_edit_R", "_Deng_edit_G", "_Deng_edit_B"}));
  t.textChanges.Add(A::kMouseSettings, Cross({"ms"}, {"_DPI_edit_R", "_DPI_edit_G", "_DPI_edit_B"}));
  t.textChanges.Add(A::kMouseLighting, Cross({"ms"}, {"_Deng_edit_R", "_Deng_edit_G", "_Deng_edit_B"}));
  t.textChanges.Add(A::kMousepad, Cross({"mp"}, {"_Deng_edit_R", "_Deng_edit_G", "_Deng_edit_B"}));
  t.textChanges.Add(A::kHeadsetLighting, Cross({"hs"}, {"_Deng_edit_R", "_Deng_edit_G", "_Deng_edit_B"}));
  t.textChanges.Add(A::kCursorMacros, {"ms_cursor_x_eidt", "ms_cursor_y_eidt", "ms_cursor_delay_eidt"});
  t.textChanges.Add(A::kMacroEditor,
                    Cross({"ms", "kb"}, {"__macro_edit_ActionDelay", "__macro_edit_mou_action_delay",
                                         "_macro_edit_mou_pointer_skewing", "_mouse_x_left_edit",
                                         "_mouse_x_right_edit", "_mouse_y_up_edit", "_mouse_y_down_edit"}));
  return t;
}

const Tables& TheTables() {
  static const Tables tables = Build();
  return tables;
}

template <std::size_t N>
std::optional<Route> FamilyRoute(const std::array<FamilyRow, N>& families, const QString& lowerName) {
  const std::optional<NameFamily> family = SplitNameFamily(lowerName);
  if (!family) return std::nullopt;
  for (const FamilyRow& row : families)
    if (Lower(row.prefix) == family->prefix)
      return Route{row.kind == FamilyKind::kColour ? RouteKind::kColourFamily : RouteKind::kIndexFamily,
                   row.area, family->prefix, family->index};
  return std::nullopt;
}

Route Named(const NameTable& table, const QString& lowerName) {
  const RouteArea area = table.Find(lowerName);
  if (area == RouteArea::kNone) return {};
  return Route{RouteKind::kNamed, area, lowerName, 0};
}

Route ResolveClick(const QString& name) {
  const Tables& t = TheTables();
  if (FindRow(kWindowButtons, &WindowButtonRow::name, name))
    return Route{RouteKind::kWindowButton, RouteArea::kWindow, name, 0};
  if (Route voice = Named(t.voiceClicks, name); voice.kind != RouteKind::kNone) return voice;
  if (auto family = FamilyRoute(kClickFamilies, name)) return *family;
  if (FindRow(kPanelToggles, &PanelToggleRow::button, name))
    return Route{RouteKind::kPanelToggle, RouteArea::kRouting, name, 0};
  if (FindRow(kSameModeBoxes, &SameModeRow::checkBox, name))
    return Route{RouteKind::kSameMode, RouteArea::kRouting, name, 0};
  return Named(t.clicks, name);
}

Route ResolveSelectChanged(const QString& name) {
  if (FindRow(kDevicePages, &DevicePageRow::option, name) || FindRow(kSubPages, &SubPageRow::option, name))
    return Route{RouteKind::kPageOption, RouteArea::kRouting, name, 0};
  if (auto family = FamilyRoute(kSelectFamilies, name)) return *family;
  return Named(TheTables().selects, name);
}

Route ResolvePalette(const QString& name) {
  const PaletteRow* row = FindRow(kPalettes, &PaletteRow::palette, name);
  if (!row) return {};
  const QString family = Lower(row->swatchFamily);
  for (const FamilyRow& swatches : kClickFamilies)
    if (Lower(swatches.prefix) == family) return Route{RouteKind::kPalette, swatches.area, family, 0};
  return {};
}

Route ResolvePicture(const QString& name) {
  if (!FindRow(kButtonPictures, &ButtonPictureRow::button, name)) return {};
  return Route{RouteKind::kButtonPicture, RouteArea::kMouseButtons, name, 0};
}

}  // namespace

Route ResolveRoute(QStringView type, QStringView name) {
  const QString lower = name.toString().toLower();
  const Tables& t = TheTables();
  if (type == QLatin1String(notify::kWindowInit))
    return Route{RouteKind::kWindowInit, RouteArea::kWindow, lower, 0};
  if (type == QLatin1String(notify::kClick)) return ResolveClick(lower);
  if (type == QLatin1String(notify::kSelectChanged)) return ResolveSelectChanged(lower);
  if (type == QLatin1String(notify::kValueChanged)) return Named(t.valueChanges, lower);
  if (type == QLatin1String(notify::kMoveValueChanged)) return Named(t.moveValueChanges, lower);
  if (type == QLatin1String(notify::kItemSelect)) return Named(t.itemSelects, lower);
  if (type == QLatin1String(notify::kItemClick)) return Named(t.itemClicks, lower);
  if (type == QLatin1String(notify::kTextChanged)) return Named(t.textChanges, lower);
  if (type == QLatin1String(notify::kColorChanged)) return ResolvePalette(lower);
  if (type == QLatin1String(notify::kMouseEnter) || type == QLatin1String(notify::kMouseLeave))
    return ResolvePicture(lower);
  return {};
}

}  // namespace korva::ui
