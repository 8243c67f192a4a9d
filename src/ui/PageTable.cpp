#include "ui/PageTable.h"

#include <array>
#include <utility>

namespace korva::ui {

namespace {

// Element class of the page container in the main window -> page file.
constexpr std::array<std::pair<const char*, const char*>, 11> kPages = {{
    {"kb_Key_UI", "keyboard_key.xml"},
    {"kb_Deng_UI", "keyboard_deng.xml"},
    {"kb_Macro_UI", "keyboard_macro.xml"},
    {"MS_Deng_UI", "Mouse_deng.xml"},
    {"MS_Macro_UI", "Mouse_macro.xml"},
    {"MS_Key_UI", "Mouse_key.xml"},
    {"MP_deng_UI", "MousePad_deng.xml"},
    {"MS_DPI_UI", "Mouse_DPI.xml"},
    {"MS_CURSOR_UI", "Mouse_cursor.xml"},
    {"HS_VOICE_UI", "Headset_voice.xml"},
    {"HS_DENG_UI", "Headset_deng.xml"},
}};

}  // namespace

std::optional<QString> PageFileForClass(QStringView elementClass) {
  for (const auto& [cls, file] : kPages)
    if (elementClass.compare(QLatin1String(cls), Qt::CaseInsensitive) == 0) return QString::fromLatin1(file);
  return std::nullopt;
}

QList<QString> AllPageFiles() {
  QList<QString> files;
  for (const auto& entry : kPages) files.append(QString::fromLatin1(entry.second));
  return files;
}

}  // namespace korva::ui
