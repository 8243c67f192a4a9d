// The deferred write's treatment of a device that is connected but refuses: the pauses between
// tries, the give-up after four failures in a row, and the end of a round.

#include "session/WriteRetry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "device/CommandReport.h"

namespace korva::session {
namespace {

using Verdict = WriteRetry::Verdict;

struct Outcome {
  int result;
  bool connected;
};

// Runs ticks of timer 2 over the outcomes the device gives, and records on which ticks the write
// went out and what the policy said after each.
struct TickLog {
  std::vector<int> writeTicks;
  std::vector<Verdict> verdicts;
};

TickLog Ticks(const std::vector<Outcome>& outcomes, int ticks) {
  WriteRetry retry;
  TickLog run;
  std::size_t next = 0;
  for (int tick = 0; tick < ticks && next < outcomes.size(); ++tick) {
    if (!retry.Due()) continue;
    run.writeTicks.push_back(tick);
    const Verdict verdict = retry.After(outcomes[next].result, outcomes[next].connected);
    ++next;
    run.verdicts.push_back(verdict);
    if (verdict != Verdict::kRetry) break;
  }
  return run;
}

constexpr Outcome kRefused{device::kResultRefusedFF, true};
constexpr Outcome kTaken{device::kResultOk, true};
constexpr Outcome kGone{device::kResultNoAnswer, false};

TEST(WriteRetry, PausesGrowAndTheFourthFailureGivesUp) {
  const TickLog run = Ticks({kRefused, kRefused, kRefused, kRefused, kTaken}, 100);
  // Ticks of 100 ms: at once, then after 200, 400 and 800 ms.
  EXPECT_EQ(run.writeTicks, (std::vector<int>{0, 2, 6, 14}));
  EXPECT_EQ(run.verdicts, (std::vector<Verdict>{Verdict::kRetry, Verdict::kRetry, Verdict::kRetry, Verdict::kGiveUp}));
}

TEST(WriteRetry, ARoundEndsWhenTheWriteIsTakenOrTheDeviceIsGone) {
  struct Row {
    std::string name;
    std::vector<Outcome> outcomes;
    std::vector<Verdict> verdicts;
  };
  const Row rows[] = {
      {"taken at once", {kTaken}, {Verdict::kDone}},
      {"taken on the third try", {kRefused, kRefused, kTaken}, {Verdict::kRetry, Verdict::kRetry, Verdict::kDone}},
      {"gone after a refusal", {kRefused, kGone}, {Verdict::kRetry, Verdict::kDone}},
      {"gone without an answer", {kGone}, {Verdict::kDone}},
  };
  for (const Row& row : rows) EXPECT_EQ(Ticks(row.outcomes, 100).verdicts, row.verdicts) << row.name;
}

TEST(WriteRetry, AGivenUpOrFinishedRoundLeavesTheNextChangeAFreshStart) {
  WriteRetry retry;
  for (int i = 0; i < WriteRetry::kMaxFailures; ++i) {
    while (!retry.Due()) {
    }
    retry.After(device::kResultRefusedFF, true);
  }
  EXPECT_EQ(retry.Failures(), 0);
  EXPECT_TRUE(retry.Due()) << "the next change is written on the first tick";
  EXPECT_EQ(retry.After(device::kResultRefusedFF, true), Verdict::kRetry);
  retry.Reset();
  EXPECT_TRUE(retry.Due());
}

}  // namespace
}  // namespace korva::session
