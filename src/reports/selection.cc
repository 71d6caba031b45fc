#include "reports/selection.h"

#include "platform/platform.h"

namespace {

char16_t FoldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? c + (u'a' - u'A') : c; }

}  // namespace

bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

bool ProcessMatches(const ProcessRecord& record, const Selection& selection) {
  switch (selection.kind) {
    case MATCH_PREFIX: {
      const std::u16string_view name = NameOf(record);
      return name.size() >= selection.name.size() &&
             EqualIgnoringAsciiCase(name.substr(0, selection.name.size()), selection.name);
    }
    case MATCH_EXACT:
      return EqualIgnoringAsciiCase(NameOf(record), selection.name);
    case MATCH_PID:
      return record.process_id == selection.process_id;
    default:
      return true;
  }
}

Duration FormatDuration(std::uint64_t ticks) {
  constexpr std::uint64_t kHour = 36'000'000'000;
  constexpr std::uint64_t kMinute = 600'000'000;
  constexpr std::uint64_t kSecond = 10'000'000;
  constexpr std::uint64_t kMillisecond = 10'000;
  return Duration{static_cast<std::uint32_t>(ticks / kHour),
                  static_cast<std::uint32_t>(ticks % kHour / kMinute),
                  static_cast<std::uint32_t>(ticks % kMinute / kSecond),
                  static_cast<std::uint32_t>(ticks % kSecond / kMillisecond)};
}

std::uint64_t ElapsedTicks(std::int64_t now, std::int64_t start_time) {
  if (start_time == 0 || start_time > now) return 0;
  return static_cast<std::uint64_t>(now) - static_cast<std::uint64_t>(start_time);
}

std::int64_t CurrentTicks() { return platform::CalendarTimeToTicks(platform::CurrentUtcTime()); }
