#include "ctl/CtlRunner.h"

#include <json/writer.h>

#include <cstdio>
#include <sstream>

#include "ctl/CtlHeadset.h"
#include "ctl/CtlLighting.h"
#include "device/DeviceSearch.h"
#include "device/HidLink.h"
#include "device/KnownDevices.h"
#include "headset/AudioLibrary.h"
#include "lighting/LightingSettings.h"
#include "profile/ProfileName.h"
#include "session/KeyboardController.h"
#include "session/MouseController.h"
#include "session/ProfileLibrary.h"

namespace korva::ctl {
namespace {

using session::DeviceSession;

std::string Hex(unsigned value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*X", digits, value);
  return buffer;
}

std::string ColourText(const lighting::LightingSettings& record) {
  return Hex((unsigned{record.red} << 16) | (unsigned{record.green} << 8) | record.blue, 6);
}

Json::Value LightingJson(const lighting::LightingSettings& record) {
  Json::Value json(Json::objectValue);
  json["mode"] = record.mode;
  json["brightness"] = record.brightness;
  json["speed"] = record.speed;
  json["direction"] = record.direction;
  json["multicolour"] = record.multicolour != 0;
  json["colour"] = ColourText(record);
  return json;
}

device::SearchRule RuleFor(DeviceKind kind, const device::HidDevice& device) {
  if (kind == DeviceKind::kKeyboard) return device::KeyboardWatcherRule();
  return device::PatternWatcherRule(device.identity);
}

CtlResult Refused(DeviceKind kind, std::string_view what) {
  return CtlResult::Failure(kExitDevice, "the " + std::string(DeviceKindName(kind)) + " refused " + std::string(what));
}

CtlResult Done(Json::Value json, std::string text) {
  CtlResult result;
  result.json = std::move(json);
  result.text = std::move(text);
  return result;
}

CtlResult List(DeviceSession& session) {
  Json::Value devices(Json::arrayValue);
  std::ostringstream text;
  text << "KIND      PRODUCT    PATH\n";
  for (std::size_t i = 0; i < kDeviceKindCount; ++i) {
    const auto kind = static_cast<DeviceKind>(i);
    device::HidDevice& device = session.Device(kind);
    if (!Present(session, kind)) continue;
    const device::HidInterfaceInfo& info = device.link.devicePath;
    // The headset is a sound card, not a HID device: the ids its audio library reports, no path.
    const bool audio = kind == DeviceKind::kHeadset;
    const unsigned vendorId = audio ? device.identity.vendorId : info.vendorId;
    const unsigned productId = audio ? device.identity.productId : info.productId;
    Json::Value entry(Json::objectValue);
    entry["kind"] = std::string(DeviceKindName(kind));
    entry["vendorId"] = Hex(vendorId, 4);
    entry["productId"] = Hex(productId, 4);
    entry["path"] = audio ? Json::Value(Json::nullValue) : Json::Value(info.path);
    if (kind == DeviceKind::kKeyboard) entry["model"] = session.KeyboardModel();
    if (kind == DeviceKind::kMouse) {
      const mouse::MouseDeviceInfo& firmware = session.Mouse().Model().image().info;
      entry["sensor"] = Hex(firmware.SensorModel(), 4);
      std::string bytes;
      for (std::uint8_t b : firmware.bytes) bytes += Hex(b, 2);
      entry["firmwareInfo"] = bytes;
    }
    devices.append(entry);
    text << std::string(DeviceKindName(kind)).append(10 - DeviceKindName(kind).size(), ' ') << Hex(vendorId, 4)
         << ':' << Hex(productId, 4) << "  " << (audio ? "-" : info.path) << '\n';
  }
  Json::Value json(Json::objectValue);
  json["devices"] = devices;
  if (devices.empty()) text.str("no devices connected\n");
  return Done(json, text.str());
}

CtlResult Show(DeviceSession& session, DeviceKind kind, const CtlHooks& hooks) {
  if (!Present(session, kind)) return Absent(kind);
  Json::Value json(Json::objectValue);
  json["kind"] = std::string(DeviceKindName(kind));
  std::ostringstream text;
  if (kind == DeviceKind::kMouse) {
    mouse::MousePageModel& model = session.Mouse().Model();
    const mouse::MousePageView view = model.Refresh();
    Json::Value stages(Json::arrayValue);
    for (std::size_t k = 0; k < view.stages.size(); ++k) {
      Json::Value stage(Json::objectValue);
      stage["stage"] = static_cast<int>(k + 1);
      stage["value"] = view.stages[k].value;
      stage["cpi"] = view.stages[k].cpiText;
      stages.append(stage);
      text << "stage " << k + 1 << ": " << int{view.stages[k].value} << " (" << view.stages[k].cpiText << ")\n";
    }
    json["stages"] = stages;
    const int rateIndex = view.reportRate;
    json["reportRate"] = rateIndex < static_cast<int>(std::size(kMouseRates)) ? Json::Value(kMouseRates[rateIndex])
                                                                              : Json::Value(Json::nullValue);
    json["liftHeight"] = view.liftHeight;
    json["activeProfile"] = view.activeProfile + 1;
    text << "report rate: "
         << (rateIndex < static_cast<int>(std::size(kMouseRates)) ? std::to_string(kMouseRates[rateIndex]) + " Hz"
                                                                  : "unknown")
         << "\nlift height: " << int{view.liftHeight} << "\nactive profile: " << view.activeProfile + 1 << '\n';
  }
  if (kind == DeviceKind::kKeyboard) {
    const std::size_t keys = session.Keyboard().Image().KeyCount();
    json["model"] = session.KeyboardModel();
    json["keyCount"] = static_cast<Json::UInt>(keys);
    text << "keys: " << keys << '\n';
  }
  if (kind == DeviceKind::kHeadset) ShowHeadsetVoice(session, hooks, json, text);
  const lighting::LightingSettings record = session.Controller(kind).Lighting();
  json["lighting"] = LightingJson(record);
  text << "lighting: mode " << int{record.mode} << ", colour " << ColourText(record) << ", brightness "
       << int{record.brightness} << ", speed " << int{record.speed} << '\n';
  return Done(json, text.str());
}

// The mouse's changed settings to the mouse at once (the program's deferred write, without the wait).
CtlResult FlushMouse(DeviceSession& session, std::string_view what, const CtlHooks& hooks) {
  const bool written = session.Mouse().Model().Flush(session.Device(DeviceKind::kMouse)) == device::kResultOk;
  if (hooks.settingsChanged) hooks.settingsChanged(DeviceKind::kMouse);
  if (!written) return Refused(DeviceKind::kMouse, what);
  return Show(session, DeviceKind::kMouse, hooks);
}

CtlResult SetMouse(DeviceSession& session, const CtlCommand& command, const CtlHooks& hooks) {
  if (!Present(session, DeviceKind::kMouse)) return Absent(DeviceKind::kMouse);
  mouse::MousePageModel& model = session.Mouse().Model();
  switch (command.verb) {
    case Verb::kSetStage: {
      const int steps = model.Refresh().stageSliderMax;
      if (command.value > steps)
        return CtlResult::Failure(kExitUsage, "stage value must be from 0 to " + std::to_string(steps) +
                                                  " on this mouse, not " + std::to_string(command.value));
      if (!model.SetStage(command.stage, command.value).applied) return Refused(DeviceKind::kMouse, "the stage");
      return FlushMouse(session, "the stage", hooks);
    }
    case Verb::kSetRate:
      if (!model.SelectReportRate(*RateIndex(command.value)).applied) return Refused(DeviceKind::kMouse, "the rate");
      return FlushMouse(session, "the report rate", hooks);
    case Verb::kSetProfile: {
      const mouse::MouseTransferResult switched = model.SwitchProfile(session.Device(DeviceKind::kMouse), command.value - 1);
      if (hooks.settingsChanged) hooks.settingsChanged(DeviceKind::kMouse);
      if (!switched.ok()) return Refused(DeviceKind::kMouse, "the profile switch");
      return Show(session, DeviceKind::kMouse, hooks);
    }
    default:
      break;
  }
  return CtlResult::Failure(kExitUsage, "not a mouse setting");
}

CtlResult SetLighting(DeviceSession& session, const CtlCommand& command, const CtlHooks& hooks) {
  const CtlResult set = SetDeviceLighting(session, command.device, command.lighting, hooks);
  if (set.exitCode != kExitOk) return set;
  return Show(session, command.device, hooks);
}

std::optional<profile::StoreKind> StoreKindOf(DeviceKind kind, StoreChoice choice) {
  using profile::StoreKind;
  const bool light = choice == StoreChoice::kLight;
  switch (kind) {
    case DeviceKind::kKeyboard: return light ? StoreKind::kKeyboardLight : StoreKind::kKeyboardKey;
    case DeviceKind::kMouse: return light ? StoreKind::kMouseLight : StoreKind::kMouseKey;
    case DeviceKind::kMousepad: if (light) return StoreKind::kMousepadLight; break;
    case DeviceKind::kHeadset: break;
  }
  return std::nullopt;
}

CtlResult StoreFailure(const profile::StoreResult& result, std::string_view what) {
  return CtlResult::Failure(kExitDevice, std::string(what) + ": " + result.error.ToString());
}

CtlResult ListProfiles(const profile::ProfileStore& store) {
  return ListedProfiles(store.Names(), store.SelectedIndex());
}

CtlResult Profiles(DeviceSession& session, const CtlCommand& command, const CtlHooks& hooks) {
  if (command.device == DeviceKind::kHeadset) return HeadsetProfilesCommand(session, command, hooks);
  const std::optional<profile::StoreKind> kind = StoreKindOf(command.device, command.store);
  if (!kind)
    return CtlResult::Failure(kExitUsage, "the " + std::string(DeviceKindName(command.device)) + " has no " +
                                              (command.store == StoreChoice::kLight ? "light" : "key") + " profiles");
  session::ProfileLibrary library(session);
  profile::ProfileStore& store = library.Store(*kind);
  if (command.action == ProfileAction::kList) return ListProfiles(store);
  const std::vector<std::string> names = store.Names();
  int index = -1;
  for (std::size_t i = 0; i < names.size(); ++i)
    if (names[i] == command.profileName) index = static_cast<int>(i);
  if (command.action == ProfileAction::kImport) {
    if (CtlResult refused = CheckNewProfileName(names, command.profileName); refused.exitCode != kExitOk)
      return refused;
    const profile::IndexResult added = store.AddProfile();
    if (!added.result) return StoreFailure(added.result, "the new profile");
    if (const profile::StoreResult renamed = store.RenameProfile(added.index, command.profileName); !renamed) {
      store.DeleteProfile(added.index);
      return StoreFailure(renamed, "the new profile's name");
    }
    if (const profile::StoreResult imported = store.ImportProfile(added.index, command.file); !imported) {
      store.DeleteProfile(added.index);  // nothing half-imported stays behind
      if (hooks.storeChanged) hooks.storeChanged(*kind);
      return StoreFailure(imported, "import of " + command.file.string());
    }
    if (hooks.storeChanged) hooks.storeChanged(*kind);
    return ListProfiles(store);
  }
  if (index < 0) return CtlResult::Failure(kExitUsage, "no profile named '" + command.profileName + "'");
  if (command.action == ProfileAction::kExport) {
    if (const profile::StoreResult exported = store.ExportProfile(index, command.file); !exported)
      return StoreFailure(exported, "export to " + command.file.string());
    return ListProfiles(store);
  }
  // As the profile panel's selection: the profile is loaded and put into effect on the device.
  const session::ProfileEffect effect = library.Select(*kind, index);
  if (hooks.storeChanged) hooks.storeChanged(*kind);
  if (!effect.result) return StoreFailure(effect.result, "selecting '" + command.profileName + "'");
  const bool written = !Present(session, effect.device) || WriteNow(session, effect.device);
  if (hooks.profileApplied) hooks.profileApplied(effect);
  if (!written) return Refused(effect.device, "the profile's settings");
  return ListProfiles(store);
}

}  // namespace

CtlResult ListedProfiles(const std::vector<std::string>& names, int selected) {
  Json::Value list(Json::arrayValue);
  std::ostringstream text;
  for (std::size_t i = 0; i < names.size(); ++i) {
    list.append(names[i]);
    text << (static_cast<int>(i) == selected ? "* " : "  ") << names[i] << '\n';
  }
  Json::Value json(Json::objectValue);
  json["profiles"] = list;
  json["selected"] =
      selected >= 0 && selected < static_cast<int>(names.size()) ? Json::Value(names[selected]) : Json::Value();
  return Done(json, text.str());
}

CtlResult CheckNewProfileName(const std::vector<std::string>& names, const std::string& name) {
  if (const profile::NameCheck check = profile::ValidateProfileName(name); !check)
    return CtlResult::Failure(kExitUsage, "the profile name '" + name + "' is refused: " + check.reason);
  if (profile::ContainsName(names, name))
    return CtlResult::Failure(kExitUsage, "a profile named '" + name + "' exists already");
  return {};
}

bool Present(DeviceSession& session, DeviceKind kind) {
  return session.Device(kind).connected && session.InEffect(kind);
}

CtlResult Absent(DeviceKind kind) {
  return CtlResult::Failure(kExitDevice, "no " + std::string(DeviceKindName(kind)) + " is connected");
}

void ConnectDevices(DeviceSession& session) {
  for (const DeviceKind kind : {DeviceKind::kKeyboard, DeviceKind::kMouse, DeviceKind::kMousepad}) {
    device::HidDevice& device = session.Device(kind);
    if (!device::EnumerateHidPaths(device.link)) continue;
    if (!device::OpenFirstMatch(device.link, RuleFor(kind, device))) continue;
    device.connected = true;
    if (kind == DeviceKind::kKeyboard)
      session.SetKeyboardModel(std::max(0, device::ClassifyCollection(device.link.devicePath).keyboardModel));
    if (!session.Controller(kind).ReadAll().message.empty()) {
      device::CloseLink(device.link);
      device.connected = false;
      continue;
    }
    session.SetInEffect(kind, true);
  }
  // The headset, as its watcher finds it: the audio library reports it. Its lighting record is
  // the one its selected profile keeps.
  headset::PresentDeviceList present{};
  session.Audio().Search_Present_Device(present);
  if (headset::ReportsHeadset(present)) {
    LoadHeadsetLight(session);
    session.Device(DeviceKind::kHeadset).connected = true;
    session.SetInEffect(DeviceKind::kHeadset, true);
  }
}

CtlResult RunCtlCommand(DeviceSession& session, const CtlCommand& command, const CtlHooks& hooks) {
  switch (command.verb) {
    case Verb::kHelp: return Done(Json::Value(CtlUsage()), CtlUsage());
    case Verb::kList: return List(session);
    case Verb::kShow: return Show(session, command.device, hooks);
    case Verb::kSetStage:
    case Verb::kSetRate:
    case Verb::kSetProfile: return SetMouse(session, command, hooks);
    case Verb::kSetLighting: return SetLighting(session, command, hooks);
    case Verb::kProfiles: return Profiles(session, command, hooks);
  }
  return CtlResult::Failure(kExitUsage, "unknown command");
}

std::string RenderResult(const CtlResult& result, bool json) {
  if (!json) return result.text;
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "  ";
  return Json::writeString(builder, result.json) + "\n";
}

}  // namespace korva::ctl
