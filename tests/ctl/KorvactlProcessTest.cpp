// The korvactl executable as a script runs it: exit codes, one-line errors on stderr, JSON on stdout.

#include <gtest/gtest.h>
#include <json/reader.h>
#include <sys/wait.h>

#include <cstdio>
#include <sstream>
#include <string>

#include "tests/profile/TempFolder.h"

namespace {

struct ProcessRun {
  int exitCode = -1;
  std::string out;
  std::string err;
};

ProcessRun Korvactl(const std::string& arguments, const std::string& home) {
  const std::string errFile = home + "/stderr.txt";
  const std::string line = "KORVA_HOME='" + home + "' " + KORVACTL_PATH + " " + arguments + " 2>'" + errFile + "'";
  ProcessRun run;
  FILE* pipe = popen(line.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (FILE* err = fopen(errFile.c_str(), "r")) {
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, err)) > 0;) run.err.append(buffer, n);
    fclose(err);
  }
  return run;
}

TEST(Korvactl, ExitCodesAndStreams) {
  korva::profile::testing::TempFolder home;
  struct Case {
    std::string arguments;
    int exitCode;
    bool stdoutEmpty;
    bool stderrEmpty;
  };
  const Case cases[] = {
      {"--help", 0, false, true},
      {"", 2, true, false},
      {"set mouse rate 333", 2, true, false},
      {"--simulate show headset", 1, true, false},
      {"--simulate set mouse stage 1 3", 0, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const ProcessRun run = Korvactl(c.arguments, home.path().string());
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.out.empty(), c.stdoutEmpty) << run.out;
    EXPECT_EQ(run.err.empty(), c.stderrEmpty) << run.err;
    if (!run.err.empty()) {
      EXPECT_EQ(run.err.rfind("korvactl: ", 0), 0u) << run.err;
      EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
    }
  }
}

TEST(Korvactl, SimulatedMouseAsJson) {
  korva::profile::testing::TempFolder home;
  const ProcessRun run = Korvactl("--simulate show mouse --json", home.path().string());
  ASSERT_EQ(run.exitCode, 0) << run.err;
  Json::Value json;
  std::istringstream in(run.out);
  std::string errors;
  ASSERT_TRUE(Json::parseFromStream(Json::CharReaderBuilder(), in, &json, &errors)) << errors;
  EXPECT_EQ(json["kind"].asString(), "mouse");
  EXPECT_EQ(json["stages"].size(), 6u);
  EXPECT_TRUE(json["lighting"].isObject());
}

}  // namespace
