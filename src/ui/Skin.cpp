#include "ui/Skin.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QMenu>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "ui/SkinWindow.h"

namespace korva::ui {

Skin::OpenResult Skin::Open(const QString& folder, const QString& indexFile) {
  const QString indexPath = QDir(folder).filePath(indexFile);
  QFile file(indexPath);
  if (!file.open(QIODevice::ReadOnly))
    return SkinErrorAt(indexPath, 0, 0, QStringLiteral("cannot open the resource index"));

  std::unique_ptr<Skin> skin(new Skin);
  skin->folder_ = QDir(folder).absolutePath();
  skin->font_.setPixelSize(12);
  QString stylePath;

  QXmlStreamReader xml(&file);
  auto fail = [&](const QString& message) -> OpenResult {
    return SkinErrorAt(indexPath, xml.lineNumber(), xml.columnNumber(), message);
  };
  if (!xml.readNextStartElement())
    return fail(xml.hasError() ? xml.errorString() : QStringLiteral("empty file"));
  if (xml.name() != QLatin1String("Resources"))
    return fail(QStringLiteral("the root element must be <Resources>"));
  while (xml.readNextStartElement()) {
    const auto attrs = xml.attributes();
    if (xml.name() == QLatin1String("File")) {
      const QString id = attrs.value(QLatin1String("id")).toString();
      const QString path = attrs.value(QLatin1String("path")).toString();
      if (id.isEmpty() || path.isEmpty()) return fail(QStringLiteral("<File> needs id and path"));
      if (skin->files_.contains(id)) return fail(QStringLiteral("resource id '%1' appears twice").arg(id));
      skin->files_.insert(id, path);
    } else if (xml.name() == QLatin1String("Font")) {
      QStringList families;
      for (const QString& f : attrs.value(QLatin1String("family")).toString().split(QLatin1Char(',')))
        if (!f.trimmed().isEmpty()) families.append(f.trimmed());
      bool ok = false;
      const int size = attrs.value(QLatin1String("size")).toInt(&ok);
      if (families.isEmpty() || !ok || size <= 0) return fail(QStringLiteral("<Font> needs family and size"));
      skin->font_.setFamilies(families);
      skin->font_.setPixelSize(size);
    } else if (xml.name() == QLatin1String("Style")) {
      stylePath = attrs.value(QLatin1String("path")).toString();
      if (stylePath.isEmpty()) return fail(QStringLiteral("<Style> needs a path"));
    } else {
      return fail(QStringLiteral("unknown element <%1>").arg(xml.name().toString()));
    }
    xml.skipCurrentElement();
  }
  if (xml.hasError()) return fail(xml.errorString());

  if (!stylePath.isEmpty()) {
    QFile style(skin->FilePath(stylePath));
    if (!style.open(QIODevice::ReadOnly))
      return SkinErrorAt(style.fileName(), 0, 0, QStringLiteral("cannot open the style sheet"));
    // Image urls in the style sheet are relative to the skin folder.
    skin->styleSheet_ = QString::fromUtf8(style.readAll())
                            .replace(QLatin1String("url(\""), QStringLiteral("url(\"%1/").arg(skin->folder_));
  }
  return skin;
}

QString Skin::SourceSkinFolder() {
  const QByteArray source = qgetenv("KORVA_SOURCE_DIR");
  if (!source.isEmpty()) return QDir(QString::fromLocal8Bit(source)).filePath(QStringLiteral("skin"));
  return QStringLiteral(KORVA_SOURCE_SKIN_DIR);
}

Skin::~Skin() = default;

QString Skin::FilePath(const QString& fileOrId) const {
  return QDir(folder_).filePath(files_.value(fileOrId, fileOrId));
}

std::optional<SkinError> Skin::LoadLanguage(const QString& file) {
  LanguageTable table;
  if (auto error = LanguageTable::Load(FilePath(file), table)) return error;
  language_ = std::move(table);
  languageFile_ = file;
  for (SkinWindow* window : windows_) window->ReloadTexts();
  return std::nullopt;
}

QString Skin::Text(const QString& textOrId) const {
  const QString* text = language_.Find(textOrId);
  return text ? *text : textOrId;
}

bool Skin::IsTextId(const QString& textOrId) const {
  return language_.Find(textOrId) != nullptr;
}

QString Skin::ImageFile(const QString& image) {
  // DuiLib writes images as "file='ms/key.png'" with optional extra fields.
  static const QRegularExpression kFileField(QStringLiteral("file='([^']*)'"));
  const auto match = kFileField.match(image);
  return match.hasMatch() ? match.captured(1) : image.trimmed();
}

QString Skin::ImagePath(const QString& image) const {
  const QString file = ImageFile(image);
  if (file.isEmpty()) return {};
  return QFileInfo(file).isAbsolute() ? file : QDir(folder_).filePath(file);
}

QString Skin::ReadableImagePath(const QString& image) const {
  const QString path = ImagePath(image);
  if (path.isEmpty() || images_.contains(path) || QImageReader(path).canRead()) return path;
  return {};
}

QPixmap Skin::Image(const QString& image) const {
  const QString path = ImagePath(image);
  if (path.isEmpty()) return {};
  const auto it = images_.constFind(path);
  if (it != images_.constEnd()) return it.value();
  QPixmap pixmap(path);
  if (!pixmap.isNull()) images_.insert(path, pixmap);  // a missing file is looked for again next time
  return pixmap;
}

QMenu* Skin::BuildMenu(const QString& fileOrId, QWidget* parent, SkinError* error) const {
  const QString path = FilePath(fileOrId);
  QFile file(path);
  auto fail = [&](qint64 line, const QString& message) -> QMenu* {
    if (error) *error = SkinErrorAt(path, line, 0, message);
    return nullptr;
  };
  if (!file.open(QIODevice::ReadOnly)) return fail(0, QStringLiteral("cannot open the menu file"));
  QXmlStreamReader xml(&file);
  if (!xml.readNextStartElement() || xml.name() != QLatin1String("Menu"))
    return fail(xml.lineNumber(),
                xml.hasError() ? xml.errorString() : QStringLiteral("the root element must be <Menu>"));
  auto menu = std::make_unique<QMenu>(parent);
  menu->setProperty("skinclass", QStringLiteral("traymenu"));
  while (xml.readNextStartElement()) {
    if (xml.name() == QLatin1String("MenuElement")) {
      const QString name = xml.attributes().value(QLatin1String("name")).toString();
      const QString text = xml.attributes().value(QLatin1String("text")).toString();
      if (name.isEmpty()) return fail(xml.lineNumber(), QStringLiteral("<MenuElement> without name"));
      QAction* action = menu->addAction(Text(text));
      action->setObjectName(name);
      action->setData(text);
    } else if (xml.name() == QLatin1String("MenuSeparator")) {
      menu->addSeparator();
    } else {
      return fail(xml.lineNumber(), QStringLiteral("unknown element <%1>").arg(xml.name().toString()));
    }
    xml.skipCurrentElement();
  }
  if (xml.hasError()) return fail(xml.lineNumber(), xml.errorString());
  menu->setStyleSheet(styleSheet_);
  menu->setFont(font_);
  return menu.release();
}

void Skin::AddWindow(SkinWindow* window) {
  windows_.append(window);
}

void Skin::RemoveWindow(SkinWindow* window) {
  windows_.removeAll(window);
}

}  // namespace korva::ui
