#include "ctl/CtlCommand.h"

#include <charconv>
#include <string_view>

namespace korva::ctl {
namespace {

std::optional<long> ParseNumber(std::string_view text, int base = 10) {
  long value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value, base);
  if (text.empty() || ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

std::optional<DeviceKind> ParseDevice(std::string_view name) {
  for (std::size_t i = 0; i < kDeviceKindCount; ++i) {
    const auto kind = static_cast<DeviceKind>(i);
    if (DeviceKindName(kind) == name) return kind;
  }
  return std::nullopt;
}

// Walks the words after the options, one error at most.
class Words {
 public:
  explicit Words(std::vector<std::string> words) : words_(std::move(words)) {}

  bool AtEnd() const { return next_ >= words_.size(); }
  std::optional<std::string> Take(std::string_view what) {
    if (AtEnd()) return Fail("missing " + std::string(what));
    return words_[next_++];
  }
  std::optional<long> TakeNumber(std::string_view what, long min, long max) {
    const std::optional<std::string> word = Take(what);
    if (!word) return std::nullopt;
    const std::optional<long> value = ParseNumber(*word);
    if (!value || *value < min || *value > max)
      return Fail(std::string(what) + " must be a number from " + std::to_string(min) + " to " +
                  std::to_string(max) + ", not '" + *word + "'");
    return value;
  }
  std::optional<DeviceKind> TakeDevice() {
    const std::optional<std::string> word = Take("device (keyboard, mouse, mousepad or headset)");
    if (!word) return std::nullopt;
    const std::optional<DeviceKind> kind = ParseDevice(*word);
    if (!kind) return Fail("unknown device '" + *word + "' (keyboard, mouse, mousepad or headset)");
    return kind;
  }
  bool ExpectEnd() {
    if (!AtEnd()) Fail("unexpected argument '" + words_[next_] + "'");
    return error_.empty();
  }
  std::nullopt_t Fail(std::string message) {
    if (error_.empty()) error_ = std::move(message);
    return std::nullopt;
  }
  const std::string& error() const { return error_; }

 private:
  std::vector<std::string> words_;
  std::size_t next_ = 0;
  std::string error_;
};

bool ParseLightingOptions(Words& words, LightingRequest& request) {
  while (!words.AtEnd()) {
    const std::string option = *words.Take("option");
    if (option == "--colour" || option == "--color") {
      const std::optional<std::string> text = words.Take("colour after " + option + " (RRGGBB)");
      if (!text) return false;
      const std::optional<long> rgb = text->size() == 6 ? ParseNumber(*text, 16) : std::nullopt;
      if (!rgb || (*text)[0] == '-' || (*text)[0] == '+')
        return words.Fail("colour must be six hexadecimal digits RRGGBB, not '" + *text + "'"), false;
      request.colour = static_cast<std::uint32_t>(*rgb);
    } else if (option == "--brightness") {
      const std::optional<long> level = words.TakeNumber("brightness", 0, 14);
      if (!level) return false;
      request.brightness = static_cast<int>(*level);
    } else if (option == "--speed") {
      const std::optional<long> speed = words.TakeNumber("speed", 0, 14);
      if (!speed) return false;
      request.speed = static_cast<int>(*speed);
    } else {
      return words.Fail("unknown lighting option '" + option + "'"), false;
    }
  }
  return true;
}

bool ParseSet(Words& words, CtlCommand& command) {
  const std::optional<DeviceKind> device = words.TakeDevice();
  if (!device) return false;
  command.device = *device;
  const std::optional<std::string> what = words.Take("setting (stage, rate, profile or lighting)");
  if (!what) return false;
  if (*what == "lighting") {
    command.verb = Verb::kSetLighting;
    const std::optional<long> mode = words.TakeNumber("lighting mode", 0, 255);
    if (!mode) return false;
    command.lighting.mode = static_cast<int>(*mode);
    return ParseLightingOptions(words, command.lighting);
  }
  if (*device != DeviceKind::kMouse)
    return words.Fail("'" + *what + "' is a mouse setting; " + std::string(DeviceKindName(*device)) +
                      " has only lighting"),
           false;
  if (*what == "stage") {
    command.verb = Verb::kSetStage;
    const std::optional<long> stage = words.TakeNumber("stage", 1, 6);
    if (!stage) return false;
    const std::optional<long> value = words.TakeNumber("stage value", 0, 255);
    if (!value) return false;
    command.stage = static_cast<int>(*stage);
    command.value = static_cast<int>(*value);
  } else if (*what == "rate") {
    command.verb = Verb::kSetRate;
    const std::optional<long> hz = words.TakeNumber("report rate", 1, 100000);
    if (!hz) return false;
    if (!RateIndex(static_cast<int>(*hz))) return words.Fail("report rate must be 125, 250, 500 or 1000 Hz"), false;
    command.value = static_cast<int>(*hz);
  } else if (*what == "profile") {
    command.verb = Verb::kSetProfile;
    const std::optional<long> n = words.TakeNumber("profile", 1, 5);
    if (!n) return false;
    command.value = static_cast<int>(*n);
  } else {
    return words.Fail("unknown mouse setting '" + *what + "' (stage, rate, profile or lighting)"), false;
  }
  return words.ExpectEnd();
}

bool ParseProfiles(Words& words, CtlCommand& command) {
  command.verb = Verb::kProfiles;
  const std::optional<DeviceKind> device = words.TakeDevice();
  if (!device) return false;
  command.device = *device;
  std::vector<std::string> rest;
  while (!words.AtEnd()) {
    std::string word = *words.Take("word");
    if (word == "--store") {
      const std::optional<std::string> store = words.Take("store after --store (light or key)");
      if (!store) return false;
      if (*store == "light") command.store = StoreChoice::kLight;
      else if (*store == "key") command.store = StoreChoice::kKey;
      else return words.Fail("unknown store '" + *store + "' (light or key)"), false;
    } else {
      rest.push_back(std::move(word));
    }
  }
  Words action(std::move(rest));
  if (!action.AtEnd()) {
    const std::string verb = *action.Take("action");
    if (verb == "list") {
      command.action = ProfileAction::kList;
    } else if (verb == "select") {
      command.action = ProfileAction::kSelect;
      if (auto name = action.Take("profile name")) command.profileName = *name;
    } else if (verb == "export") {
      command.action = ProfileAction::kExport;
      if (auto name = action.Take("profile name")) command.profileName = *name;
      if (auto file = action.Take("file to export to")) command.file = *file;
    } else if (verb == "import") {
      command.action = ProfileAction::kImport;
      if (auto file = action.Take("file to import")) command.file = *file;
      if (auto name = action.Take("name of the new profile")) command.profileName = *name;
    } else {
      action.Fail("unknown profiles action '" + verb + "' (list, select, export or import)");
    }
  }
  if (action.error().empty()) action.ExpectEnd();
  if (!action.error().empty()) return words.Fail(action.error()), false;
  return true;
}

}  // namespace

std::optional<int> RateIndex(int hz) {
  for (std::size_t i = 0; i < std::size(kMouseRates); ++i)
    if (kMouseRates[i] == hz) return static_cast<int>(i);
  return std::nullopt;
}

ParseOutcome ParseCtlCommand(const std::vector<std::string>& arguments) {
  CtlCommand command;
  std::vector<std::string> words;
  bool help = false;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    // The global options stand anywhere before a lighting or store option's value could.
    if (word == "--simulate") command.simulate = true;
    else if (word == "--json") command.json = true;
    else if (word == "--help" || word == "-h") help = true;
    else words.push_back(word);
  }
  if (help) return {command, {}};
  Words walk(std::move(words));
  // The command word by value: GCC's flow analysis misreads a std::optional<std::string> here.
  const std::string verb = walk.AtEnd() ? std::string() : *walk.Take("command");
  bool ok = false;
  if (verb.empty()) {
    walk.Fail("missing command (list, show, set or profiles)");
  } else if (verb == "list") {
    command.verb = Verb::kList;
    ok = walk.ExpectEnd();
  } else if (verb == "show") {
    command.verb = Verb::kShow;
    const std::optional<DeviceKind> device = walk.TakeDevice();
    if (device) command.device = *device;
    ok = device && walk.ExpectEnd();
  } else if (verb == "set") {
    ok = ParseSet(walk, command);
  } else if (verb == "profiles") {
    ok = ParseProfiles(walk, command);
  } else {
    walk.Fail("unknown command '" + verb + "' (list, show, set or profiles)");
  }
  if (!ok || !walk.error().empty()) return {std::nullopt, walk.error()};
  return {command, {}};
}

std::string CtlUsage() {
  return "usage: korvactl [--simulate] [--json] COMMAND\n"
         "  list                                   connected devices\n"
         "  show mouse|keyboard|mousepad|headset   the device's current settings (the headset's: its\n"
         "                                         profile, volumes, equaliser, virtual 7.1, ENC, lighting)\n"
         "  set mouse stage N VALUE                counts-per-inch stage N (1-6), slider value 0-255\n"
         "  set mouse rate HZ                      report rate: 125, 250, 500 or 1000\n"
         "  set mouse profile N                    device profile N (1-5)\n"
         "  set DEVICE lighting MODE [--colour RRGGBB] [--brightness 0-14] [--speed 0-14]\n"
         "                                         modes: keyboard 0-9, mouse 0-6, mousepad 0-8, headset 0-3\n"
         "  profiles DEVICE [--store light|key] [list | select NAME | export NAME FILE | import FILE NAME]\n"
         "                                         the profile libraries; the headset's profiles keep its\n"
         "                                         voice settings and lighting (no --store)\n"
         "options:\n"
         "  --simulate   the simulated devices instead of the USB bus\n"
         "  --json       JSON on stdout instead of text\n"
         "While the KORVA program runs, it carries the command out on the devices it has open.\n"
         "exit codes: 0 success, 1 device refused or absent, 2 bad usage\n";
}

}  // namespace korva::ctl
