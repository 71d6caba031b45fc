#include "live/live_view.h"

#include "live/live_cycle.h"
#include "reports/text_format.h"

namespace {

bool BusierFirst(const ProcessRecord& a, const ProcessRecord& b) {
  return a.cpu_percent > b.cpu_percent;
}

bool LargerWorkingSetFirst(const ProcessRecord& a, const ProcessRecord& b) {
  return a.working_set > b.working_set;
}

void AppendCpuLine(std::u16string* screen, const ProcessRecord& p, std::int64_t now) {
  const Duration cpu = FormatDuration(static_cast<std::uint64_t>(p.processor_time));
  const Duration elapsed = FormatDuration(ElapsedTicks(now, p.start_time));
  AppendFormatted(
      screen, u"%-17s %5u %3u %3u %4u %6u %5u:%02u:%02u.%03u %5u:%02u:%02u.%03u\n",
      {NameOf(p), p.process_id, static_cast<std::uint32_t>(p.cpu_percent), p.thread_count,
       p.handle_count, KiloBytes(p.private_bytes), cpu.hours, cpu.minutes, cpu.seconds,
       cpu.milliseconds, elapsed.hours, elapsed.minutes, elapsed.seconds, elapsed.milliseconds});
}

void AppendMemoryLine(std::u16string* screen, const ProcessRecord& p, std::int64_t) {
  AppendFormatted(
      screen, u"%-17s %5u %7u %7u %7u %7u %8u %6u %4u\n",
      {NameOf(p), p.process_id, static_cast<std::uint32_t>(p.cpu_percent), KiloBytes(p.working_set),
       KiloBytes(p.private_bytes), KiloBytes(p.page_file_bytes_peak), p.page_faults,
       KiloBytes32(p.pool_nonpaged_bytes), KiloBytes32(p.pool_paged_bytes)});
}

constexpr LiveLayout kCpuLayout = {
    u"Name                Pid CPU Thd  Hnd   Priv        CPU Time    Elapsed Time\n", BusierFirst,
    AppendCpuLine};

constexpr LiveLayout kMemoryLayout = {
    u"Name                Pid     CPU      WS    Priv Priv Pk   Faults   NonP Page\n",
    LargerWorkingSetFirst, AppendMemoryLine};

}  // namespace

void RunLiveCpuView(const Selection& selection, std::uint32_t run_seconds,
                    std::uint32_t refresh_seconds, std::uint32_t processor_count) {
  RunLiveView(kCpuLayout, selection, run_seconds, refresh_seconds, processor_count);
}

void RunLiveMemoryView(const Selection& selection, std::uint32_t run_seconds,
                       std::uint32_t refresh_seconds, std::uint32_t processor_count) {
  RunLiveView(kMemoryLayout, selection, run_seconds, refresh_seconds, processor_count);
}
