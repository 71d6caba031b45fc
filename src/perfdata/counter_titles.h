// The counter title table: counter index to counter name, loaded from the
// Perflib title list of the registry at the start of every table build.
#ifndef TASKMELD_PERFDATA_COUNTER_TITLES_H_
#define TASKMELD_PERFDATA_COUNTER_TITLES_H_

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

using CounterTitleTable = std::map<std::uint32_t, std::u16string>;

/// Fills `titles` from the "Counter" value of the current-language Perflib
/// key. False when a key or value is missing, of the wrong type, not a proper
/// multi-string, or holds an index that reads as 0; `titles` may then hold
/// some entries.
bool LoadCounterTitles(CounterTitleTable* titles);

/// Adds the index/name pairs of `multi_string` (NUL-separated strings ending
/// in an empty one) to `titles`; a later pair replaces an earlier one with the
/// same index. False when an index string reads as 0.
bool ParseCounterTitles(std::u16string_view multi_string, CounterTitleTable* titles);

/// The name stored for `index`, or nothing.
std::optional<std::u16string_view> FindCounterTitle(const CounterTitleTable& titles,
                                                    std::uint32_t index);

#endif  // TASKMELD_PERFDATA_COUNTER_TITLES_H_
