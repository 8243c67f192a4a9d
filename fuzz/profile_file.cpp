// Binary profile files (.pro, .led): the bytes go into a file, which is read as each device's
// profile with the payload size the bytes fit and with one they do not.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzSupport.h"
#include "profile/ProfileFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using korva::profile::DeviceTag;
  const std::filesystem::path file = korva::fuzz::ScratchFolder() / "fuzz.pro";
  korva::fuzz::WriteBytes(file, korva::fuzz::AsText(data, size));
  const std::size_t fits =
      size > korva::profile::ProfileFileHeader::kSize ? size - korva::profile::ProfileFileHeader::kSize : 0;
  for (DeviceTag tag : {DeviceTag::kKeyboard, DeviceTag::kMouse, DeviceTag::kMousepad}) {
    for (std::size_t payload : {fits, fits + 1, std::size_t{64}}) {
      auto read = korva::profile::ReadProfileFile(file, tag, payload);
      if (read.ok() && read.payload.size() != payload) __builtin_trap();
      (void)read.TextId();
    }
  }
  return 0;
}
