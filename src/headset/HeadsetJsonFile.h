#pragma once
// Reading and writing the headset's JSON profile files.
//
// A profile file is a few kilobytes; anything far larger, nested deeper than a profile could be,
// not UTF-8, with a NUL in a member name (neither would be written back as it was read), or not
// JSON at all is refused with an error that names the file, and nothing is read from it.
// Writes replace the file atomically, in jsoncpp's styled format followed by one line break.

#include <json/value.h>

#include <cstdint>
#include <filesystem>
#include <string_view>

#include "common/Result.h"

namespace korva::headset {

// Largest profile file read; real ones are about 3 KiB.
inline constexpr std::uintmax_t kMaxJsonFileBytes = 256 * 1024;
// Deepest nesting accepted: a profile nests three levels ("VoiceInfo" / "eqinfo" / entry).
inline constexpr int kMaxJsonDepth = 32;

// Parses `text` as one JSON document. `file` only names the input in the error.
korva::Result<Json::Value> ParseJson(std::string_view text, const std::filesystem::path& file = {});
// The whole file parsed. A missing, unreadable, empty, too large or unparsable file is an error.
korva::Result<Json::Value> ReadJsonFile(const std::filesystem::path& path);
// The styled text of `value` and a line break, written atomically.
korva::Result<void> WriteJsonFile(const std::filesystem::path& path, const Json::Value& value);

}  // namespace korva::headset
