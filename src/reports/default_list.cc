#include "reports/default_list.h"

#include "reports/messages.h"
#include "reports/text_format.h"

void PrintDefaultList(const Selection& selection) {
  ProcessTable table;
  if (!BuildProcessTable(&table)) {
    Print(kCannotSnapshotProcesses);
    return;
  }
  const std::int64_t now = CurrentTicks();
  Print(u"Name                Pid Pri Thd  Hnd   Priv        CPU Time    Elapsed Time\n");
  for (std::size_t i = 0; i + 1 < table.size(); ++i) {
    const ProcessRecord& p = table[i];
    if (!ProcessMatches(p, selection)) continue;
    const Duration cpu = FormatDuration(static_cast<std::uint64_t>(p.processor_time));
    const Duration elapsed = FormatDuration(ElapsedTicks(now, p.start_time));
    Print(u"%-17s %5u %3u %3u %4u %6u %5u:%02u:%02u.%03u %5u:%02u:%02u.%03u\n",
          {NameOf(p), p.process_id, p.priority_base, p.thread_count, p.handle_count,
           KiloBytes(p.private_bytes), cpu.hours, cpu.minutes, cpu.seconds, cpu.milliseconds,
           elapsed.hours, elapsed.minutes, elapsed.seconds, elapsed.milliseconds});
  }
}
