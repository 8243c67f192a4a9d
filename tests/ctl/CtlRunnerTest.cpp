// korvactl's commands against the simulated devices: each answer's JSON parsed and checked, and
// every change read back from the device (a fresh session reads the simulated firmware again).

#include <gtest/gtest.h>
#include <json/reader.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

#include "ctl/CtlCommand.h"
#include "tests/ctl/Words.h"
#include "ctl/CtlRunner.h"
#include "ctl/QuietHost.h"
#include "headset/AudioLibrary.h"
#include "profile/DataFolders.h"
#include "session/DeviceSession.h"
#include "sim/SimBus.h"
#include "tests/profile/TempFolder.h"

namespace korva::ctl {
namespace {

using test::Split;

class CtlRunnerTest : public testing::Test {
 protected:
  CtlRunnerTest() {
    bus.Plug(sim::SimDeviceKind::kKeyboard);
    bus.Plug(sim::SimDeviceKind::kMouse);
    bus.Plug(sim::SimDeviceKind::kMousepad);
  }

  // Runs `line` on a new session over the same simulated bus and data folder, as a new korvactl
  // process would; the answer's JSON goes through its text form and back.
  CtlResult Run(const std::string& line) {
    const ParseOutcome parsed = ParseCtlCommand(Split(line));
    EXPECT_TRUE(parsed.command) << parsed.error;
    if (!parsed.command) return CtlResult::Failure(kExitUsage, parsed.error);
    headset::AudioLibrary audio;
    session::SessionOptions options(folders);
    const char* source = std::getenv("KORVA_SOURCE_DIR");
    options.defaultsFolder = profile::DefaultFilesFolder(source ? source : ".");
    session::DeviceSession session(bus, audio, options);
    QuietHost host;
    session.SetHost(&host);
    session.Initialise();
    ConnectDevices(session);
    CtlResult result = RunCtlCommand(session, *parsed.command);
    session.SetHost(nullptr);
    if (result.exitCode == kExitOk) {
      Json::Value reparsed;
      std::istringstream text(RenderResult(result, true));
      std::string errors;
      EXPECT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), text, &reparsed, &errors)) << errors;
      result.json = reparsed;
    }
    return result;
  }

  profile::testing::TempFolder home;
  profile::DataFolders folders{home.path()};
  sim::SimBus bus;
};

TEST_F(CtlRunnerTest, ListsTheConnectedDevices) {
  const CtlResult result = Run("list --json");
  ASSERT_EQ(result.exitCode, kExitOk) << result.error;
  const Json::Value& devices = result.json["devices"];
  ASSERT_EQ(devices.size(), 3u);
  EXPECT_EQ(devices[0]["kind"].asString(), "keyboard");
  EXPECT_EQ(devices[1]["kind"].asString(), "mouse");
  EXPECT_EQ(devices[1]["productId"].asString(), "6721");
  EXPECT_EQ(devices[2]["kind"].asString(), "mousepad");
  EXPECT_EQ(devices[2]["productId"].asString(), "6621");
  EXPECT_FALSE(devices[1]["path"].asString().empty());
  EXPECT_EQ(devices[1]["firmwareInfo"].asString().size(), 66u);
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
      {"show headset", kExitDevice, "no headset is connected"},
      {"set mouse lighting 7", kExitUsage, "lighting mode must be from 0 to 6"},
      {"set mouse stage 1 255", kExitUsage, "on this mouse"},
      {"profiles mousepad --store key", kExitUsage, "has no key profiles"},
      {"profiles mouse select Nobody", kExitUsage, "no profile named 'Nobody'"},
      {"profiles mouse import /nonexistent/file.dat Fresh", kExitDevice, "import of /nonexistent/file.dat"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const CtlResult result = Run(c.line);
    EXPECT_EQ(result.exitCode, c.exitCode);
    EXPECT_NE(result.error.find(c.says), std::string::npos) << result.error;
  }
  // The failed import left no empty profile behind.
  for (const Json::Value& name : Run("profiles mouse").json["profiles"]) EXPECT_NE(name.asString(), "Fresh");
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

}  // namespace
}  // namespace korva::ctl
