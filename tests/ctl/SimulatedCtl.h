#pragma once
// The fixture of korvactl's command tests: the simulated keyboard, mouse, mousepad and headset, and
// a data folder of the test's own. Every command runs on a new session over them, as a new korvactl
// process (or a new start of the program) would.

#include <gtest/gtest.h>
#include <json/reader.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>

#include "ctl/CtlCommand.h"
#include "ctl/CtlRunner.h"
#include "ctl/CtlService.h"
#include "ctl/QuietHost.h"
#include "headset/AudioLibrary.h"
#include "profile/DataFolders.h"
#include "session/DeviceSession.h"
#include "sim/SimBus.h"
#include "sim/headset/SimulatedHeadsetChip.h"
#include "tests/ctl/Words.h"
#include "tests/profile/TempFolder.h"

namespace korva::ctl::test {

class SimulatedCtlTest : public testing::Test {
 protected:
  SimulatedCtlTest() {
    bus.Plug(sim::SimDeviceKind::kKeyboard);
    bus.Plug(sim::SimDeviceKind::kMouse);
    bus.Plug(sim::SimDeviceKind::kMousepad);
    headsetChip->SetPresent(true);
  }

  // `work` on a new session over the same simulated devices and data folder.
  template <typename Work>
  auto WithSession(Work work) {
    headset::AudioLibrary audio;
    EXPECT_EQ(audio.Bind(headsetChip), headset::kAudioBindOk);
    session::SessionOptions options(folders);
    const char* source = std::getenv("KORVA_SOURCE_DIR");
    options.defaultsFolder = profile::DefaultFilesFolder(source ? source : ".");
    session::DeviceSession session(bus, audio, options);
    QuietHost host;
    session.SetHost(&host);
    session.Initialise();
    ConnectDevices(session);
    auto result = work(session);
    session.SetHost(nullptr);
    return result;
  }

  // Runs `line`; the answer's JSON goes through its text form and back.
  CtlResult Run(const std::string& line, const CtlHooks& hooks = {}) {
    const ParseOutcome parsed = ParseCtlCommand(Split(line));
    EXPECT_TRUE(parsed.command) << parsed.error;
    if (!parsed.command) return CtlResult::Failure(kExitUsage, parsed.error);
    CtlResult result = WithSession(
        [&](session::DeviceSession& session) { return RunCtlCommand(session, *parsed.command, hooks); });
    if (result.exitCode == kExitOk) {
      Json::Value reparsed;
      std::istringstream text(RenderResult(result, true));
      std::string errors;
      EXPECT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), text, &reparsed, &errors)) << errors;
      result.json = reparsed;
    }
    return result;
  }

  // The running program's answer to a request line (the program on the simulated devices).
  CtlAnswer Forwarded(const std::string& line) {
    const std::optional<CtlAnswer> answer = ParseAnswer(
        WithSession([&](session::DeviceSession& session) { return AnswerRequest(line, session, true); }));
    EXPECT_TRUE(answer);
    return answer.value_or(CtlAnswer{});
  }

  profile::testing::TempFolder home;
  profile::DataFolders folders{home.path()};
  sim::SimBus bus;
  std::shared_ptr<sim::SimulatedHeadsetChip> headsetChip = std::make_shared<sim::SimulatedHeadsetChip>();
};

}  // namespace korva::ctl::test
