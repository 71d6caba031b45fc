// The thread table: one record per instance of the Thread object, the
// object's total instance last.
#ifndef TASKMELD_SNAPSHOT_THREAD_TABLE_H_
#define TASKMELD_SNAPSHOT_THREAD_TABLE_H_

#include <cstdint>
#include <vector>

struct ThreadRecord {
  std::uint32_t context_switches = 0;
  std::int64_t processor_time = 0;
  std::int64_t user_time = 0;
  std::int64_t privileged_time = 0;
  std::int64_t start_time = 0;  // creation moment, ticks since 1601 UTC
  std::uint32_t priority_current = 0;
  std::uint32_t priority_base = 0;
  std::uint32_t start_address = 0;
  std::uint32_t thread_state = 0;
  std::uint32_t wait_reason = 0;
  std::uint32_t process_id = 0;
  std::uint32_t thread_id = 0;
};

using ThreadTable = std::vector<ThreadRecord>;

/// Fills the empty `table` from the second object of one query of "232".
/// False, with `table` untouched, when the titles do not load, the query
/// fails, the block holds fewer than two objects or is malformed, or (given
/// instances) a counter's title is not a known thread counter.
bool BuildThreadTable(ThreadTable* table);

#endif  // TASKMELD_SNAPSHOT_THREAD_TABLE_H_
