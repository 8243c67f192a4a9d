// The shipped skin: every file builds, every control name the pages and the routing use exists
// with the right class, and both language files hold every text id.

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QXmlStreamReader>

#include "UiTestSupport.h"
#include "ui/LanguageTable.h"
#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"

namespace korva::ui::test {
namespace {

class MainWindow : public SkinWindow, public IDialogBuilderCallback {
 public:
  using SkinWindow::SkinWindow;
  QWidget* CreateControl(const QString& cls) override {
    if (auto file = PageFileForClass(cls)) return BuildPage(*file);
    return nullptr;
  }
};

class ShippedSkin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    EnsureApplication();
    auto opened = Skin::Open(Skin::SourceSkinFolder());
    ASSERT_TRUE(opened) << opened.error().ToString();
    skin_ = opened.value().release();
    RegisterStandardControls(skin_->Factory());
    auto error = skin_->LoadLanguage(QStringLiteral("lan_cn.xml"));
    ASSERT_FALSE(error) << error->ToString();
    main_ = new MainWindow(*skin_);
    error = main_->Build(QStringLiteral("XML_MAIN"), main_);
    ASSERT_FALSE(error) << error->ToString();
  }
  static void TearDownTestSuite() {
    delete main_;
    delete skin_;
  }
  static Skin* skin_;
  static MainWindow* main_;
};
Skin* ShippedSkin::skin_ = nullptr;
MainWindow* ShippedSkin::main_ = nullptr;

// name, "" or the expected element class
using Expected = std::pair<QString, QString>;

void AddFamily(std::vector<Expected>& out, const QString& prefix, int count, const QString& cls = {}) {
  for (int i = 0; i < count; ++i) out.emplace_back(prefix + QString::number(i), cls);
}

void AddNames(std::vector<Expected>& out, const QString& cls, std::initializer_list<const char*> names) {
  for (const char* n : names) out.emplace_back(QString::fromLatin1(n), cls);
}

