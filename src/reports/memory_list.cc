#include "reports/memory_list.h"

#include "platform/platform.h"
#include "reports/messages.h"
#include "reports/text_format.h"

void AppendMemoryLine(std::u16string* out, const ProcessRecord& p, std::uint32_t third_column) {
  AppendFormatted(out, u"%-17s %5u %7u %7u %7u %7u %8u %6u %4u\n",
                  {NameOf(p), p.process_id, third_column, KiloBytes(p.working_set),
                   KiloBytes(p.private_bytes), KiloBytes(p.page_file_bytes_peak), p.page_faults,
                   KiloBytes32(p.pool_nonpaged_bytes), KiloBytes32(p.pool_paged_bytes)});
}

void PrintMemoryLine(const ProcessRecord& p) {
  // Reused: the combined report prints one memory line per process.
  static std::u16string line;
  line.clear();
  AppendMemoryLine(&line, p, KiloBytes(p.virtual_bytes));
  platform::WriteOutput(line);
}

void PrintMemoryList(const Selection& selection) {
  ProcessTable table;
  if (!BuildProcessTable(&table)) {
    Print(kCannotSnapshotProcesses);
    return;
  }
  std::u16string text(kMemoryHeader);
  for (std::size_t i = 0; i + 1 < table.size(); ++i) {
    const ProcessRecord& p = table[i];
    if (ProcessMatches(p, selection)) AppendMemoryLine(&text, p, KiloBytes(p.virtual_bytes));
  }
  platform::WriteOutput(text);
}
