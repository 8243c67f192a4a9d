#include "lighting/ColourComponents.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string>

namespace korva::lighting {
namespace {

TEST(ColourComponentsTest, ShowsEachComponentInDecimal) {
  EXPECT_EQ(ComponentTexts(0xFF345678u), (std::array<std::string, 3>{"52", "86", "120"}));
  EXPECT_EQ(OpaqueColour(0x34, 0x56, 0x78), 0xFF345678u);
}

TEST(ColourComponentsTest, ReplacesOneComponent) {
  EXPECT_EQ(WithComponent(0xFF102030u, ColourComponent::kRed, 0xAB), 0xFFAB2030u);
  EXPECT_EQ(WithComponent(0x00102030u, ColourComponent::kGreen, 0xAB), 0xFF10AB30u);
  EXPECT_EQ(WithComponent(0xFF102030u, ColourComponent::kBlue, 0xAB), 0xFF1020ABu);
}

struct TypedRow {
  const char* text;
  std::optional<int> value;  // nullopt: nothing is taken
  std::optional<std::string> rewrite;

  friend void PrintTo(const TypedRow& row, std::ostream* out) { *out << '"' << row.text << '"'; }
};

class TypedComponentTest : public ::testing::TestWithParam<TypedRow> {};

TEST_P(TypedComponentTest, TakesTheNumberClampedTo255) {
  const TypedRow& row = GetParam();
  const auto typed = ParseTypedComponent(row.text);
  ASSERT_EQ(typed.has_value(), row.value.has_value()) << '"' << row.text << '"';
  if (!typed) return;
  EXPECT_EQ(typed->value, *row.value) << '"' << row.text << '"';
  EXPECT_EQ(typed->rewrite, row.rewrite) << '"' << row.text << '"';
}

INSTANTIATE_TEST_SUITE_P(Texts, TypedComponentTest,
                         ::testing::Values(TypedRow{"0", 0, std::nullopt}, TypedRow{"128", 128, std::nullopt},
                                           TypedRow{"255", 255, std::nullopt}, TypedRow{"256", 255, "255"},
                                           TypedRow{"99999999999999999999", 255, "255"},
                                           TypedRow{" 17", 17, std::nullopt},
                                           TypedRow{"12ab", 12, std::nullopt}, TypedRow{"-4", 0, "0"},
                                           TypedRow{"", std::nullopt, std::nullopt},
                                           TypedRow{"abc", std::nullopt, std::nullopt},
                                           TypedRow{"-", std::nullopt, std::nullopt}));

}  // namespace
}  // namespace korva::lighting
