// Binary profile files (.pro, .led): the bytes go into a file, which is read as each device's
// profile with the payload size the bytes fit and with one they do not.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "profile/ProfileFile.h"

namespace {

const std::filesystem::path& ScratchFile() {
  static const std::filesystem::path path =
      std::filesystem::temp_directory_path() / ("korva-fuzz-profile-" + std::to_string(::getpid()) + ".pro");
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using korva::profile::DeviceTag;
  {
    std::ofstream out(ScratchFile(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  }
  const std::size_t fits = size > korva::profile::ProfileFileHeader::kSize ? size - korva::profile::ProfileFileHeader::kSize : 0;
  for (DeviceTag tag : {DeviceTag::kKeyboard, DeviceTag::kMouse, DeviceTag::kMousepad}) {
    for (std::size_t payload : {fits, fits + 1, std::size_t{64}}) {
      auto read = korva::profile::ReadProfileFile(ScratchFile(), tag, payload);
      if (read.ok() && read.payload.size() != payload) __builtin_trap();
      (void)read.TextId();
    }
  }
  return 0;
}
