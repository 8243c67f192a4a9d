#include "macro/MacroEdits.h"

#include <system_error>
#include <variant>

#include "common/AtomicFile.h"
#include "profile/ProfileFile.h"
#include "profile/ProfileName.h"
#include "profile/ProfileStore.h"
#include "profile/TextChecks.h"

namespace korva::macro {
namespace {

// Macro files are a few kilobytes; the largest a device can take is far below this.
constexpr std::uintmax_t kMaxMacroFileBytes = 1024 * 1024;

MacroEditResult Fail(MacroEditStatus status, Error error) {
  MacroEditResult result;
  result.status = status;
  result.error = std::move(error);
  return result;
}

struct Selected {
  std::vector<std::string> names;
  std::filesystem::path path;  // the macro's file
};

// The index and the file of macro `index`, or the failure to report.
std::variant<Selected, MacroEditResult> Select(const MacroLibrary& library, int index) {
  Result<std::vector<std::string>> names = LoadMacroIndex(library);
  if (!names) return Fail(MacroEditStatus::kUnreadable, names.error());
  if (index < 0 || static_cast<std::size_t>(index) >= names.value().size())
    return Fail(MacroEditStatus::kNoSuchMacro, Error::Plain("there is no macro " + std::to_string(index)));
  Result<std::filesystem::path> path = MacroFilePath(library, names.value()[static_cast<std::size_t>(index)]);
  if (!path) return Fail(MacroEditStatus::kUnreadable, path.error());
  return Selected{std::move(names.value()), std::move(path.value())};
}

MacroEditResult Done(std::vector<std::string> names, int index) {
  MacroEditResult result;
  result.names = std::move(names);
  result.index = index;
  return result;
}

}  // namespace

std::string_view MacroEditResult::TextId() const {
  switch (status) {
    case MacroEditStatus::kLimit:
      return kTextMacroLimit;
    case MacroEditStatus::kNameTaken:
      return kTextNameTaken;
    case MacroEditStatus::kNameRefused:
      return profile::kTextNameRefused;
    case MacroEditStatus::kNotAMacro:
      return kTextNotAMacro;
    case MacroEditStatus::kUnreadable:
      return kTextMacroLibraryUnreadable;
    case MacroEditStatus::kFileMissing:
      return profile::kTextFileMissing;
    default:
      return {};
  }
}

std::optional<int> MacroEditResult::TextNumber() const {
  if (status == MacroEditStatus::kLimit) return kMaxMacroCount;
  return std::nullopt;
}

std::string NewMacroName(const std::vector<std::string>& names) {
  // Of the numbers count + 1 .. 2 x count + 1 at least one is free, so the loop ends.
  for (std::size_t n = names.size() + 1;; ++n) {
    std::string candidate = "name_" + std::to_string(n);
    if (!profile::ContainsName(names, candidate)) return candidate;
  }
}

MacroEditResult AddMacro(const MacroLibrary& library) {
  Result<std::vector<std::string>> loaded = LoadMacroIndex(library);
  if (!loaded) return Fail(MacroEditStatus::kUnreadable, loaded.error());
  std::vector<std::string> names = std::move(loaded.value());
  if (names.size() >= static_cast<std::size_t>(kMaxMacroCount))
    return Fail(MacroEditStatus::kLimit, Error::Plain("the library holds " + std::to_string(names.size()) + " macros"));
  names.push_back(NewMacroName(names));
  if (Result<void> written = WriteMacroIndex(library, names); !written)
    return Fail(MacroEditStatus::kWriteFailed, written.error());
  const int index = static_cast<int>(names.size()) - 1;
  return Done(std::move(names), index);
}

MacroEditResult DeleteMacro(const MacroLibrary& library, int index) {
  auto selected = Select(library, index);
  if (auto* failed = std::get_if<MacroEditResult>(&selected)) return *failed;
  Selected& macro = std::get<Selected>(selected);
  macro.names.erase(macro.names.begin() + index);
  // The index first: should the removal then fail, a file no index names is left, never an index
  // naming a file that is gone.
  if (Result<void> written = WriteMacroIndex(library, macro.names); !written)
    return Fail(MacroEditStatus::kWriteFailed, written.error());
  std::error_code ec;
  std::filesystem::remove(macro.path, ec);
  return Done(std::move(macro.names), -1);
}

MacroEditResult RenameMacro(const MacroLibrary& library, int index, std::string_view newName,
                            const std::vector<MacroAction>& steps) {
  auto selected = Select(library, index);
  if (auto* failed = std::get_if<MacroEditResult>(&selected)) return *failed;
  Selected& macro = std::get<Selected>(selected);
  const std::string oldName = macro.names[static_cast<std::size_t>(index)];
  if (profile::EqualsIgnoringCase(oldName, newName)) {
    MacroEditResult same = Done(std::move(macro.names), index);
    same.status = MacroEditStatus::kUnchanged;
    return same;
  }
  if (profile::ContainsName(macro.names, newName))
    return Fail(MacroEditStatus::kNameTaken, Error::Plain("a macro is named \"" + std::string(newName) + "\""));
  const Result<std::filesystem::path> newPath = MacroFilePath(library, newName);
  if (!newPath) return Fail(MacroEditStatus::kNameRefused, newPath.error());
  std::error_code ec;
  // A file of that name that no macro lists (copied in by hand) is not overwritten.
  if (std::filesystem::exists(newPath.value(), ec))
    return Fail(MacroEditStatus::kNameTaken, Error::InFile(newPath.value().string(), "the file exists already"));

  if (Result<void> saved = SaveMacro(library, oldName, steps); !saved)
    return Fail(MacroEditStatus::kWriteFailed, saved.error());
  std::filesystem::rename(macro.path, newPath.value(), ec);
  if (ec)
    return Fail(MacroEditStatus::kWriteFailed,
                Error::InFile(macro.path.string(), "cannot be renamed to " + newPath.value().string() + ": " + ec.message()));
  macro.names[static_cast<std::size_t>(index)] = std::string(newName);
  if (Result<void> written = WriteMacroIndex(library, macro.names); !written) {
    // The index still names the old file: put it back.
    std::filesystem::rename(newPath.value(), macro.path, ec);
    return Fail(MacroEditStatus::kWriteFailed, written.error());
  }
  return Done(std::move(macro.names), index);
}

MacroEditResult ExportMacro(const MacroLibrary& library, int index, const std::filesystem::path& target) {
  auto selected = Select(library, index);
  if (auto* failed = std::get_if<MacroEditResult>(&selected)) return *failed;
  const Selected& macro = std::get<Selected>(selected);
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(macro.path, bytes, kMaxMacroFileBytes))
    return Fail(MacroEditStatus::kFileMissing, Error::InFile(macro.path.string(), "cannot be read (never saved?)"));
  if (Result<void> written = WriteFileAtomically(target, bytes); !written)
    return Fail(MacroEditStatus::kWriteFailed, written.error());
  return Done(macro.names, index);
}

MacroEditResult ImportMacro(const MacroLibrary& library, int index, const std::filesystem::path& source) {
  auto selected = Select(library, index);
  if (auto* failed = std::get_if<MacroEditResult>(&selected)) return *failed;
  const Selected& macro = std::get<Selected>(selected);
  std::vector<std::uint8_t> bytes;
  if (!ReadWholeFile(source, bytes, kMaxMacroFileBytes))
    return Fail(MacroEditStatus::kNotAMacro, Error::InFile(source.string(), "cannot be read, or is far too large"));
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  if (Result<MacroLines> lines = ParseMacroLines(text, source.string(), /*strict=*/true); !lines)
    return Fail(MacroEditStatus::kNotAMacro, lines.error());
  if (Result<void> written = WriteFileAtomically(macro.path, bytes); !written)
    return Fail(MacroEditStatus::kWriteFailed, written.error());
  return Done(macro.names, index);
}

}  // namespace korva::macro
