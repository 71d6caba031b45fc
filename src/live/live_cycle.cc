#include "live/live_cycle.h"

#include <algorithm>

#include "cli/computer_name.h"
#include "live/console_clear.h"
#include "live/cpu_share.h"
#include "live/live_screen.h"
#include "platform/platform.h"
#include "reports/messages.h"
#include "reports/text_format.h"

namespace {

// The timestamp line, its blank line and the column header.
constexpr std::size_t kHeadLines = 3;

std::u16string ScreenText(const LiveLayout& layout, const ProcessTable& table,
                          const Selection& selection, const platform::CalendarTime& local,
                          const std::u16string* name, std::int64_t now) {
  std::u16string screen = TimestampLine(local, name);
  screen += layout.header;
  for (std::size_t i = 0; i + 1 < table.size(); ++i) {
    if (ProcessMatches(table[i], selection)) layout.append_line(&screen, table[i], now);
  }
  return screen;
}

// Sleeps up to `refresh_seconds` steps, fewer when the run's steps run out.
// The listing is blanked below and the cursor homed once, at the first step:
// doing it at every step would blank the whole screen after one second.
void Wait(platform::ConsoleHandle console, std::uint32_t refresh_seconds, std::uint32_t run_seconds,
          std::uint64_t* steps) {
  for (std::uint32_t step = 0; step < refresh_seconds; ++step) {
    if (++*steps > run_seconds) return;
    if (step == 0) ClearBelowCursor(console);
    platform::SleepMilliseconds(1000);
  }
}

}  // namespace

void RunLiveView(const LiveLayout& layout, const Selection& selection, std::uint32_t run_seconds,
                 std::uint32_t refresh_seconds, std::uint32_t processor_count) {
  std::u16string computer_name;
  const bool has_name = GetComputerNameText(&computer_name);
  const platform::ConsoleHandle console = platform::StandardOutputHandle();
  ClearConsole(console);
  PreviousCpuTimes previous;
  std::int64_t now = 0;
  std::uint64_t steps = 0;  // wide enough never to wrap past run_seconds
  for (;;) {
    ProcessTable table;
    if (!BuildProcessTable(&table)) {
      Print(kCannotSnapshotProcesses);
      return;
    }
    const platform::CalendarTime utc = platform::CurrentUtcTime();
    const std::int64_t previous_now = now;
    now = platform::CalendarTimeToTicks(utc);
    SampleCpuShares(&table, &previous, now - previous_now, processor_count);
    if (table.size() > 1) std::stable_sort(table.begin(), table.end() - 1, layout.comes_first);
    WriteScreen(console,
                ScreenText(layout, table, selection, platform::ToLocalTime(utc),
                           has_name ? &computer_name : nullptr, now),
                kHeadLines);
    // Output that can no longer be written (a closed pipe) ends an endless view.
    if (!platform::FlushOutput()) return;
    if (platform::g_stop_requested.load(std::memory_order_relaxed) != 0) return;
    Wait(console, refresh_seconds, run_seconds, &steps);
    if (steps >= run_seconds) return;
  }
}
