// The autostart entry: where it goes, what its Exec line says, and on/off through a whole file.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "autostart/AutostartEntry.h"
#include "tests/profile/TempFolder.h"

namespace korva::autostart {
namespace {

std::string ExecLine(const std::string& text) {
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (line.rfind("Exec=", 0) == 0) return line.substr(5);
  return {};
}

TEST(AutostartEntry, FolderFollowsTheBaseDirectoryRules) {
  EXPECT_EQ(AutostartFolder("/cfg", "/home/u"), "/cfg/autostart");
  EXPECT_EQ(AutostartFolder("", "/home/u"), "/home/u/.config/autostart");
  EXPECT_EQ(AutostartFolder("relative/cfg", "/home/u"), "/home/u/.config/autostart");
}

TEST(AutostartEntry, ExecQuotesWhatTheFormatReserves) {
  struct Case {
    std::string executable;
    std::vector<std::string> arguments;
    std::string exec;
  };
  const Case cases[] = {
      {"/usr/bin/korva", {"--tray"}, "/usr/bin/korva --tray"},
      {"/opt/my apps/korva", {}, "\"/opt/my apps/korva\""},
      {"/opt/100%/korva", {}, "/opt/100%%/korva"},
      {"/opt/$x/korva", {}, "\"/opt/\\\\$x/korva\""},
      {"/opt/a\\b/korva", {}, "\"/opt/a\\\\\\\\b/korva\""},
      {"/usr/bin/korva", {""}, "/usr/bin/korva \"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.executable);
    EXPECT_EQ(ExecLine(EntryText(c.executable, c.arguments)), c.exec);
  }
}

TEST(AutostartEntry, EnableThenDisable) {
  profile::testing::TempFolder temp;
  const std::filesystem::path entry = temp.path() / "deep" / "autostart" / kEntryFileName;
  EXPECT_FALSE(IsEnabled(entry));
  ASSERT_TRUE(Enable(entry, "/usr/bin/korva", {"--tray"}));
  EXPECT_TRUE(IsEnabled(entry));
  std::ifstream in(entry);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), EntryText("/usr/bin/korva", {"--tray"}));
  ASSERT_TRUE(Disable(entry));
  EXPECT_FALSE(std::filesystem::exists(entry));
  EXPECT_TRUE(Disable(entry));  // already off
}

TEST(AutostartEntry, HiddenEntryCountsAsOff) {
  profile::testing::TempFolder temp;
  const std::filesystem::path entry = temp.path() / kEntryFileName;
  std::ofstream(entry) << "[Desktop Entry]\nType=Application\nExec=korva\nHidden=true\n";
  EXPECT_FALSE(IsEnabled(entry));
}

TEST(AutostartEntry, FolderThatIsAFileIsReported) {
  profile::testing::TempFolder temp;
  std::ofstream(temp.path() / "autostart") << "not a folder";
  const Result<void> written = Enable(temp.path() / "autostart" / kEntryFileName, "/usr/bin/korva", {});
  ASSERT_FALSE(written);
  EXPECT_NE(written.error().ToString().find("autostart"), std::string::npos);
}

}  // namespace
}  // namespace korva::autostart
