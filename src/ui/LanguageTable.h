#pragma once
// Text ids -> texts of one language, read from a language file ("lan_cn.xml", "lan_en.xml"):
//
//   <Language lang="en">
//     <Text id="message_text_1">No device is connected.</Text>
//   </Language>
//
// Every id appears once; the text is the element's content ("\n" in it stands for a line break).

#include <QHash>
#include <QString>
#include <optional>

#include "ui/SkinError.h"

namespace korva::ui {

class LanguageTable {
 public:
  // Reads the file; on any fault returns the error and leaves `out` unchanged.
  static std::optional<SkinError> Load(const QString& path, LanguageTable& out);

  const QString* Find(QStringView id) const;
  QString Lang() const { return lang_; }
  QList<QString> Ids() const { return texts_.keys(); }

 private:
  QString lang_;
  QHash<QString, QString> texts_;
};

}  // namespace korva::ui
