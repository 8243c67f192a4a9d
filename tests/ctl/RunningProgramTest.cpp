// The desktop program as korvactl finds it: a listening socket counts, a missing or stale one not;
// and while the program runs (--simulate), korvactl's commands are carried out on the program's own
// session and answered as korvactl answers them.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <json/reader.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <vector>

#include "ctl/CtlCommand.h"
#include "ctl/RunningProgram.h"
#include "tests/ctl/KorvactlProcess.h"
#include "tests/profile/TempFolder.h"

extern char** environ;

namespace korva::ctl {
namespace {

using test::Korvactl;
using test::ProcessRun;

int Listen(const std::filesystem::path& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  EXPECT_EQ(::listen(fd, 4), 0);
  return fd;
}

TEST(RunningProgram, SocketPathFollowsTheRuntimeFolder) {
  EXPECT_EQ(ProgramSocketPath("/run/user/1000"), "/run/user/1000/VANTORDRVER.socket");
  EXPECT_EQ(ProgramSocketPath("").parent_path(), std::filesystem::path("/run/user") / std::to_string(::getuid()));
}

TEST(RunningProgram, OnlyAListeningSocketCounts) {
  profile::testing::TempFolder temp;
  const std::filesystem::path socket = ProgramSocketPath(temp.path().string());
  EXPECT_FALSE(ProgramIsRunning(socket));
  EXPECT_EQ(ForwardRequest(socket, "KORVACTL {}", std::chrono::seconds(1)).status, ForwardStatus::kNotRunning);
  const int fd = Listen(socket);
  EXPECT_TRUE(ProgramIsRunning(socket));
  // A listener that never answers (a program too old to know the request).
  EXPECT_EQ(ForwardRequest(socket, "KORVACTL {}", std::chrono::milliseconds(200)).status, ForwardStatus::kNoAnswer);
  ::close(fd);  // the file stays, as after a crash
  ASSERT_TRUE(std::filesystem::exists(socket));
  EXPECT_FALSE(ProgramIsRunning(socket));
  EXPECT_FALSE(ProgramIsRunning(temp.path() / std::string(200, 'x')));  // longer than a socket path may be
}

#ifdef KORVA_PROGRAM_PATH

// The desktop program on the simulated devices, with the test's own data and runtime folders;
// ended (and waited for) at the end of the test.
class Program {
 public:
  explicit Program(const std::filesystem::path& home) : log_((home / "program.log").string()) {
    const std::string data = "KORVA_HOME=" + (home / "home").string();
    const std::string runtime = "XDG_RUNTIME_DIR=" + test::RuntimeFolder(home).string();
    std::vector<char*> environment;
    const std::string_view replaced[] = {"KORVA_HOME=", "XDG_RUNTIME_DIR=", "QT_QPA_PLATFORM="};
    for (char** variable = environ; *variable; ++variable) {
      const std::string_view entry(*variable);
      if (std::none_of(std::begin(replaced), std::end(replaced), [&](std::string_view name) { return entry.starts_with(name); }))
        environment.push_back(*variable);
    }
    environment.push_back(const_cast<char*>(data.c_str()));
    environment.push_back(const_cast<char*>(runtime.c_str()));
    environment.push_back(const_cast<char*>("QT_QPA_PLATFORM=offscreen"));
    environment.push_back(nullptr);
    const char* arguments[] = {KORVA_PROGRAM_PATH, "--simulate", "--no-sim-panel", "--language", "en", nullptr};
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 1, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&files, 1, 2);
    if (posix_spawn(&pid_, KORVA_PROGRAM_PATH, &files, nullptr, const_cast<char* const*>(arguments),
                    environment.data()) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&files);
  }
  ~Program() { End(); }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return pid_ > 0; }
  // False once the program has ended by itself.
  bool Running() {
    if (pid_ > 0 && ::waitpid(pid_, nullptr, WNOHANG) == pid_) pid_ = -1;
    return pid_ > 0;
  }
  std::string Log() const {
    std::ifstream in(log_);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  // Killed, as a crash would end it: its socket file stays behind.
  void End() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  std::string log_;
  pid_t pid_ = -1;
};

Json::Value ParsedJson(const ProcessRun& run) {
  Json::Value json;
  std::istringstream in(run.out);
  std::string errors;
  EXPECT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &json, &errors)) << errors << run.out;
  return json;
}

