#include "cli/entry.h"

#include "cli/command_line.h"
#include "cli/computer_name.h"
#include "cli/dispatch.h"
#include "perfdata/perf_query.h"
#include "platform/platform.h"
#include "reports/text_format.h"

namespace {

constexpr char16_t kBanner[] =
    u"\n"
    u"taskmeld v1.0 - Lists processes and threads with their resource use\n"
    u"Written by the taskmeld developers\n"
    u"Made by the taskmeld project, which has no web site of its own yet\n"
    u"\n";

// The Processor object has one instance per processor and its total last.
bool QueryProcessorCount(std::uint32_t* processor_count) {
  PerfDataView view;
  if (!QueryPerfData(&view, u"238")) return false;
  const auto instances = ReadInstanceCount(view);
  if (!instances) return false;
  *processor_count = *instances - 1;
  return true;
}

}  // namespace

int RunTaskmeld(std::span<const std::u16string> arguments) {
  platform::InstallInterruptHandler();
  platform::RaisePriority();
  Print(kBanner);

  CommandLine command_line;
  switch (ParseCommandLine(arguments, &command_line)) {
    case ParseOutcome::kHelp:
      Print(kUsageText);
      return 0;
    case ParseOutcome::kSecondTarget:
      Print(kUsageText);
      return 1;
    case ParseOutcome::kRun:
      break;
  }
  if ((command_line.mode_flags & MODE_LIVE) &&
      command_line.run_seconds < command_line.refresh_seconds) {
    Print(u"The refresh rate must be greater than the seconds to run.\n");
    return 1;
  }

  std::uint32_t processor_count = 0;
  if (!QueryProcessorCount(&processor_count)) return 0;

  std::u16string computer_name;
  if (GetComputerNameText(&computer_name)) {
    Print(u"Process information for %s:\n\n", {computer_name});
  } else {
    Print(u"Cannot get the computer name.\n\n");
  }
  return DispatchReport(command_line, processor_count);
}
