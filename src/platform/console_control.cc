#include "platform/console_control.h"

namespace platform {

bool HandleConsoleControl(std::uint32_t control_type, std::atomic<std::uint32_t>& stop) {
  if (control_type != kControlC) return false;
  // Nothing else is published through the flag; the polling loop only needs
  // to see the store eventually.
  stop.store(1, std::memory_order_relaxed);
  return true;
}

}  // namespace platform
