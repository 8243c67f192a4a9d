#pragma once
// Shared pieces of the skin layer tests: the application object, a throw-away skin folder and a
// notifier that records what it receives.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>
#include <vector>

#include "ui/Notify.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"

#include <ostream>

// Readable QString values in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace korva::ui::test {

// Creates the QApplication once for the whole test program (offscreen platform).
void EnsureApplication();

struct Received {
  QString type;
  QString name;
  qint64 wParam;
  qint64 lParam;
};

class Recorder : public INotifyUI {
 public:
  void Notify(const Notification& msg) override;
  QStringList Types() const;
  std::vector<Received> received;
  bool hover = false;  // "msenter"/"msleave" are kept only when set: the test's mouse moves raise them
};

// A skin folder of its own: res.xml, a language file with a few ids and whatever files a test adds.
class TempSkin {
 public:
  TempSkin();
  void Write(const QString& name, const QString& text);
  // Opens the folder as a skin (language "lan_test.xml" loaded); fails the test on error.
  std::unique_ptr<Skin> Open();
  QString Folder() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
};

// A window that answers page classes from a table and records every class it was asked for.
class PageWindow : public SkinWindow, public IDialogBuilderCallback {
 public:
  using SkinWindow::SkinWindow;
  QWidget* CreateControl(const QString& cls) override;
  std::vector<std::pair<QString, QString>> pages;  // element class -> page file
  QStringList asked;
};

}  // namespace korva::ui::test
