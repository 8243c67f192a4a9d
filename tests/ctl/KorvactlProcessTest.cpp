// The korvactl executable as a script runs it: exit codes, one-line errors on stderr, JSON on stdout.

#include <gtest/gtest.h>
#include <json/reader.h>

#include <sstream>
#include <string>

#include "tests/ctl/KorvactlProcess.h"
#include "tests/profile/TempFolder.h"

namespace {

using korva::ctl::test::Korvactl;
using korva::ctl::test::ProcessRun;

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
      {"--simulate set headset lighting 4", 2, true, false},
      {"show mousepad", 1, true, false},  // none on the test machine's USB bus
      {"--simulate set mouse stage 1 3", 0, false, true},
      {"--simulate profiles headset select Nobody", 2, true, false},
      {"--simulate profiles headset import /nonexistent.json Fresh", 1, true, false},
      {"--simulate show headset --json", 0, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments);
    const ProcessRun run = Korvactl(c.arguments, home.path());
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
  const ProcessRun run = Korvactl("--simulate show mouse --json", home.path());
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
