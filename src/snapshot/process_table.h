// The process table: one record per instance of the Process object, the
// object's total instance last.
#ifndef TASKMELD_SNAPSHOT_PROCESS_TABLE_H_
#define TASKMELD_SNAPSHOT_PROCESS_TABLE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

/// Longest instance name kept, in UTF-16 units.
inline constexpr std::size_t kMaxNameUnits = 259;

struct ProcessRecord {
  std::int32_t cpu_percent = 0;  // written by the live views only
  std::int64_t processor_time = 0;
  std::int64_t user_time = 0;
  std::int64_t privileged_time = 0;
  std::int64_t virtual_bytes_peak = 0;
  std::int64_t virtual_bytes = 0;
  std::uint32_t page_faults = 0;
  std::int64_t working_set_peak = 0;
  std::int64_t working_set = 0;
  std::int64_t page_file_bytes_peak = 0;
  std::int64_t page_file_bytes = 0;
  std::int64_t private_bytes = 0;
  std::uint32_t thread_count = 0;
  std::uint32_t priority_base = 0;
  std::int64_t start_time = 0;  // creation moment, ticks since 1601 UTC
  std::uint32_t process_id = 0;
  std::uint32_t parent_process_id = 0;
  std::uint32_t pool_paged_bytes = 0;
  std::uint32_t pool_nonpaged_bytes = 0;
  std::uint32_t handle_count = 0;
  std::int64_t io_read_operations = 0;
  std::int64_t io_write_operations = 0;
  std::int64_t io_data_operations = 0;
  std::int64_t io_other_operations = 0;
  std::int64_t io_read_bytes = 0;
  std::int64_t io_write_bytes = 0;
  std::int64_t io_data_bytes = 0;
  std::int64_t io_other_bytes = 0;
  std::int64_t working_set_private = 0;
  // At most kMaxNameUnits units. Held apart from the counters: most names
  // are short, and a table of 2,000 fixed 260-unit arrays would be mostly
  // blanks.
  std::u16string name;
};

/// The record's name up to its terminator.
inline std::u16string_view NameOf(const ProcessRecord& record) { return record.name; }

/// Records in instance order; at() ends the program on an index past the end.
using ProcessTable = std::vector<ProcessRecord>;

/// Fills the empty `table` from one query of the Process object ("230").
/// False, with `table` untouched, when the titles do not load, the query
/// fails, the block is malformed, or (given instances) a counter's title is
/// not a known process counter.
bool BuildProcessTable(ProcessTable* table);

#endif  // TASKMELD_SNAPSHOT_PROCESS_TABLE_H_
