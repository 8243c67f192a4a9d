#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/DesktopPointerSettings.h"
#include "platform/ExternalCommand.h"
#include "platform/FakeDesktopPointerSettings.h"

namespace korva::platform {
namespace {

TEST(PointerSpeedMapping, EverySpeedHasItsAccelerationAndComesBack) {
  // Piecewise linear through the three fixed points 1 -> -1, 10 -> 0, 20 -> 1.
  const std::map<int, double> table = {
      {1, -1.0},     {2, -8.0 / 9}, {3, -7.0 / 9}, {4, -6.0 / 9}, {5, -5.0 / 9}, {6, -4.0 / 9}, {7, -3.0 / 9},
      {8, -2.0 / 9}, {9, -1.0 / 9}, {10, 0.0},     {11, 0.1},     {12, 0.2},     {13, 0.3},     {14, 0.4},
      {15, 0.5},     {16, 0.6},     {17, 0.7},     {18, 0.8},     {19, 0.9},     {20, 1.0},
  };
  ASSERT_EQ(table.size(), 20u);
  for (const auto& [speed, acceleration] : table) {
    SCOPED_TRACE(speed);
    const std::optional<double> mapped = PointerSpeedToAcceleration(speed);
    ASSERT_TRUE(mapped);
    EXPECT_NEAR(*mapped, acceleration, 1e-12);
    EXPECT_EQ(AccelerationToPointerSpeed(acceleration), speed);
    // The text the desktop tools get must read back to the same speed.
    const std::optional<double> reparsed = ParseNumber(FormatAcceleration(*mapped));
    ASSERT_TRUE(reparsed);
    EXPECT_EQ(AccelerationToPointerSpeed(*reparsed), speed);
  }
}

TEST(PointerSpeedMapping, OutOfRangeSpeedsAreRefusedOrClamped) {
  for (int speed : {0, -1, 21, 1000, std::numeric_limits<int>::min()}) {
    EXPECT_FALSE(PointerSpeedToAcceleration(speed)) << speed;
  }
  EXPECT_EQ(ClampPointerSpeed(0), 1);
  EXPECT_EQ(ClampPointerSpeed(-7), 1);
  EXPECT_EQ(ClampPointerSpeed(21), 20);
  EXPECT_EQ(ClampPointerSpeed(13), 13);
}

TEST(PointerSpeedMapping, DesktopValuesOutsideTheirRangeMapToTheNearestEnd) {
  EXPECT_EQ(AccelerationToPointerSpeed(-3.5), 1);
  EXPECT_EQ(AccelerationToPointerSpeed(7.0), 20);
  EXPECT_EQ(AccelerationToPointerSpeed(std::numeric_limits<double>::infinity()), 20);
  EXPECT_EQ(AccelerationToPointerSpeed(std::numeric_limits<double>::quiet_NaN()), 10);
  EXPECT_EQ(AccelerationToPointerSpeed(0.04), 10) << "between two speeds: the nearest";
  EXPECT_EQ(AccelerationToPointerSpeed(0.06), 11);
}

TEST(PointerSpeedMapping, NumbersAreWrittenAndReadWithoutLocale) {
  EXPECT_EQ(FormatAcceleration(-1.0), "-1.0");
  EXPECT_EQ(FormatAcceleration(0.0), "0.0");
  EXPECT_EQ(FormatAcceleration(-0.0), "0.0");
  EXPECT_EQ(FormatAcceleration(0.5), "0.5");
  EXPECT_EQ(FormatAcceleration(-5.0 / 9), "-0.555556");

  struct Row {
    const char* text;
    std::optional<double> value;
  };
  const Row rows[] = {
      {"0.0\n", 0.0},
      {"-0.5", -0.5},
      {" 1\n", 1.0},
      {"0.40000000000000002\n", 0.4},
      {"", std::nullopt},
      {"\n", std::nullopt},
      {"0,5", std::nullopt},
      {"speed", std::nullopt},
      {"0.5 extra", std::nullopt},
      {"nan", std::nullopt},
      {"1e999", std::nullopt},
  };
  for (const Row& row : rows) {
    const std::optional<double> parsed = ParseNumber(row.text);
    ASSERT_EQ(parsed.has_value(), row.value.has_value()) << '"' << row.text << '"';
    if (parsed) {
      EXPECT_NEAR(*parsed, *row.value, 1e-12) << '"' << row.text << '"';
    }
  }
}

// Records every command and answers from a table of canned results (by program name).
class FakeCommandRunner final : public CommandRunner {
 public:
  CommandResult Run(const std::string& program, const std::vector<std::string>& arguments,
                    std::chrono::milliseconds) override {
    commands.push_back(DescribeCommand(program, arguments));
    const auto it = answers.find(program);
    return it == answers.end() ? CommandResult{} : it->second;  // unknown program: not installed
  }

