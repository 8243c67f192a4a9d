#include "common/Log.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace korva {

void Trace(std::string_view message) {
  static const bool enabled = std::getenv("KORVA_DEBUG") != nullptr;
  if (!enabled) return;
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  std::fprintf(stderr, "korva: %.*s\n", static_cast<int>(message.size()), message.data());
}

}  // namespace korva
