#pragma once
// The command line of korvactl, parsed without touching any device:
//   korvactl [--simulate] [--json] list
//   korvactl [--simulate] [--json] show mouse|keyboard|mousepad|headset
//   korvactl [--simulate] set mouse stage N VALUE | set mouse rate HZ | set mouse profile N
//   korvactl [--simulate] set DEVICE lighting MODE [--colour RRGGBB] [--brightness L] [--speed S]
//   korvactl [--simulate] [--json] profiles DEVICE [--store light|key] [list | select NAME |
//            export NAME FILE | import FILE NAME]   (the headset: its one library, no key store)
// A mistake is reported in one line and gives exit code 2.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/DeviceKind.h"

namespace korva::ctl {

inline constexpr int kExitOk = 0;
inline constexpr int kExitDevice = 1;  // the device refused, is absent, or a file failed
inline constexpr int kExitUsage = 2;

enum class Verb { kHelp, kList, kShow, kSetStage, kSetRate, kSetProfile, kSetLighting, kProfiles };
enum class ProfileAction { kList, kSelect, kExport, kImport };
enum class StoreChoice { kLight, kKey };

struct LightingRequest {
  int mode = 0;
  std::optional<std::uint32_t> colour;  // 0xRRGGBB
  std::optional<int> brightness;
  std::optional<int> speed;
};

struct CtlCommand {
  Verb verb = Verb::kHelp;
  bool simulate = false;
  bool json = false;
  DeviceKind device = DeviceKind::kMouse;
  int stage = 0;     // set mouse stage: 1..6
  int value = 0;     // the stage value, the report rate in Hz, or the profile number
  LightingRequest lighting;
  ProfileAction action = ProfileAction::kList;
  StoreChoice store = StoreChoice::kLight;
  std::string profileName;
  std::filesystem::path file;
};

struct ParseOutcome {
  std::optional<CtlCommand> command;
  std::string error;  // one line, when command is empty
};

// `arguments` without the program name.
ParseOutcome ParseCtlCommand(const std::vector<std::string>& arguments);
std::string CtlUsage();

// The report rates the mouse offers, in the order of its rate index.
inline constexpr int kMouseRates[] = {125, 250, 500, 1000};
std::optional<int> RateIndex(int hz);

}  // namespace korva::ctl
