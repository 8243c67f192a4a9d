#pragma once
// What one rendering pass tells the lighting thread that called it.

#include <chrono>

namespace korva::lighting::effects {

enum class Rendered {
  kFrame,        // the frame was rendered: write it
  kPreviewOnly,  // only preview tints changed (the keyboard's click ripple); the frame is as it was
  kNothing,      // this pass only waits (the mousepad sweep between its runs)
};

struct Pass {
  // How long the thread waits before the next pass: the frame delay of the mode and speed plus
  // the mode's own extra wait.
  std::chrono::milliseconds delay{0};
  Rendered rendered = Rendered::kFrame;
  // The mouse's and the mousepad's click flash took the click it was given: only then does the
  // caller clear its click flag, so a click waits for the flash mode while another mode runs.
  bool clickTaken = false;
  // The frame is the mode's only one: every later pass would render it again, unchanged, until the
  // record, a click or the custom colours change (static colours, a click flash waiting for its
  // click). The thread may then sleep until one of those changes instead of pass after pass.
  bool still = false;
};

}  // namespace korva::lighting::effects
