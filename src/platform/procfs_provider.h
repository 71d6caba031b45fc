// The registry as taskmeld reads it, answered on Linux from /proc: the
// Perflib title keys, and the performance-data key's Processor ("238"),
// Process ("230") and Process-and-Thread ("232") blocks.
#ifndef TASKMELD_PLATFORM_PROCFS_PROVIDER_H_
#define TASKMELD_PLATFORM_PROCFS_PROVIDER_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/platform.h"
#include "platform/procfs_scan.h"

namespace procfs {

/// The two moments a scan needs, in 100-ns ticks since 1601-01-01 UTC.
struct ProviderClock {
  std::int64_t boot_ticks = 0;
  std::int64_t now_ticks = 0;
};

class Provider {
 public:
  /// `proc_root` is "/proc" in the program, a fixture tree in tests; `clock`
  /// is read once per scan; `clock_ticks_per_second` is the unit of /proc
  /// times (sysconf(_SC_CLK_TCK)); `computer_name` heads every block.
  Provider(std::string proc_root, std::function<ProviderClock()> clock, long clock_ticks_per_second,
           std::u16string computer_name);

  /// Opens one of the two Perflib keys (path compared ignoring ASCII case),
  /// setting `*key` to its token. False for any other path.
  bool OpenKey(std::u16string_view path, std::uintptr_t* key) const;

  /// Reads "Last Counter" of the Perflib key or "Counter" of its
  /// CurrentLanguage subkey, as platform::QueryValue does: null `data` gives
  /// type and size; a short buffer gives kMoreData and the size needed.
  /// kFailed for any other key or value.
  platform::QueryStatus QueryKeyValue(std::uintptr_t key, std::u16string_view name,
                                      std::uint32_t* type, std::uint8_t* data, std::uint32_t* size);

  /// Answers the performance-data key for "230", "232" or "238" (kFailed for
  /// any other name, or when /proc cannot be read). A short buffer gets
  /// kMoreData with the size needed, and the retry for the same name is
  /// answered from the block already built; every other query scans afresh.
  platform::QueryStatus QueryPerformanceData(std::u16string_view name, std::uint8_t* data,
                                             std::uint32_t* size);

 private:
  bool Build(std::u16string_view name);

  Scanner scanner_;
  Snapshot snapshot_;
  // What the snapshot holds and when it was taken: a thread query that
  // follows a process query closely (as a thread report asks for both) reads
  // only the tasks, for the processes that query found.
  ScanScope snapshot_scope_ = ScanScope::kCpus;
  std::int64_t snapshot_ticks_ = 0;
  std::function<ProviderClock()> clock_;
  long clock_ticks_per_second_;
  std::u16string computer_name_;
  std::vector<std::uint8_t> counter_titles_;
  // The block a more-data answer promised, kept for its retry.
  bool retry_pending_ = false;
  std::u16string block_name_;
  std::vector<std::uint8_t> block_;
};

}  // namespace procfs

#endif  // TASKMELD_PLATFORM_PROCFS_PROVIDER_H_
