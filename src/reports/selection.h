// The rules every report and view shares: which processes a command line
// selects, how a tick count splits into hours to milliseconds, and how byte
// counts become the KB that the columns show.
#ifndef TASKMELD_REPORTS_SELECTION_H_
#define TASKMELD_REPORTS_SELECTION_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "snapshot/process_table.h"

enum MatchKind : std::uint32_t {
  MATCH_ALL = 0,
  MATCH_PREFIX = 1,
  MATCH_EXACT = 2,
  MATCH_PID = 3,
};

/// What the command line selects: a kind and its target.
struct Selection {
  MatchKind kind = MATCH_ALL;
  std::u16string name;           // for MATCH_PREFIX and MATCH_EXACT
  std::uint32_t process_id = 0;  // for MATCH_PID
};

/// True when `a` and `b` are equal with the ASCII letters A to Z compared
/// without case; every other unit must match as it is.
bool EqualIgnoringAsciiCase(std::u16string_view a, std::u16string_view b);

/// True when `record` is selected: by name prefix or exact name (ASCII letters
/// compared without case), by process id, or always for MATCH_ALL.
bool ProcessMatches(const ProcessRecord& record, const Selection& selection);

/// A tick count (100 ns) split into hours, minutes, seconds, milliseconds.
struct Duration {
  std::uint32_t hours;
  std::uint32_t minutes;
  std::uint32_t seconds;
  std::uint32_t milliseconds;
};

Duration FormatDuration(std::uint64_t ticks);

/// The time from `start_time` to `now`: 0 when the start is unknown (0), and
/// 0 when the start lies after `now` (a clock set back), rather than a
/// wrapped count of millennia.
std::uint64_t ElapsedTicks(std::int64_t now, std::int64_t start_time);

/// A byte count in KB: signed division truncating toward zero, low 32 bits.
inline std::uint32_t KiloBytes(std::int64_t bytes) {
  return static_cast<std::uint32_t>(bytes / 1024);
}

/// A 32-bit byte count in KB.
inline std::uint32_t KiloBytes32(std::uint32_t bytes) { return bytes >> 10; }

/// The current UTC time in ticks since 1601, at millisecond resolution.
std::int64_t CurrentTicks();

#endif  // TASKMELD_REPORTS_SELECTION_H_
