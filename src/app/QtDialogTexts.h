#pragma once
// The texts of Qt's own dialogs (the file choosers: "Look in", "Open", "Cancel", the column
// headers) in the window's language. Qt ships them as translation files of its own; with the
// Chinese window they are installed for the whole program, with the English one taken away.
// Without the files (a system without Qt's translations) the dialogs stay in English.
//
// UI thread only.

#include <QTranslator>

namespace korva::app {

class QtDialogTexts {
 public:
  QtDialogTexts() = default;
  QtDialogTexts(const QtDialogTexts&) = delete;
  QtDialogTexts& operator=(const QtDialogTexts&) = delete;
  ~QtDialogTexts();

  // Chinese (true) or English (false). Returns whether Qt's Chinese texts are in use.
  bool Use(bool chinese);

 private:
  QTranslator translator_;
  bool installed_ = false;
};

}  // namespace korva::app
