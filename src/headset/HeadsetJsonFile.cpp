#include "headset/HeadsetJsonFile.h"

#include <json/reader.h>
#include <json/writer.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "common/AtomicFile.h"
#include "common/Log.h"
#include "profile/TextChecks.h"

namespace korva::headset {
namespace {

// A member name holding a NUL: the styled writer ends the name there, so a save would rename the
// member (and could turn an unknown member into one of the profile's).
bool HasNulInMemberName(const Json::Value& value) {
  if (value.isObject()) {
    for (auto it = value.begin(); it != value.end(); ++it) {
      if (it.name().find('\0') != std::string::npos) return true;
    }
  }
  if (value.isObject() || value.isArray()) {
    for (const Json::Value& member : value) {
      if (HasNulInMemberName(member)) return true;
    }
  }
  return false;
}

}  // namespace

korva::Result<Json::Value> ParseJson(std::string_view text, const std::filesystem::path& file) {
  if (text.empty()) return korva::Error::InFile(file.string(), "the file is empty");
  // JSON is UTF-8 text. The reader would take other bytes and the writer spell them as other
  // characters, so a save would change what it did not touch.
  if (!profile::IsValidUtf8(text))
    return korva::Error::InFile(file.string(), "not JSON: the text is not UTF-8");
  Json::CharReaderBuilder builder;
  builder["stackLimit"] = kMaxJsonDepth;
  builder["collectComments"] = false;
  const std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  try {
    // jsoncpp throws when the nesting passes the stack limit; any throw is a parse failure here.
    if (reader->parse(text.data(), text.data() + text.size(), &root, &errors)) {
      if (!HasNulInMemberName(root)) return root;
      errors = "a member name holds a NUL character";
    }
  } catch (const std::exception& e) {
    errors = e.what();
  }
  while (!errors.empty() && (errors.back() == '\n' || errors.back() == ' ')) errors.pop_back();
  return korva::Error::InFile(file.string(), "not JSON: " + errors);
}

korva::Result<Json::Value> ReadJsonFile(const std::filesystem::path& path) {
  std::vector<std::uint8_t> bytes;
  std::error_code ec;
  const auto size = std::filesystem::file_size(path, ec);
  if (!ec && size > kMaxJsonFileBytes) {
    korva::Trace("readjsonFile: " + path.string() + " is too large");
    return korva::Error::InFile(path.string(),
                                "the file is larger than " + std::to_string(kMaxJsonFileBytes) + " bytes");
  }
  if (!korva::ReadWholeFile(path, bytes, kMaxJsonFileBytes)) {
    korva::Trace("readjsonFile: cannot read " + path.string());
    return korva::Error::InFile(path.string(), "cannot be read");
  }
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  auto parsed = ParseJson(text, path);
  if (!parsed) korva::Trace("readjsonFile: " + parsed.error().ToString());
  return parsed;
}

korva::Result<void> WriteJsonFile(const std::filesystem::path& path, const Json::Value& value) {
  Json::StyledWriter writer;
  std::string text = writer.write(value);
  // The styled writer ends its text with a line break; the file adds one more after it.
  text += '\n';
  auto written = korva::WriteFileAtomically(path, text);
  if (!written) korva::Trace("wirtejsonFile: " + written.error().ToString());
  return written;
}

}  // namespace korva::headset
