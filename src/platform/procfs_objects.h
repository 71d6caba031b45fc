// Turns a scan's records into performance-data blocks: the Processor object,
// the Process object, and the Process object followed by the Thread object.
#ifndef TASKMELD_PLATFORM_PROCFS_OBJECTS_H_
#define TASKMELD_PLATFORM_PROCFS_OBJECTS_H_

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/procfs_scan.h"

namespace procfs {

/// What a block needs besides the records.
struct BlockContext {
  std::u16string_view computer_name;
  std::int64_t boot_ticks = 0;  // 100-ns ticks since 1601-01-01 UTC
  std::int64_t now_ticks = 0;
  long clock_ticks_per_second = 100;  // the unit of /proc times
};

/// The Processor object: one instance per CPU, then "_Total".
std::vector<std::uint8_t> ProcessorBlock(const Snapshot& snapshot, const BlockContext& context);

/// The Process object: "Idle", every process, then "_Total"; with
/// `with_threads` followed by the Thread object, whose threads belong to
/// exactly those processes.
std::vector<std::uint8_t> ProcessBlock(const Snapshot& snapshot, const BlockContext& context,
                                       bool with_threads);

}  // namespace procfs

#endif  // TASKMELD_PLATFORM_PROCFS_OBJECTS_H_