  static CommandResult Ok(std::string output = {}) {
    return {CommandResult::Status::kFinished, 0, std::move(output), {}};
  }

  std::map<std::string, CommandResult> answers;
  std::vector<std::string> commands;
};

class DesktopBackendTest : public ::testing::Test {
 protected:
  std::shared_ptr<FakeCommandRunner> runner = std::make_shared<FakeCommandRunner>();
};

TEST_F(DesktopBackendTest, BackendFollowsXdgCurrentDesktop) {
  const std::map<std::string, std::string> rows = {
      {"GNOME", "GNOME"},       {"ubuntu:GNOME", "GNOME"}, {"gnome", "GNOME"}, {"KDE", "KDE"},
      {"X-Generic:KDE", "KDE"}, {"XFCE", "none"},          {"", "none"},       {"GNOME-Flashback", "none"},
  };
  for (const auto& [desktop, backend] : rows) {
    EXPECT_EQ(MakeDesktopPointerSettings(desktop, runner)->Name(), backend) << desktop;
  }
  EXPECT_TRUE(runner->commands.empty()) << "choosing a backend runs no tool";
}

TEST_F(DesktopBackendTest, GnomeSetsAndReadsTheMouseSpeed) {
  runner->answers["gsettings"] = FakeCommandRunner::Ok("-0.55555599999999997\n");
  const auto settings = MakeDesktopPointerSettings("GNOME", runner);
  EXPECT_EQ(settings->SetPointerSpeed(5), PointerSettingResult::kApplied);
  EXPECT_EQ(settings->SetPointerSpeed(20), PointerSettingResult::kApplied);
  EXPECT_EQ(settings->GetPointerSpeed(), 5);
  EXPECT_EQ(runner->commands, (std::vector<std::string>{
                                  "gsettings set org.gnome.desktop.peripherals.mouse speed -0.555556",
                                  "gsettings set org.gnome.desktop.peripherals.mouse speed 1.0",
                                  "gsettings get org.gnome.desktop.peripherals.mouse speed",
                              }));
}

TEST_F(DesktopBackendTest, GnomeRefusesOutOfRangeAndHasNoWheelLines) {
  runner->answers["gsettings"] = FakeCommandRunner::Ok();
  const auto settings = MakeDesktopPointerSettings("GNOME", runner);
  EXPECT_EQ(settings->SetPointerSpeed(0), PointerSettingResult::kOutOfRange);
  EXPECT_EQ(settings->SetPointerSpeed(21), PointerSettingResult::kOutOfRange);
  EXPECT_EQ(settings->SetWheelScrollLines(3), PointerSettingResult::kUnsupported);
  EXPECT_EQ(settings->SetWheelScrollLines(11), PointerSettingResult::kOutOfRange);
  EXPECT_FALSE(settings->GetWheelScrollLines());
  EXPECT_TRUE(runner->commands.empty());
}

TEST_F(DesktopBackendTest, GnomeToolFailuresAreReportedNotHidden) {
  const auto settings = MakeDesktopPointerSettings("GNOME", runner);
  EXPECT_EQ(settings->SetPointerSpeed(10), PointerSettingResult::kFailed) << "gsettings not installed";
  EXPECT_FALSE(settings->GetPointerSpeed());
  runner->answers["gsettings"] = {CommandResult::Status::kFinished, 1, {}, "No such schema"};
  EXPECT_EQ(settings->SetPointerSpeed(10), PointerSettingResult::kFailed);
  runner->answers["gsettings"] = {CommandResult::Status::kTimedOut, -1, {}, {}};
  EXPECT_EQ(settings->SetPointerSpeed(10), PointerSettingResult::kFailed);
  runner->answers["gsettings"] = FakeCommandRunner::Ok("'not a number'\n");
  EXPECT_FALSE(settings->GetPointerSpeed());
}

TEST_F(DesktopBackendTest, KdeWritesBothSettingsWithTheNewestToolInstalled) {
  runner->answers["kwriteconfig5"] = FakeCommandRunner::Ok();
  runner->answers["kreadconfig5"] = FakeCommandRunner::Ok("7\n");
  const auto settings = MakeDesktopPointerSettings("KDE", runner);
  EXPECT_EQ(settings->SetPointerSpeed(15), PointerSettingResult::kApplied);
  EXPECT_EQ(settings->SetWheelScrollLines(4), PointerSettingResult::kApplied);
  EXPECT_EQ(settings->GetWheelScrollLines(), 7);
  EXPECT_EQ(runner->commands,
            (std::vector<std::string>{
                "kwriteconfig6 --file kcminputrc --group Mouse --key XLbInptPointerAcceleration 0.5",
                "kwriteconfig5 --file kcminputrc --group Mouse --key XLbInptPointerAcceleration 0.5",
                "kwriteconfig6 --file kdeglobals --group KDE --key WheelScrollLines 4",
                "kwriteconfig5 --file kdeglobals --group KDE --key WheelScrollLines 4",
                "kreadconfig6 --file kdeglobals --group KDE --key WheelScrollLines",
                "kreadconfig5 --file kdeglobals --group KDE --key WheelScrollLines",
            }));
}

TEST_F(DesktopBackendTest, KdeWithoutToolsFailsAndUnsetKeysReadAsUnknown) {
  const auto settings = MakeDesktopPointerSettings("KDE", runner);
  EXPECT_EQ(settings->SetPointerSpeed(12), PointerSettingResult::kFailed);
  EXPECT_EQ(settings->SetWheelScrollLines(0), PointerSettingResult::kOutOfRange);
  runner->answers["kreadconfig6"] = FakeCommandRunner::Ok("\n");
  EXPECT_FALSE(settings->GetPointerSpeed());
  runner->answers["kreadconfig6"] = FakeCommandRunner::Ok("-1\n");
  EXPECT_EQ(settings->GetPointerSpeed(), 1);
}

TEST_F(DesktopBackendTest, OtherDesktopsChangeNothing) {
  const auto settings = MakeDesktopPointerSettings("XFCE", runner);
  EXPECT_EQ(settings->SetPointerSpeed(10), PointerSettingResult::kUnsupported);
  EXPECT_EQ(settings->SetPointerSpeed(99), PointerSettingResult::kOutOfRange);
  EXPECT_EQ(settings->SetWheelScrollLines(3), PointerSettingResult::kUnsupported);
  EXPECT_FALSE(settings->GetPointerSpeed());
  EXPECT_TRUE(runner->commands.empty());
}

TEST(FakePointerSettings, KeepsWhatItWasGivenAndRefusesOutOfRange) {
  FakeDesktopPointerSettings fake;
  EXPECT_EQ(fake.SetPointerSpeed(21), PointerSettingResult::kOutOfRange);
  EXPECT_EQ(fake.SetPointerSpeed(4), PointerSettingResult::kApplied);
  EXPECT_EQ(fake.SetWheelScrollLines(6), PointerSettingResult::kApplied);
  EXPECT_EQ(fake.GetPointerSpeed(), 4);
  EXPECT_EQ(fake.SpeedsSet(), std::vector<int>{4});
  EXPECT_EQ(fake.WheelLinesSet(), std::vector<int>{6});
}

TEST(ProcessCommandRunner, ReportsOutputExitCodeMissingToolsAndKillsAtTheTimeOut) {
  ProcessCommandRunner runner;
  const CommandResult echoed = runner.Run("sh", {"-c", "echo 0.25; exit 3"}, std::chrono::seconds(20));
  EXPECT_EQ(echoed.status, CommandResult::Status::kFinished);
  EXPECT_EQ(echoed.exitCode, 3);
  EXPECT_EQ(echoed.output, "0.25\n");
  EXPECT_FALSE(echoed.Succeeded());

  EXPECT_EQ(runner.Run("korva-no-such-tool", {}, std::chrono::seconds(5)).status,
            CommandResult::Status::kNotStarted);

  const CommandResult hung = runner.Run("sleep", {"60"}, std::chrono::milliseconds(200));
  EXPECT_EQ(hung.status, CommandResult::Status::kTimedOut);
}

// The pointer speed is applied from short-lived worker threads, each running its own tool.
TEST(ProcessCommandRunner, RunsFromSeveralWorkerThreadsAtOnce) {
  ProcessCommandRunner runner;
  std::vector<CommandResult> results(3);
  std::vector<std::thread> workers;
  for (std::size_t i = 0; i < results.size(); ++i) {
    workers.emplace_back([&, i] {
      results[i] = runner.Run("sh", {"-c", "echo " + std::to_string(i)}, std::chrono::seconds(20));
    });
  }
  for (auto& worker : workers) worker.join();
  for (std::size_t i = 0; i < results.size(); ++i) {
    EXPECT_TRUE(results[i].Succeeded()) << i;
    EXPECT_EQ(results[i].output, std::to_string(i) + "\n");
  }
}

}  // namespace
}  // namespace korva::platform
