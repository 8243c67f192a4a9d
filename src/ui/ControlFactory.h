#pragma once
// Registry of custom control classes that skin files may use by name.
//
// A class registered as "CDeviceKeyButtonUI" is found by the skin element <DeviceKeyButton> as
// well as <CDeviceKeyButtonUI> (the leading "C" and trailing "UI" of the registered name may be
// left out); names compare without regard to case. A custom widget may implement
// ISkinAttributes to take attributes of its own; the common ones (name, pos, bkcolor, ...) are
// applied by the builder.

#include <QString>
#include <QStringView>
#include <QWidget>
#include <functional>
#include <map>

namespace korva::ui {

class ISkinAttributes {
 public:
  virtual ~ISkinAttributes() = default;
  // Returns true when the attribute was taken (also when it is accepted and ignored). On a bad
  // value, returns true and sets *error.
  virtual bool SetSkinAttribute(const QString& name, const QString& value, QString* error) = 0;
};

class ControlFactory {
 public:
  using Creator = std::function<QWidget*()>;

  // A later registration of the same name replaces the earlier one.
  void Register(const QString& className, Creator creator);
  bool Contains(QStringView elementClass) const;
  // A new widget without parent, or nullptr when no registered class answers to the name.
  QWidget* Create(QStringView elementClass) const;

 private:
  const Creator* Find(QStringView elementClass) const;
  std::map<QString, Creator> creators_;  // key: lower-case registered name
};

}  // namespace korva::ui
