// The platform that tests run against: an in-memory registry, a clock that
// only sleeps move, a console of cells, and captured output.
#include <algorithm>
#include <cstring>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/platform_fake.h"
#include "platform/utf.h"

namespace platform {
namespace {

constexpr std::u16string_view kPerflibKey =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib";
constexpr std::u16string_view kLanguageKey =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\CurrentLanguage";
constexpr ConsoleHandle kConsoleHandle = 7;
constexpr std::uint16_t kDefaultAttributes = 7;

struct Value {
  std::uint32_t type = 0;
  std::vector<std::uint8_t> data;
};

// Registry names compare without regard to ASCII case, as Windows does.
std::u16string Folded(std::u16string_view text) {
  std::u16string folded(text);
  for (char16_t& c : folded) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  return folded;
}

struct Console {
  Cell size;
  Cell cursor;
  std::vector<std::u16string> rows;
};

struct State {
  std::map<std::u16string, std::map<std::u16string, Value>> keys;  // folded path
  std::map<KeyHandle, std::u16string> open_keys;
  KeyHandle next_key = 0x1000;
  std::map<std::u16string, std::optional<std::vector<std::uint8_t>>> perf;  // nullopt: fails
  std::vector<std::uint32_t> perf_sizes;
  std::optional<std::u16string> computer_name = u"TESTHOST";
  CalendarTime utc{2026, 1, 5, 2, 3, 4, 5, 678};  // a Friday
  int local_offset_minutes = 0;
  void (*sleep_hook)(int) = nullptr;
  int sleeps = 0;
  std::optional<Console> console;
  std::vector<std::string> failing_console_calls;
  std::string output;
  std::vector<std::string> calls;
  bool mark_calls = false;
  bool flush_fails = false;
  bool priority_raised = false;
  bool handler_installed = false;
};

State& S() {
  static State state;
  return state;
}

// ---- Clock arithmetic -------------------------------------------------------

constexpr std::int64_t kTicksPerMillisecond = 10'000;
constexpr std::int64_t kMillisecondsPerDay = 86'400'000;

// The proleptic Gregorian date of `days` after 1970-01-01 (the era method).
void CivilFromDays(std::int64_t days, CalendarTime* time) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const std::int64_t day_of_era = days - era * 146097;
  const std::int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const std::int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const std::int64_t shifted_month = (5 * day_of_year + 2) / 153;
  const std::int64_t month = shifted_month < 10 ? shifted_month + 3 : shifted_month - 9;
  time->year = static_cast<std::uint16_t>(year_of_era + era * 400 + (month <= 2 ? 1 : 0));
  time->month = static_cast<std::uint16_t>(month);
  time->day = static_cast<std::uint16_t>(day_of_year - (153 * shifted_month + 2) / 5 + 1);
}

CalendarTime TicksToCalendar(std::int64_t ticks) {
  // 1601-01-01 was a Monday and lies 134774 days before 1970-01-01.
  const std::int64_t total_ms = ticks / kTicksPerMillisecond;
  const std::int64_t days = total_ms / kMillisecondsPerDay;
  std::int64_t ms = total_ms % kMillisecondsPerDay;
  CalendarTime time;
  CivilFromDays(days - 134774, &time);
  time.day_of_week = static_cast<std::uint16_t>((days + 1) % 7);
  time.hour = static_cast<std::uint16_t>(ms / 3'600'000);
  ms %= 3'600'000;
  time.minute = static_cast<std::uint16_t>(ms / 60'000);
  ms %= 60'000;
  time.second = static_cast<std::uint16_t>(ms / 1000);
  time.milliseconds = static_cast<std::uint16_t>(ms % 1000);
  return time;
}

// ---- Calls and the console --------------------------------------------------

void Record(std::string call) {
  State& s = S();
  if (s.mark_calls) s.output += "\x01" + call + "\x02";
  s.calls.push_back(std::move(call));
}

std::string At(Cell cell) {
  return " at " + std::to_string(cell.column) + "," + std::to_string(cell.row);
}

// The console call `kind` goes ahead when there is a console and the test has
// not made that kind fail; a refused call is recorded as "<kind> failed".
Console* ConsoleFor(const std::string& kind) {
  State& s = S();
  const bool refused =
      !s.console || std::find(s.failing_console_calls.begin(), s.failing_console_calls.end(),
                              kind) != s.failing_console_calls.end();
  if (refused) {
    Record(kind + " failed");
    return nullptr;
  }
  return &*s.console;
}

void NextRow(Console* console) {
  console->cursor.column = 0;
  if (console->cursor.row + 1 < console->size.row) {
    ++console->cursor.row;
    return;
  }
  console->rows.erase(console->rows.begin());
  console->rows.emplace_back(static_cast<std::size_t>(console->size.column), u' ');
}

void PutOnConsole(Console* console, std::u16string_view text) {
  for (const char16_t c : text) {
    if (c == u'\n') {
      NextRow(console);
    } else if (c == u'\r') {
      console->cursor.column = 0;
    } else {
      console->rows[static_cast<std::size_t>(console->cursor.row)]
                   [static_cast<std::size_t>(console->cursor.column)] = c;
      if (++console->cursor.column == console->size.column) NextRow(console);
    }
  }
}

}  // namespace

// ---- Registry -----------------------------------------------------------------

bool OpenLocalMachineKey(std::u16string_view path, KeyHandle* key) {
  State& s = S();
  const std::u16string folded = Folded(path);
  if (!s.keys.contains(folded)) return false;
  *key = s.next_key++;
  s.open_keys[*key] = folded;
  return true;
}

namespace {

// Copies `stored` out the way RegQueryValueEx does: a null buffer asks for the
// size, a short buffer gets more-data and the size needed.
QueryStatus Answer(const std::vector<std::uint8_t>& stored, std::uint8_t* data,
                   std::uint32_t* size) {
  const auto needed = static_cast<std::uint32_t>(stored.size());
  if (data == nullptr) {
    *size = needed;
    return QueryStatus::kSuccess;
  }
  if (*size < needed) {
    *size = needed;
    return QueryStatus::kMoreData;
  }
  if (!stored.empty()) std::memcpy(data, stored.data(), stored.size());
  *size = needed;
  return QueryStatus::kSuccess;
}

QueryStatus AnswerPerformanceData(std::u16string_view name, std::uint8_t* data,
                                  std::uint32_t* size) {
  State& s = S();
  s.perf_sizes.push_back(data == nullptr ? 0 : *size);
  const auto found = s.perf.find(std::u16string(name));
  if (found == s.perf.end() || !found->second) return QueryStatus::kFailed;
  // The performance-data key has no size query: a null buffer is too small.
  if (data == nullptr) {
    *size = static_cast<std::uint32_t>(found->second->size());
    return QueryStatus::kMoreData;
  }
  return Answer(*found->second, data, size);
}

}  // namespace

QueryStatus QueryValue(KeyHandle key, std::u16string_view name, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t* size) {
  State& s = S();
  if (key == kPerformanceDataKey) return AnswerPerformanceData(name, data, size);
  const auto open = s.open_keys.find(key);
  if (open == s.open_keys.end()) return QueryStatus::kFailed;
  const auto& values = s.keys[open->second];
  const auto value = values.find(Folded(name));
  if (value == values.end()) return QueryStatus::kFailed;
  if (type != nullptr) *type = value->second.type;
  return Answer(value->second.data, data, size);
}

void CloseKey(KeyHandle key) { S().open_keys.erase(key); }

// ---- Computer name, clock, priority, signals ----------------------------------

NameStatus QueryComputerName(char16_t* buffer, std::uint32_t* size) {
  const State& s = S();
  if (!s.computer_name) return NameStatus::kFailed;
  const auto needed = static_cast<std::uint32_t>(s.computer_name->size() + 1);
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    return NameStatus::kBufferTooSmall;
  }
  std::copy(s.computer_name->begin(), s.computer_name->end(), buffer);
  buffer[needed - 1] = u'\0';
  *size = needed - 1;  // as Windows: the units copied, terminator excluded
  return NameStatus::kSuccess;
}

