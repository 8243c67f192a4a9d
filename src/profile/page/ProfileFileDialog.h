#pragma once
// The file dialogs of the profile panels: import (open) and export (save) of ".led" and ".pro"
// profile files. The panel asks through a ProfileFileChooser so that tests answer without a
// dialog; QtProfileFileChooser is the program's.

#include <QString>
#include <filesystem>
#include <functional>
#include <optional>

class QWidget;

namespace korva::profile {

enum class ProfileFileDialog { kOpen, kSave };

struct ProfileFileRequest {
  ProfileFileDialog dialog = ProfileFileDialog::kOpen;
  QString defaultSuffix;  // "led" or "pro": added to a typed name without one
  QString filter;         // "(*.led)" or "(*.pro)"
};

// The chosen path, nullopt when the user cancelled.
using ProfileFileChooser = std::function<std::optional<std::filesystem::path>(const ProfileFileRequest&)>;

// The request for a store's profile files, from its extension (".led" / ".pro").
ProfileFileRequest RequestFor(ProfileFileDialog dialog, std::string_view extension);

// Modal Qt file dialogs over `parent`. The save dialog asks before replacing a file; neither offers
// to open files read-only.
ProfileFileChooser QtProfileFileChooser(QWidget* parent);

}  // namespace korva::profile
