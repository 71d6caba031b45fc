#include "platform/procfs_parse.h"

#include <charconv>

namespace procfs {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }

// Splits off the next blank-separated word of `*rest`; empty at the end.
// Words are short, so a plain loop beats the set searches of string_view.
std::string_view NextWord(std::string_view* rest) {
  const char* at = rest->data();
  const char* const end = at + rest->size();
  while (at != end && IsBlank(*at)) ++at;
  const char* const start = at;
  while (at != end && !IsBlank(*at)) ++at;
  *rest = std::string_view(at, static_cast<std::size_t>(end - at));
  return std::string_view(start, static_cast<std::size_t>(at - start));
}

template <typename T>
bool ToNumber(std::string_view word, T* value) {
  if (word.empty()) return false;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), *value);
  return error == std::errc{} && end == word.data() + word.size();
}

// The number at the start of `text` behind blanks, 0 when there is none.
std::uint64_t LeadingNumber(std::string_view text) {
  std::string_view rest = text;
  std::uint64_t value = 0;
  const std::string_view word = NextWord(&rest);
  std::from_chars(word.data(), word.data() + word.size(), value);
  return value;
}

// Calls `on_line(key, value)` for each "Key: value" line.
template <typename OnLine>
void ForEachKeyLine(std::string_view text, OnLine on_line) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    // Keys are short: a plain loop finds the colon sooner than a search call.
    std::size_t colon = 0;
    while (colon < line.size() && line[colon] != ':') ++colon;
    if (colon < line.size()) on_line(line.substr(0, colon), line.substr(colon + 1));
  }
}

}  // namespace

bool ParseStat(std::string_view text, StatFields* out) {
  const std::size_t open = text.find('(');
  const std::size_t close = text.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
    return false;
  }
  StatFields fields;
  fields.comm = text.substr(open + 1, close - open - 1);
  std::string_view rest = text.substr(close + 1);
  const std::string_view state = NextWord(&rest);
  if (state.size() != 1) return false;
  fields.state = state[0];
  // Words behind the state are fields 4, 5, ...; words[k] is field k + 4.
  std::string_view words[38];
  int count = 0;
  for (std::string_view word = NextWord(&rest); !word.empty() && count < 38;
       word = NextWord(&rest)) {
    words[count++] = word;
  }
  const auto field = [&](int number) { return words[number - 4]; };
  if (count < 22 - 3) return false;
  std::int64_t ppid = 0;
  if (!ToNumber(field(4), &ppid) || !ToNumber(field(9), &fields.flags) ||
      !ToNumber(field(10), &fields.minflt) || !ToNumber(field(12), &fields.majflt) ||
      !ToNumber(field(14), &fields.utime) || !ToNumber(field(15), &fields.stime) ||
      !ToNumber(field(19), &fields.nice) || !ToNumber(field(20), &fields.num_threads) ||
      !ToNumber(field(22), &fields.starttime)) {
    return false;
  }
  fields.ppid = static_cast<std::uint32_t>(ppid);
  if (count >= 41 - 3 && !ToNumber(field(41), &fields.policy)) return false;
  *out = fields;
  return true;
}

StatusFields ParseStatus(std::string_view text) {
  struct Row {
    std::string_view key;
    std::uint64_t StatusFields::*field;
    std::uint64_t scale;
  };
  static constexpr Row kRows[] = {
      {"VmPeak", &StatusFields::vm_peak, 1024},
      {"VmSize", &StatusFields::vm_size, 1024},
      {"VmHWM", &StatusFields::vm_hwm, 1024},
      {"VmRSS", &StatusFields::vm_rss, 1024},
      {"RssAnon", &StatusFields::rss_anon, 1024},
      {"VmData", &StatusFields::vm_data, 1024},
      {"VmStk", &StatusFields::vm_stk, 1024},
      {"VmPTE", &StatusFields::vm_pte, 1024},
      {"voluntary_ctxt_switches", &StatusFields::voluntary_switches, 1},
      {"nonvoluntary_ctxt_switches", &StatusFields::nonvoluntary_switches, 1},
  };
  StatusFields s;
  ForEachKeyLine(text, [&s](std::string_view key, std::string_view value) {
    for (const Row& row : kRows) {
      if (key == row.key) {
        s.*row.field = LeadingNumber(value) * row.scale;
        return;
      }
    }
  });
  return s;
}

bool ParseCpuLabel(std::string_view line, std::uint32_t* number) {
  if (!line.starts_with("cpu")) return false;
  const std::size_t space = line.find(' ');
  return space != std::string_view::npos && ToNumber(line.substr(3, space - 3), number);
}

CpuTimes ParseCpuColumns(std::string_view columns) {
  CpuTimes t;
  std::uint64_t* const fields[] = {&t.user,   &t.nice, &t.system, &t.idle,
                                   &t.iowait, &t.irq,  &t.softirq};
  for (std::uint64_t* field : fields) {
    const std::string_view word = NextWord(&columns);
    if (word.empty()) break;
    ToNumber(word, field);
  }
  return t;
}

std::string_view ProcessName(std::string_view comm, bool kernel_thread, std::string_view exe_path) {
  // The kernel cuts comm to 15 bytes; only then is the executable's own name
  // worth the extra read, and only when it really continues comm.
  constexpr std::size_t kCommLimit = 15;
  if (kernel_thread || comm.size() != kCommLimit) return comm;
  constexpr std::string_view kDeleted = " (deleted)";
  if (exe_path.ends_with(kDeleted)) exe_path.remove_suffix(kDeleted.size());
  const std::size_t slash = exe_path.rfind('/');
  const std::string_view base =
      slash == std::string_view::npos ? exe_path : exe_path.substr(slash + 1);
  return base.size() > comm.size() && base.starts_with(comm) ? base : comm;
}

std::string_view FirstArgument(std::string_view cmdline) {
  return cmdline.substr(0, cmdline.find('\0'));
}

std::uint32_t WindowsPriority(std::uint32_t policy, std::int64_t nice) {
  constexpr std::uint32_t kFifo = 1, kRoundRobin = 2, kIdle = 5, kDeadline = 6;
  if (policy == kFifo || policy == kRoundRobin || policy == kDeadline) return 24;
  if (policy == kIdle || nice >= 15) return 4;
  if (nice <= -15) return 13;
  if (nice <= -5) return 10;
  if (nice <= 4) return 8;
  return 6;
}

std::uint32_t ThreadStateCode(char state) {
  switch (state) {
    case 'R':
      return 2;
    case 'S':
    case 'D':
    case 'T':
    case 't':
    case 'I':
      return 5;
    case 'Z':
    case 'X':
      return 4;
    default:
      return 7;
  }
}

std::uint32_t WaitReasonCode(char state, std::string_view wchan) {
  if (ThreadStateCode(state) != 5) return 0;
  if (wchan.find("nanosleep") != std::string_view::npos ||
      wchan.find("hrtimer") != std::string_view::npos) {
    return 4;
  }
  if (state == 'S') return 6;
  if (state == 'T' || state == 't') return 5;
  return 0;
}

}  // namespace procfs