CalendarTime CurrentUtcTime() { return S().utc; }

CalendarTime ToLocalTime(const CalendarTime& utc) {
  const std::int64_t offset_ticks =
      std::int64_t{S().local_offset_minutes} * 60'000 * kTicksPerMillisecond;
  return TicksToCalendar(CalendarTimeToTicks(utc) + offset_ticks);
}

void RaisePriority() { S().priority_raised = true; }

void InstallInterruptHandler() { S().handler_installed = true; }

void SleepMilliseconds(std::uint32_t milliseconds) {
  State& s = S();
  if (s.sleep_hook != nullptr) s.sleep_hook(++s.sleeps);
  Record("sleep " + std::to_string(milliseconds));
  s.utc = TicksToCalendar(CalendarTimeToTicks(s.utc) +
                          std::int64_t{milliseconds} * kTicksPerMillisecond);
}

// ---- Console --------------------------------------------------------------------

ConsoleHandle StandardOutputHandle() { return kConsoleHandle; }

bool GetScreenBufferInfo(ConsoleHandle, ScreenBufferInfo* info) {
  const Console* console = ConsoleFor("info");
  if (console == nullptr) return false;
  Record("info");
  info->size = console->size;
  info->cursor = console->cursor;
  info->window_size = console->size;
  info->attributes = kDefaultAttributes;
  return true;
}

bool FillWithBlanks(ConsoleHandle, std::uint32_t count, Cell start) {
  Console* console = ConsoleFor("fill");
  if (console == nullptr) return false;
  Record("fill " + std::to_string(count) + At(start));
  const auto columns = static_cast<std::size_t>(console->size.column);
  std::size_t cell = static_cast<std::size_t>(start.row) * columns + start.column;
  const std::size_t end = std::min(cell + count, columns * console->rows.size());
  for (; cell < end; ++cell) console->rows[cell / columns][cell % columns] = u' ';
  return true;
}

