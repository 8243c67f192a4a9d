#pragma once
// Whole-file writes that never leave a truncated file behind: the bytes go to a temporary file in
// the folder of the real file, are flushed to disk, and the temporary file is renamed over it.
//
//  - A target that is a symbolic link is written through: the link is followed to the file it
//    names, the temporary goes beside that file and replaces it; the link itself stays.
//  - The new file keeps the permission bits of the file it replaces; a new file gets the usual
//    0666 less the process's umask.
//  - Temporaries are named ".korva-" and six letters or digits, short enough to sit beside a
//    file whose name already has the longest length a folder allows. While a temporary is being
//    written its writer holds an advisory lock (flock) on it, so RemoveStaleTemporaries, in this
//    process or another, can tell a live write from the leftover of a killed one.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <vector>

#include "common/Result.h"

namespace korva {

inline constexpr std::string_view kTemporaryPrefix = ".korva-";
inline constexpr std::size_t kTemporaryRandomLength = 6;

// A leftover is removed only when it is at least this old: a writer takes its lock right after
// creating the file, and this covers that moment with a wide margin.
inline constexpr std::chrono::seconds kStaleTemporaryAge{10};

Result<void> WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);
Result<void> WriteFileAtomically(const std::filesystem::path& target, std::string_view text);

// True for the names WriteFileAtomically gives its temporaries, and for no other name.
bool IsTemporaryName(std::string_view fileName);

// Removes, from `folder` (not its sub-folders), the temporaries that interrupted writes left
// behind: regular files with a temporary's name, last changed at least `minAge` ago and not
// locked by a writer. Anything else is left alone. Returns how many were removed.
std::size_t RemoveStaleTemporaries(const std::filesystem::path& folder,
                                   std::chrono::seconds minAge = kStaleTemporaryAge);

// Reads a whole file. Returns false (and leaves `out` empty) when it cannot be opened or read,
// or when it is larger than `maxBytes`.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                   std::uintmax_t maxBytes = 64u * 1024u * 1024u);

}  // namespace korva
