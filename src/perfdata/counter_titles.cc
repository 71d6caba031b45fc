#include "perfdata/counter_titles.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "platform/platform.h"

namespace {

constexpr std::u16string_view kPerflibKey =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib";
constexpr std::u16string_view kLanguageKey =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\CurrentLanguage";

// Only the value's presence and type matter: a Perflib key without a
// REG_DWORD "Last Counter" is not one whose title list can be trusted.
bool HasLastCounter() {
  platform::ScopedKey key;
  if (!key.Open(kPerflibKey)) return false;
  std::uint8_t data[4];
  std::uint32_t type = 0;
  std::uint32_t size = sizeof data;
  return platform::QueryValue(key.get(), u"Last Counter", &type, data, &size) ==
             platform::QueryStatus::kSuccess &&
         type == platform::kTypeDword;
}

// Reads "Counter" as UTF-16 units; false unless it is a proper multi-string
// (an even, non-zero byte count ending in NUL, and in NUL NUL when longer).
bool ReadCounterValue(std::u16string* units) {
  platform::ScopedKey key;
  if (!key.Open(kLanguageKey)) return false;
  std::uint32_t type = 0;
  std::uint32_t size = 0;
  if (platform::QueryValue(key.get(), u"Counter", &type, nullptr, &size) !=
          platform::QueryStatus::kSuccess ||
      type != platform::kTypeMultiString) {
    return false;
  }
  const std::uint32_t capacity = size / 2;
  if (capacity < 2) return false;
  std::vector<std::uint8_t> bytes;
  try {
    bytes.resize(std::size_t{capacity} * 2);
  } catch (const std::bad_alloc&) {
    return false;
  }
  size = capacity * 2;
  if (platform::QueryValue(key.get(), u"Counter", &type, bytes.data(), &size) !=
          platform::QueryStatus::kSuccess ||
      type != platform::kTypeMultiString || size == 0 || size % 2 != 0 || size > bytes.size()) {
    return false;
  }
  units->resize(size / 2);
  for (std::size_t i = 0; i < units->size(); ++i) {
    (*units)[i] = static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
  }
  const std::size_t count = units->size();
  return (*units)[count - 1] == u'\0' && (count == 1 || (*units)[count - 2] == u'\0');
}

bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// The unsigned base-10 reading of `text`: blanks, a sign, digits; text behind
// the digits is ignored, a magnitude past 32 bits saturates, and no digits
// read as 0.
std::uint32_t ReadIndex(std::u16string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  constexpr std::uint64_t kMax = std::numeric_limits<std::uint32_t>::max();
  std::uint64_t magnitude = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    magnitude = std::min<std::uint64_t>(magnitude * 10 + (text[i] - u'0'), kMax + 1);
  }
  if (magnitude > kMax) return static_cast<std::uint32_t>(kMax);
  const auto value = static_cast<std::uint32_t>(magnitude);
  return negative ? 0u - value : value;
}

// The string that starts at `*position`, which then moves past its NUL (or to
// the end of `text` when none follows). Past the end it is empty, so an index
// with no name behind it gets an empty name and ends the list.
std::u16string_view NextString(std::u16string_view text, std::size_t* position) {
  const std::size_t start = *position;
  const std::size_t nul = text.find(u'\0', start);
  const std::size_t end = nul == std::u16string_view::npos ? text.size() : nul;
  *position = nul == std::u16string_view::npos ? text.size() : nul + 1;
  return text.substr(start, end - start);
}

}  // namespace

bool LoadCounterTitles(CounterTitleTable* titles) {
  if (!HasLastCounter()) return false;
  std::u16string units;
  return ReadCounterValue(&units) && ParseCounterTitles(units, titles);
}

bool ParseCounterTitles(std::u16string_view multi_string, CounterTitleTable* titles) {
  std::size_t position = 0;
  std::u16string_view index_text = NextString(multi_string, &position);
  while (!index_text.empty()) {
    const std::uint32_t index = ReadIndex(index_text);
    if (index == 0) return false;
    const std::u16string_view name = NextString(multi_string, &position);
    (*titles)[index] = std::u16string(name);
    index_text = NextString(multi_string, &position);
  }
  return true;
}

std::optional<std::u16string_view> FindCounterTitle(const CounterTitleTable& titles,
                                                    std::uint32_t index) {
  const auto found = titles.find(index);
  if (found == titles.end()) return std::nullopt;
  return std::u16string_view(found->second);
}
