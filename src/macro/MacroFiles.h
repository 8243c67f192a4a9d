#pragma once
// The files of a macro library: the index and one macro file per macro, in the device's data
// folder (the keyboard's "kbMacro.ini", the mouse's "msMacro.ini").
//
//   index        MACROCOUNT/count     number of macros n (missing: 0)
//                MACRONAME/0 .. n-1   name of macro i; macro i is b1 of key functions 0x70, 0x71
//   <name>.mac   MACROACTIONCOUNT/count   number of steps m (missing: 0)
//                MACROACTION/0 .. m-1     the step's text form (MacroAction.h)
// Keys past the counts (left from a longer version) are not read. The mouse's index also holds the
// cursor-macro sections CURSORCOUNT and CURSORNAME, which nothing here touches.
//
// What is read is checked before it is trusted: a count is a decimal number from 0 to its limit
// (50 macros, kMaxMacroSteps steps), every name listed is there and may be a file name (the rules
// of the profile names), and no name is listed twice. A file that breaks a rule gives an error
// that says where; nothing is guessed from it. Every write replaces its file atomically.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/DeviceKind.h"
#include "common/Result.h"
#include "macro/MacroAction.h"

namespace korva::profile {
class IniFile;
}

namespace korva::macro {

inline constexpr int kMaxMacroCount = 50;
// The most steps one macro can have and still fit the largest macro memory a device can report
// (255 x 128 bytes), alone in its block: 16 + 6 + 4m <= 32640.
inline constexpr std::size_t kMaxMacroSteps = (255 * 128 - 16 - 6) / 4;  // 8154

inline constexpr std::string_view kIndexCountSection = "MACROCOUNT";
inline constexpr std::string_view kIndexNameSection = "MACRONAME";
inline constexpr std::string_view kStepCountSection = "MACROACTIONCOUNT";
inline constexpr std::string_view kStepSection = "MACROACTION";
inline constexpr std::string_view kCountKey = "count";
inline constexpr std::string_view kMacroExtension = ".mac";

// The message of an index or macro file that breaks the rules above (nothing is sent or changed).
inline constexpr std::string_view kTextMacroLibraryUnreadable = "message_text_macro_unreadable";

// Where a library lives: the device's data folder and whose library it is (keyboard or mouse).
struct MacroLibrary {
  std::filesystem::path folder;
  DeviceKind device = DeviceKind::kKeyboard;
};

// The existing entry of `folder` named `name` without regard to letter case; `folder / name` when
// there is none (or several: then the exact spelling decides).
std::filesystem::path FindIgnoringCase(const std::filesystem::path& folder, const std::string& name);
// The count key of `section` as the files hold it: decimal digits from 0 to `limit`; a missing key
// reads as 0; anything else is an error naming `fileName`.
Result<std::size_t> ReadCount(const profile::IniFile& file, std::string_view section, std::size_t limit,
                              const std::string& fileName);

// A list of names kept in an index file: `countSection`/count names (at most `limit`), the
// `nameSection` keys "0" .. count-1, each a valid file name, none twice (any letter case).
Result<std::vector<std::string>> LoadNameList(const std::filesystem::path& path, std::string_view countSection,
                                              std::string_view nameSection, std::size_t limit);

// "kbMacro.ini" for the keyboard, "msMacro.ini" for the mouse.
std::string_view MacroIndexFileName(DeviceKind device);
// The index file; an existing file whose name differs only in letter case is taken for it.
std::filesystem::path MacroIndexPath(const MacroLibrary& library);
// The macro file of `name`, found like the index; an error when `name` cannot be a file name.
Result<std::filesystem::path> MacroFilePath(const MacroLibrary& library, std::string_view name);

// The names of the index, in macro-number order (a missing index: none).
Result<std::vector<std::string>> LoadMacroIndex(const MacroLibrary& library);
// Rewrites MACROCOUNT and the MACRONAME entries; every other section stays as it was.
Result<void> WriteMacroIndex(const MacroLibrary& library, const std::vector<std::string>& names);

// Step j of a macro file, or nullopt where MACROACTION/j is missing or not a step.
using MacroLines = std::vector<std::optional<MacroAction>>;

// The counted lines of a macro file (a missing file: none).
Result<MacroLines> ReadMacroLines(const std::filesystem::path& path);
// The same of a file's text; `fileName` names it in errors. `strict`: a line that is missing or
// not a step, or text that cannot be read, is an error too (files from outside the library).
Result<MacroLines> ParseMacroLines(std::string_view text, const std::string& fileName, bool strict);

// The steps of macro `name`; lines that are not steps are left out.
Result<std::vector<MacroAction>> LoadMacro(const MacroLibrary& library, std::string_view name);
// Writes MACROACTIONCOUNT and MACROACTION 0..m-1 (and drops the lines of a longer earlier version).
Result<void> SaveMacro(const MacroLibrary& library, std::string_view name, const std::vector<MacroAction>& steps);

}  // namespace korva::macro
