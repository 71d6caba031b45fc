// The thread reports: each selected process with one line per thread (-d),
// or with its memory line before its threads (-x).
#ifndef TASKMELD_REPORTS_THREAD_DETAIL_H_
#define TASKMELD_REPORTS_THREAD_DETAIL_H_

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "reports/selection.h"
#include "snapshot/thread_table.h"

/// The threads of each process id, in thread-table order, found in time
/// linear in the number of threads. The table's total entry is left out.
class ThreadsByProcess {
 public:
  explicit ThreadsByProcess(const ThreadTable& threads);
  /// The indices into the thread table of `process_id`'s threads.
  std::span<const std::uint32_t> Of(std::uint32_t process_id) const;

 private:
  std::vector<std::uint32_t> order_;  // thread indices grouped by process
  std::vector<std::pair<std::uint32_t, std::uint32_t>> ranges_;  // into order_
  std::vector<std::pair<std::uint32_t, std::uint32_t>> slots_;   // pid -> range, open hashing
  std::size_t Slot(std::uint32_t process_id) const;
};

/// The short name of a wait reason code ("Executive", "UserReq", ...).
std::u16string_view WaitReasonName(std::uint32_t wait_reason);

/// The State column: "Wait:" and the reason for waiting threads, else the
/// state's name.
std::u16string ThreadStateText(std::uint32_t thread_state, std::uint32_t wait_reason);

/// ThreadStateText appended to `*out`.
void AppendThreadStateText(std::u16string* out, std::uint32_t thread_state,
                           std::uint32_t wait_reason);

/// Prints the thread header, one line per thread of `process`, and a blank
/// line; `now` is the report instant in ticks since 1601.
void PrintProcessThreads(const ProcessRecord& process, const ThreadTable& threads,
                         const ThreadsByProcess& index, std::int64_t now);

/// The -d report for the processes that `selection` picks.
void PrintThreadDetail(const Selection& selection);

/// The -x report: memory header and line, then the threads, per process.
void PrintAllDetail(const Selection& selection);

#endif  // TASKMELD_REPORTS_THREAD_DETAIL_H_
