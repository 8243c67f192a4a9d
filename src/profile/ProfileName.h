#pragma once
// Rules for the names of profiles (and macros): a name typed by the user, or read back from an
// index file, is also the stem of a file in the device's data folder, so it becomes a file name
// only after ValidateProfileName has accepted it.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korva::profile {

// Longest accepted name in UTF-8 bytes: room for 21 CJK characters, far below the 255-byte
// limit of a file name once the extension is added.
inline constexpr std::size_t kMaxProfileNameBytes = 64;

// The stem of the names given to new profiles: "新配置文件" (new profile) followed by a number.
inline constexpr std::string_view kNewProfileNameStem = "新配置文件";
// A copy is named "<source> copy", the suffix repeated until the name is free.
inline constexpr std::string_view kCopySuffix = " copy";

enum class NameProblem {
  kNone,
  kEmpty,
  kTooLong,
  kInvalidUtf8,
  kControlCharacter,
  kPathSeparator,
  kDotName,    // "." or ".."
  kDoubleDot,  // ".." inside the name
  kEdgeSpace,  // leading or trailing space: the index file would not keep it
};

struct NameCheck {
  NameProblem problem = NameProblem::kNone;
  std::string reason;  // a sentence saying why the name was refused; empty when accepted
  bool ok() const { return problem == NameProblem::kNone; }
  explicit operator bool() const { return ok(); }
};

NameCheck ValidateProfileName(std::string_view name);

// True when `names` holds `name` without regard to case (names are unique that way, since
// they are also file names on systems that ignore case).
bool ContainsName(const std::vector<std::string>& names, std::string_view name);

// "新配置文件<n>" with the lowest n >= 1 not already in `names`.
std::string NewProfileName(const std::vector<std::string>& names);

// `source` + " copy", the suffix applied again until the result is not in `names`.
// The result may be too long for ValidateProfileName; callers validate it like any other name.
std::string CopyProfileName(std::string_view source, const std::vector<std::string>& names);

}  // namespace korva::profile
