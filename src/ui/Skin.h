#pragma once
// Skin: the skin folder with its resource index, style sheet, images and the current language.
// One per process, created at start-up and passed to every SkinWindow (it must outlive them).
//
// The resource index ("res.xml") names the skin files by id and sets the look shared by all
// windows:
//
//   <Resources>
//     <File id="XML_MAIN" path="main.xml"/>
//     <Font family="Nimbus Sans" fallback="Droid Sans Fallback" size="12"/>
//     <Style path="style.qss"/>
//   </Resources>
//
// Skin files are named either by id ("XML_MAIN") or by file name ("keyboard_key.xml"), always
// relative to the skin folder.

#include <QFont>
#include <QHash>
#include <QList>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>

#include "common/Result.h"
#include "ui/ControlFactory.h"
#include "ui/LanguageTable.h"
#include "ui/SkinError.h"

class QMenu;
class QWidget;

namespace korva::ui {

class SkinWindow;

class Skin {
 public:
  using OpenResult = korva::Result<std::unique_ptr<Skin>>;
  // Reads the resource index and the style sheet of `folder`.
  static OpenResult Open(const QString& folder, const QString& indexFile = QStringLiteral("res.xml"));
  // The skin folder of the source tree (for tests and runs from the build tree): $KORVA_SOURCE_DIR/skin
  // when that is set, else the folder the build was configured from.
  static QString SourceSkinFolder();

  Skin(const Skin&) = delete;
  Skin& operator=(const Skin&) = delete;
  ~Skin();

  QString Folder() const { return folder_; }
  // Full path of a skin file given by resource id or by file name.
  QString FilePath(const QString& fileOrId) const;

  ControlFactory& Factory() { return factory_; }
  const ControlFactory& Factory() const { return factory_; }

  // Loads a language file of the skin folder ("lan_en.xml") and shows its texts in every window
  // built from this skin. On error the current language stays.
  std::optional<SkinError> LoadLanguage(const QString& file);
  QString LanguageFile() const { return languageFile_; }  // "" before the first load
  QString Lang() const { return language_.Lang(); }
  // The text of an id in the current language; the argument itself when it is no id (literal text).
  QString Text(const QString& textOrId) const;
  bool IsTextId(const QString& textOrId) const;

  const QString& StyleSheet() const { return styleSheet_; }
  QFont Font() const { return font_; }

  // An image by skin-relative or absolute path (a null pixmap when it cannot be loaded).
  // A DuiLib-style "file='ms/key.png'" is taken as its file part.
  QPixmap Image(const QString& image) const;
  static QString ImageFile(const QString& image);
  // The file of an image when it holds one ("" for none, or for a file that cannot be read as an
  // image): its header is read, its pixels are not decoded.
  QString ReadableImagePath(const QString& image) const;

  // A popup menu from a menu skin file:
  //   <Menu> <MenuElement name="lan" text="menu_lan_text"/> <MenuSeparator/> ... </Menu>
  // Each action's objectName is the item's name and its data() the item's text id.
  // Returns nullptr and sets *error on a fault. The caller owns the menu.
  QMenu* BuildMenu(const QString& fileOrId, QWidget* parent, SkinError* error = nullptr) const;

 private:
  friend class SkinWindow;
  Skin() = default;
  QString ImagePath(const QString& image) const;  // the file an image names ("" for none)
  void AddWindow(SkinWindow* window);
  void RemoveWindow(SkinWindow* window);

  QString folder_;
  QHash<QString, QString> files_;  // id -> path relative to the folder
  QString styleSheet_;
  QFont font_;
  ControlFactory factory_;
  LanguageTable language_;
  QString languageFile_;
  mutable QHash<QString, QPixmap> images_;
  QList<SkinWindow*> windows_;
};

}  // namespace korva::ui
