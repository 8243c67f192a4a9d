#include "profile/ApplicationLink.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace korva::profile {
namespace {

// The kernel appends this to /proc/<pid>/exe when the file was replaced while the program runs
// (an update); it is still the same program.
constexpr std::string_view kDeletedSuffix = " (deleted)";

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](unsigned char x, unsigned char y) {
    const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; };
    return lower(x) == lower(y);
  });
}

std::string Resolved(std::string_view path) {
  std::error_code error;
  const std::filesystem::path canonical =
      std::filesystem::weakly_canonical(std::filesystem::path(path), error);
  return error ? std::string(path) : canonical.string();
}

std::string_view WithoutDeletedSuffix(std::string_view path) {
  if (path.ends_with(kDeletedSuffix)) path.remove_suffix(kDeletedSuffix.size());
  return path;
}

bool IsFullPath(std::string_view path) {
  return path.find('/') != std::string_view::npos;
}

}  // namespace

LinkCheck CheckLink(const std::vector<ProfileLink>& links, std::string_view executable) {
  // The refusal comes first, as a path that is linked already is reported even when odd.
  for (const ProfileLink& link : links) {
    if (link.linked && !executable.empty() && SameExecutable(link.executable, executable))
      return LinkCheck::kAlreadyLinked;
  }
  return IsFullPath(executable) ? LinkCheck::kAccepted : LinkCheck::kNoPath;
}

bool SameExecutable(std::string_view stored, std::string_view foreground) {
  foreground = WithoutDeletedSuffix(foreground);
  // A path with no "/" (an unlinked profile keeps " ") never names a program.
  if (!IsFullPath(stored) || !IsFullPath(foreground)) return false;
  if (EqualIgnoringCase(stored, foreground)) return true;
  return EqualIgnoringCase(Resolved(stored), Resolved(foreground));
}

bool AnyLinked(const std::vector<ProfileLink>& links) {
  return std::ranges::any_of(
      links, [](const ProfileLink& link) { return link.linked && IsFullPath(link.executable); });
}

int LinkedProfileOf(const std::vector<ProfileLink>& links, std::string_view foreground) {
  if (foreground.empty()) return -1;
  for (std::size_t i = 0; i < links.size(); ++i) {
    if (links[i].linked && SameExecutable(links[i].executable, foreground)) return static_cast<int>(i);
  }
  return -1;
}

std::string ExecutableFileName(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace korva::profile
