// korvactl: the KORVA devices from the command line, for scripts and for users without a display.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ctl/CtlCommand.h"
#include "ctl/CtlRunner.h"
#include "ctl/QuietHost.h"
#include "ctl/RunningProgram.h"
#include "device/hidapi/HidapiBackend.h"
#include "headset/AudioLibrary.h"
#include "profile/DataFolders.h"
#include "session/DeviceSession.h"
#include "sim/SimBus.h"

int main(int argc, char** argv) {
  using namespace korva;
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const ctl::ParseOutcome parsed = ctl::ParseCtlCommand(arguments);
  if (!parsed.command) {
    std::fprintf(stderr, "korvactl: %s (korvactl --help for usage)\n", parsed.error.c_str());
    return ctl::kExitUsage;
  }
  const ctl::CtlCommand& command = *parsed.command;
  if (command.verb == ctl::Verb::kHelp) {
    std::fputs(ctl::CtlUsage().c_str(), stdout);
    return ctl::kExitOk;
  }

  std::unique_ptr<device::HidBackend> backend;
  if (command.simulate) {
    auto bus = std::make_unique<sim::SimBus>();
    bus->Plug(sim::SimDeviceKind::kKeyboard);
    bus->Plug(sim::SimDeviceKind::kMouse);
    bus->Plug(sim::SimDeviceKind::kMousepad);
    backend = std::move(bus);
  } else {
    // Two processes exchanging commands with one device would take each other's answers.
    if (ctl::ProgramIsRunning(ctl::ProgramSocketPath())) {
      std::fprintf(stderr, "korvactl: the KORVA program is running and has the devices open; close it first\n");
      return ctl::kExitDevice;
    }
    backend = std::make_unique<device::HidapiBackend>();
  }
  headset::AudioLibrary audio;
  session::SessionOptions options(profile::DataFolders::FromEnvironment());
  options.defaultsFolder = profile::DefaultFilesFolder(profile::ProgramFolder());
  session::DeviceSession session(*backend, audio, std::move(options));
  ctl::QuietHost host;
  session.SetHost(&host);
  session.Initialise();
  ctl::ConnectDevices(session);

  const ctl::CtlResult result = ctl::RunCtlCommand(session, command);
  session.SetHost(nullptr);
  if (result.exitCode != ctl::kExitOk) {
    std::fprintf(stderr, "korvactl: %s\n", result.error.c_str());
    return result.exitCode;
  }
  std::fputs(ctl::RenderResult(result, command.json).c_str(), stdout);
  return ctl::kExitOk;
}
