#include "ui/ControlFactory.h"

namespace korva::ui {

namespace {

// "CDeviceKeyButtonUI" is also known as "DeviceKeyButton": the skin names the class without the
// C...UI wrapping of the class name it was registered under.
QString ShortName(const QString& lowerName) {
  if (lowerName.size() > 3 && lowerName.startsWith(QLatin1Char('c')) &&
      lowerName.endsWith(QLatin1String("ui")))
    return lowerName.mid(1, lowerName.size() - 3);
  return {};
}

}  // namespace

void ControlFactory::Register(const QString& className, Creator creator) {
  creators_[className.toLower()] = std::move(creator);
}

const ControlFactory::Creator* ControlFactory::Find(QStringView elementClass) const {
  const QString key = elementClass.toString().toLower();
  if (const auto it = creators_.find(key); it != creators_.end()) return &it->second;
  for (const auto& [name, creator] : creators_)
    if (ShortName(name) == key) return &creator;
  return nullptr;
}

bool ControlFactory::Contains(QStringView elementClass) const {
  return Find(elementClass) != nullptr;
}

QWidget* ControlFactory::Create(QStringView elementClass) const {
  const Creator* creator = Find(elementClass);
  return creator && *creator ? (*creator)() : nullptr;
}

}  // namespace korva::ui