// Until `done` holds, while the program runs and the patience lasts: the program has to start,
// listen and find its (simulated) devices first.
bool Eventually(Program& program, const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (!done()) {
    if (!program.Running() || std::chrono::steady_clock::now() > deadline) return false;
    ::poll(nullptr, 0, 100);
  }
  return true;
}

TEST(RunningProgram, CommandsGoToTheRunningProgram) {
  profile::testing::TempFolder home;
  // korvactl on its own: a new simulated mouse each time.
  const int ownValue = ParsedJson(Korvactl("--simulate show mouse --json", home.path()))["stages"][1]["value"].asInt();
  const int newValue = ownValue == 7 ? 8 : 7;

  Program program(home.path());
  ASSERT_TRUE(program.Started());
  const std::filesystem::path socket = ProgramSocketPath(test::RuntimeFolder(home.path()).string());
  ASSERT_TRUE(Eventually(program, [&] { return ProgramIsRunning(socket); })) << program.Log();
  for (const std::string device : {"keyboard", "mouse", "mousepad", "headset"})
    ASSERT_TRUE(Eventually(program, [&] { return Korvactl("--simulate show " + device, home.path()).exitCode == 0; }))
        << program.Log();

  struct Case {
    std::string arguments;
    int exitCode;
    std::string says;  // in stdout, or in stderr for a failure
  };
  const std::string value = std::to_string(newValue);
  const std::string headsetFile = (home.path() / "headset.json").string();
  const Case cases[] = {
      {"--simulate set mouse stage 2 " + value, 0, "stage 2: " + value},
      // The program kept it: korvactl on its own would have read a new simulated mouse.
      {"--simulate show mouse", 0, "stage 2: " + value},
      {"--simulate set keyboard lighting 3 --colour 112233 --brightness 5", 0, "lighting: mode 3, colour 112233"},
      {"--simulate show keyboard", 0, "lighting: mode 3, colour 112233, brightness 5"},
      {"--simulate show headset", 0, "lighting: mode "},
      {"--simulate list", 0, "headset   0C76:1630  -"},
      {"--simulate set mouse lighting 7", 2, "korvactl: lighting mode of the mouse must be from 0 to 6\n"},
      {"--simulate profiles mouse select Nobody", 2, "korvactl: no profile named 'Nobody'\n"},
      // The headset's profiles through its voice page: the program shows the one it chose.
      {"--simulate profiles headset export profile1 " + headsetFile, 0, "* profile1"},
      {"--simulate profiles headset import " + headsetFile + " Second", 0, "  Second"},
      {"--simulate profiles headset select Second", 0, "* Second"},
      {"--simulate show headset", 0, "profile: Second\nvolume: master "},
      {"--simulate profiles headset import /nonexistent.json Third", 1, "korvactl: import of /nonexistent.json"},
      // Not the program's devices: korvactl opens the USB bus itself.
      {"show mousepad", 1, "korvactl: no mousepad is connected\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const ProcessRun run = Korvactl(c.arguments, home.path());
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    EXPECT_NE((c.exitCode == 0 ? run.out : run.err).find(c.says), std::string::npos) << run.out << run.err;
  }
  const ProcessRun json = Korvactl("--simulate show keyboard --json", home.path());
  EXPECT_EQ(ParsedJson(json)["lighting"]["mode"].asInt(), 3);

  // Requests korvactl would never send are answered with exit code 2.
  for (const std::string& request : {std::string("KORVACTL {\"args\":5,\"cwd\":\"/\"}"),
                                     "KORVACTL " + std::string(kMaxRequestBytes + 10, 'x')}) {
    const Forwarded bad = ForwardRequest(socket, request, std::chrono::seconds(30));
    ASSERT_EQ(bad.status, ForwardStatus::kAnswered);
    EXPECT_EQ(bad.answer.exitCode, kExitUsage);
    EXPECT_EQ(bad.answer.err.rfind("korvactl: bad request: ", 0), 0u) << bad.answer.err;
  }

  // The program gone (its socket file left behind): korvactl opens its own simulated devices again.
  program.End();
  const ProcessRun own = Korvactl("--simulate show mouse --json", home.path());
  ASSERT_EQ(own.exitCode, 0) << own.err;
  EXPECT_EQ(ParsedJson(own)["stages"][1]["value"].asInt(), ownValue);
}

#endif

}  // namespace
}  // namespace korva::ctl
