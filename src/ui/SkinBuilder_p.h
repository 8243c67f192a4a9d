#pragma once
// Reads one skin file and builds its widgets for a window. Private to the skin layer.

#include <QSize>
#include <QString>
#include <QXmlStreamReader>
#include <optional>

#include "ui/SkinError.h"

class QWidget;

namespace korva::ui {

class SkinWindow;
class IDialogBuilderCallback;

class SkinBuilder {
 public:
  struct WindowInfo {
    QSize size;
    int caption = 0;  // height of the strip at the top that moves the window
    QString title;
  };

  SkinBuilder(SkinWindow& window, IDialogBuilderCallback* callback) : window_(window), callback_(callback) {}

  // Builds the file at `path`. With `info`, the root element must be <Window> (its one child is
  // returned and its attributes go to *info); without, the root element is the page's root
  // control. Returns the new widget without parent, or nullptr with *error set; nothing of a
  // failed build is kept.
  QWidget* Build(const QString& path, WindowInfo* info, SkinError* error);

 private:
  QWidget* BuildControl(QWidget* parent, int depth);
  QWidget* Create(const QString& cls);
  bool ReadItems(QWidget* widget, const QString& cls);
  bool ReadChildren(QWidget* widget, const QString& cls, int depth);
  bool Attach(QWidget* parent, QWidget* child, const QString& pos, bool fixedWidth, bool fixedHeight);
  void Connect(QWidget* widget, const QString& cls);
  bool Fail(const QString& message, qint64 line = 0);

  SkinWindow& window_;
  IDialogBuilderCallback* callback_;
  QXmlStreamReader xml_;
  QString path_;
  std::optional<SkinError> error_;
};

}  // namespace korva::ui
