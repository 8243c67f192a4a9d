#include "profile/ProfileName.h"

#include "profile/TextChecks.h"

namespace korva::profile {
namespace {

NameCheck Refuse(NameProblem problem, std::string reason) {
  return {problem, std::move(reason)};
}

}  // namespace

NameCheck ValidateProfileName(std::string_view name) {
  if (name.empty()) return Refuse(NameProblem::kEmpty, "The name is empty.");
  if (name.size() > kMaxProfileNameBytes) {
    return Refuse(NameProblem::kTooLong,
                  "The name is longer than " + std::to_string(kMaxProfileNameBytes) + " bytes.");
  }
  if (!IsValidUtf8(name)) return Refuse(NameProblem::kInvalidUtf8, "The name is not valid UTF-8 text.");
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) {
      return Refuse(NameProblem::kControlCharacter, "The name contains a control character.");
    }
    if (c == '/' || c == '\\') {
      return Refuse(NameProblem::kPathSeparator, "The name contains a path separator ('/' or '\\').");
    }
  }
  if (name == "." || name == "..")
    return Refuse(NameProblem::kDotName, "The name cannot be \".\" or \"..\".");
  if (name.find("..") != std::string_view::npos) {
    return Refuse(NameProblem::kDoubleDot, "The name cannot contain \"..\".");
  }
  if (name.front() == ' ' || name.back() == ' ') {
    return Refuse(NameProblem::kEdgeSpace, "The name cannot begin or end with a space.");
  }
  return {};
}

bool ContainsName(const std::vector<std::string>& names, std::string_view name) {
  for (const std::string& existing : names) {
    if (EqualsIgnoringCase(existing, name)) return true;
  }
  return false;
}

std::string NewProfileName(const std::vector<std::string>& names) {
  // Among n = 1 .. size + 1 at least one number is free, so the loop always returns.
  for (std::size_t n = 1;; ++n) {
    std::string candidate = std::string(kNewProfileNameStem) + std::to_string(n);
    if (!ContainsName(names, candidate)) return candidate;
  }
}

std::string CopyProfileName(std::string_view source, const std::vector<std::string>& names) {
  std::string candidate = std::string(source) + std::string(kCopySuffix);
  // Each round adds the suffix once; at most names.size() candidates can be taken.
  while (ContainsName(names, candidate)) candidate += kCopySuffix;
  return candidate;
}

}  // namespace korva::profile
