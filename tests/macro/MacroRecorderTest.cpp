// Recording: which events become steps, and the delays between them.

#include "macro/MacroRecorder.h"

#include <gtest/gtest.h>

#include <vector>

#include "macro/MacroStepEdits.h"

namespace korva::macro {
namespace {

const RecordableKey kA{0x00, 0x04, "keyboard_key_A"};
const RecordableKey kLShift{0x02, 0x00, "keyboard_key_LShift"};

// What the editor's step list holds after a sequence of events, as text lines.
class Recording {
 public:
  explicit Recording(bool fixedDelay = false) { recorder.Start(1000, fixedDelay); }
  void Take(const std::optional<RecordedEvent>& event) {
    if (!event) return;
    if (!steps.empty()) steps.back().delay = event->previousDelay;
    steps.push_back(event->step);
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    for (const MacroAction& step : steps) lines.push_back(FormatMacroAction(step));
    return lines;
  }

  MacroRecorder recorder;
  std::vector<MacroAction> steps;
};

TEST(MacroRecorder, AHeldKeyIsOnePressAndOneReleaseWithTheTimeBetween) {
  Recording r;
  r.Take(r.recorder.Key(0x41, true, &kA, 1500));
  r.Take(r.recorder.Key(0x41, true, &kA, 1600));  // auto-repeat
  r.Take(r.recorder.Key(0x41, true, &kA, 1700));
  r.Take(r.recorder.Key(0x41, false, &kA, 2734));
  EXPECT_EQ(r.Lines(), (std::vector<std::string>{"123,0,138,4,1,keyboard_key_A", "0,0,10,4,0,keyboard_key_A"}));
  // Pressed again after its release, the key records again.
  r.Take(r.recorder.Key(0x41, true, &kA, 5734));
  EXPECT_EQ(r.Lines()[1], "44,1,10,4,0,keyboard_key_A");
}

TEST(MacroRecorder, ModifiersUnknownKeysAndTheFixedDelay) {
  Recording r(/*fixedDelay=*/true);
  r.Take(r.recorder.Key(0xA0, true, &kLShift, 90000));
  r.Take(r.recorder.Key(0xFF, true, nullptr, 90001));  // not in the key table
  r.Take(r.recorder.Key(0xA0, false, &kLShift, 99999));
  EXPECT_EQ(r.Lines(),
            (std::vector<std::string>{"5,0,137,2,1,keyboard_key_LShift", "0,0,9,2,0,keyboard_key_LShift"}));
}

TEST(MacroRecorder, LongPausesAreCutAndTheFirstEventTimesTheStepBeforeTheRecording) {
  Recording r;
  r.steps.push_back({0, 0x81, 0x01, 1, "mouse_key_left"});  // already in the list
  r.Take(r.recorder.Mouse(mouse_message::kLeftUp, 1000 + 2'000'000));
  EXPECT_EQ(r.steps[0].delay, 65535);
  r.Take(r.recorder.Mouse(mouse_message::kRightDown, 1000 + 2'000'000 + 655'349));
  EXPECT_EQ(r.steps[1].delay, 65534);
}

TEST(MacroRecorder, OnlyTheThreeButtonsAreRecordedAndARepeatedMessageIsDropped) {
  Recording r;
  for (const int message : {0x0201, 0x0201, 0x0200 /* move */, 0x020A /* wheel */, 0x020B /* X down */, 0x0202,
                            0x0204, 0x0205, 0x0207, 0x0208}) {
    r.Take(r.recorder.Mouse(message, 1000));
  }
  EXPECT_EQ(r.Lines(), (std::vector<std::string>{"0,0,129,1,1,mouse_key_left", "0,0,1,1,0,mouse_key_left",
                                                 "0,0,129,2,1,mouse_key_right", "0,0,1,2,0,mouse_key_right",
                                                 "0,0,129,4,1,mouse_key_middle", "0,0,1,4,0,mouse_key_middle"}));
}

TEST(MacroStepEdits, InsertedStepsFollowTheMouseList) {
  struct Case {
    int item;
    std::uint32_t distance;
    const char* line;
  };
  for (const Case& c : {Case{0, 0, "5,0,129,1,1,mouse_key_left"}, Case{7, 0, "5,0,1,16,0,mouse_key_forward"},
                        Case{8, 0, "5,0,129,8,1,mouse_key_back"}, Case{10, 20, "5,0,132,20,1,mouse_move_to_left_text"},
                        Case{13, 300, "5,0,5,44,0,mouse_move_to_down_text"}}) {
    const std::optional<MacroAction> step = InsertedMouseStep(c.item, c.distance);
    ASSERT_TRUE(step.has_value()) << c.item;
    EXPECT_EQ(FormatMacroAction(*step), c.line);
    EXPECT_EQ(MouseListItemOf(*step), c.item);
  }
  EXPECT_FALSE(InsertedMouseStep(14, 0).has_value());
  EXPECT_FALSE(InsertedMouseStep(-1, 0).has_value());
}

TEST(MacroStepEdits, ChoosingKeyButtonAndDirectionKeepsBitSevenEqualToDown) {
  const MacroAction pressA{7, 0x8A, 0x04, 1, "keyboard_key_A"};
  const MacroAction released = WithDirection(pressA, false);
  EXPECT_EQ(released.kind, 0x0A);
  EXPECT_EQ(released.down, 0);
  EXPECT_EQ(released.delay, 7);

  const MacroAction shift = WithKey(MacroAction{0, 0x0A, 0x04, 0, "keyboard_key_A"}, kLShift);
  EXPECT_EQ(FormatMacroAction(shift), "0,0,9,2,0,keyboard_key_LShift");
  EXPECT_EQ(FormatMacroAction(WithKey(WithDirection(shift, true), kA)), "0,0,138,4,1,keyboard_key_A");

  // A move keeps its distance when another move is chosen; a button becoming a move starts at 0.
  const MacroAction left{5, 0x84, 20, 1, "mouse_move_to_left_text"};
  EXPECT_EQ(FormatMacroAction(*WithMouseItem(left, 12)), "5,0,133,20,1,mouse_move_to_up_text");
  EXPECT_EQ(FormatMacroAction(*WithMouseItem(*WithMouseItem(left, 3), 11)), "5,0,4,0,0,mouse_move_to_right_text");
  EXPECT_FALSE(WithMouseItem(left, 99).has_value());
}

}  // namespace
}  // namespace korva::macro
