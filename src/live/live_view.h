// The live views (-s): a screen redrawn every refresh period with each
// process's CPU share since the previous period, until the time is up or the
// user presses Ctrl+C.
#ifndef TASKMELD_LIVE_LIVE_VIEW_H_
#define TASKMELD_LIVE_LIVE_VIEW_H_

#include <cstdint>

#include "reports/selection.h"

/// The CPU view: busiest first. Runs `run_seconds` one-second steps in all
/// (4294967295: until stopped), a new cycle every `refresh_seconds` steps.
void RunLiveCpuView(const Selection& selection, std::uint32_t run_seconds,
                    std::uint32_t refresh_seconds, std::uint32_t processor_count);

/// The memory view: the same screen with memory columns, largest working set
/// first.
void RunLiveMemoryView(const Selection& selection, std::uint32_t run_seconds,
                       std::uint32_t refresh_seconds, std::uint32_t processor_count);

#endif  // TASKMELD_LIVE_LIVE_VIEW_H_
