// The cycle engine that both live views share: snapshot, shares, sort, screen,
// wait, until the time is up, the user stops it or a snapshot fails.
#ifndef TASKMELD_LIVE_LIVE_CYCLE_H_
#define TASKMELD_LIVE_LIVE_CYCLE_H_

#include <cstdint>
#include <string>

#include "reports/selection.h"
#include "snapshot/process_table.h"

/// What sets one live view apart from the other.
struct LiveLayout {
  const char16_t* header;  // the column header, with its line end
  /// True when `a` is listed before `b`.
  bool (*comes_first)(const ProcessRecord& a, const ProcessRecord& b);
  /// Appends the process line, with its line end; `now` is the cycle's time.
  void (*append_line)(std::u16string* screen, const ProcessRecord& process, std::int64_t now);
};

/// Runs a live view with `layout`: a cycle every `refresh_seconds` one-second
/// steps, `run_seconds` steps in all, ending early on g_stop_requested (after
/// the listing) or a failed snapshot (after its message).
void RunLiveView(const LiveLayout& layout, const Selection& selection, std::uint32_t run_seconds,
                 std::uint32_t refresh_seconds, std::uint32_t processor_count);

#endif  // TASKMELD_LIVE_LIVE_CYCLE_H_
