// korvactl: the KORVA devices from the command line, for scripts and for users without a display.
// While the desktop program runs, the command goes to it (it has the devices open); otherwise
// korvactl opens the devices itself.

#include <cstdio>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "ctl/CtlCommand.h"
#include "ctl/CtlRunner.h"
#include "ctl/CtlService.h"
#include "ctl/QuietHost.h"
#include "ctl/RunningProgram.h"
#include "device/hidapi/HidapiBackend.h"
#include "headset/AudioLibrary.h"
#include "headset/alsa/AudioLibraryAlsa.h"
#include "profile/DataFolders.h"
#include "session/DeviceSession.h"
#include "sim/SimBus.h"
#include "sim/headset/SimulatedHeadsetChip.h"

namespace {

using namespace korva;

// Long enough for a device that retries its writes; a program that takes the connection and never
// answers (one too old to know the request) is not waited for longer.
constexpr std::chrono::seconds kAnswerPatience{15};

int Print(const ctl::CtlAnswer& answer) {
  std::fputs(answer.out.c_str(), stdout);
  std::fputs(answer.err.c_str(), stderr);
  return answer.exitCode;
}

// The command on korvactl's own session over the USB bus or the simulated devices.
ctl::CtlAnswer RunHere(const ctl::CtlCommand& command) {
  std::unique_ptr<device::HidBackend> backend;
  std::shared_ptr<headset::AudioChip> chip;
  if (command.simulate) {
    auto bus = std::make_unique<sim::SimBus>();
    bus->Plug(sim::SimDeviceKind::kKeyboard);
    bus->Plug(sim::SimDeviceKind::kMouse);
    bus->Plug(sim::SimDeviceKind::kMousepad);
    backend = std::move(bus);
    auto simulated = std::make_shared<sim::SimulatedHeadsetChip>();
    simulated->SetPresent(true);
    chip = std::move(simulated);
  } else {
    backend = std::make_unique<device::HidapiBackend>();
    chip = std::make_shared<headset::AlsaHeadsetChip>();
  }
  headset::AudioLibrary audio;
  (void)audio.Bind(std::move(chip));  // unbound: the headset counts as absent
  session::SessionOptions options(profile::DataFolders::FromEnvironment());
  options.defaultsFolder = profile::DefaultFilesFolder(profile::ProgramFolder());
  session::DeviceSession session(*backend, audio, std::move(options));
  ctl::QuietHost host;
  session.SetHost(&host);
  session.Initialise();
  ctl::ConnectDevices(session);
  ctl::CtlAnswer answer = ctl::AnswerCommand(session, command);
  session.SetHost(nullptr);
  return answer;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const ctl::ParseOutcome parsed = ctl::ParseCtlCommand(arguments);
  if (!parsed.command) return Print(ctl::UsageAnswer(parsed.error));
  const ctl::CtlCommand& command = *parsed.command;
  if (command.verb == ctl::Verb::kHelp) {
    std::fputs(ctl::CtlUsage().c_str(), stdout);
    return ctl::kExitOk;
  }

  // Two processes exchanging commands with one device would take each other's answers: while the
  // program runs, it carries the command out.
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::current_path(error);
  const ctl::Forwarded forwarded = ctl::ForwardRequest(
      ctl::ProgramSocketPath(), ctl::EncodeRequest({arguments, error ? std::filesystem::path("/") : folder}),
      kAnswerPatience);
  switch (forwarded.status) {
    case ctl::ForwardStatus::kAnswered:
      if (!forwarded.answer.runHere) return Print(forwarded.answer);
      break;
    case ctl::ForwardStatus::kNoAnswer:
      std::fputs("korvactl: the KORVA program is running but did not answer; try again, or close it\n", stderr);
      return ctl::kExitDevice;
    case ctl::ForwardStatus::kNotRunning:
      break;
  }
  return Print(RunHere(command));
}
