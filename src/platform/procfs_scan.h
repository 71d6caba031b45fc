// One walk over a /proc tree into plain records: the CPUs of its stat file,
// then every process in ascending pid order and, when asked, every task of
// each. A process that ends during the walk is left out whole.
#ifndef TASKMELD_PLATFORM_PROCFS_SCAN_H_
#define TASKMELD_PLATFORM_PROCFS_SCAN_H_

#include <cstdint>
#include <string>
#include <vector>

#include "platform/procfs_files.h"
#include "platform/procfs_parse.h"

namespace procfs {

struct CpuRecord {
  std::uint32_t number = 0;  // N of the "cpuN" line
  CpuTimes times;
};

/// One task of a process; times in clock ticks, the rest on the Windows
/// scales of the Thread object.
struct ThreadRecord {
  std::uint32_t tid = 0;
  std::uint32_t tgid = 0;
  std::uint64_t utime = 0;
  std::uint64_t stime = 0;
  std::uint64_t starttime = 0;  // after boot
  std::uint64_t context_switches = 0;
  std::uint32_t priority = 0;
  std::uint32_t state = 0;
  std::uint32_t wait_reason = 0;
};

/// One process; times in clock ticks, sizes in bytes.
struct ProcessRecord {
  std::uint32_t pid = 0;
  std::uint32_t ppid = 0;
  std::uint32_t name_offset = 0;  // UTF-16 units into Snapshot::names
  std::uint32_t name_length = 0;
  std::uint64_t utime = 0;
  std::uint64_t stime = 0;
  std::uint64_t starttime = 0;  // after boot
  std::uint64_t page_faults = 0;
  std::uint32_t num_threads = 0;
  std::uint32_t priority = 0;  // Windows base priority
  std::uint32_t handle_count = 0;
  StatusFields status;
  std::uint32_t first_thread = 0;  // index into Snapshot::threads
  std::uint32_t thread_records = 0;
};

/// What one scan found. Kept between scans so that its storage is reused.
struct Snapshot {
  std::vector<CpuRecord> cpus;
  std::vector<ProcessRecord> processes;  // ascending pid
  std::vector<ThreadRecord> threads;     // grouped by process, ascending tid
  std::u16string names;                  // every process name, back to back

  std::u16string_view NameOf(const ProcessRecord& process) const {
    return std::u16string_view(names).substr(process.name_offset, process.name_length);
  }
};

enum class ScanScope { kCpus, kProcesses, kProcessesAndThreads };

/// Walks one /proc root; its buffers serve every file of every scan.
class Scanner {
 public:
  /// `proc_root` is "/proc" in the program, a fixture tree in tests.
  explicit Scanner(std::string proc_root) : root_(std::move(proc_root)) {}

  /// Refills `*snapshot` with what `scope` asks. False when the root cannot
  /// be opened or listed, or its stat file lists no CPU.
  bool Scan(ScanScope scope, Snapshot* snapshot);

  /// Reads the tasks of every process of a snapshot that a kProcesses scan
  /// filled; a process that has ended since is left out. False when the root
  /// cannot be opened.
  bool AddTasks(Snapshot* snapshot);

 private:
  bool ScanCpus(int root, Snapshot* snapshot);
  bool ScanProcess(int root, std::uint32_t pid, bool with_threads, Snapshot* snapshot);
  void ReadName(int root, EntryPath* path, const StatFields& stat, Snapshot* snapshot);
  bool ReadOptional(int root, EntryPath* path, const char* name, std::string_view* text);
  bool CountHandles(int root, EntryPath* path, std::uint32_t* count);
  bool ScanTasks(int root, EntryPath* path, std::uint32_t pid, Snapshot* snapshot);
  void ScanTask(int task_dir, std::uint32_t pid, std::uint32_t tid, Snapshot* snapshot);

  std::string root_;
  bool fd_sizes_are_counts_ = false;
  std::vector<char> file_buffer_;
  std::vector<char> dir_buffer_;
  std::vector<std::uint32_t> pids_;
  std::vector<std::uint32_t> tids_;
};

}  // namespace procfs

#endif  // TASKMELD_PLATFORM_PROCFS_SCAN_H_
