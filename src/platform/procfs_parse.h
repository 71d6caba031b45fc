// Parsers of the /proc text files that the provider reads. Each works on the
// bytes already read into memory and never allocates, so that one scan of
// /proc costs one read per file and no heap traffic per process.
#ifndef TASKMELD_PLATFORM_PROCFS_PARSE_H_
#define TASKMELD_PLATFORM_PROCFS_PARSE_H_

#include <cstdint>
#include <string_view>

namespace procfs {

/// The fields of /proc/PID/stat (and of a task's stat) that the provider
/// uses, named by their proc(5) numbers.
struct StatFields {
  std::string_view comm;          // 2, between the first "(" and the last ")"
  char state = '?';               // 3
  std::uint32_t ppid = 0;         // 4
  std::uint64_t flags = 0;        // 9
  std::uint64_t minflt = 0;       // 10
  std::uint64_t majflt = 0;       // 12
  std::uint64_t utime = 0;        // 14, clock ticks
  std::uint64_t stime = 0;        // 15, clock ticks
  std::int64_t nice = 0;          // 19
  std::uint32_t num_threads = 0;  // 20
  std::uint64_t starttime = 0;    // 22, clock ticks after boot
  std::uint32_t policy = 0;       // 41
};

/// The kernel-thread bit of the stat flags field.
inline constexpr std::uint64_t kKernelThreadFlag = 0x00200000;

/// Parses a stat line; `comm` views into `text`. False when the parentheses
/// or any of the fields up to starttime are missing or not numbers (policy
/// is optional: old kernels stop before it).
bool ParseStat(std::string_view text, StatFields* out);

/// The lines of a status file that the provider uses, sizes in bytes. A line
/// that is absent (as in a kernel thread) leaves its field at 0.
struct StatusFields {
  std::uint64_t vm_peak = 0;
  std::uint64_t vm_size = 0;
  std::uint64_t vm_hwm = 0;
  std::uint64_t vm_rss = 0;
  std::uint64_t rss_anon = 0;
  std::uint64_t vm_data = 0;
  std::uint64_t vm_stk = 0;
  std::uint64_t vm_pte = 0;
  std::uint64_t voluntary_switches = 0;
  std::uint64_t nonvoluntary_switches = 0;
};

/// Parses a status file; unknown and malformed lines are skipped. Never fails.
StatusFields ParseStatus(std::string_view text);

/// One "cpuN" line of /proc/stat, in clock ticks.
struct CpuTimes {
  std::uint64_t user = 0;
  std::uint64_t nice = 0;
  std::uint64_t system = 0;
  std::uint64_t idle = 0;
  std::uint64_t iowait = 0;
  std::uint64_t irq = 0;
  std::uint64_t softirq = 0;
};

/// Calls `add(n, times)` for each "cpuN" line of /proc/stat in file order
/// (the summed "cpu" line is not one of them; an offline CPU has no line).
/// Missing trailing columns read as 0.
template <typename Add>
void ForEachCpu(std::string_view text, Add add);

/// True when `line` starts with a "cpuN " label; sets `*number` to N.
bool ParseCpuLabel(std::string_view line, std::uint32_t* number);

/// Parses the columns of one "cpuN" line behind its label.
CpuTimes ParseCpuColumns(std::string_view columns);

/// The name a process is listed under: the executable's base name when
/// `comm` is only its prefix cut to 15 bytes, else `comm`. `exe_path` is the
/// target of the exe link or argv[0], empty when neither could be read; a
/// " (deleted)" mark of a replaced executable is not part of the name.
std::string_view ProcessName(std::string_view comm, bool kernel_thread, std::string_view exe_path);

/// argv[0] of a cmdline file (its text up to the first NUL).
std::string_view FirstArgument(std::string_view cmdline);

/// Base priority on the Windows scale from a scheduling policy and nice value.
std::uint32_t WindowsPriority(std::uint32_t policy, std::int64_t nice);

/// Windows thread state code of a stat state letter.
std::uint32_t ThreadStateCode(char state);

/// Windows wait reason of a thread in stat state `state`; `wchan` is the
/// content of its wchan file, empty when unreadable.
std::uint32_t WaitReasonCode(char state, std::string_view wchan);

template <typename Add>
void ForEachCpu(std::string_view text, Add add) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    std::uint32_t number = 0;
    if (ParseCpuLabel(line, &number)) add(number, ParseCpuColumns(line.substr(line.find(' '))));
  }
}

}  // namespace procfs

#endif  // TASKMELD_PLATFORM_PROCFS_PARSE_H_
