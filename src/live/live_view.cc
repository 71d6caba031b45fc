#include "live/live_view.h"

#include "live/live_cycle.h"
#include "reports/default_list.h"
#include "reports/memory_list.h"

namespace {

bool BusierFirst(const ProcessRecord& a, const ProcessRecord& b) {
  return a.cpu_percent > b.cpu_percent;
}

bool LargerWorkingSetFirst(const ProcessRecord& a, const ProcessRecord& b) {
  return a.working_set > b.working_set;
}

// The lists' own lines, with the CPU share in the third column.
void AppendCpuLine(std::u16string* screen, const ProcessRecord& p, std::int64_t now) {
  AppendDefaultLine(screen, p, static_cast<std::uint32_t>(p.cpu_percent), now);
}

void AppendMemoryShareLine(std::u16string* screen, const ProcessRecord& p, std::int64_t) {
  AppendMemoryLine(screen, p, static_cast<std::uint32_t>(p.cpu_percent));
}

constexpr LiveLayout kCpuLayout = {
    u"Name                Pid CPU Thd  Hnd   Priv        CPU Time    Elapsed Time\n", BusierFirst,
    AppendCpuLine};

constexpr LiveLayout kMemoryLayout = {
    u"Name                Pid     CPU      WS    Priv Priv Pk   Faults   NonP Page\n",
    LargerWorkingSetFirst, AppendMemoryShareLine};

}  // namespace

void RunLiveCpuView(const Selection& selection, std::uint32_t run_seconds,
                    std::uint32_t refresh_seconds, std::uint32_t processor_count) {
  RunLiveView(kCpuLayout, selection, run_seconds, refresh_seconds, processor_count);
}

void RunLiveMemoryView(const Selection& selection, std::uint32_t run_seconds,
                       std::uint32_t refresh_seconds, std::uint32_t processor_count) {
  RunLiveView(kMemoryLayout, selection, run_seconds, refresh_seconds, processor_count);
}
