// Any text as the /proc files the provider parses.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/procfs_parse.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  procfs::StatFields stat;
  if (procfs::ParseStat(text, &stat)) {
    const std::string_view name = procfs::ProcessName(stat.comm, false, text);
    if (name.data() < text.data() || name.data() + name.size() > text.data() + text.size()) {
      __builtin_trap();  // a name views the text it came from
    }
  }
  (void)procfs::ParseStatus(text);
  (void)procfs::FirstArgument(text);
  procfs::ForEachCpu(text, [](std::uint32_t, const procfs::CpuTimes&) {});
  if (!text.empty()) (void)procfs::WaitReasonCode(text[0], text.substr(1));
  return 0;
}
