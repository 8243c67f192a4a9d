#pragma once
// What went wrong while reading a skin, page, resource index, menu or language file, and where.
// The skin layer reports its failures with the program's one error type for files and parsers:
//
//   "In file /x/skin/main.xml, line 12, column 30: unknown attribute 'colour' on <Button>"
//
// Callers that show it in Qt take QString::fromStdString(error.ToString()).

#include <QString>
#include <algorithm>
#include <cstddef>

#include "common/Result.h"

namespace korva::ui {

using SkinError = korva::Error;

// An error at a place in a skin file; line and column are 1-based, 0 when the failure has no
// position (a file that cannot be opened, ...).
inline SkinError SkinErrorAt(const QString& file, qint64 line, qint64 column, const QString& message) {
  SkinError error = SkinError::InFile(file.toStdString(), message.toStdString(),
                                      static_cast<std::size_t>(std::max<qint64>(line, 0)));
  if (line > 0) error.column = static_cast<std::size_t>(std::max<qint64>(column, 0));
  return error;
}

}  // namespace korva::ui
