// The operating-system services that taskmeld relies on. Everything the
// program asks of the system goes through this header, so that each platform
// supplies one file behind it (POSIX, Windows, or the fake that tests use).
#ifndef TASKMELD_PLATFORM_PLATFORM_H_
#define TASKMELD_PLATFORM_PLATFORM_H_

#include <atomic>
#include <cstdint>
#include <string_view>

namespace platform {

// ---- Registry -------------------------------------------------------------

/// An open registry key or a predefined root; opaque to callers.
using KeyHandle = std::uintptr_t;

/// The predefined key that answers performance-data queries. It is used
/// without opening and is never closed.
inline constexpr KeyHandle kPerformanceDataKey = 0x80000004u;

/// Registry value types that taskmeld distinguishes.
inline constexpr std::uint32_t kTypeString = 1;       // REG_SZ
inline constexpr std::uint32_t kTypeDword = 4;        // REG_DWORD
inline constexpr std::uint32_t kTypeMultiString = 7;  // REG_MULTI_SZ

enum class QueryStatus { kSuccess, kMoreData, kFailed };

/// Opens `path` under the local-machine root for reading values.
/// Returns false when the key does not exist or may not be read.
bool OpenLocalMachineKey(std::u16string_view path, KeyHandle* key);

/// Reads value `name` of `key`. `type` may be null. With `data` null only the
/// type and the size in bytes are reported. `*size` holds the buffer's size on
/// entry and the bytes returned (or needed, on kMoreData) on exit.
QueryStatus QueryValue(KeyHandle key, std::u16string_view name, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t* size);

/// Closes a key that OpenLocalMachineKey opened.
void CloseKey(KeyHandle key);

/// Owns an open key and closes it when it goes out of scope.
class ScopedKey {
 public:
  ScopedKey() = default;
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ~ScopedKey() {
    if (open_) CloseKey(key_);
  }
  /// Opens `path` under the local-machine root; false when it does not open.
  bool Open(std::u16string_view path) {
    open_ = OpenLocalMachineKey(path, &key_);
    return open_;
  }
  KeyHandle get() const { return key_; }

 private:
  KeyHandle key_ = 0;
  bool open_ = false;
};

// ---- Computer name, clock, priority, signals ------------------------------

enum class NameStatus { kSuccess, kBufferTooSmall, kFailed };

/// Copies the computer name, NUL-terminated, into `buffer` of `*size` units.
/// When the buffer is too small (or null) reports kBufferTooSmall and sets
/// `*size` to the units needed, terminator included.
NameStatus QueryComputerName(char16_t* buffer, std::uint32_t* size);

/// A calendar moment with millisecond resolution.
struct CalendarTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;  // 1 to 12
  std::uint16_t day_of_week = 0;
  std::uint16_t day = 0;  // 1 to 31
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;
};

/// The current UTC time.
CalendarTime CurrentUtcTime();

/// `utc` in the local time zone, for display only.
CalendarTime ToLocalTime(const CalendarTime& utc);

/// 100-ns ticks since 1601-01-01 00:00 UTC of a UTC calendar moment. Pure
/// arithmetic, the same on every platform.
std::int64_t CalendarTimeToTicks(const CalendarTime& utc);

/// Raises the scheduling priority of this process; failure is ignored.
void RaisePriority();

/// Set to 1 when the user interrupts from the keyboard; never reset.
extern std::atomic<std::uint32_t> g_stop_requested;

/// Installs the handler that turns a keyboard interrupt into
/// g_stop_requested = 1 without ending the process. Other console events keep
/// their default action (they end the process).
void InstallInterruptHandler();

/// Sleeps `milliseconds`; a keyboard interrupt does not cut it short. Pending
/// output is written first, so that it is visible during the sleep.
void SleepMilliseconds(std::uint32_t milliseconds);

// ---- Console --------------------------------------------------------------

/// The handle that the screen-buffer calls take; not validated.
using ConsoleHandle = std::uintptr_t;

struct Cell {
  std::int16_t column = 0;
  std::int16_t row = 0;
};

struct ScreenBufferInfo {
  Cell size;         // columns and rows of the buffer
  Cell cursor;       // where the next output lands
  Cell window_size;  // columns and rows visible at once
  std::uint16_t attributes = 0;
};

// Every console call below takes effect after all text written before it,
// however the platform buffers that text.

/// The standard output's handle.
ConsoleHandle StandardOutputHandle();

/// False when the handle is no console (for instance redirected output).
bool GetScreenBufferInfo(ConsoleHandle console, ScreenBufferInfo* info);

/// Blanks `count` cells from `start` on, stopping at the buffer's end.
bool FillWithBlanks(ConsoleHandle console, std::uint32_t count, Cell start);

/// Gives `count` cells from `start` on the text attribute `attributes`.
bool FillAttributes(ConsoleHandle console, std::uint16_t attributes, std::uint32_t count,
                    Cell start);

/// Moves the cursor to `position`.
bool SetCursorPosition(ConsoleHandle console, Cell position);

/// Blanks the cursor's row from the cursor to its end; the cursor stays.
/// False when the handle is no console.
bool EraseToEndOfRow(ConsoleHandle console);

// ---- Output ---------------------------------------------------------------

/// Appends UTF-16 text to standard output. Output is buffered; it is written
/// by FlushOutput, by SleepMilliseconds, and when the buffer fills.
void WriteOutput(std::u16string_view text);

/// Writes all pending output. False when it could not be written (a full disk,
/// a closed pipe); the text is then lost and the caller reports the failure.
bool FlushOutput();

/// True when output failed because its reader went away (a closed pipe, as
/// in `taskmeld | head -n 1`): the reader has all it wanted, so that is no
/// failure of the run.
bool OutputReaderGone();

}  // namespace platform

#endif  // TASKMELD_PLATFORM_PLATFORM_H_
