#include <gtest/gtest.h>

#include "ui/routing/NameFamily.h"
#include "ui/routing/PresetColourTable.h"

namespace korva::ui {
namespace {

struct SplitCase {
  const char* name;
  bool hasFamily;
  const char* prefix;
  int index;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
  *os << '"' << c.name << '"';
}

class SplitNameFamilyTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitNameFamilyTest, SplitsAtTheLastUnderscore) {
  const SplitCase& c = GetParam();
  const auto family = SplitNameFamily(QString::fromLatin1(c.name));
  ASSERT_EQ(family.has_value(), c.hasFamily) << c.name;
  if (!c.hasFamily) return;
  EXPECT_EQ(family->prefix.toStdString(), c.prefix) << c.name;
  EXPECT_EQ(family->index, c.index) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Names, SplitNameFamilyTest,
    testing::Values(
        SplitCase{"kb_Deng_color_btn_21", true, "kb_Deng_color_btn_", 21},
        SplitCase{"ms_key_3", true, "ms_key_", 3}, SplitCase{"ms_key_0", true, "ms_key_", 0},
        SplitCase{"kb_dkey_125", true, "kb_dkey_", 125}, SplitCase{"ms_key_007", true, "ms_key_", 7},
        // Not a number after the last underscore: a family of its own, index 0.
        SplitCase{"ms_key_butt_keysave", true, "ms_key_butt_", 0}, SplitCase{"ms_key_3a", true, "ms_key_", 0},
        SplitCase{"ms_key_-3", true, "ms_key_", 0}, SplitCase{"ms_key_99999999999", true, "ms_key_", 0},
        // A trailing underscore: the whole name is the prefix.
        SplitCase{"kb_key_", true, "kb_key_", 0}, SplitCase{"_", true, "_", 0}, SplitCase{"_5", true, "_", 5},
        SplitCase{"ms_key_3_0", true, "ms_key_3_", 0},
        // No underscore at all: no family.
        SplitCase{"Pallet", false, "", 0}, SplitCase{"closebtn", false, "", 0}, SplitCase{"", false, "", 0}),
    [](const testing::TestParamInfo<SplitCase>& info) { return "row" + std::to_string(info.index); });

TEST(PresetColourTableTest, HoldsThirtyColoursAndNothingBeyond) {
  struct Row {
    int index;
    std::uint32_t argb;
  };
  // Spot checks across the three columns of the table, including its repeated red.
  for (const Row& row : {Row{0, 0xFFFF0000}, Row{9, 0xFF8300E7}, Row{13, 0xFFFF0000}, Row{18, 0xFFFDFDFC},
                         Row{21, 0xFF000000}, Row{29, 0xFF4776A4}})
    EXPECT_EQ(PresetColour(row.index), row.argb) << row.index;
  EXPECT_EQ(PresetColourTable.size(), 30u);
  EXPECT_FALSE(PresetColour(30));
  EXPECT_FALSE(PresetColour(-1));
}

}  // namespace
}  // namespace korva::ui
