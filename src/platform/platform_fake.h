// Test control of the fake platform: tests set registry values, performance
// data blocks, the clock and the console, run code against platform.h, and
// read back what it wrote and which console calls it made.
#ifndef TASKMELD_PLATFORM_PLATFORM_FAKE_H_
#define TASKMELD_PLATFORM_PLATFORM_FAKE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"

namespace platform::fake {

/// Forgets every value, block, output and call; the clock returns to
/// 2026-01-02 03:04:05.678 UTC, local time equals UTC, the computer name is
/// "TESTHOST", there is no console, and g_stop_requested is 0.
void Reset();

/// Sets value `name` of key `path` (under the local-machine root).
void SetRegistryValue(std::u16string_view path, std::u16string_view name, std::uint32_t type,
                      std::vector<std::uint8_t> data);

/// Sets the usual Perflib keys: "Last Counter" and a "Counter" multi-string
/// built from `pairs` (index text, name, index text, name, ...).
void SetCounterTitles(const std::vector<std::u16string>& pairs);

/// Answers a performance-data query for `index_text` with `block`.
void SetPerformanceData(std::u16string_view index_text, std::vector<std::uint8_t> block);

/// Makes the performance-data query for `index_text` fail with an error other
/// than more-data.
void FailPerformanceData(std::u16string_view index_text);

/// The buffer sizes of every performance-data query made so far, in order (0
/// for a query without a buffer). A buffer smaller than the block gets
/// more-data with the block's size; an unknown index text fails.
const std::vector<std::uint32_t>& PerformanceQuerySizes();

/// Keys opened and not yet closed, so that tests see every path close them.
std::size_t OpenKeyCount();

/// Makes the computer-name query fail. A buffer too small for the name gets
/// kBufferTooSmall and the units needed; success sets `*size` to the units
/// copied without the terminator, as Windows does.
void FailComputerName();
void SetComputerName(std::u16string_view name);

/// Sets the UTC clock; local time is UTC shifted by `local_offset_minutes`.
void SetClock(const CalendarTime& utc, int local_offset_minutes = 0);

/// Every SleepMilliseconds advances the clock by its duration; this runs
/// `hook` at the start of each sleep (for instance to change data between
/// cycles or to raise g_stop_requested).
/// Sleeps are numbered from 1; each is recorded as "sleep N" after its hook.
void OnSleep(void (*hook)(int sleep_number));

/// Whether RaisePriority / InstallInterruptHandler were called.
bool PriorityRaised();
bool InterruptHandlerInstalled();

/// Makes the standard output a blank console of `columns` x `rows`, cursor at
/// (0, 0), attribute 7. Output then also lands on its cells at the cursor: a
/// newline or a full row moves to the next row, scrolling up at the bottom.
void SetConsole(std::int16_t columns, std::int16_t rows);

/// Makes every later console call of `kind` ("info", "fill", "attr",
/// "cursor", "erase-row") fail although a console exists.
void FailConsoleCall(std::string_view kind);

/// The console's rows as UTF-8 without trailing blanks; empty with no console.
std::vector<std::string> Screen();
/// The console's cursor; (0, 0) with no console.
Cell Cursor();

/// All text written so far, as UTF-8.
std::string Output();
/// Clears the captured output.
void ClearOutput();
/// Makes every later FlushOutput fail (a closed pipe, a full disk).
void FailOutputFlush();

/// The console and sleep calls made so far, one text each, such as
/// "sleep 1000", "info", "fill 80 at 0,0", "attr 7 80 at 0,0", "cursor 0,0",
/// "erase-row" (cells as column,row); each is also marked in the output
/// stream as "\x01call\x02" only when mark_calls_in_output is set. With no
/// console (redirected output) or a kind made to fail, the console call
/// returns false and is recorded as "<kind> failed", so that tests see which
/// call a caller tried before it gave up.
const std::vector<std::string>& Calls();
void MarkCallsInOutput(bool enabled);

}  // namespace platform::fake

#endif  // TASKMELD_PLATFORM_PLATFORM_FAKE_H_
