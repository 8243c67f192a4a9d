// Telling whether the desktop program runs: a listening socket counts, a missing or stale one not.

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>

#include "ctl/RunningProgram.h"
#include "tests/profile/TempFolder.h"

namespace korva::ctl {
namespace {

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
  const int fd = Listen(socket);
  EXPECT_TRUE(ProgramIsRunning(socket));
  ::close(fd);  // the file stays, as after a crash
  ASSERT_TRUE(std::filesystem::exists(socket));
  EXPECT_FALSE(ProgramIsRunning(socket));
  EXPECT_FALSE(ProgramIsRunning(temp.path() / std::string(200, 'x')));  // longer than a socket path may be
}

}  // namespace
}  // namespace korva::ctl
