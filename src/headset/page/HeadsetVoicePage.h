#pragma once
// HeadsetVoicePage: the controller of the headset's voice page ("Headset_voice.xml"): the headset
// profile panel, the volumes, the sound scenes with their band display, virtual 7.1 with the
// virtual speakers' distance and angle, and the two restore buttons.
//
// The page copies values between the controls and HeadsetVoice, which holds the settings, sends
// them to the headset and saves them into the selected profile; the profile files are
// HeadsetProfiles'. Messages go through the window's message box by text id.
//
// Wiring, by the main window (all on the UI thread):
//
//   HeadsetVoicePage page(window, session.Audio(), folders, defaultsFolder, hooks);
//   page.RegisterRoutes(router);
//   window.SetPageHooks(DeviceKind::kHeadset, {.initPage = [&] { page.InitPage(); }});
//
// The headset's arrival selects the stored profile on "head_device_profile_combo" with a
// notification, which loads it here.
//
// Choices, on purpose:
//  - Loading a profile shows its speaker and scene options without raising their notifications:
//    a scene button's notification would send that button's preset, which the profile's own scene
//    values replace a moment later anyway, and a speaker option's would save the file being loaded.
//  - The band sliders and the enc box only show values; they are disabled in the skin.
//  - Settings the headset's backend cannot apply (a plain USB sound card has no virtual 7.1, sound
//    field, 3D or enc) are still stored and shown; the page lists them once, in one notice under
//    the effects, which stays while the backend refuses them.
//  - An import reloads the selected profile directly.

#include <QString>
#include <filesystem>
#include <functional>

#include "headset/AudioLibrary.h"
#include "headset/HeadsetProfiles.h"
#include "headset/HeadsetVoice.h"
#include "lighting/LightingSettings.h"
#include "profile/DataFolders.h"
#include "ui/Control.h"

namespace korva::ui {
class NotifyRouter;
class SkinWindow;
}  // namespace korva::ui

namespace korva::headset {

class HeadsetVoicePage {
 public:
  struct Hooks {
    // Shows the message box with a text id; returns its answer (1 for OK / yes).
    std::function<int(const QString& textId)> showMessage;
    // Asks for a profile file to import (open) or the file to export to (save); empty: cancelled.
    // Default: a file dialog for "*.json".
    std::function<QString(bool save)> chooseFile;
    // The lighting record of the selected profile changed (a load or a restore).
    std::function<void(const lighting::LightingSettings& light)> lightChanged;
  };

  // `window` holds the page's controls; `audio` is the headset's audio library; the profiles live
  // in `folders`' headset folder, the shipped default in `defaultsFolder`. All must outlive the page.
  HeadsetVoicePage(ui::SkinWindow& window, AudioLibrary& audio, profile::DataFolders folders,
                   std::filesystem::path defaultsFolder, Hooks hooks);
  HeadsetVoicePage(const HeadsetVoicePage&) = delete;
  HeadsetVoicePage& operator=(const HeadsetVoicePage&) = delete;

  // Binds every notification of the page. False when the routing refused a name.
  bool RegisterRoutes(ui::NotifyRouter& router);

  // "windowinit": the profile list (the first start makes "profile1").
  void InitPage();
  // The headset arrived (after its stored profile was selected) or its record changed: the
  // selected profile's values are shown and sent again, unless the selection has just done so. A
  // headset plugged in again keeps its combo selection, which then raises no "itemselect".
  void Refresh();

  // Another device's same-mode copy gave the headset a new lighting record: it is saved into the
  // selected profile's "LightInfo".
  void LightingCopied(const lighting::LightingSettings& light);

  // Profile `index` chosen from outside the page (korvactl): the list is read anew from the library
  // with that profile selected, which is then loaded, shown and sent as a choice on the list is.
  void ChooseProfile(int index);
  // The library's list changed outside the page: the list is read anew, the selection kept.
  void ReloadProfiles();

  const HeadsetVoice& Voice() const { return voice_; }
  HeadsetProfiles& Profiles() { return profiles_; }

  // --- notification handlers ------------------------------------------------------------------
  void SelectProfile(int index);
  void AddProfile();
  void RenameProfile();
  void DeleteProfile();
  void ImportProfile();
  void ExportProfile();
  void RestoreAll();
  void RecoverVoice();
  void MasterMoved(int value);
  void ChannelMoved();
  void MicMoved(int value);
  void SpeakerSelected(int speaker);
  void SpeakerSliderMoved(SpeakerSlider moved);
  void VirtualSwitched(bool on);
  void SceneSelected(int scene);

 private:
  ui::Control Find(const char* name) const;
  // The profile names into the combo, `select` selected (-1: none) without a notification.
  void FillProfileList(const std::vector<std::string>& names, int select);
  // Every control of the voice settings, as ApplyVoiceInfo shows them.
  void ShowVoice();
  void ShowBands(const std::array<int, kBandCount>& bands);
  void ShowSpeaker();
  void ShowUnapplied();
  // Shows the text id of a failed operation; true when it succeeded.
  bool Report(const profile::StoreResult& result);
  QString ChooseFile(bool save);
  int SelectedIndex() const;

  ui::SkinWindow& window_;
  bool sentSinceRefresh_ = false;  // a profile selection sent everything since the last Refresh
  HeadsetProfiles profiles_;
  HeadsetVoice voice_;
  Hooks hooks_;
};

}  // namespace korva::headset
