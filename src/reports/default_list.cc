#include "reports/default_list.h"

#include "platform/platform.h"
#include "reports/messages.h"
#include "reports/text_format.h"

void AppendDefaultLine(std::u16string* out, const ProcessRecord& p, std::uint32_t third_column,
                       std::int64_t now) {
  const Duration cpu = FormatDuration(static_cast<std::uint64_t>(p.processor_time));
  const Duration elapsed = FormatDuration(ElapsedTicks(now, p.start_time));
  AppendFormatted(
      out, u"%-17s %5u %3u %3u %4u %6u %5u:%02u:%02u.%03u %5u:%02u:%02u.%03u\n",
      {NameOf(p), p.process_id, third_column, p.thread_count, p.handle_count,
       KiloBytes(p.private_bytes), cpu.hours, cpu.minutes, cpu.seconds, cpu.milliseconds,
       elapsed.hours, elapsed.minutes, elapsed.seconds, elapsed.milliseconds});
}

void PrintDefaultList(const Selection& selection) {
  ProcessTable table;
  if (!BuildProcessTable(&table)) {
    Print(kCannotSnapshotProcesses);
    return;
  }
  const std::int64_t now = CurrentTicks();
  std::u16string text(
      u"Name                Pid Pri Thd  Hnd   Priv        CPU Time    Elapsed Time\n");
  for (std::size_t i = 0; i + 1 < table.size(); ++i) {
    if (ProcessMatches(table[i], selection)) {
      AppendDefaultLine(&text, table[i], table[i].priority_base, now);
    }
  }
  platform::WriteOutput(text);
}
