#pragma once
// Desktop pointer settings held in memory, for tests: records every value it was given.

#include <mutex>
#include <vector>

#include "platform/DesktopPointerSettings.h"

namespace korva::platform {

class FakeDesktopPointerSettings final : public DesktopPointerSettings {
 public:
  std::string Name() const override { return "fake"; }
  bool OffersPointerSpeed() const override { return offersSpeed_; }
  bool OffersWheelScrollLines() const override { return offersLines_; }
  // A desktop without one setting or the other (the values are still recorded).
  void SetOffers(bool pointerSpeed, bool wheelScrollLines) {
    offersSpeed_ = pointerSpeed;
    offersLines_ = wheelScrollLines;
  }

  std::optional<int> GetPointerSpeed() override {
    std::lock_guard lock(mutex_);
    return speed_;
  }
  PointerSettingResult SetPointerSpeed(int speed) override {
    std::lock_guard lock(mutex_);
    if (speed < kMinPointerSpeed || speed > kMaxPointerSpeed) return PointerSettingResult::kOutOfRange;
    speed_ = speed;
    speedsSet_.push_back(speed);
    return PointerSettingResult::kApplied;
  }
  std::optional<int> GetWheelScrollLines() override {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  PointerSettingResult SetWheelScrollLines(int lines) override {
    std::lock_guard lock(mutex_);
    if (lines < kMinWheelScrollLines || lines > kMaxWheelScrollLines)
      return PointerSettingResult::kOutOfRange;
    lines_ = lines;
    linesSet_.push_back(lines);
    return PointerSettingResult::kApplied;
  }

  std::vector<int> SpeedsSet() const {
    std::lock_guard lock(mutex_);
    return speedsSet_;
  }
  std::vector<int> WheelLinesSet() const {
    std::lock_guard lock(mutex_);
    return linesSet_;
  }

 private:
  mutable std::mutex mutex_;
  int speed_ = kDefaultPointerSpeed;
  int lines_ = 3;
  bool offersSpeed_ = true;
  bool offersLines_ = true;
  std::vector<int> speedsSet_;
  std::vector<int> linesSet_;
};

}  // namespace korva::platform
