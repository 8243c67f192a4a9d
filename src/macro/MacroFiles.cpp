#include "macro/MacroFiles.h"

#include <algorithm>
#include <system_error>

#include "profile/IniFile.h"
#include "profile/ProfileName.h"
#include "profile/TextChecks.h"

namespace korva::macro {
using profile::IniFile;

// The existing entry of `folder` named `name` without regard to letter case; `folder / name` when
// there is none (or several: then the exact spelling decides).
std::filesystem::path FindIgnoringCase(const std::filesystem::path& folder, const std::string& name) {
  std::filesystem::path exact = folder / name;
  std::error_code ec;
  if (std::filesystem::exists(exact, ec)) return exact;
  std::filesystem::path found;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!profile::EqualsIgnoringCase(it->path().filename().string(), name)) continue;
    if (!found.empty()) return exact;
    found = it->path();
  }
  return found.empty() ? exact : found;
}

Result<std::size_t> ReadCount(const IniFile& file, std::string_view section, std::size_t limit,
                              const std::string& fileName) {
  if (!file.HasKey(section, kCountKey)) return std::size_t{0};
  const std::string text = file.GetString(section, kCountKey, "");
  const auto bad = [&] {
    return Error::InFile(fileName, std::string(section) + "/" + std::string(kCountKey) + " is \"" + text +
                                       "\", not a number from 0 to " + std::to_string(limit));
  };
  if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return bad();
  const std::size_t count = std::stoul(text);
  if (count > limit) return bad();
  return count;
}

std::string_view MacroIndexFileName(DeviceKind device) {
  return device == DeviceKind::kMouse ? "msMacro.ini" : "kbMacro.ini";
}

std::filesystem::path MacroIndexPath(const MacroLibrary& library) {
  return FindIgnoringCase(library.folder, std::string(MacroIndexFileName(library.device)));
}

Result<std::filesystem::path> MacroFilePath(const MacroLibrary& library, std::string_view name) {
  const profile::NameCheck check = profile::ValidateProfileName(name);
  if (!check) return Error::Plain("The macro name \"" + std::string(name) + "\" is refused: " + check.reason);
  return FindIgnoringCase(library.folder, std::string(name) + std::string(kMacroExtension));
}

Result<std::vector<std::string>> LoadNameList(const std::filesystem::path& path, std::string_view countSection,
                                              std::string_view nameSection, std::size_t limit) {
  const IniFile file = IniFile::Load(path);
  const Result<std::size_t> count = ReadCount(file, countSection, limit, path.string());
  if (!count) return count.error();
  std::vector<std::string> names;
  for (std::size_t i = 0; i < count.value(); ++i) {
    const std::string key = std::to_string(i);
    const std::string where = std::string(nameSection) + "/" + key;
    if (!file.HasKey(nameSection, key)) return Error::InFile(path.string(), where + " is missing");
    std::string name = file.GetString(nameSection, key, "");
    const profile::NameCheck check = profile::ValidateProfileName(name);
    if (!check) return Error::InFile(path.string(), where + " \"" + name + "\" cannot be a file name: " + check.reason);
    if (profile::ContainsName(names, name))
      return Error::InFile(path.string(), where + " \"" + name + "\" is listed twice");
    names.push_back(std::move(name));
  }
  return names;
}

Result<std::vector<std::string>> LoadMacroIndex(const MacroLibrary& library) {
  return LoadNameList(MacroIndexPath(library), kIndexCountSection, kIndexNameSection,
                      static_cast<std::size_t>(kMaxMacroCount));
}

