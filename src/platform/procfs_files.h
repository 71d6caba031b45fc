// The system calls under the provider's scan: files read whole into a reused
// buffer and directories listed in large chunks, both relative to an open
// directory (the /proc root, or a task directory).
#ifndef TASKMELD_PLATFORM_PROCFS_FILES_H_
#define TASKMELD_PLATFORM_PROCFS_FILES_H_

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace procfs {

/// Owns a file descriptor and closes it when it goes out of scope.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept;
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd();

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  int release();

 private:
  int fd_ = -1;
};

/// "N/name" for the files of process or task N, relative to the directory
/// that lists it. Naming N in each open costs one lookup more than reading
/// through a descriptor of N's directory, but saves that descriptor's open
/// and close: two of the seven system calls a process takes.
class EntryPath {
 public:
  explicit EntryPath(std::uint32_t number);

  /// "N/`name`", NUL-terminated, valid until the next call; `name` is cut
  /// where it would not fit (the names the scan uses are short).
  const char* Of(std::string_view name);

 private:
  char path_[32];
  std::size_t prefix_ = 0;
};

/// How a read of a /proc file ended.
enum class ReadResult {
  kRead,        // the whole content is in the text
  kGone,        // the file does not exist: its process or task has ended
  kUnreadable,  // it exists but may not be read (permission, not a file)
};

/// True for the errors of a /proc file whose process or task has ended.
bool MeansGone(int error);

/// Reads file `name` under directory `dir` whole into `*buffer` (kept for
/// the next read and grown while a read fills it) and views it in `*text`.
ReadResult ReadFileAt(int dir, const char* name, std::vector<char>* buffer, std::string_view* text);

/// True when `dir` lies on a proc file system (not a copy of one).
bool IsProcFilesystem(int dir);

/// The size a proc file system reports for directory `name` under `dir`;
/// for /proc/PID/fd that is the number of open files from Linux 6.2 on, and
/// always 0 before. Nothing when it cannot be read.
std::optional<std::uint32_t> ProcDirectorySize(int dir, const char* name);

/// Opens directory `name` under `dir`; invalid (errno set) on failure.
UniqueFd OpenDirectoryAt(int dir, const char* name);

/// Appends the names of the freshly opened `dir` that are decimal numbers (pids, tids) to
/// `*numbers`, listing through `*buffer`. False when the listing fails.
bool ListNumberedEntries(int dir, std::vector<char>* buffer, std::vector<std::uint32_t>* numbers);

/// The number of entries of the freshly opened `dir` other than "." and "..", or nothing when
/// the listing fails.
std::optional<std::uint32_t> CountEntries(int dir, std::vector<char>* buffer);

}  // namespace procfs

#endif  // TASKMELD_PLATFORM_PROCFS_FILES_H_