// The names the start-up, the routing, the watchers and the mouse sensitivity page work on.
std::vector<Expected> MainWindowNames() {
  std::vector<Expected> n;
  const QString button = QStringLiteral("Button"), option = QStringLiteral("Option"),
                tab = QStringLiteral("TabLayout"), combo = QStringLiteral("Combo"),
                slider = QStringLiteral("Slider"), edit = QStringLiteral("Edit"),
                check = QStringLiteral("CheckBox"), label = QStringLiteral("Label"),
                list = QStringLiteral("List"), palette = QStringLiteral("ColorPalette"),
                key = QStringLiteral("DeviceKeyButton");
  // Window and start-up.
  AddNames(n, button, {"closebtn", "maxbtn", "restorebtn", "minbtn", "skinbtn"});
  AddNames(n, {}, {"root", "setting_progress"});
  AddFamily(n, QStringLiteral("ms_dkey_"), 20, key);
  AddFamily(n, QStringLiteral("mp_dkey_"), 15, key);
  AddFamily(n, QStringLiteral("kb_dkey_"), 126, key);
  AddFamily(n, QStringLiteral("head_dkey_"), 13, key);
  AddNames(n, palette,
           {"Pallet", "ms_deng_Color_Pallet", "mp_deng_Color_Pallet", "kb_deng_Color_Pallet",
            "hs_deng_Color_Pallet"});
  // Page structure.
  AddNames(n, tab, {"tab_switch", "kb_tab_switch", "ms_tab_switch", "hs_tab_switch"});
  AddNames(n, option,
           {"kb_tab", "ms_tab", "mp_tab", "hs_tab", "split_tab", "kb_deng_Op_tab", "kb_macro_Op_tab",
            "kb_key_Op_tab", "kb_rich_Op_tab", "ms_deng_Op_tab", "ms_macro_Op_tab", "ms_key_Op_tab",
            "ms_rich_Op_tab", "ms_cursor_Op_tab", "hs_deng_Op_tab", "hs_voice_Op_tab"});
  // Profile panels.
  AddNames(n, tab,
           {"kb_profile_select_tab", "ms_profile_select_tab", "kb_profile_fun_spead_tab",
            "ms_profile_fun_spead_tab", "mp_profile_fun_spead_tab"});
  AddNames(n, button,
           {"kb_profile_fun_spread_btn", "ms_profile_fun_spread_btn", "mp_profile_fun_spread_btn",
            "kb_pro_deng_edit_btn", "kb_pro_key_edit_btn", "ms_pro_deng_edit_btn", "ms_pro_key_edit_btn",
            "mp_pro_deng_edit_btn"});
  AddNames(n, {},
           {"kb_deng_profile_edit", "kb_key_profile_edit", "ms_deng_profile_edit", "ms_key_profile_edit",
            "mp_deng_profile_edit", "kb_macro_tab_saveorcancel", "ms_macro_tab_saveorcancel",
            "kb_tab_function", "ms_tab_function"});
  for (const char* store : {"kb_deng_", "kb_key_", "ms_deng_", "ms_key_", "mp_deng_"}) {
    const QString s = QString::fromLatin1(store);
    const QString dev = s.left(3), kind = s.mid(3);
    n.emplace_back(s + "profile_combo", combo);
    n.emplace_back(s + "profile_link_check", check);
    n.emplace_back(s + "profile_name_edit", edit);
    for (const char* b : {"profile_restore_btn", "profile_edit_save_btn", "profile_link_btn"})
      n.emplace_back(s + b, button);
    for (const char* b : {"add_btn", "sub_btn", "import_btn", "export_btn", "copy_btn"})
      n.emplace_back(dev + "pro_" + kind + b, button);
  }
  // Click routing lists.
  AddNames(n, button,
           {"btn_recover",
            "hs_pro_voice_add_btn",
            "head_device_profile_restore_btn",
            "hs_pro_voice_sub_btn",
            "hs_pro_voice_export_btn",
            "hs_pro_voice_import_btn",
            "hs_voice_profile_edit_save_btn",
            "ms_key_butt_keysave",
            "ms_key_butt_prosave",
            "ms_key_butt_keydefalut",
            "ms_gunlun_speed_up_btn",
            "ms_gunlun_speed_down_btn",
            "ms_one_profile_default",
            "ms_Deng_FXL_btn",
            "ms_Deng_FXR_btn",
            "ms_bulletdate_save_btn",
            "ms_bulletdate_reset_btn",
            "bullet_selected_prev",
            "bullet_selected_next",
            "ms_bulletdate_import_btn",
            "ms_bulletdate_export_btn",
            "mp_one_profile_default",
            "kb_key_butt_prosave",
            "kb_key_butt_keydefalut"});
  for (const char* p : {"ms_", "kb_"}) {
    for (const char* b : {"macro_btn_redio", "macro_btn_name_add", "macro_btn_name_sub", "macro_btn_down",
                          "macro_btn_up", "macro_btn_uptop", "macro_btn_downbottom", "macro_btn_delete",
                          "macro_btn_deleteall", "macro_btn_cancel", "macro_btn_save", "macro_btn_import",
                          "macro_btn_export", "macro_btn_savemacroname"})
      n.emplace_back(QString::fromLatin1(p) + b, button);
    for (const char* key : {"leftkey", "rightkey", "moudlekey", "forwardkey", "backkey"})
      for (const char* suffix : {"", "down", "up"})
        n.emplace_back(QStringLiteral("%1macro_inset_%2%3_btn")
                           .arg(QLatin1String(p), QLatin1String(key), QLatin1String(suffix)),
                       button);
    for (const char* d : {"left", "right", "up", "down"})
      n.emplace_back(QStringLiteral("%1macro_inset_move%2key_btn").arg(QLatin1String(p), QLatin1String(d)),
                     button);
    // Selectchanged, itemselect, itemclick and textchanged lists of the macro editors.
    for (const char* c : {"macro_check_time", "macro_keyboard_event", "macro_mouse_click",
                          "macro_mouse_roller", "macro_mouse_move"})
      n.emplace_back(QString::fromLatin1(p) + c, check);
    n.emplace_back(QString::fromLatin1(p) + "macro_btn_shubiao", option);
    for (const char* c : {"MacroName_list", "Macro_list"}) n.emplace_back(QString::fromLatin1(p) + c, list);
    for (const char* c : {"macro_combo_keyselect", "macro_combo_mouselect", "macro_combo_upordown"})
      n.emplace_back(QString::fromLatin1(p) + c, combo);
    for (const char* e :
         {"_macro_edit_ActionDelay", "_macro_edit_mou_action_delay", "macro_edit_mou_pointer_skewing",
          "mouse_x_left_edit", "mouse_x_right_edit", "mouse_y_up_edit", "mouse_y_down_edit"})
      n.emplace_back(QString::fromLatin1(p) + e, edit);
  }
  AddNames(n, check, {"kb_deng_same_mode", "ms_deng_same_mode", "mp_deng_same_mode", "hs_deng_same_mode"});
  // Click families.
  AddFamily(n, QStringLiteral("kb_key_"), 126, button);
  AddFamily(n, QStringLiteral("ms_key_"), 7, button);
  for (int i = 0; i < 7; ++i) n.emplace_back(QStringLiteral("ms_key_%1_0").arg(i), label);
  for (const char* p : {"hs_Deng_color_btn_", "ms_DPI_color_btn_", "ms_Deng_color_btn_", "mp_Deng_color_btn_",
                        "kb_Deng_color_btn_"})
    AddFamily(n, QString::fromLatin1(p), 30, button);
  AddFamily(n, QStringLiteral("ms_profile_"), 5, option);
  AddFamily(n, QStringLiteral("ms_bullet_op_"), 30, option);
  AddFamily(n, QStringLiteral("ms_gun_op_"), 4, option);
  // The headset's virtual speakers, one option each; the equaliser bands and the enc box only show.
  AddFamily(n, QStringLiteral("hs_slien_check_"), 8, option);
  AddFamily(n, QStringLiteral("HZ_Slider_"), 8, slider);
  AddNames(n, check, {"btn_low_louder"});
  AddFamily(n, QStringLiteral("hs_scenes_btn_"), 6, option);
  // Itemselect list.
  AddNames(n, combo, {"kb_key_fct_combo",          "kb_key_fct_combo_11",        "kb_key_fct_combo_12",
                      "kb_key_fct_combo_13",       "kb_key_fct_combo_14",        "kb_key_fct_combo_21",
                      "kb_key_fct_combo_22",       "kb_key_fct_combo_23",        "kb_key_fct_combo_24",
                      "kb_deng_combo_modeSelect",  "kb_deng_combo_curtom_count", "ms_key_fct_combo",
                      "ms_key_fct_combo_11",       "ms_key_fct_combo_12",        "ms_key_fct_combo_13",
                      "ms_key_fct_combo_14",       "ms_key_fct_combo_21",        "ms_key_fct_combo_22",
                      "ms_key_fct_combo_23",       "ms_key_fct_combo_24",        "ms_key_fct_combo_25",
                      "ms_report_fct_combo",       "ms_deng_combo_modeSelect0",  "ms_deng_combo_modeSelect1",
                      "ms_deng_combo_modeSelect2", "mp_deng_combo_modeSelect",   "mp_deng_combo_profile",
                      "head_device_profile_combo", "hs_deng_combo_modeSelect"});
  // Selectchanged list.
  AddNames(n, check, {"kb_Deng_7color_check",      "kb_Deng_FXL_check",          "kb_Deng_FXR_check",
                      "kb_Deng_all_kill_check",    "kb_Deng_all_bright_check",   "ms_Deng_7color_check",
                      "ms_Deng_FXL_check",         "ms_Deng_FXR_check",          "ms_cursor_x_check",
                      "ms_cursor_y_check",         "mp_Deng_7color_check",       "mp_Deng_FXL_check",
                      "mp_Deng_FXR_check",         "hs_virtual_check",           "hs_Deng_FXL_check",
                      "hs_Deng_FXR_check",         "hs_Deng_7color_check",       "kb_deng_profile_link_check",
                      "kb_key_profile_link_check", "ms_deng_profile_link_check", "ms_key_profile_link_check",
                      "mp_deng_profile_link_check"});
  // Sliders.
  AddNames(n, slider,
           {"kb_deng_light_slider", "kb_deng_speed_slider", "ms_deng_light_slider", "ms_deng_speed_slider",
            "mp_deng_light_slider", "mp_deng_speed_slider", "ms_point_speed_slider",
            "ms_sensor_height_slider", "hs_deng_light_slider", "hs_deng_speed_slider", "hs_LB_slider",
            "hs_ANGLE_slider", "hs_master_slider", "hs_right_slider", "hs_left_slider", "hs_mic_vol_slider"});
  // Textchanged list.
  for (const char* p : {"kb_key_fct_edit_", "ms_key_fct_edit_"})
    for (int i : {11, 12, 15, 16, 17, 18, 19, 20, 21, 25})
      n.emplace_back(QString::fromLatin1(p) + QString::number(i), edit);
  for (const char* p : {"kb_Deng_edit_", "ms_DPI_edit_", "ms_Deng_edit_", "mp_Deng_edit_", "hs_Deng_edit_"})
    for (const char* c : {"R", "G", "B"}) n.emplace_back(QString::fromLatin1(p) + c, edit);
  AddNames(n, edit, {"ms_cursor_x_eidt", "ms_cursor_y_eidt", "ms_cursor_delay_eidt"});
  // The mouse sensitivity page.
  for (int k = 1; k <= 6; ++k) {
    n.emplace_back(QStringLiteral("ms_DPI%1_slider").arg(k), slider);
    for (const char* part : {"label_rank", "label_value", "min", "max"})
      n.emplace_back(QStringLiteral("ms_DPI%1_%2").arg(k).arg(QLatin1String(part)), label);
  }
  AddNames(n, button,
           {"ms_DPI_colordp_btn", "ms_Deng_colordp_btn", "mp_Deng_colordp_btn", "kb_Deng_colordp_btn",
            "hs_Deng_colordp_btn"});
  AddNames(n, edit, {"ms_gunlun_speed_edit"});
  return n;
}

