#pragma once
// Fixed names and values of the application shell, in one place.

#include <QtGlobal>

namespace korva::app {

inline constexpr char kWindowTitle[] = "KORVA DRIVER";  // main window title and tray tip
inline constexpr char kMainWindowSkin[] = "XML_MAIN";
inline constexpr char kMenuSkin[] = "menu.xml";
inline constexpr char kChineseLanguageFile[] = "lan_cn.xml";  // the language at start
inline constexpr char kEnglishLanguageFile[] = "lan_en.xml";
inline constexpr char kTrayIconImage[] = "common/logo.png";  // skin-relative

// The maker's web site, opened by the skin picker's "menu_website".
inline constexpr char kMakerWebsite[] = "https://www.korva.example/";

// "main.ini" in the base data folder: the stored background choice.
inline constexpr char kMainIniFile[] = "main.ini";
inline constexpr char kSkinImageSection[] = "SKINIMAGE";

// Selected colour of every colour palette at start.
inline constexpr quint32 kPaletteStartColour = 0xFF0199CB;

// Text shown when the device page in front has an updater but it is not installed. The language
// files may carry it as "message_text_updater_missing" ("%1" = file, "%2" = folder); until they
// do, this English text stands in.
inline constexpr char kUpdaterMissingTextId[] = "message_text_updater_missing";
inline constexpr char kUpdaterMissingFallback[] = "The firmware updater %1 is not installed in %2.";
// The same for an updater that is there but cannot be started ("%1" = file).
inline constexpr char kUpdaterFailedTextId[] = "message_text_updater_failed";
inline constexpr char kUpdaterFailedFallback[] = "The firmware updater %1 could not be started.";

}  // namespace korva::app
