#include "reports/thread_detail.h"

#include "reports/memory_list.h"
#include "reports/messages.h"
#include "reports/text_format.h"

void PrintProcessThreads(const ProcessRecord& process, const ThreadTable& threads,
                         const ThreadsByProcess& index, std::int64_t now) {
  Print(u" Tid Pri    Cswtch            State     User Time   Kernel Time   Elapsed Time\n");
  // Reused: a report prints one state per thread.
  static std::u16string state;
  for (const std::uint32_t i : index.Of(process.process_id)) {
    const ThreadRecord& t = threads[i];
    const Duration user = FormatDuration(static_cast<std::uint64_t>(t.user_time));
    const Duration kernel = FormatDuration(static_cast<std::uint64_t>(t.privileged_time));
    const Duration elapsed = FormatDuration(ElapsedTicks(now, t.start_time));
    state.clear();
    AppendThreadStateText(&state, t.thread_state, t.wait_reason);
    Print(u"%4u %3u %9u %16s %2u:%02u:%02u.%03u %3u:%02u:%02u.%03u %4u:%02u:%02u.%03u\n",
          {t.thread_id, t.priority_current, t.context_switches, state, user.hours, user.minutes,
           user.seconds, user.milliseconds, kernel.hours, kernel.minutes, kernel.seconds,
           kernel.milliseconds, elapsed.hours, elapsed.minutes, elapsed.seconds,
           elapsed.milliseconds});
  }
  Print(u"\n");
}

namespace {

// Builds both tables, printing the failure message of the one that fails.
bool BuildBothTables(ProcessTable* processes, ThreadTable* threads) {
  if (!BuildProcessTable(processes)) {
    Print(kCannotSnapshotProcesses);
    return false;
  }
  if (!BuildThreadTable(threads)) {
    Print(kCannotSnapshotThreads);
    return false;
  }
  return true;
}

// Runs the thread report; `with_memory` puts the memory header and line
// where the plain report puts the process heading.
void PrintThreadReport(const Selection& selection, bool with_memory) {
  ProcessTable processes;
  ThreadTable threads;
  if (!BuildBothTables(&processes, &threads)) return;
  const std::int64_t now = CurrentTicks();
  const ThreadsByProcess index(threads);
  for (std::size_t i = 0; i + 1 < processes.size(); ++i) {
    const ProcessRecord& p = processes[i];
    if (!ProcessMatches(p, selection)) continue;
    if (with_memory) {
      Print(kMemoryHeader);
      PrintMemoryLine(p);
    } else {
      Print(u"%s %u:\n", {NameOf(p), p.process_id});
    }
    PrintProcessThreads(p, threads, index, now);
  }
}

}  // namespace

void PrintThreadDetail(const Selection& selection) { PrintThreadReport(selection, false); }

void PrintAllDetail(const Selection& selection) { PrintThreadReport(selection, true); }