bool FillAttributes(ConsoleHandle, std::uint16_t attributes, std::uint32_t count, Cell start) {
  if (ConsoleFor("attr") == nullptr) return false;
  Record("attr " + std::to_string(attributes) + " " + std::to_string(count) + At(start));
  return true;
}

bool SetCursorPosition(ConsoleHandle, Cell position) {
  Console* console = ConsoleFor("cursor");
  if (console == nullptr) return false;
  Record("cursor " + std::to_string(position.column) + "," + std::to_string(position.row));
  console->cursor = position;
  return true;
}

bool EraseToEndOfRow(ConsoleHandle) {
  Console* console = ConsoleFor("erase-row");
  if (console == nullptr) return false;
  Record("erase-row");
  std::u16string& row = console->rows[static_cast<std::size_t>(console->cursor.row)];
  std::fill(row.begin() + console->cursor.column, row.end(), u' ');
  return true;
}

// ---- Output ---------------------------------------------------------------------

void WriteOutput(std::u16string_view text) {
  State& s = S();
  utf::AppendUtf8(text, &s.output);
  if (s.console) PutOnConsole(&*s.console, text);
}

bool FlushOutput() { return !S().flush_fails; }

bool OutputReaderGone() { return false; }

// ---- Test control ---------------------------------------------------------------

namespace fake {

void Reset() {
  S() = State{};
  g_stop_requested = 0;
}

void SetRegistryValue(std::u16string_view path, std::u16string_view name, std::uint32_t type,
                      std::vector<std::uint8_t> data) {
  State& s = S();
  // Every key on the way exists too, so that a parent opens.
  const std::u16string folded = Folded(path);
  for (std::size_t cut = folded.find(u'\\'); cut != std::u16string::npos;
       cut = folded.find(u'\\', cut + 1)) {
    s.keys[folded.substr(0, cut)];
  }
  s.keys[folded][Folded(name)] = Value{type, std::move(data)};
}

void SetCounterTitles(const std::vector<std::u16string>& pairs) {
  SetRegistryValue(kPerflibKey, u"Last Counter", kTypeDword,
                   {static_cast<std::uint8_t>(pairs.size()), 0, 0, 0});
  std::vector<std::uint8_t> bytes;
  const auto put = [&bytes](char16_t unit) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  };
  for (const std::u16string& text : pairs) {
    for (const char16_t unit : text) put(unit);
    put(u'\0');
  }
  // An empty list is still double-terminated, as Windows stores it.
  if (pairs.empty()) put(u'\0');
  put(u'\0');
  SetRegistryValue(kLanguageKey, u"Counter", kTypeMultiString, std::move(bytes));
}

void SetPerformanceData(std::u16string_view index_text, std::vector<std::uint8_t> block) {
  S().perf[std::u16string(index_text)] = std::move(block);
}

void FailPerformanceData(std::u16string_view index_text) {
  S().perf[std::u16string(index_text)] = std::nullopt;
}

const std::vector<std::uint32_t>& PerformanceQuerySizes() { return S().perf_sizes; }

std::size_t OpenKeyCount() { return S().open_keys.size(); }

void FailComputerName() { S().computer_name.reset(); }

void SetComputerName(std::u16string_view name) { S().computer_name = std::u16string(name); }

void SetClock(const CalendarTime& utc, int local_offset_minutes) {
  // Normalised through ticks, so that the day of the week is right.
  S().utc = TicksToCalendar(CalendarTimeToTicks(utc));
  S().local_offset_minutes = local_offset_minutes;
}

void OnSleep(void (*hook)(int sleep_number)) { S().sleep_hook = hook; }

bool PriorityRaised() { return S().priority_raised; }

bool InterruptHandlerInstalled() { return S().handler_installed; }

void SetConsole(std::int16_t columns, std::int16_t rows) {
  Console console;
  console.size = {columns, rows};
  console.rows.assign(static_cast<std::size_t>(rows),
                      std::u16string(static_cast<std::size_t>(columns), u' '));
  S().console = std::move(console);
}

void FailConsoleCall(std::string_view kind) { S().failing_console_calls.emplace_back(kind); }

std::vector<std::string> Screen() {
  std::vector<std::string> lines;
  if (!S().console) return lines;
  for (const std::u16string& row : S().console->rows) {
    const std::size_t end = row.find_last_not_of(u' ');
    lines.push_back(utf::ToUtf8(std::u16string_view(row).substr(0, end + 1)));
  }
  return lines;
}

Cell Cursor() { return S().console ? S().console->cursor : Cell{}; }

std::string Output() { return S().output; }

void ClearOutput() { S().output.clear(); }

void FailOutputFlush() { S().flush_fails = true; }

const std::vector<std::string>& Calls() { return S().calls; }

void MarkCallsInOutput(bool enabled) { S().mark_calls = enabled; }

}  // namespace fake
}  // namespace platform
