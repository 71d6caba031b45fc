#include "platform/procfs_provider.h"

#include <algorithm>
#include <cstring>
#include <span>

#include "platform/procfs_objects.h"
#include "platform/procfs_titles.h"

namespace procfs {
namespace {

constexpr std::uintptr_t kPerflibKey = 1;
constexpr std::uintptr_t kCurrentLanguageKey = 2;
constexpr std::u16string_view kPerflibPath =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib";
constexpr std::u16string_view kCurrentLanguagePath =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\CurrentLanguage";

// Registry names ignore the case of ASCII letters, and only of those.
bool SameName(std::u16string_view a, std::u16string_view b) {
  const auto fold = [](char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c;
  };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [&fold](char16_t x, char16_t y) { return fold(x) == fold(y); });
}

platform::QueryStatus Answer(std::uint32_t value_type, std::span<const std::uint8_t> value,
                             std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
  if (type != nullptr) *type = value_type;
  const auto needed = static_cast<std::uint32_t>(value.size());
  const bool fits = data != nullptr && *size >= needed;
  if (fits) std::memcpy(data, value.data(), needed);
  const bool more_data = data != nullptr && !fits;
  *size = needed;
  return more_data ? platform::QueryStatus::kMoreData : platform::QueryStatus::kSuccess;
}

}  // namespace

Provider::Provider(std::string proc_root, std::function<ProviderClock()> clock,
                   long clock_ticks_per_second, std::u16string computer_name)
    : scanner_(std::move(proc_root)),
      clock_(std::move(clock)),
      clock_ticks_per_second_(clock_ticks_per_second > 0 ? clock_ticks_per_second : 100),
      computer_name_(std::move(computer_name)),
      counter_titles_(titles::CounterMultiString()) {}

bool Provider::OpenKey(std::u16string_view path, std::uintptr_t* key) const {
  if (SameName(path, kPerflibPath)) {
    *key = kPerflibKey;
  } else if (SameName(path, kCurrentLanguagePath)) {
    *key = kCurrentLanguageKey;
  } else {
    return false;
  }
  return true;
}

platform::QueryStatus Provider::QueryKeyValue(std::uintptr_t key, std::u16string_view name,
                                              std::uint32_t* type, std::uint8_t* data,
                                              std::uint32_t* size) {
  if (key == kPerflibKey && SameName(name, u"Last Counter")) {
    const std::uint32_t last = titles::LastIndex();
    const std::uint8_t bytes[4] = {
        static_cast<std::uint8_t>(last), static_cast<std::uint8_t>(last >> 8),
        static_cast<std::uint8_t>(last >> 16), static_cast<std::uint8_t>(last >> 24)};
    return Answer(platform::kTypeDword, bytes, type, data, size);
  }
  if (key == kCurrentLanguageKey && SameName(name, u"Counter")) {
    return Answer(platform::kTypeMultiString, counter_titles_, type, data, size);
  }
  return platform::QueryStatus::kFailed;
}

platform::QueryStatus Provider::QueryPerformanceData(std::u16string_view name, std::uint8_t* data,
                                                     std::uint32_t* size) {
  if (!(retry_pending_ && name == block_name_) && !Build(name)) {
    retry_pending_ = false;
    return platform::QueryStatus::kFailed;
  }
  // The block stays promised until a buffer has taken it whole.
  const platform::QueryStatus status = Answer(0, block_, nullptr, data, size);
  retry_pending_ = data == nullptr || status == platform::QueryStatus::kMoreData;
  // Once handed over, the block would only double the memory the caller's
  // table build needs at its peak.
  if (!retry_pending_) std::vector<std::uint8_t>().swap(block_);
  return status;
}

// Half a second: well inside one refresh of the live views, which ask for
// processes alone anyway.
constexpr std::int64_t kProcessReuseTicks = 5'000'000;

bool Provider::Build(std::u16string_view name) {
  ScanScope scope;
  if (name == u"238") {
    scope = ScanScope::kCpus;
  } else if (name == u"230") {
    scope = ScanScope::kProcesses;
  } else if (name == u"232") {
    scope = ScanScope::kProcessesAndThreads;
  } else {
    return false;
  }
  const ProviderClock clock = clock_();
  const bool reuse_processes =
      scope == ScanScope::kProcessesAndThreads && snapshot_scope_ == ScanScope::kProcesses &&
      clock.now_ticks >= snapshot_ticks_ && clock.now_ticks - snapshot_ticks_ < kProcessReuseTicks;
  const bool scanned =
      reuse_processes ? scanner_.AddTasks(&snapshot_) : scanner_.Scan(scope, &snapshot_);
  snapshot_scope_ = scanned ? scope : ScanScope::kCpus;
  snapshot_ticks_ = clock.now_ticks;
  if (!scanned) return false;
  const BlockContext context{computer_name_, clock.boot_ticks, clock.now_ticks,
                             clock_ticks_per_second_};
  block_ = scope == ScanScope::kCpus
               ? ProcessorBlock(snapshot_, context)
               : ProcessBlock(snapshot_, context, scope == ScanScope::kProcessesAndThreads);
  block_name_ = name;
  return true;
}

}  // namespace procfs