TEST_F(ShippedSkin, MainWindowHasEveryNamedControlWithItsClass) {
  for (const auto& [name, cls] : MainWindowNames()) {
    const Control c = main_->FindControl(name);
    ASSERT_TRUE(c.IsValid()) << "missing control " << name.toStdString();
    EXPECT_EQ(c.Name(), name) << "the skin spells the name differently";
    if (!cls.isEmpty()) {
      EXPECT_EQ(c.Class(), cls) << name.toStdString();
    }
  }
}

TEST_F(ShippedSkin, TabLayoutsHaveThePagesTheRoutingSelects) {
  const std::pair<const char*, int> tabs[] = {
      {"tab_switch", 5},           {"kb_tab_switch", 4},         {"ms_tab_switch", 5},
      {"hs_tab_switch", 2},        {"kb_profile_select_tab", 2}, {"kb_profile_fun_spead_tab", 2},
      {"ms_profile_select_tab", 2}};
  for (const auto& [name, pages] : tabs)
    EXPECT_EQ(main_->FindControl(QString::fromLatin1(name)).ItemCount(), pages) << name;
  // The page containers stand where the routing expects them: the mouse sensitivity page is page 3.
  const Control msTabs = main_->FindControl(QStringLiteral("ms_tab_switch"));
  auto* stack = qobject_cast<QStackedWidget*>(msTabs.Widget());
  ASSERT_TRUE(stack);
  EXPECT_EQ(Control(stack->widget(3)).Class(), QStringLiteral("MS_DPI_UI"));
  EXPECT_EQ(Control(stack->widget(4)).Class(), QStringLiteral("MS_CURSOR_UI"));
}

