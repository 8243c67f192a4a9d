#include "profile/ProfileName.h"

#include <gtest/gtest.h>

namespace korva::profile {
namespace {

TEST(ProfileNameTest, RefusedNamesSayWhy) {
  const struct {
    const char* name;
    std::string text;
    NameProblem problem;
  } rows[] = {
      {"empty", "", NameProblem::kEmpty},
      {"slash", "a/b", NameProblem::kPathSeparator},
      {"absolute path", "/etc/passwd", NameProblem::kPathSeparator},
      {"backslash", "a\\b", NameProblem::kPathSeparator},
      {"dot", ".", NameProblem::kDotName},
      {"dot dot", "..", NameProblem::kDotName},
      {"dot dot inside", "a..b", NameProblem::kDoubleDot},
      {"newline", "a\nb", NameProblem::kControlCharacter},
      {"tab", "a\tb", NameProblem::kControlCharacter},
      {"NUL", std::string("a\0b", 3), NameProblem::kControlCharacter},
      {"DEL", "a\x7F", NameProblem::kControlCharacter},
      {"leading space", " a", NameProblem::kEdgeSpace},
      {"trailing space", "a ", NameProblem::kEdgeSpace},
      {"only spaces", "   ", NameProblem::kEdgeSpace},
      {"invalid UTF-8", "a\xC3", NameProblem::kInvalidUtf8},
      {"overlong UTF-8 slash", "a\xC0\xAF", NameProblem::kInvalidUtf8},
      {"too long", std::string(kMaxProfileNameBytes + 1, 'x'), NameProblem::kTooLong},
      {"too long in CJK", "配置配置配置配置配置配置配置配置配置配置配置配", NameProblem::kTooLong},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    const NameCheck check = ValidateProfileName(row.text);
    EXPECT_FALSE(check.ok());
    EXPECT_EQ(check.problem, row.problem);
    EXPECT_FALSE(check.reason.empty());
  }
}

TEST(ProfileNameTest, OrdinaryNamesAreAccepted) {
  for (const std::string& name :
       std::vector<std::string>{"新配置文件1", "Game 1", "fps.v2", "新配置文件1 copy copy", "a-b_c (2)",
                                std::string(kMaxProfileNameBytes, 'x')}) {
    SCOPED_TRACE(name);
    const NameCheck check = ValidateProfileName(name);
    EXPECT_TRUE(check.ok()) << check.reason;
    EXPECT_TRUE(check.reason.empty());
  }
}

TEST(ProfileNameTest, NewNameTakesTheLowestFreeNumber) {
  EXPECT_EQ(NewProfileName({}), "新配置文件1");
  EXPECT_EQ(NewProfileName({"新配置文件1", "新配置文件3"}), "新配置文件2");
  EXPECT_EQ(NewProfileName({"新配置文件2", "新配置文件1"}), "新配置文件3");
}

TEST(ProfileNameTest, CopyNameAddsTheSuffixUntilFree) {
  EXPECT_EQ(CopyProfileName("fps", {"fps"}), "fps copy");
  // Names are taken without regard to case.
  EXPECT_EQ(CopyProfileName("fps", {"fps", "FPS Copy"}), "fps copy copy");
  EXPECT_EQ(CopyProfileName("fps", {"fps", "fps copy", "fps copy copy"}), "fps copy copy copy");
}

TEST(ProfileNameTest, ContainsNameIgnoresAsciiCase) {
  EXPECT_TRUE(ContainsName({"Alpha", "beta"}, "ALPHA"));
  EXPECT_FALSE(ContainsName({"Alpha", "beta"}, "alph"));
}

}  // namespace
}  // namespace korva::profile
