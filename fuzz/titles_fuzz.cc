// Any bytes as the "Counter" value of the title list, through the whole load
// and its validation.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "perfdata/counter_titles.h"
#include "platform/platform_fake.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  platform::fake::Reset();
  const std::u16string_view perflib = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib";
  platform::fake::SetRegistryValue(perflib, u"Last Counter", platform::kTypeDword, {1, 0, 0, 0});
  platform::fake::SetRegistryValue(
      u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\CurrentLanguage", u"Counter",
      platform::kTypeMultiString, std::vector<std::uint8_t>(data, data + size));
  CounterTitleTable titles;
  if (LoadCounterTitles(&titles) && titles.contains(0)) __builtin_trap();  // 0 is never an index
  return 0;
}
