#include "ui/controls/ControlSupport.h"

#include <QWidget>

#include "ui/Skin.h"
#include "ui/SkinWindow.h"

namespace korva::ui::controls {

bool IsAttribute(const QString& name, const char* attribute) {
  return name.compare(QLatin1String(attribute), Qt::CaseInsensitive) == 0;
}

bool IsTrue(const QString& value) {
  return value == QLatin1String("true");
}

std::optional<int> ParseDecimal(const QString& value) {
  bool ok = false;
  const int v = value.trimmed().toInt(&ok, 10);
  if (!ok) return std::nullopt;
  return v;
}

bool RefuseValue(const QString& name, const QString& value, QString* error) {
  if (error) *error = QStringLiteral("bad value '%1' for attribute '%2'").arg(value, name);
  return true;
}

QPixmap SkinImage(const QWidget& control, const QString& image) {
  if (image.isEmpty()) return {};
  const SkinWindow* window = SkinWindow::Of(&control);
  return window ? window->GetSkin().Image(image) : QPixmap();
}

}  // namespace korva::ui::controls
