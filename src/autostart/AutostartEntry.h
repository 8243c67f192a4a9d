#pragma once
// The XDG autostart entry that starts the program with the desktop: "korva.desktop" in
// $XDG_CONFIG_HOME/autostart (else ~/.config/autostart). The entry is the program's own: it is
// written whole (atomically) and removed whole; an entry the user turned off with "Hidden=true"
// counts as off. Qt-free.

#include <filesystem>
#include <string>
#include <vector>

#include "common/Result.h"

namespace korva::autostart {

inline constexpr char kEntryFileName[] = "korva.desktop";

// The autostart folder for these environment values (empty = unset).
std::filesystem::path AutostartFolder(const std::string& xdgConfigHome, const std::string& home);
// The same for this process.
std::filesystem::path AutostartFolder();

// Whether `entry` exists and is not hidden.
bool IsEnabled(const std::filesystem::path& entry);

// The text of the entry that runs `executable` with `arguments` (each quoted as the desktop
// entry format wants).
std::string EntryText(const std::filesystem::path& executable, const std::vector<std::string>& arguments);

// Writes (creating the folder) or removes the entry. Removing an absent entry succeeds.
Result<void> Enable(const std::filesystem::path& entry, const std::filesystem::path& executable,
                    const std::vector<std::string>& arguments);
Result<void> Disable(const std::filesystem::path& entry);

}  // namespace korva::autostart
