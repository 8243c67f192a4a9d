#pragma once
// Reads one skin file and builds its widgets for a window. Private to the skin layer.

#include <QString>
#include <QXmlStreamReader>
#include <memory>
#include <optional>

#include "common/Result.h"
#include "ui/SkinAttributes_p.h"
#include "ui/SkinError.h"

class QWidget;

namespace korva::ui {

class SkinWindow;
class IDialogBuilderCallback;

class SkinBuilder {
 public:
  using WindowInfo = detail::WindowAttributes;

  SkinBuilder(SkinWindow& window, IDialogBuilderCallback* callback) : window_(window), callback_(callback) {}

  // Builds the file at `path`. With `info`, the root element must be <Window> (its one child is
  // returned and its attributes go to *info); without, the root element is the page's root
  // control. Returns the new widget without parent, or the error with file and line; nothing of a
  // failed build is kept.
  korva::Result<std::unique_ptr<QWidget>> Build(const QString& path, WindowInfo* info);

 private:
  QWidget* BuildRoot(WindowInfo* info);
  QWidget* BuildControl(QWidget* parent, int depth);
  QWidget* CreateCustom(const QString& cls);  // the callback's or the factory's
  bool ReadAttributes(QWidget* widget, const QString& cls, detail::BuildState& state);
  bool ReadItems(QWidget* widget, const QString& cls);
  bool ReadChildren(QWidget* widget, int depth);
  bool Attach(QWidget* parent, QWidget* child, const detail::BuildState& state);
  void Connect(QWidget* widget, const QString& cls);
  bool Fail(const QString& message);

  SkinWindow& window_;
  IDialogBuilderCallback* callback_;
  QXmlStreamReader xml_;
  QString path_;
  std::optional<SkinError> error_;
};

}  // namespace korva::ui
