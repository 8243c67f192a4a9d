#pragma once
// The sleep of a watcher or reader whose device is absent: until its backend signals that HID
// collections may have come or gone, its stop event is set, or `idleCheck` has passed.

#include <chrono>

#include "common/StopEvent.h"
#include "common/WakeFd.h"
#include "device/HidBackend.h"

namespace korva::device {

// The longest sleep of a waiter with a change signal: the look it takes even without a sign.
inline constexpr std::chrono::milliseconds kHidIdleCheck{5000};

// True when `stop` is set. Changes that do not concern HID collections are taken and slept through.
// A ring of `also`, when given, ends the sleep too.
bool WaitForHidChange(HidChangeSignal& signal, const StopEvent& stop, std::chrono::milliseconds idleCheck,
                      const WakeFd* also = nullptr);

}  // namespace korva::device
