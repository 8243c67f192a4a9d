// korvactl's commands against the simulated devices: each answer's JSON parsed and checked, and
// every change read back from the device (a fresh session reads the simulated firmware again).

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/ctl/SimulatedCtl.h"

namespace korva::ctl {
namespace {

using test::Split;

using CtlRunnerTest = test::SimulatedCtlTest;

TEST_F(CtlRunnerTest, ListsTheConnectedDevices) {
  const CtlResult result = Run("list --json");
  ASSERT_EQ(result.exitCode, kExitOk) << result.error;
  const Json::Value& devices = result.json["devices"];
  ASSERT_EQ(devices.size(), 4u);
  EXPECT_EQ(devices[0]["kind"].asString(), "keyboard");
  EXPECT_EQ(devices[1]["kind"].asString(), "mouse");
  EXPECT_EQ(devices[1]["productId"].asString(), "6721");
  EXPECT_EQ(devices[2]["kind"].asString(), "mousepad");
  EXPECT_EQ(devices[2]["productId"].asString(), "6621");
  EXPECT_FALSE(devices[1]["path"].asString().empty());
  EXPECT_EQ(devices[1]["firmwareInfo"].asString().size(), 66u);
  // The headset is the sound card its audio library reports: no HID path.
  EXPECT_EQ(devices[3]["kind"].asString(), "headset");
  EXPECT_EQ(devices[3]["vendorId"].asString(), "0C76");
  EXPECT_EQ(devices[3]["productId"].asString(), "1630");
  EXPECT_TRUE(devices[3]["path"].isNull());
  EXPECT_NE(Run("list").text.find("headset   0C76:1630  -\n"), std::string::npos);
}

TEST_F(CtlRunnerTest, ShowsTheMouse) {
  const CtlResult result = Run("show mouse --json");
  ASSERT_EQ(result.exitCode, kExitOk) << result.error;
  EXPECT_EQ(result.json["kind"].asString(), "mouse");
  ASSERT_EQ(result.json["stages"].size(), 6u);
  EXPECT_FALSE(result.json["stages"][0]["cpi"].asString().empty());
  EXPECT_TRUE(result.json["reportRate"].isInt());
  EXPECT_GE(result.json["activeProfile"].asInt(), 1);
  EXPECT_EQ(result.json["lighting"]["colour"].asString().size(), 6u);
  EXPECT_NE(result.text.find("stage 6:"), std::string::npos);
}

TEST_F(CtlRunnerTest, ShowsTheKeyboardsKeys) {
  const CtlResult result = Run("show keyboard --json");
  ASSERT_EQ(result.exitCode, kExitOk) << result.error;
  EXPECT_EQ(result.json["keyCount"].asInt(), 126);  // the simulated keyboard's information block
  EXPECT_NE(result.text.find("keys: 126\n"), std::string::npos);
}

// Every device's lighting as its page sets it, read back by a new session: from the device for
// those that hold it, from the selected profile for the headset (whose LEDs the program drives).
TEST_F(CtlRunnerTest, LightingOfEveryDevice) {
  for (const std::string device : {"keyboard", "mouse", "mousepad", "headset"}) {
    SCOPED_TRACE(device);
    const CtlResult set = Run("set " + device + " lighting 2 --colour A0b1C2 --brightness 9 --speed 3 --json");
    ASSERT_EQ(set.exitCode, kExitOk) << set.error;
    EXPECT_EQ(set.json["lighting"]["mode"].asInt(), 2);
    const Json::Value lighting = Run("show " + device).json["lighting"];
    EXPECT_EQ(lighting["mode"].asInt(), 2);
    EXPECT_EQ(lighting["colour"].asString(), "A0B1C2");
    EXPECT_EQ(lighting["brightness"].asInt(), 9);
    EXPECT_EQ(lighting["speed"].asInt(), 3);
    EXPECT_FALSE(lighting["multicolour"].asBool());
    // Only the mode: the rest stays.
    ASSERT_EQ(Run("set " + device + " lighting 1").exitCode, kExitOk);
    const Json::Value kept = Run("show " + device).json["lighting"];
    EXPECT_EQ(kept["mode"].asInt(), 1);
    EXPECT_EQ(kept["colour"].asString(), "A0B1C2");
    EXPECT_EQ(kept["brightness"].asInt(), 9);
  }
}

TEST_F(CtlRunnerTest, LightingModesFollowEachDevicesPage) {
  struct Case {
    std::string device;
    int highest;
  };
  const Case cases[] = {{"keyboard", 9}, {"mouse", 6}, {"mousepad", 8}, {"headset", 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.device);
    EXPECT_EQ(Run("set " + c.device + " lighting " + std::to_string(c.highest)).exitCode, kExitOk);
    const CtlResult beyond = Run("set " + c.device + " lighting " + std::to_string(c.highest + 1));
    EXPECT_EQ(beyond.exitCode, kExitUsage);
    EXPECT_NE(beyond.error.find("must be from 0 to " + std::to_string(c.highest)), std::string::npos) << beyond.error;
    EXPECT_EQ(Run("show " + c.device).json["lighting"]["mode"].asInt(), c.highest);
  }
}

TEST_F(CtlRunnerTest, HooksHearOfEveryChange) {
  std::vector<std::string> heard;
  CtlHooks hooks;
  hooks.lightingSet = [&](DeviceKind kind) { heard.push_back("lighting " + std::string(DeviceKindName(kind))); };
  hooks.settingsChanged = [&](DeviceKind kind) { heard.push_back("settings " + std::string(DeviceKindName(kind))); };
  hooks.profileApplied = [&](const session::ProfileEffect& effect) {
    heard.push_back("applied " + std::string(DeviceKindName(effect.device)));
  };
  hooks.storeChanged = [&](profile::StoreKind store) { heard.push_back("store " + std::to_string(static_cast<int>(store))); };
  lighting::LightingSettings kept{};
  hooks.keepHeadsetLight = [&](const lighting::LightingSettings& record) {
    kept = record;
    return profile::StoreResult{};
  };
  const std::string pad = Run("profiles mousepad").json["profiles"][0].asString();
  struct Case {
    std::string line;
    std::vector<std::string> heard;
  };
  const Case cases[] = {
      {"show mouse", {}},
      {"set mouse rate 500", {"settings mouse"}},
      {"set mouse profile 2", {"settings mouse"}},
      {"set keyboard lighting 3", {"lighting keyboard"}},
      {"set headset lighting 3 --colour 010203", {"lighting headset"}},
      {"profiles mousepad select " + pad, {"store 4", "applied mousepad"}},
      {"profiles mouse --store key list", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    heard.clear();
    EXPECT_EQ(Run(c.line, hooks).exitCode, kExitOk);
    EXPECT_EQ(heard, c.heard);
  }
  // The program keeps the headset's record itself.
  EXPECT_EQ(kept.mode, 3);
  EXPECT_EQ(kept.blue, 3);
}

TEST_F(CtlRunnerTest, SelectingAProfilePutsItIntoEffect) {
  const std::string file = (home.path() / "static.led").string();
  ASSERT_EQ(Run("set keyboard lighting 3 --colour 112233").exitCode, kExitOk);
  const std::string first = Run("profiles keyboard").json["selected"].asString();
  ASSERT_EQ(Run("profiles keyboard export " + first + " " + file).exitCode, kExitOk);
  ASSERT_EQ(Run("profiles keyboard import " + file + " Static").exitCode, kExitOk);
  ASSERT_EQ(Run("set keyboard lighting 5 --colour 445566").exitCode, kExitOk);
  ASSERT_EQ(Run("profiles keyboard select Static").exitCode, kExitOk);
  // A new session reads the keyboard itself.
  const Json::Value lighting = Run("show keyboard").json["lighting"];
  EXPECT_EQ(lighting["mode"].asInt(), 3);
  EXPECT_EQ(lighting["colour"].asString(), "112233");
}

// The program's watcher marks a device connected before its read is taken over: until then the
// image is empty, and a change made to it would go to the device and its profile as zeros.
TEST_F(CtlRunnerTest, ADeviceStillBeingReadIsLeftAlone) {
  const Json::Value before = Run("show keyboard").json["lighting"];
  ASSERT_TRUE(before.isObject());
  const CtlResult set = WithSession([](session::DeviceSession& session) {
    session.SetInEffect(DeviceKind::kKeyboard, false);
    return RunCtlCommand(session, *ParseCtlCommand(Split("set keyboard lighting 5")).command);
  });
  EXPECT_EQ(set.exitCode, kExitDevice);
  EXPECT_EQ(set.error, "no keyboard is connected");
  EXPECT_EQ(Run("show keyboard").json["lighting"], before);
}

TEST_F(CtlRunnerTest, MouseChangesReachTheMouse) {
  struct Case {
    std::string set;
    std::string field;  // JSON pointer of the checked value in "show mouse"
    int expected;
  };
  const Case cases[] = {
      {"set mouse stage 2 7", "stage2", 7},
      {"set mouse rate 250", "reportRate", 250},
      {"set mouse profile 3", "activeProfile", 3},
      {"set mouse lighting 2 --colour 102030 --brightness 9 --speed 4", "mode", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.set);
    const CtlResult set = Run(c.set);
    ASSERT_EQ(set.exitCode, kExitOk) << set.error;
    const Json::Value shown = Run("show mouse").json;
    int value = -1;
    if (c.field == "stage2") value = shown["stages"][1]["value"].asInt();
    else if (c.field == "mode") value = shown["lighting"]["mode"].asInt();
    else value = shown[c.field].asInt();
    EXPECT_EQ(value, c.expected);
  }
  const Json::Value lighting = Run("show mouse").json["lighting"];
  EXPECT_EQ(lighting["colour"].asString(), "102030");
  EXPECT_EQ(lighting["brightness"].asInt(), 9);
  EXPECT_EQ(lighting["speed"].asInt(), 4);
}

TEST_F(CtlRunnerTest, RefusalsAndAbsentDevices) {
  struct Case {
    std::string line;
    int exitCode;
    std::string says;
  };
  const Case cases[] = {
      {"set mouse lighting 7", kExitUsage, "lighting mode of the mouse must be from 0 to 6"},
      {"set mouse stage 1 255", kExitUsage, "on this mouse"},
      {"profiles mousepad --store key", kExitUsage, "has no key profiles"},
      {"profiles mouse select Nobody", kExitUsage, "no profile named 'Nobody'"},
      {"profiles mouse import /nonexistent/file.dat Fresh", kExitDevice, "import of /nonexistent/file.dat"},
      // A name refused before anything is added (it would have left an empty profile).
      {"profiles mouse import /nonexistent/file.dat a/b", kExitUsage, "the profile name 'a/b' is refused"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const CtlResult result = Run(c.line);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_NE(result.error.find(c.says), std::string::npos) << result.error;
  }
  // The failed import left no empty profile behind.
  for (const Json::Value& name : Run("profiles mouse").json["profiles"]) EXPECT_NE(name.asString(), "Fresh");
  // The headset gone: its audio library reports nothing.
  headsetChip->SetPresent(false);
  for (const std::string line : {"show headset", "set headset lighting 1"}) {
    const CtlResult absent = Run(line);
    EXPECT_EQ(absent.exitCode, kExitDevice) << line;
    EXPECT_EQ(absent.error, "no headset is connected") << line;
  }
}

TEST_F(CtlRunnerTest, ProfilesExportImportAndSelect) {
  for (const std::string device : {"keyboard", "mouse", "mousepad"}) {
    SCOPED_TRACE(device);
    const CtlResult listed = Run("profiles " + device + " --json");
    ASSERT_EQ(listed.exitCode, kExitOk) << listed.error;
    ASSERT_GE(listed.json["profiles"].size(), 1u);
    const std::string first = listed.json["profiles"][0].asString();
    const std::string file = (home.path() / (device + ".dat")).string();
    ASSERT_EQ(Run("profiles " + device + " export " + first + " " + file).exitCode, kExitOk);
    ASSERT_EQ(Run("profiles " + device + " import " + file + " Copied").exitCode, kExitOk);
    const CtlResult selected = Run("profiles " + device + " select Copied");
    ASSERT_EQ(selected.exitCode, kExitOk) << selected.error;
    EXPECT_EQ(selected.json["selected"].asString(), "Copied");
    EXPECT_EQ(Run("profiles " + device).json["selected"].asString(), "Copied");
    EXPECT_EQ(Run("profiles " + device + " import " + file + " Copied").exitCode, kExitUsage);
  }
}

// The program's side of a forwarded request: korvactl's own words, exit codes and output.
TEST_F(CtlRunnerTest, ForwardedRequestsAnswerAsKorvactlWould) {
  struct Case {
    std::vector<std::string> arguments;
    bool here;
    int exitCode;
    std::string out;  // the beginning of stdout
    std::string err;  // a part of stderr
  };
  const Case cases[] = {
      {{"--simulate", "show", "keyboard"}, false, kExitOk, "keys: ", ""},
      {{"--simulate", "--help"}, false, kExitOk, "usage: korvactl", ""},
      {{"show", "keyboard"}, true, kExitOk, "", ""},  // the USB bus: korvactl's own
      {{"--simulate", "show", "toaster"}, false, kExitUsage, "", "korvactl: unknown device 'toaster' ("},
      {{"--simulate", "show", "toa\nster"}, false, kExitUsage, "", "korvactl: unknown device 'toa ster' ("},
      {{"--simulate", "set", "mousepad", "lighting", "9"}, false, kExitUsage, "", "from 0 to 8"},
      {{"--simulate", "profiles", "mouse", "select", "Nobody"}, false, kExitUsage, "", "no profile named 'Nobody'"},
      {{"--simulate", "show", "headset"}, false, kExitOk, "profile: profile1\nvolume: master ", ""},
      {{"--simulate", "profiles", "headset"}, false, kExitOk, "* profile1\n", ""},
      {{"--simulate", "profiles", "headset", "import", "none.json", "x"}, false, kExitDevice, "", "import of "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.arguments));
    const CtlAnswer answer = Forwarded(EncodeRequest({c.arguments, home.path()}));
    EXPECT_EQ(answer.runHere, c.here);
    EXPECT_EQ(answer.exitCode, c.exitCode);
    EXPECT_EQ(answer.out.rfind(c.out, 0), 0u) << answer.out;
    EXPECT_NE(answer.err.find(c.err), std::string::npos) << answer.err;
    if (!answer.err.empty()) {
      EXPECT_EQ(answer.err.find('\n'), answer.err.size() - 1) << "one line: " << answer.err;
    }
  }
  const CtlAnswer bad = Forwarded("KORVACTL {\"args\":[\"list\"]}");
  EXPECT_EQ(bad.exitCode, kExitUsage);
  EXPECT_EQ(bad.err, "korvactl: bad request: \"cwd\" is not a text (korvactl --help for usage)\n");
}

TEST_F(CtlRunnerTest, ForwardedFilesAreKorvactlsWorkingFolder) {
  const std::string first = Run("profiles mouse").json["profiles"][0].asString();
  const CtlAnswer exported =
      Forwarded(EncodeRequest({{"--simulate", "profiles", "mouse", "export", first, "copy.dat"}, home.path()}));
  ASSERT_EQ(exported.exitCode, kExitOk) << exported.err;
  EXPECT_TRUE(std::filesystem::exists(home.path() / "copy.dat"));
}

}  // namespace
}  // namespace korva::ctl