TEST_F(ShippedSkin, MouseSensitivityControlsStartInRange) {
  for (int k = 1; k <= 6; ++k) {
    const Control slider = main_->FindControl(QStringLiteral("ms_DPI%1_slider").arg(k));
    EXPECT_EQ(slider.Minimum(), 0);
    EXPECT_GE(slider.Value(), slider.Minimum());
    EXPECT_LE(slider.Value(), slider.Maximum());
  }
  EXPECT_EQ(main_->FindControl(QStringLiteral("ms_report_fct_combo")).ItemCount(), 4);
  // The swatches show the preset colours in order.
  EXPECT_EQ(main_->FindControl(QStringLiteral("ms_DPI_color_btn_0")).BkColor(), 0xFFFF0000u);
  EXPECT_EQ(main_->FindControl(QStringLiteral("kb_Deng_color_btn_21")).BkColor(), 0xFF000000u);
  EXPECT_EQ(main_->FindControl(QStringLiteral("hs_Deng_color_btn_29")).BkColor(), 0xFF4776A4u);
}

TEST_F(ShippedSkin, SmallWindowsAndMenuBuild) {
  // std::vector, not std::initializer_list: a list kept in a pair would dangle.
  const std::pair<const char*, std::vector<const char*>> windows[] = {
      {"XML_MSG", {"MessageText", "confirm_btn", "cancel_btn", "closebtn"}},
      {"XML_SKIN",
       {"skin_image", "skin_tab", "skin_reset", "skin_Custom", "menu_website", "menu_restore",
        "menu_update"}},
  };
  for (const auto& [file, names] : windows) {
    SkinWindow window(*skin_);
    auto error = window.Build(QString::fromLatin1(file));
    ASSERT_FALSE(error) << error->ToString();
    for (const char* name : names)
      EXPECT_TRUE(window.FindControl(QString::fromLatin1(name))) << file << ": " << name;
  }
  SkinError error;
  std::unique_ptr<QMenu> menu(skin_->BuildMenu(QStringLiteral("menu.xml"), nullptr, &error));
  ASSERT_TRUE(menu) << error.ToString();
  QStringList items;
  for (QAction* a : menu->actions())
    if (!a->isSeparator()) items.append(a->objectName());
  EXPECT_EQ(items, (QStringList{QStringLiteral("lan"), QStringLiteral("autostart"), QStringLiteral("exit")}));
}

