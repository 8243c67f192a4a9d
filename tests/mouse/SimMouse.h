#pragma once
// A simulated mouse on the simulated bus (tests/sim/SimAttached.h), and a temporary data folder with
// the two mouse profile stores initialised from the shipped defaults.

#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "common/AtomicFile.h"
#include "device/CommandExchange.h"
#include "device/HidBackend.h"
#include "device/HidDevice.h"
#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "profile/DataFolders.h"
#include "profile/ProfileStore.h"
#include "sim/SimBus.h"
#include "sim/SimFirmware.h"
#include "tests/sim/SimAttached.h"

namespace korva::mouse::test {

using korva::test::Decode;
using korva::test::HookedBackend;
using korva::test::Request;
using korva::test::Sent;

class SimMouse : public korva::test::SimAttachedDevice {
 public:
  SimMouse() : SimAttachedDevice(sim::SimDeviceKind::kMouse, device::kMouseIdentity) {}
};

// The requests of a full read: begin, info, default block, five times record and bank, active number, end.
inline std::vector<Sent> FullReadSequence() {
  std::vector<Sent> expected{Request(0x01, 0, 0), Request(0x03, 0x21, 0)};
  const auto block = [&expected](std::uint8_t code, std::uint16_t base) {
    for (std::uint16_t offset = 0; offset < 512; offset += 56) {
      expected.push_back(Request(code, static_cast<std::uint8_t>(offset + 56 < 512 ? 56 : 512 - offset),
                                 static_cast<std::uint16_t>(base + offset)));
    }
  };
  block(0x07, 0);
  for (std::uint16_t n = 0; n < 5; ++n) {
    expected.push_back(Request(0x05, 56, static_cast<std::uint16_t>(n * 64)));
    block(0x08, static_cast<std::uint16_t>(n * 126));
  }
  expected.push_back(Request(0x05, 1, 0));
  expected.push_back(Request(0x02, 0, 0));
  return expected;
}

// A fresh data folder with the mouse's light and key stores initialised from the shipped defaults.
class MouseStores {
 public:
  MouseStores() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korva-mouse-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) folder_ = pattern;
    // The shipped default files: in $KORVA_SOURCE_DIR when set, else in the tree this test was built from.
    const char* source = std::getenv("KORVA_SOURCE_DIR");
    const std::filesystem::path defaults =
        std::filesystem::path(source != nullptr && *source != '\0' ? source : KORVA_MOUSE_TEST_SOURCE_DIR) /
        "data";
    light = std::make_unique<profile::ProfileStore>(profile::StoreKind::kMouseLight,
                                                    profile::DataFolders(folder_), defaults);
    key = std::make_unique<profile::ProfileStore>(profile::StoreKind::kMouseKey,
                                                  profile::DataFolders(folder_), defaults);
    ready = !folder_.empty() && light->Initialise().result.ok() && key->Initialise().result.ok();
  }
  ~MouseStores() {
    std::error_code ec;
    std::filesystem::remove_all(folder_, ec);
  }
  MouseStores(const MouseStores&) = delete;
  MouseStores& operator=(const MouseStores&) = delete;

  // Every file of the data folder with its bytes, to see that nothing was written.
  std::map<std::string, std::vector<std::uint8_t>> Snapshot() const {
    std::map<std::string, std::vector<std::uint8_t>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder_)) {
      if (!entry.is_regular_file()) continue;
      std::vector<std::uint8_t> bytes;
      korva::ReadWholeFile(entry.path(), bytes);
      files[entry.path().string()] = std::move(bytes);
    }
    return files;
  }

  std::unique_ptr<profile::ProfileStore> light;
  std::unique_ptr<profile::ProfileStore> key;
  bool ready = false;

 private:
  std::filesystem::path folder_;
};

}  // namespace korva::mouse::test
