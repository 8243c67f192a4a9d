// korva_save_loop BASE_FOLDER DEFAULTS_FOLDER SEED
//
// Saves without end into the data folders under BASE_FOLDER, as a user clicking through every page
// would: profile saves, adds, copies, renames, deletes, selections and links of the five profile
// stores; macro adds, saves, renames and deletes of both macro libraries; cursor-macro bullets; the
// headset's JSON profiles. Starts the way the program does (first-run profiles from
// DEFAULTS_FOLDER), prints "ready" as it starts, and runs until it is killed. The kill test
// kills it at random moments and checks what it left behind.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "headset/HeadsetProfiles.h"
#include "macro/MacroEdits.h"
#include "macro/MacroFiles.h"
#include "mouse/CursorMacros.h"
#include "profile/DataFolders.h"
#include "profile/ProfileStore.h"

namespace {

using namespace korva;

// Lists grow to about this many entries, then shrink again.
constexpr int kListLength = 5;

class SaveLoop {
 public:
  SaveLoop(const std::filesystem::path& base, const std::filesystem::path& defaults, std::uint32_t seed)
      : folders_(base),
        cursors_(folders_.GetDeviceFolder(DeviceKind::kMouse), defaults),
        headset_(folders_, defaults),
        random_(seed) {
    for (profile::StoreKind kind : {profile::StoreKind::kKeyboardLight, profile::StoreKind::kKeyboardKey,
                                    profile::StoreKind::kMouseLight, profile::StoreKind::kMouseKey,
                                    profile::StoreKind::kMousepadLight}) {
      stores_.push_back(std::make_unique<profile::ProfileStore>(kind, folders_, defaults));
    }
    macros_ = {macro::MacroLibrary{folders_.GetDeviceFolder(DeviceKind::kKeyboard), DeviceKind::kKeyboard},
               macro::MacroLibrary{folders_.GetDeviceFolder(DeviceKind::kMouse), DeviceKind::kMouse}};
  }

  // What the program does at its start.
  void Start() {
    for (auto& store : stores_) (void)store->Initialise();
    (void)cursors_.Initialise();
    (void)headset_.Initialise();
  }

  void Step() {
    const std::vector<std::function<void()>> actions = {
        [this] { SaveProfile(); },       [this] { ChangeProfileList(); },     [this] { ChangeMacros(); },
        [this] { StoreCursorBullet(); }, [this] { ChangeHeadsetProfiles(); },
    };
    actions[Below(actions.size())]();
  }

 private:
  std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(random_); }
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Below(static_cast<std::size_t>(n))); }
  std::uint8_t Byte() { return static_cast<std::uint8_t>(Below(std::size_t{256})); }
  std::string NewName() { return "n" + std::to_string(Below(std::size_t{1000})); }

  profile::ProfileStore& AnyStore() { return *stores_[Below(stores_.size())]; }

  void SaveProfile() {
    profile::ProfileStore& store = AnyStore();
    std::vector<std::uint8_t> payload(store.layout().payloadSize);
    for (std::uint8_t& byte : payload) byte = Byte();
    (void)store.SaveProfile(payload);
  }

  void ChangeProfileList() {
    profile::ProfileStore& store = AnyStore();
    const int count = store.Count();
    switch (Below(6)) {
      case 0:
        if (count < kListLength) (void)store.AddProfile();
        break;
      case 1:
        if (count < kListLength) (void)store.CopyProfile(Below(count));
        break;
      case 2:
        if (count > 1) (void)store.DeleteProfile(Below(count));
        break;
      case 3:
        (void)store.RenameProfile(Below(count), NewName());
        break;
      case 4:
        (void)store.SelectProfile(Below(count));
        break;
      default:
        (void)store.WriteLink(Below(count), {Below(2) == 1, "/usr/bin/game" + std::to_string(Below(9))});
        break;
    }
  }

  std::vector<macro::MacroAction> Steps() {
    std::vector<macro::MacroAction> steps;
    const int count = 1 + Below(40);
    for (int i = 0; i < count; ++i) {
      const bool press = i % 2 == 0;
      steps.push_back(
          {static_cast<std::uint16_t>(Below(500)),
           static_cast<std::uint8_t>(macro::step_kind::kKey | (press ? macro::step_kind::kPressBit : 0)),
           0x04, static_cast<std::uint16_t>(press ? 1 : 0), "keyboard_key_A"});
    }
    return steps;
  }

  void ChangeMacros() {
    const macro::MacroLibrary& library = macros_[Below(macros_.size())];
    const Result<std::vector<std::string>> names = macro::LoadMacroIndex(library);
    const int count = names ? static_cast<int>(names.value().size()) : 0;
    switch (count == 0 ? 0 : Below(4)) {
      case 0:
        if (count < kListLength) (void)macro::AddMacro(library);
        break;
      case 1:
        (void)macro::SaveMacro(library, names.value()[static_cast<std::size_t>(Below(count))], Steps());
        break;
      case 2:
        (void)macro::RenameMacro(library, Below(count), NewName(), Steps());
        break;
      default:
        (void)macro::DeleteMacro(library, Below(count));
        break;
    }
  }

  void StoreCursorBullet() {
    const mouse::CursorBulletEdit edit{
        static_cast<std::uint32_t>(Below(2000)), {Byte(), Below(2) == 1}, {Byte(), Below(2) == 1}};
    (void)cursors_.StoreBullet(Below(4), Below(10), edit);
  }

  void ChangeHeadsetProfiles() {
    const int count = static_cast<int>(headset_.Names().size());
    switch (Below(5)) {
      case 0: {
        headset::HeadsetVoiceSettings voice;
        voice.master = Below(101);
        voice.mic = Below(101);
        (void)headset_.SaveVoiceInfo(Below(count), voice);
        break;
      }
      case 1: {
        lighting::LightingSettings light;
        light.mode = static_cast<std::uint8_t>(Below(8));
        light.red = Byte();
        (void)headset_.SaveLightInfo(Below(count), light);
        break;
      }
      case 2:
        if (count < kListLength) (void)headset_.Add();
        break;
      case 3:
        (void)headset_.Rename(Below(count), NewName());
        break;
      default:
        if (count > 1) (void)headset_.Delete(Below(count));
        break;
    }
  }

  profile::DataFolders folders_;
  std::vector<std::unique_ptr<profile::ProfileStore>> stores_;
  std::vector<macro::MacroLibrary> macros_;
  mouse::CursorMacros cursors_;
  headset::HeadsetProfiles headset_;
  std::mt19937 random_;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: korva_save_loop BASE_FOLDER DEFAULTS_FOLDER SEED\n");
    return 2;
  }
  SaveLoop loop(argv[1], argv[2], static_cast<std::uint32_t>(std::strtoul(argv[3], nullptr, 10)));
  // Said before the start, so that kills land in the first-run saves too.
  std::printf("ready\n");
  std::fflush(stdout);
  loop.Start();
  for (;;) loop.Step();
}
