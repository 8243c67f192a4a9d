#pragma once
// The firmware updaters of the skin picker's "menu_update": one program per device page, started
// from the program folder.

#include <QString>
#include <optional>

namespace korva::app {

// The updater of the device page in front: mouse (1) "Update_ms.exe", mousepad (2)
// "Update_mp.exe", keyboard (0) "Update_kb.exe" for keyboard model 0 and "Update_kb1.exe" for
// model 1. nullopt for the headset page (3), which has none, and for values no page has.
std::optional<QString> UpdaterFor(int currentDevicePage, int keyboardModel);

enum class UpdaterStart {
  kStarted,
  kMissing,  // the file is not in the program folder
  kFailed,   // it is there but could not be started
};

// Starts `file` from `programFolder`, detached, with the working folder set to the program folder
// and the single argument "NULL" the updaters have always been given.
UpdaterStart StartUpdater(const QString& programFolder, const QString& file);

}  // namespace korva::app
