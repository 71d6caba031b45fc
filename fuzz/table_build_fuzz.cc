// Any bytes as the answer to the Process and the Thread query: the builds
// either succeed or fail, and never read outside the block.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "reports/fake_snapshot.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool titles_set = [] {
    platform::fake::Reset();
    fake_snapshot::SetTitles();
    return true;
  }();
  (void)titles_set;
  const std::vector<std::uint8_t> block(data, data + size);
  platform::fake::SetPerformanceData(u"230", block);
  platform::fake::SetPerformanceData(u"232", block);
  ProcessTable processes;
  if (BuildProcessTable(&processes)) {
    for (const ProcessRecord& p : processes) {
      if (p.name.size() > kMaxNameUnits) __builtin_trap();
    }
  } else if (!processes.empty()) {
    __builtin_trap();  // a failed build leaves the table as it was
  }
  ThreadTable threads;
  BuildThreadTable(&threads);
  return 0;
}
