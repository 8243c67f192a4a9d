// Headset JSON profiles: any bytes as a profile file. A profile that reads is stored back into its
// own document, written and read again, and must come back the same, or a save would change it.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "headset/HeadsetJsonFile.h"
#include "headset/HeadsetProfileFormat.h"

using namespace korva::headset;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::filesystem::path file = korva::fuzz::ScratchFolder() / "fuzz.json";
  korva::fuzz::WriteBytes(file, korva::fuzz::AsText(data, size));
  auto document = ReadJsonFile(file);
  if (!document) return 0;
  const auto profile = ParseHeadsetProfile(document.value());
  if (!profile) return 0;
  if (profile.value().voice && !StoreVoiceInfo(document.value(), *profile.value().voice)) __builtin_trap();
  if (!StoreLightInfo(document.value(), profile.value().light)) __builtin_trap();
  if (!WriteJsonFile(file, document.value())) __builtin_trap();
  const auto again = ReadJsonFile(file);
  if (!again) __builtin_trap();
  const auto back = ParseHeadsetProfile(again.value());
  if (!back || back.value().voice != profile.value().voice || back.value().light != profile.value().light)
    __builtin_trap();
  return 0;
}
