#pragma once
// What the custom controls share: reading their own attributes and finding skin images.

#include <QPixmap>
#include <QString>
#include <optional>

class QWidget;

namespace korva::ui::controls {

// The custom controls' own attribute names compare without regard to case.
bool IsAttribute(const QString& name, const char* attribute);

// True exactly when the value is "true" (the controls' boolean attributes have always read so).
bool IsTrue(const QString& value);

// A decimal integer (surrounding blanks allowed), or nullopt.
std::optional<int> ParseDecimal(const QString& value);

// Takes the attribute with the message every skin control gives for a value it cannot read:
// sets *error and returns true (ISkinAttributes: taken, with an error).
bool RefuseValue(const QString& name, const QString& value, QString* error);

// The pixmap of a skin image through the skin of the control's window. The controls receive
// their attributes before their page joins a window, so images are looked up when painted. A
// null pixmap when the control belongs to no window or the image cannot be loaded.
QPixmap SkinImage(const QWidget& control, const QString& image);

}  // namespace korva::ui::controls
