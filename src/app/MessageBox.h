#pragma once
// The message box through which the program tells the user something: a text id of the language
// files ("message_text_1"), or a literal text, shown with a confirm and a cancel button.
// Result 1 when the user confirmed, 0 otherwise.
//
// This is a plain QMessageBox; the skinned message box window takes its place later, behind the
// same MessageBoxFn, so callers do not change.

#include <QString>
#include <functional>

class QWidget;

namespace korva::app {

using MessageBoxFn = std::function<int(QWidget* owner, const QString& textOrId)>;

// Modal. The text comes from the language file of the owner's skin window; without an owner, or
// for a text that is no id, the argument is shown as it is.
int ShowMessageBox(QWidget* owner, const QString& textOrId);

}  // namespace korva::app
