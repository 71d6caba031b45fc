#include "cli/dispatch.h"

#include "live/live_view.h"
#include "reports/default_list.h"
#include "reports/memory_list.h"
#include "reports/process_tree.h"
#include "reports/text_format.h"
#include "reports/thread_detail.h"

int DispatchReport(const CommandLine& command_line, std::uint32_t processor_count) {
  const std::uint32_t mode = command_line.mode_flags;
  const Selection& selection = command_line.selection;
  if ((mode & MODE_TREE) && mode != MODE_TREE) {
    Print(u"Family-tree mode does not work with thread, memory, or all detail.\n");
    return 1;
  }
  switch (mode) {
    case MODE_TREE:
      return PrintProcessTree() ? 0 : 1;
    case MODE_MEMORY:
      PrintMemoryList(selection);
      return 0;
    case MODE_THREADS:
      PrintThreadDetail(selection);
      return 0;
    case MODE_THREADS | MODE_MEMORY:
      PrintAllDetail(selection);
      return 0;
    case 0:
      PrintDefaultList(selection);
      return 0;
    case MODE_LIVE:
      RunLiveCpuView(selection, command_line.run_seconds, command_line.refresh_seconds,
                     processor_count);
      return 0;
    case MODE_LIVE | MODE_MEMORY:
      RunLiveMemoryView(selection, command_line.run_seconds, command_line.refresh_seconds,
                        processor_count);
      return 0;
    default:
      Print(u"Task-manager mode does not work with thread detail.\n");
      return 1;
  }
}
