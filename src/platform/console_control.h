// What the console-control handler does with each event, apart from the
// system call that installs it.
#ifndef TASKMELD_PLATFORM_CONSOLE_CONTROL_H_
#define TASKMELD_PLATFORM_CONSOLE_CONTROL_H_

#include <atomic>
#include <cstdint>

namespace platform {

/// The control type that Ctrl+C delivers.
inline constexpr std::uint32_t kControlC = 0;

/// Handles console event `control_type`: Ctrl+C stores 1 into `stop` and
/// returns true, so the process goes on; every other event returns false and
/// leaves `stop` alone, so the system's default action ends the process.
bool HandleConsoleControl(std::uint32_t control_type, std::atomic<std::uint32_t>& stop);

}  // namespace platform

#endif  // TASKMELD_PLATFORM_CONSOLE_CONTROL_H_
