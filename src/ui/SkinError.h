#pragma once
// What went wrong while reading a skin, page, resource index or language file, and where.

#include <QString>

namespace korva::ui {

struct SkinError {
  QString file;     // full path of the file that failed
  qint64 line = 0;  // 1-based; 0 when the failure has no position (file missing, ...)
  qint64 column = 0;
  QString message;

  // "In file /x/skin/main.xml, line 12: unknown attribute 'colour' on <Button>"
  QString ToString() const;
};

}  // namespace korva::ui
