#pragma once
// The operations of the macro page on the library's files: adding, deleting and renaming a macro,
// and copying a macro file out and in. Each reads the index at the moment it runs, checks what it
// is given, and writes atomically; a refused or failed operation changes no file.
//
// The key banks are not touched here: after a delete the caller runs ForgetMacroInBank
// (MacroKeys.h) over the banks its image holds.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "macro/MacroAction.h"
#include "macro/MacroFiles.h"

namespace korva::macro {

// Text ids of the page's messages.
inline constexpr std::string_view kTextMacroUsed = "message_text_2";       // keys play it: delete anyway?
inline constexpr std::string_view kTextUnsaved = "message_text_3";         // unsaved steps
inline constexpr std::string_view kTextConfirmDelete = "message_text_4";
inline constexpr std::string_view kTextNameTaken = "message_text_5";
inline constexpr std::string_view kTextMacroLimit = "message_text_17";     // "%d" = kMaxMacroCount
inline constexpr std::string_view kTextNotAMacro = "message_text_macro_invalid";
// A save that could not be written; the edits stay in the editor.
inline constexpr std::string_view kTextMacroNotSaved = "message_text_macro_not_saved";

enum class MacroEditStatus {
  kOk,
  kUnchanged,     // nothing to do (a rename to the same name)
  kLimit,         // the library holds kMaxMacroCount macros
  kNameTaken,     // another macro has the name (any letter case)
  kNameRefused,   // the name cannot be a file name
  kNoSuchMacro,   // no macro at that position
  kNotAMacro,     // an imported file that is not a macro file
  kUnreadable,    // the index breaks the file rules
  kFileMissing,   // an export of a macro never saved
  kWriteFailed,
};

struct MacroEditResult {
  MacroEditStatus status = MacroEditStatus::kOk;
  Error error;
  std::vector<std::string> names;  // the index after the operation (when it succeeded)
  int index = -1;                  // the macro added or renamed

  bool ok() const { return status == MacroEditStatus::kOk || status == MacroEditStatus::kUnchanged; }
  // The message to show; "" for none (success, or a failure only the trace reports).
  std::string_view TextId() const;
  // The message's "%d", when it has one.
  std::optional<int> TextNumber() const;
};

// "name_<n>" with the lowest n from (count + 1) upward that no macro uses (any letter case).
std::string NewMacroName(const std::vector<std::string>& names);

// A macro "name_<n>" appended to the index; no macro file until it is saved.
MacroEditResult AddMacro(const MacroLibrary& library);
// The index without macro `index` (the later ones move down), then its file removed.
MacroEditResult DeleteMacro(const MacroLibrary& library, int index);
// Macro `index` under `newName`: its file gets `steps` (the editor's list), then the new name.
MacroEditResult RenameMacro(const MacroLibrary& library, int index, std::string_view newName,
                            const std::vector<MacroAction>& steps);
// Copies the file of macro `index` to `target`, byte for byte.
MacroEditResult ExportMacro(const MacroLibrary& library, int index, const std::filesystem::path& target);
// Copies `source` over the file of macro `index`, byte for byte, once it has been read as a macro
// file whose every counted line is a step.
MacroEditResult ImportMacro(const MacroLibrary& library, int index, const std::filesystem::path& source);

}  // namespace korva::macro