TEST_F(ShippedSkin, EveryPageFileBuildsOnItsOwn) {
  for (const QString& file : AllPageFiles()) {
    SkinWindow window(*skin_);
    std::unique_ptr<QWidget> page(window.BuildPage(file));
    EXPECT_TRUE(page) << file.toStdString();
  }
}

// Every id a skin file names (text, tooltip, tiptext, items) and every id the program shows must be
// in both languages, and the two files hold the same ids.
TEST_F(ShippedSkin, LanguageFilesHoldEveryTextId) {
  LanguageTable cn, en;
  ASSERT_FALSE(LanguageTable::Load(skin_->FilePath(QStringLiteral("lan_cn.xml")), cn));
  ASSERT_FALSE(LanguageTable::Load(skin_->FilePath(QStringLiteral("lan_en.xml")), en));
  QStringList cnIds = cn.Ids(), enIds = en.Ids();
  cnIds.sort();
  enIds.sort();
  EXPECT_EQ(cnIds, enIds);

  QStringList required;
  for (int i = 1; i <= 17; ++i)
    if (i != 10) required.append(QStringLiteral("message_text_%1").arg(i));
  for (const char* id : {"mouse_key_left",
                         "mouse_key_middle",
                         "mouse_key_right",
                         "mouse_key_forward",
                         "mouse_key_back",
                         "mouse_key_left_Swing",
                         "mouse_key_right_Swing",
                         "mouse_key_up_Swing",
                         "mouse_key_down_Swing",
                         "mouse_key_DPI_add",
                         "mouse_key_DPI_sub",
                         "mouse_key_DPI_loop",
                         "mouse_key_fire_key",
                         "media_text",
                         "media_play",
                         "media_stop",
                         "media_prev",
                         "media_next",
                         "media_vol_sub",
                         "media_vol_add",
                         "media_mute",
                         "web_text",
                         "web_refresh",
                         "wed_stop",
                         "wed_back",
                         "wed_forward",
                         "wed_favorite",
                         "web_search",
                         "media_mypc",
                         "media_calc",
                         "media_mail",
                         "system_power",
                         "system_sleep",
                         "system_wake_up",
                         "Key_Set",
                         "close_text",
                         "GUN_1",
                         "GUN_2",
                         "GUN_3",
                         "GUN_4",
                         "macro_btn_star_redio_text",
                         "macro_btn_stop_redio_text",
                         "mouse_move_to_left_text",
                         "mouse_move_to_right_text",
                         "mouse_move_to_up_text",
                         "mouse_move_to_down_text",
                         "keyboard_key_LCtrl",
                         "keyboard_key_A",
                         "keyboard_key_0",
                         "keyboard_key_xiegang",
                         "keyboard_key_<",
                         "keyboard_key_Print Scr",
                         "keyboard_key_Num Enter",
                         "keyboard_key_Decimal",
                         "keyboard_key_App",
                         "keyboard_key_F12",
                         "keyboard_key_Caplk",
                         "keyboard_key_Page Down"})
    required.append(QString::fromLatin1(id));
  EXPECT_EQ(cnIds.filter(QStringLiteral("keyboard_key_")).size(), 104);
  for (const QString& id : required) {
    EXPECT_TRUE(cn.Find(id)) << "lan_cn.xml lacks " << id.toStdString();
    EXPECT_TRUE(en.Find(id)) << "lan_en.xml lacks " << id.toStdString();
  }

  // Attribute values that look like ids (lower case words joined by "_") must be ids.
  static const QRegularExpression kIdLike(QStringLiteral("^[A-Za-z]+(_[A-Za-z0-9]+)+$"));
  QDirIterator it(skin_->Folder(), {QStringLiteral("*.xml")});
  while (it.hasNext()) {
    const QString path = it.next();
    if (path.contains(QLatin1String("/lan_")) || path.endsWith(QLatin1String("res.xml"))) continue;
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
      if (xml.readNext() != QXmlStreamReader::StartElement) continue;
      for (const char* attr : {"text", "tooltip", "tiptext"}) {
        const QString v = xml.attributes().value(QLatin1String(attr)).toString();
        if (kIdLike.match(v).hasMatch()) {
          EXPECT_TRUE(cn.Find(v) && en.Find(v))
              << path.toStdString() << " line " << xml.lineNumber() << ": " << v.toStdString();
        }
      }
    }
    EXPECT_FALSE(xml.hasError()) << path.toStdString();
  }
}

}  // namespace
}  // namespace korva::ui::test

