#include "device/ConnectionBell.h"

#include <algorithm>

namespace korva::device {

void ConnectionBell::Ring() const {
  bell_.Ring();
  std::lock_guard lock(mutex_);
  std::erase_if(doorbells_, [](const std::weak_ptr<const WakeFd>& weak) {
    const std::shared_ptr<const WakeFd> doorbell = weak.lock();
    if (doorbell) doorbell->Ring();
    return !doorbell;
  });
  for (const Bell* also : also_) also->Ring();
}

void ConnectionBell::AlsoRing(const Bell& also) const {
  std::lock_guard lock(mutex_);
  if (std::find(also_.begin(), also_.end(), &also) == also_.end()) also_.push_back(&also);
}

std::shared_ptr<const WakeFd> ConnectionBell::Subscribe() const {
  auto doorbell = std::make_shared<const WakeFd>();
  std::lock_guard lock(mutex_);
  doorbells_.push_back(doorbell);
  return doorbell;
}

}  // namespace korva::device
