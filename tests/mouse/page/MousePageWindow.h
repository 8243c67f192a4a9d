#pragma once
// The window of the mouse page tests: the sensitivity page beside the button page, both built from
// their page files of the shipped skin as the main window builds them, routed as the main window
// routes them.

#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <ostream>

#include "ui/PageTable.h"
#include "ui/controls/StandardControls.h"
#include "ui/Skin.h"
#include "ui/SkinWindow.h"
#include "ui/routing/NotifyRouter.h"
#include "tests/ui/ShippedSkinWindow.h"

inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace korva::mouse::test {

using korva::test::RoutingNotifier;
using PageWindow = korva::test::ShippedPageWindow;


// The shipped skin, opened once per test program with the English texts.
inline ui::Skin& SharedSkin() {
  return *korva::test::SharedShippedSkin();
}

// Builds the mouse pages into a window (by default sensitivity and buttons; `pages` the page
// elements to build); fails the test on error.
inline std::unique_ptr<PageWindow> BuildMouseWindow(const QTemporaryDir& folder,
                                                    const QByteArray& pages = "<MS_DPI_UI/><MS_Key_UI/>") {
  EXPECT_NE(&SharedSkin(), nullptr);
  const QString file = folder.filePath(QStringLiteral("window.xml"));
  QFile out(file);
  EXPECT_TRUE(out.open(QIODevice::WriteOnly));
  out.write(R"(<Window size="1100,560"><HorizontalLayout>)" + pages + "</HorizontalLayout></Window>");
  out.close();
  auto window = std::make_unique<PageWindow>(SharedSkin());
  auto error = window->Build(file, window.get());
  EXPECT_FALSE(error) << error->ToString();
  return window;
}

// A user's click: the press and release the skin turns into "click".
inline void ClickControl(ui::SkinWindow& window, const QString& name) {
  QWidget* widget = window.FindControl(name).Widget();
  ASSERT_NE(widget, nullptr) << name.toStdString();
  QTest::mouseClick(widget, Qt::LeftButton);
}

}  // namespace korva::mouse::test