namespace korva::ui::test {
namespace {

// Switching the language shows every text of the built windows in the new language, including
// combo items, tooltips, placeholders and the window title, and switching back restores them.
TEST_F(ShippedSkin, LanguageSwitchReloadsAllTextsAndBack) {
  SkinWindow message(*skin_);
  ASSERT_FALSE(message.Build(QStringLiteral("XML_MSG")));
  message.FindControl(QStringLiteral("MessageText")).SetText(QStringLiteral("message_text_1"));

  struct Shown {
    QString kbTab, closeTip, fctItem, placeholder, title, message, literal;
  };
  auto shown = [&] {
    auto* edit =
        qobject_cast<QLineEdit*>(main_->FindControl(QStringLiteral("kb_deng_profile_name_edit")).Widget());
    return Shown{main_->FindControl(QStringLiteral("kb_tab")).Text(),
                 main_->FindControl(QStringLiteral("closebtn")).ToolTip(),
                 main_->FindControl(QStringLiteral("kb_key_fct_combo")).ItemText(0),
                 edit ? edit->placeholderText() : QString(),
                 message.windowTitle(),
                 message.FindControl(QStringLiteral("MessageText")).Text(),
                 main_->FindControl(QStringLiteral("ms_DPI1_max")).Text()};
  };
  const Shown cn = shown();
  EXPECT_EQ(cn.kbTab, QStringLiteral("键盘"));
  EXPECT_EQ(cn.fctItem, QStringLiteral("默认"));

  ASSERT_FALSE(skin_->LoadLanguage(QStringLiteral("lan_en.xml")));
  const Shown en = shown();
  EXPECT_EQ(en.kbTab, QStringLiteral("Keyboard"));
  EXPECT_EQ(en.closeTip, QStringLiteral("Close"));
  EXPECT_EQ(en.fctItem, QStringLiteral("Default"));
  EXPECT_EQ(en.placeholder, QStringLiteral("New name"));
  EXPECT_EQ(en.title, QStringLiteral("Notice"));
  EXPECT_TRUE(en.message.startsWith(QStringLiteral("No KORVA device")));
  EXPECT_EQ(en.literal, QStringLiteral("5000"));  // a literal text is no id and stays
  EXPECT_EQ(main_->FindControl(QStringLiteral("kb_tab")).TextId(), QStringLiteral("tab_keyboard_text"));

  ASSERT_FALSE(skin_->LoadLanguage(QStringLiteral("lan_cn.xml")));
  const Shown back = shown();
  EXPECT_EQ(back.kbTab, cn.kbTab);
  EXPECT_EQ(back.closeTip, cn.closeTip);
  EXPECT_EQ(back.fctItem, cn.fctItem);
  EXPECT_EQ(back.placeholder, cn.placeholder);
  EXPECT_EQ(back.title, cn.title);
  EXPECT_EQ(back.message, cn.message);
}

}  // namespace
}  // namespace korva::ui::test
