// Builds the main window with every page, the message box and the skin picker from the skin, and
// writes a screenshot of each device page and sub-page:
//   korva_skin_preview [--skin DIR] [--lang lan_en.xml] [--out DIR]
// Stands in for the application while its main window is written.

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <cstdio>

#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"

using namespace korva::ui;

namespace {

class PreviewWindow : public SkinWindow, public IDialogBuilderCallback {
 public:
  using SkinWindow::SkinWindow;
  QWidget* CreateControl(const QString& cls) override {
    if (auto file = PageFileForClass(cls)) return BuildPage(*file);
    return nullptr;
  }
};

bool Grab(QWidget& window, const QString& folder, const QString& name) {
  const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
  if (!window.grab().save(path)) {
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
  }
  std::printf("%s\n", qPrintable(path));
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QString skinFolder = Skin::SourceSkinFolder();
  QString language = QStringLiteral("lan_cn.xml");
  QString out = QStringLiteral(".");
  const QStringList args = app.arguments();
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == QLatin1String("--skin"))
      skinFolder = args[i + 1];
    else if (args[i] == QLatin1String("--lang"))
      language = args[i + 1];
    else if (args[i] == QLatin1String("--out"))
      out = args[i + 1];
  }
  QDir().mkpath(out);

  auto opened = Skin::Open(skinFolder);
  if (!opened) {
    std::fprintf(stderr, "%s\n", opened.error().ToString().c_str());
    return 1;
  }
  Skin& skin = *opened.value();
  RegisterStandardControls(skin.Factory());
  if (auto error = skin.LoadLanguage(language)) {
    std::fprintf(stderr, "%s\n", error->ToString().c_str());
    return 1;
  }

  PreviewWindow main(skin);
  if (auto error = main.Build(QStringLiteral("XML_MAIN"), &main)) {
    std::fprintf(stderr, "%s\n", error->ToString().c_str());
    return 1;
  }
  for (const char* tab : {"kb_tab", "ms_tab", "mp_tab", "hs_tab"})
    main.FindControl(QString::fromLatin1(tab)).SetVisible(true);
  main.show();

  // Each shot: device option and page, then the sub-page option and page.
  struct Shot {
    const char* name;
    const char* device;
    int devicePage;
    const char* subTab;
    const char* subOption;
    int subPage;
  };
  const Shot shots[] = {
      {"mouse_dpi", "ms_tab", 1, "ms_tab_switch", "ms_rich_Op_tab", 3},
      {"mouse_lighting", "ms_tab", 1, "ms_tab_switch", "ms_deng_Op_tab", 0},
      {"mouse_buttons", "ms_tab", 1, "ms_tab_switch", "ms_key_Op_tab", 2},
      {"mouse_macros", "ms_tab", 1, "ms_tab_switch", "ms_macro_Op_tab", 1},
      {"mouse_cursor", "ms_tab", 1, "ms_tab_switch", "ms_cursor_Op_tab", 4},
      {"keyboard_lighting", "kb_tab", 0, "kb_tab_switch", "kb_deng_Op_tab", 0},
      {"keyboard_macros", "kb_tab", 0, "kb_tab_switch", "kb_macro_Op_tab", 1},
      {"keyboard_keys", "kb_tab", 0, "kb_tab_switch", "kb_key_Op_tab", 2},
      {"mousepad", "mp_tab", 2, nullptr, nullptr, 0},
      {"headset_lighting", "hs_tab", 3, "hs_tab_switch", "hs_deng_Op_tab", 0},
      {"headset_sound", "hs_tab", 3, "hs_tab_switch", "hs_voice_Op_tab", 1},
  };
  bool ok = true;
  for (const Shot& shot : shots) {
    main.FindControl(QString::fromLatin1(shot.device)).Select(true);
    main.FindControl(QStringLiteral("tab_switch")).SelectItem(shot.devicePage);
    if (shot.subTab) {
      main.FindControl(QString::fromLatin1(shot.subOption)).Select(true);
      main.FindControl(QString::fromLatin1(shot.subTab)).SelectItem(shot.subPage);
    }
    // The editors that pages open on a click, shown so that their look can be checked too.
    main.FindControl(QStringLiteral("kb_tab_function")).SetVisible(true);
    main.FindControl(QStringLiteral("ms_tab_function")).SetVisible(true);
    QApplication::processEvents();
    ok &= Grab(main, out, QLatin1String(shot.name));
  }
  main.FindControl(QStringLiteral("ms_profile_fun_spead_tab")).SetVisible(true);
  main.FindControl(QStringLiteral("ms_deng_profile_edit")).SetVisible(true);
  main.FindControl(QStringLiteral("setting_progress")).SetVisible(true);
  main.FindControl(QStringLiteral("ms_tab")).Select(true);
  main.FindControl(QStringLiteral("tab_switch")).SelectItem(1);
  QApplication::processEvents();
  ok &= Grab(main, out, QStringLiteral("mouse_profile_panel"));

  SkinWindow message(skin);
  if (auto error = message.Build(QStringLiteral("XML_MSG"))) {
    std::fprintf(stderr, "%s\n", error->ToString().c_str());
    return 1;
  }
  message.FindControl(QStringLiteral("MessageText")).SetText(QStringLiteral("message_text_2"));
  message.show();
  QApplication::processEvents();
  ok &= Grab(message, out, QStringLiteral("message_box"));

  SkinWindow picker(skin);
  if (auto error = picker.Build(QStringLiteral("XML_SKIN"))) {
    std::fprintf(stderr, "%s\n", error->ToString().c_str());
    return 1;
  }
  picker.show();
  QApplication::processEvents();
  ok &= Grab(picker, out, QStringLiteral("skin_picker"));
  return ok ? 0 : 1;
}
