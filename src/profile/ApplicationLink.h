#pragma once
// The link of a profile to an application: which executable a profile may be linked to, and which
// profile of a store belongs to the application in the foreground. Qt-free; the index entries
// themselves are the store's (ProfileStore::ReadLink, Links, WriteLink).
//
// Stored paths are the full paths the user chose. The foreground executable comes from the
// system (/proc/<pid>/exe), which resolves symbolic links; a stored path is therefore compared
// both as stored and resolved, and without regard to case as the link rules have it.

#include <string>
#include <string_view>
#include <vector>

#include "profile/ProfileStore.h"

namespace korva::profile {

// "The application is already linked to a profile."
inline constexpr std::string_view kTextAlreadyLinked = "message_text_13";

enum class LinkCheck {
  kAccepted,
  kNoPath,         // not a full path: handled like a cancelled dialog
  kAlreadyLinked,  // a linked profile of the store has it (the selected one too) -> message_text_13
};

// Whether `executable` may be linked to a profile of the store whose links are `links`.
LinkCheck CheckLink(const std::vector<ProfileLink>& links, std::string_view executable);

// Whether the stored link path names the foreground executable.
bool SameExecutable(std::string_view stored, std::string_view foreground);

// Whether a profile of the store is linked to an application (a flag without a full path is not).
bool AnyLinked(const std::vector<ProfileLink>& links);

// The first linked profile whose executable is `foreground`; -1 when none (or `foreground` empty).
int LinkedProfileOf(const std::vector<ProfileLink>& links, std::string_view foreground);

// The name the link row shows: the text after the last "/".
std::string ExecutableFileName(std::string_view path);

}  // namespace korva::profile
