#pragma once
// Whole-file writes that never leave a truncated file behind: the bytes go to a temporary
// file in the same folder, are flushed to disk, and the temporary file is renamed over the target.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace korva {

struct FileResult {
  bool ok = false;
  std::string error;  // "In file X: what failed" when !ok
  explicit operator bool() const { return ok; }
};

FileResult WriteFileAtomically(const std::filesystem::path& target, std::span<const std::uint8_t> bytes);
FileResult WriteFileAtomically(const std::filesystem::path& target, std::string_view text);

// Reads a whole file. Returns false (and leaves `out` empty) when it cannot be opened or read,
// or when it is larger than `maxBytes`.
bool ReadWholeFile(const std::filesystem::path& path, std::vector<std::uint8_t>& out,
                   std::uintmax_t maxBytes = 64u * 1024u * 1024u);

}  // namespace korva
