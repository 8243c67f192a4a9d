#include "app/QtDialogTexts.h"

#include <QCoreApplication>
#include <QLibraryInfo>

namespace korva::app {

QtDialogTexts::~QtDialogTexts() {
  Use(false);
}

bool QtDialogTexts::Use(bool chinese) {
  if (!chinese) {
    if (installed_) QCoreApplication::removeTranslator(&translator_);
    installed_ = false;
    return false;
  }
  if (installed_) return true;
  if (translator_.isEmpty() &&
      !translator_.load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    return false;
  installed_ = QCoreApplication::installTranslator(&translator_);
  return installed_;
}

}  // namespace korva::app
