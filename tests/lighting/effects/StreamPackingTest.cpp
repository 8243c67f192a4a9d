// Frames as the devices receive them.

#include <gtest/gtest.h>

#include <array>

#include "lighting/effects/StreamPacking.h"
#include "tests/lighting/effects/EffectsTestSupport.h"

namespace korva::lighting::effects {
namespace {

TEST(StreamPacking, KeyboardFrameGoesThroughTheLedMap) {
  KeyboardFrame frame{};
  frame[0] = Entry(255, 128, 2, 255);
  frame[119] = Entry(10, 20, 30, 128);     // LED 62
  frame[118] = Entry(100, 200, 255, 64);   // LED 104
  frame[13] = Entry(40, 0, 0, 255);        // LED 14: LED 13 stays dark
  frame[20] = Entry(255, 255, 255, 255);   // no LED
  frame[125] = Entry(255, 255, 255, 255);  // no LED

  std::array<std::uint8_t, 378> expected{};
  expected[0] = 254;
  expected[1] = 127;
  expected[2] = 1;
  expected[186] = 5;
  expected[187] = 10;
  expected[188] = 15;
  expected[312] = 25;
  expected[313] = 50;
  expected[314] = 63;
  expected[42] = 39;
  EXPECT_EQ(PackKeyboardStream(frame), expected);
}

TEST(StreamPacking, MouseAndMousepadInLedOrder) {
  MouseFrame mouse{};
  mouse[19] = Entry(200, 100, 50, 128);
  std::array<std::uint8_t, 60> mouseBytes{};
  mouseBytes[57] = 100;
  mouseBytes[58] = 50;
  mouseBytes[59] = 25;
  EXPECT_EQ(PackMouseStream(mouse), mouseBytes);

  MousepadFrame pad{};
  pad[0] = Entry(2, 4, 6, 128);
  pad[14] = Entry(255, 0, 255, 255);
  std::array<std::uint8_t, 45> padBytes{};
  padBytes[0] = 1;
  padBytes[1] = 2;
  padBytes[2] = 3;
  padBytes[42] = 254;
  padBytes[44] = 254;
  EXPECT_EQ(PackMousepadStream(pad), padBytes);
}

TEST(StreamPacking, HeadsetPairListCapsEachChannelAt247) {
  HeadsetFrame frame;
  frame.fill(Entry(255, 255, 255, 255));
  frame[5] = Entry(100, 0, 30, 128);
  const auto pairs = PackHeadsetPairList(frame);
  for (std::size_t i = 0; i < 13; ++i) {
    EXPECT_EQ(pairs[2 * i], static_cast<int>(0x30 + i));
    EXPECT_EQ(pairs[26 + 2 * i], static_cast<int>(0x40 + i));
    EXPECT_EQ(pairs[52 + 2 * i], static_cast<int>(0x50 + i));
    if (i == 5) continue;
    EXPECT_EQ(pairs[2 * i + 1], 247) << "red " << i;
    EXPECT_EQ(pairs[26 + 2 * i + 1], 247) << "green " << i;
    EXPECT_EQ(pairs[52 + 2 * i + 1], 247) << "blue " << i;
  }
  EXPECT_EQ(pairs[11], 50);
  EXPECT_EQ(pairs[37], 0);
  EXPECT_EQ(pairs[63], 15);
}

TEST(StreamPacking, HeadsetSingleColourTakesLedZero) {
  HeadsetFrame frame{};
  frame[0] = Entry(255, 64, 0, 255);
  frame[1] = Entry(9, 9, 9, 255);
  const std::array<HeadsetRegisterByte, 3> expected{{{0x20, 247}, {0x21, 63}, {0x22, 0}}};
  EXPECT_EQ(PackHeadsetSingleColour(frame), expected);
}

}  // namespace
}  // namespace korva::lighting::effects
