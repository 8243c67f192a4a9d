// INI index and settings files: parse any bytes, then read every key back the way callers do.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "profile/IniFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  auto ini = korva::profile::IniFile::Parse(text, "fuzz.ini");
  (void)ini.corrupt();
  (void)ini.empty();
  (void)ini.GetString("Profile", "Count", "");
  (void)ini.GetInt("Profile", "Count", 0);
  return 0;
}
