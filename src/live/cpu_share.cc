#include "live/cpu_share.h"

namespace {

// Counters come from the system unchecked; wrapping keeps garbage defined.
std::int64_t WrappingDifference(std::int64_t a, std::int64_t b) {
  return static_cast<std::int64_t>(static_cast<std::uint64_t>(a) - static_cast<std::uint64_t>(b));
}

}  // namespace

std::int32_t CpuShare(std::int64_t cpu_ticks, std::int64_t interval,
                      std::uint32_t processor_count) {
  // A negative time is an id reused by a younger process or a clock set back;
  // a zero interval has no share to give.
  if (cpu_ticks < 0 || interval <= 0) return 0;
  const auto scaled = static_cast<std::int64_t>(static_cast<std::uint64_t>(cpu_ticks) * 100u);
  if (scaled < 0) return 0;
  const std::int64_t processors = processor_count == 0 ? 1 : std::int64_t{processor_count};
  return static_cast<std::int32_t>(scaled / interval / processors);
}

void SampleCpuShares(ProcessTable* table, PreviousCpuTimes* previous, std::int64_t interval,
                     std::uint32_t processor_count) {
  for (std::size_t i = 0; i + 1 < table->size(); ++i) {
    ProcessRecord& process = (*table)[i];
    const auto found = previous->find(process.process_id);
    process.cpu_percent = found == previous->end()
                              ? 0
                              : CpuShare(WrappingDifference(process.processor_time, found->second),
                                         interval, processor_count);
    (*previous)[process.process_id] = process.processor_time;
  }
}
