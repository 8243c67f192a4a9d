#pragma once
// WriteRetry: how the 100 ms deferred settings write of a device treats a device that is connected
// but does not take the write.
//
// The write is retried, but not on every tick: a device that has stopped answering costs up to four
// 300 ms attempts of the UI thread per write, so each failure doubles the pause before the next try
// (200, 400, 800 ms). After kMaxFailures failures in a row the change is dropped and the user is
// told once; the next change starts afresh. A write that succeeds, or a device that is gone, ends
// the round at once (a gone device is read again when it comes back).

namespace korva::session {

class WriteRetry {
 public:
  static constexpr int kMaxFailures = 4;

  enum class Verdict {
    kDone,      // written, or the device is gone: the change is no longer pending
    kRetry,     // failed; tried again after the pause
    kGiveUp,    // failed kMaxFailures times: drop the change and tell the user
  };

  // One tick of timer 2 while a change is pending: whether the write is due on this tick.
  bool Due();
  // The write's outcome (device result code) and whether the device is still connected.
  Verdict After(int result, bool connected);
  // A round that ended elsewhere (nothing pending any more).
  void Reset();

  int Failures() const { return failures_; }

 private:
  int failures_ = 0;
  int ticksToWait_ = 0;
};

}  // namespace korva::session
