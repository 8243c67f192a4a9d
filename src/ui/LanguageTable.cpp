#include "ui/LanguageTable.h"

#include <QFile>
#include <QXmlStreamReader>

namespace korva::ui {

std::optional<SkinError> LanguageTable::Load(const QString& path, LanguageTable& out) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    return SkinErrorAt(path, 0, 0, QStringLiteral("cannot open the language file"));
  QXmlStreamReader xml(&file);
  auto fail = [&](const QString& message) {
    return SkinErrorAt(path, xml.lineNumber(), xml.columnNumber(), message);
  };

  LanguageTable table;
  if (!xml.readNextStartElement())
    return fail(xml.hasError() ? xml.errorString() : QStringLiteral("empty file"));
  if (xml.name() != QLatin1String("Language"))
    return fail(QStringLiteral("the root element must be <Language>"));
  table.lang_ = xml.attributes().value(QLatin1String("lang")).toString();
  while (xml.readNextStartElement()) {
    if (xml.name() != QLatin1String("Text"))
      return fail(QStringLiteral("unknown element <%1>").arg(xml.name().toString()));
    const QString id = xml.attributes().value(QLatin1String("id")).toString();
    if (id.isEmpty()) return fail(QStringLiteral("<Text> without id"));
    if (table.texts_.contains(id)) return fail(QStringLiteral("text id '%1' appears twice").arg(id));
    const QString text = xml.readElementText(QXmlStreamReader::ErrorOnUnexpectedElement);
    if (xml.hasError()) break;
    table.texts_.insert(id, QString(text).replace(QLatin1String("\\n"), QLatin1String("\n")));
  }
  if (xml.hasError()) return fail(xml.errorString());
  out = std::move(table);
  return std::nullopt;
}

const QString* LanguageTable::Find(QStringView id) const {
  const auto it = texts_.constFind(id.toString());
  return it == texts_.constEnd() ? nullptr : &it.value();
}

}  // namespace korva::ui