Result<void> WriteMacroIndex(const MacroLibrary& library, const std::vector<std::string>& names) {
  if (names.size() > static_cast<std::size_t>(kMaxMacroCount))
    return Error::Plain("a macro library holds at most " + std::to_string(kMaxMacroCount) + " macros");
  for (const std::string& name : names) {
    if (const profile::NameCheck check = profile::ValidateProfileName(name); !check)
      return Error::Plain("The macro name \"" + name + "\" is refused: " + check.reason);
  }
  return profile::UpdateIniFile(MacroIndexPath(library), [&](IniFile& file) {
    // The entries of a longer list (at most the limit: a longer one is never read) go first.
    for (int i = 0; i < kMaxMacroCount; ++i) file.DeleteKey(kIndexNameSection, std::to_string(i));
    file.SetInt(kIndexCountSection, kCountKey, static_cast<int>(names.size()));
    for (std::size_t i = 0; i < names.size(); ++i) file.SetString(kIndexNameSection, std::to_string(i), names[i]);
  });
}

namespace {

Result<MacroLines> LinesOf(const IniFile& file, const std::string& fileName, bool strict) {
  if (strict && file.corrupt()) return Error::InFile(fileName, "it is not a text file of sections and keys");
  const Result<std::size_t> count = ReadCount(file, kStepCountSection, kMaxMacroSteps, fileName);
  if (!count) return count.error();
  if (strict && !file.HasKey(kStepCountSection, kCountKey))
    return Error::InFile(fileName, std::string(kStepCountSection) + "/" + std::string(kCountKey) + " is missing");
  MacroLines lines;
  lines.reserve(count.value());
  for (std::size_t j = 0; j < count.value(); ++j) {
    const std::string key = std::to_string(j);
    std::optional<MacroAction> step;
    if (file.HasKey(kStepSection, key)) step = ParseMacroAction(file.GetString(kStepSection, key, ""));
    if (strict && !step)
      return Error::InFile(fileName, std::string(kStepSection) + "/" + key + " is missing or not a macro step");
    lines.push_back(std::move(step));
  }
  return lines;
}

}  // namespace

Result<MacroLines> ReadMacroLines(const std::filesystem::path& path) {
  return LinesOf(IniFile::Load(path), path.string(), false);
}

Result<MacroLines> ParseMacroLines(std::string_view text, const std::string& fileName, bool strict) {
  return LinesOf(IniFile::Parse(text, fileName), fileName, strict);
}

Result<std::vector<MacroAction>> LoadMacro(const MacroLibrary& library, std::string_view name) {
  const Result<std::filesystem::path> path = MacroFilePath(library, name);
  if (!path) return path.error();
  Result<MacroLines> lines = ReadMacroLines(path.value());
  if (!lines) return lines.error();
  std::vector<MacroAction> steps;
  for (std::optional<MacroAction>& line : lines.value()) {
    if (line) steps.push_back(std::move(*line));
  }
  return steps;
}

Result<void> SaveMacro(const MacroLibrary& library, std::string_view name, const std::vector<MacroAction>& steps) {
  const Result<std::filesystem::path> path = MacroFilePath(library, name);
  if (!path) return path.error();
  if (steps.size() > kMaxMacroSteps)
    return Error::InFile(path.value().string(), "a macro holds at most " + std::to_string(kMaxMacroSteps) + " steps");
  std::vector<std::string> texts;
  texts.reserve(steps.size());
  for (const MacroAction& step : steps) {
    texts.push_back(FormatMacroAction(step));
    // A label that would not read back as the same line (a comma, a line break) is never stored.
    if (ParseMacroAction(texts.back()) != step || texts.back().find_first_of("\r\n") != std::string::npos ||
        !profile::IsValidUtf8(texts.back()))
      return Error::InFile(path.value().string(), "the step \"" + texts.back() + "\" cannot be stored");
  }
  return profile::UpdateIniFile(path.value(), [&](IniFile& file) {
    const Result<std::size_t> previous = ReadCount(file, kStepCountSection, kMaxMacroSteps, path.value().string());
    for (std::size_t j = steps.size(); previous && j < previous.value(); ++j) file.DeleteKey(kStepSection, std::to_string(j));
    file.SetInt(kStepCountSection, kCountKey, static_cast<int>(steps.size()));
    for (std::size_t j = 0; j < texts.size(); ++j) file.SetString(kStepSection, std::to_string(j), texts[j]);
  });
}

}  // namespace korva::macro
