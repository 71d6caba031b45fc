// Each process's share of the machine's processor time between two cycles of
// a live view, from two samples of its accumulated processor time.
#ifndef TASKMELD_LIVE_CPU_SHARE_H_
#define TASKMELD_LIVE_CPU_SHARE_H_

#include <cstdint>
#include <unordered_map>

#include "snapshot/process_table.h"

/// Processor time (ticks) of each process id at the latest cycle that listed
/// it. Entries stay until the view ends, so an id that comes back on a new
/// process is measured against the old process's time.
using PreviousCpuTimes = std::unordered_map<std::uint32_t, std::int64_t>;

/// Percent of `processor_count` processors that `cpu_ticks` of processor time
/// fill in `interval` ticks, truncated, low 32 bits. 0 when the share would be
/// negative or the interval is not positive; a count of 0 counts as 1.
std::int32_t CpuShare(std::int64_t cpu_ticks, std::int64_t interval, std::uint32_t processor_count);

/// Writes `cpu_percent` of every entry but the last (the total): its share
/// against `previous`, 0 for an id not seen before; then stores each entry's
/// time in `previous`, selected or not.
void SampleCpuShares(ProcessTable* table, PreviousCpuTimes* previous, std::int64_t interval,
                     std::uint32_t processor_count);

#endif  // TASKMELD_LIVE_CPU_SHARE_H_
