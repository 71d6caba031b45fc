#include "platform/procfs_scan.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/procfs_files.h"
#include "platform/utf.h"

namespace procfs {
namespace {

constexpr std::size_t kNameLimit = 259;  // UTF-16 units

// Whether process `path` still exists: once it has ended, its directory is
// gone from the listing and nothing under it can be looked up.
bool StillThere(int root, EntryPath* path) {
  return faccessat(root, path->Of("stat"), F_OK, 0) == 0;
}

void AppendName(std::string_view utf8, std::u16string* names) {
  const std::size_t start = names->size();
  if (std::all_of(utf8.begin(), utf8.end(), [](char c) { return (c & 0x80) == 0; })) {
    // Widened in place: appending the char range would build a temporary
    // string first, an allocation per process.
    const std::size_t length = std::min(utf8.size(), kNameLimit);
    names->resize(start + length);
    std::copy_n(utf8.begin(), length, names->begin() + static_cast<std::ptrdiff_t>(start));
    return;
  }
  names->append(utf::ToUtf16(utf8));
  if (names->size() - start <= kNameLimit) return;
  std::size_t end = start + kNameLimit;
  // Cutting between the halves of a pair would leave a lone surrogate.
  if ((*names)[end - 1] >= 0xD800 && (*names)[end - 1] <= 0xDBFF) --end;
  names->resize(end);
}

}  // namespace

bool Scanner::Scan(ScanScope scope, Snapshot* snapshot) {
  snapshot->cpus.clear();
  snapshot->processes.clear();
  snapshot->threads.clear();
  snapshot->names.clear();
  const UniqueFd root(open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!root.valid() || !ScanCpus(root.get(), snapshot)) return false;
  // Our own descriptors (the root's among them) make our fd directory's
  // size nonzero exactly where sizes are counts, so a 0 is then one too.
  fd_sizes_are_counts_ =
      IsProcFilesystem(root.get()) && ProcDirectorySize(root.get(), "self/fd").value_or(0) > 0;
  if (scope == ScanScope::kCpus) return true;
  pids_.clear();
  if (!ListNumberedEntries(root.get(), &dir_buffer_, &pids_)) return false;
  // The listing comes in the kernel's order, which is not numeric.
  std::sort(pids_.begin(), pids_.end());
  for (const std::uint32_t pid : pids_) {
    ScanProcess(root.get(), pid, scope == ScanScope::kProcessesAndThreads, snapshot);
  }
  return true;
}

bool Scanner::AddTasks(Snapshot* snapshot) {
  const UniqueFd root(open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!root.valid()) return false;
  snapshot->threads.clear();
  std::size_t kept = 0;
  for (ProcessRecord process : snapshot->processes) {
    EntryPath path(process.pid);
    process.first_thread = static_cast<std::uint32_t>(snapshot->threads.size());
    if (!ScanTasks(root.get(), &path, process.pid, snapshot)) {
      snapshot->threads.resize(process.first_thread);
      continue;
    }
    process.thread_records =
        static_cast<std::uint32_t>(snapshot->threads.size() - process.first_thread);
    snapshot->processes[kept++] = process;
  }
  snapshot->processes.resize(kept);
  return true;
}

bool Scanner::ScanCpus(int root, Snapshot* snapshot) {
  std::string_view text;
  if (ReadFileAt(root, "stat", &file_buffer_, &text) != ReadResult::kRead) return false;
  ForEachCpu(text, [snapshot](std::uint32_t number, const CpuTimes& times) {
    snapshot->cpus.push_back(CpuRecord{number, times});
  });
  return !snapshot->cpus.empty();
}

bool Scanner::ScanProcess(int root, std::uint32_t pid, bool with_threads, Snapshot* snapshot) {
  EntryPath path(pid);
  std::string_view text;
  StatFields stat;
  if (ReadFileAt(root, path.Of("stat"), &file_buffer_, &text) != ReadResult::kRead ||
      !ParseStat(text, &stat)) {
    return false;
  }
  ProcessRecord process;
  process.pid = pid;
  process.ppid = stat.ppid;
  process.utime = stat.utime;
  process.stime = stat.stime;
  process.starttime = stat.starttime;
  process.page_faults = stat.minflt + stat.majflt;
  process.num_threads = stat.num_threads;
  process.priority = WindowsPriority(stat.policy, stat.nice);
  process.name_offset = static_cast<std::uint32_t>(snapshot->names.size());
  process.first_thread = static_cast<std::uint32_t>(snapshot->threads.size());
  ReadName(root, &path, stat, snapshot);
  process.name_length = static_cast<std::uint32_t>(snapshot->names.size() - process.name_offset);

  // Until the record is complete, an end of the process takes back all that
  // was added for it.
  const auto drop = [&] {
    snapshot->names.resize(process.name_offset);
    snapshot->threads.resize(process.first_thread);
    return false;
  };
  // A kernel thread has no memory of its own, so its status holds none of
  // the counters read from it; on a machine with hundreds of them, skipping
  // it saves three system calls each.
  if ((stat.flags & kKernelThreadFlag) == 0) {
    const ReadResult status = ReadFileAt(root, path.Of("status"), &file_buffer_, &text);
    if (status == ReadResult::kGone) return drop();
    if (status == ReadResult::kRead) process.status = ParseStatus(text);
  }
  if (!CountHandles(root, &path, &process.handle_count)) return drop();
  if (with_threads && !ScanTasks(root, &path, pid, snapshot)) return drop();
  process.thread_records =
      static_cast<std::uint32_t>(snapshot->threads.size() - process.first_thread);
  snapshot->processes.push_back(process);
  return true;
}

void Scanner::ReadName(int root, EntryPath* path, const StatFields& stat, Snapshot* snapshot) {
  const bool kernel_thread = (stat.flags & kKernelThreadFlag) != 0;
  if (kernel_thread || stat.comm.size() != 15) {
    AppendName(stat.comm, &snapshot->names);
    return;
  }
  // comm views the file buffer, which the reads below reuse.
  char comm[15];
  std::memcpy(comm, stat.comm.data(), sizeof comm);
  char link[4096];
  std::string_view exe;
  const ssize_t length = readlinkat(root, path->Of("exe"), link, sizeof link);
  if (length > 0 && static_cast<std::size_t>(length) < sizeof link) {
    exe = std::string_view(link, static_cast<std::size_t>(length));
  } else if (std::string_view cmdline; ReadOptional(root, path, "cmdline", &cmdline)) {
    exe = FirstArgument(cmdline);
  }
  AppendName(ProcessName(std::string_view(comm, sizeof comm), false, exe), &snapshot->names);
}

bool Scanner::ReadOptional(int root, EntryPath* path, const char* name, std::string_view* text) {
  switch (ReadFileAt(root, path->Of(name), &file_buffer_, text)) {
    case ReadResult::kRead:
      return true;
    case ReadResult::kUnreadable:
      *text = {};
      return true;
    case ReadResult::kGone:
      break;
  }
  *text = {};
  // A kernel built without the file is not an ended process.
  return StillThere(root, path);
}

bool Scanner::CountHandles(int root, EntryPath* path, std::uint32_t* count) {
  // Where the kernel gives the count as the directory's size, one stat
  // replaces an open, a listing and a close; a failed stat is left to the
  // listing to explain.
  if (fd_sizes_are_counts_) {
    if (const auto size = ProcDirectorySize(root, path->Of("fd"))) {
      *count = *size;
      return true;
    }
  }
  *count = 0;
  const UniqueFd fds = OpenDirectoryAt(root, path->Of("fd"));
  if (!fds.valid()) return !MeansGone(errno) || StillThere(root, path);
  *count = CountEntries(fds.get(), &dir_buffer_).value_or(0);
  return true;
}

bool Scanner::ScanTasks(int root, EntryPath* path, std::uint32_t pid, Snapshot* snapshot) {
  const UniqueFd tasks = OpenDirectoryAt(root, path->Of("task"));
  if (!tasks.valid()) return !MeansGone(errno);
  tids_.clear();
  if (!ListNumberedEntries(tasks.get(), &dir_buffer_, &tids_)) return true;
  std::sort(tids_.begin(), tids_.end());
  for (const std::uint32_t tid : tids_) ScanTask(tasks.get(), pid, tid, snapshot);
  return true;
}

void Scanner::ScanTask(int task_dir, std::uint32_t pid, std::uint32_t tid, Snapshot* snapshot) {
  EntryPath path(tid);
  std::string_view text;
  StatFields stat;
  if (ReadFileAt(task_dir, path.Of("stat"), &file_buffer_, &text) != ReadResult::kRead ||
      !ParseStat(text, &stat)) {
    return;
  }
  ThreadRecord thread;
  thread.tid = tid;
  thread.tgid = pid;
  thread.utime = stat.utime;
  thread.stime = stat.stime;
  thread.starttime = stat.starttime;
  thread.priority = WindowsPriority(stat.policy, stat.nice);
  thread.state = ThreadStateCode(stat.state);
  const ReadResult status = ReadFileAt(task_dir, path.Of("status"), &file_buffer_, &text);
  if (status == ReadResult::kGone) return;
  if (status == ReadResult::kRead) {
    const StatusFields fields = ParseStatus(text);
    thread.context_switches = fields.voluntary_switches + fields.nonvoluntary_switches;
  }
  // Only a waiting thread has a wait reason, so only its wchan is read.
  std::string_view wchan;
  if (thread.state == ThreadStateCode('S') &&
      ReadFileAt(task_dir, path.Of("wchan"), &file_buffer_, &text) == ReadResult::kRead) {
    wchan = text;
  }
  thread.wait_reason = WaitReasonCode(stat.state, wchan);
  snapshot->threads.push_back(thread);
}

}  // namespace procfs
