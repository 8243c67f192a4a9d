// korva-devices: its arguments, its listing of the simulated devices, and the hidapi backend on a
// machine that may have no HID devices at all.

#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "device/hidapi/HidapiBackend.h"
#include "device/tools/DevicesTool.h"

namespace korva::device {
namespace {

struct ToolRun {
  int code = -1;
  std::string out;
  std::string err;
};

ToolRun RunTool(std::vector<std::string_view> args) {
  std::ostringstream out;
  std::ostringstream err;
  ToolRun run;
  run.code = RunDevicesTool(args, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

TEST(DevicesTool, BadArgumentsGiveUsageAndExitCode2) {
  for (const auto& args :
       std::vector<std::vector<std::string_view>>{{"--bogus"}, {"--simulate", "extra"}, {"-s"}}) {
    const ToolRun run = RunTool(args);
    EXPECT_EQ(run.code, 2) << args.back();
    EXPECT_NE(run.err.find("unknown argument '" + std::string(args.back()) + "'"), std::string::npos)
        << run.err;
    EXPECT_NE(run.err.find("usage: korva-devices [--simulate]"), std::string::npos);
    EXPECT_TRUE(run.out.empty());
  }
  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_NE(help.out.find("usage:"), std::string::npos);
}

TEST(DevicesTool, SimulateListsEachCollectionAndReadsTheVendorCollections) {
  const ToolRun run = RunTool({"--simulate"});
  ASSERT_EQ(run.code, 0) << run.err;
  for (const char* line : {"0C45:8901  FF1C:0092  interface 1  keyboard model 0, commands",
                           "0C45:8901  000C:0001  interface 1  keyboard model 0, device reports",
                           "0C45:7680  FF1C:0092  interface 1  keyboard model 1, commands",
                           "0C45:6721  0001:0002  interface 0  mouse, other collection",
                           "0C45:6721  FF1C:0092  interface 1  mouse, commands",
                           "0C45:6621  FF1C:0092  interface 0  mousepad, commands",
                           "0C45:5011  FF1C:0092  interface 0  not a KORVA device"}) {
    EXPECT_NE(run.out.find(line), std::string::npos) << line << "\n" << run.out;
  }
  // Four KORVA vendor collections answer with 33 bytes; the foreign device refuses (0xFE).
  const std::regex info(R"(information: ([0-9A-F]{2} ){32}[0-9A-F]{2}\n)");
  const auto count =
      std::distance(std::sregex_iterator(run.out.begin(), run.out.end(), info), std::sregex_iterator());
  EXPECT_EQ(count, 4) << run.out;
  EXPECT_NE(run.out.find("ReadInfo failed (result -103)"), std::string::npos);
}

TEST(DevicesTool, HardwareListingWorksWithOrWithoutDevices) {
  const ToolRun run = RunTool({});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_FALSE(run.out.empty());
}

TEST(HidapiBackend, UnknownPathsAreAbsentAndDoNotOpen) {
  HidapiBackend backend;
  std::vector<HidInterfaceInfo> found;
  EXPECT_TRUE(backend.Enumerate(found));
  for (const HidInterfaceInfo& info : found) EXPECT_FALSE(info.path.empty());
  EXPECT_FALSE(backend.IsPresent("/dev/hidraw-korva-none"));
  EXPECT_EQ(backend.Open({"/dev/hidraw-korva-none", 0, 0, 0, 0, -1}, {}), nullptr);
  EXPECT_TRUE(ReadHidrawReportDescriptor("/dev/hidraw-korva-none").empty());
  EXPECT_TRUE(ReadHidrawReportDescriptor("/etc/passwd").empty());
}

}  // namespace
}  // namespace korva::device
