#include "platform/procfs_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace procfs {
namespace {

constexpr std::size_t kFirstFileBuffer = 16 * 1024;
constexpr std::size_t kDirectoryBuffer = 64 * 1024;
// The largest directory record: header, a 255-byte name and its NUL, padded.
constexpr std::size_t kLargestRecord = 280;
constexpr long kProcSuperMagic = 0x9fa0;

// Calls `on_name(name)` for every entry of `dir`, "." and ".." included.
template <typename OnName>
bool ForEachEntry(int dir, std::vector<char>* buffer, OnName on_name) {
  if (buffer->size() < kDirectoryBuffer) buffer->resize(kDirectoryBuffer);
  for (;;) {
    const ssize_t got = getdents64(dir, buffer->data(), buffer->size());
    if (got < 0) return false;
    if (got == 0) return true;
    for (ssize_t at = 0; at < got;) {
      // struct linux_dirent64: 8-byte inode, 8-byte offset, 2-byte record
      // length, 1-byte type, then the NUL-terminated name.
      unsigned short record = 0;
      std::memcpy(&record, buffer->data() + at + 16, sizeof record);
      on_name(std::string_view(buffer->data() + at + 19));
      at += record;
    }
    // A listing stops early only at a record that does not fit: with room
    // for any record left, it is complete, and one more call is saved.
    if (buffer->size() - static_cast<std::size_t>(got) >= kLargestRecord) return true;
  }
}

}  // namespace

EntryPath::EntryPath(std::uint32_t number) {
  prefix_ = static_cast<std::size_t>(std::to_chars(path_, path_ + 10, number).ptr - path_);
  path_[prefix_++] = '/';
}

const char* EntryPath::Of(std::string_view name) {
  const std::size_t length = std::min(name.size(), sizeof path_ - 1 - prefix_);
  std::copy_n(name.data(), length, path_ + prefix_);
  path_[prefix_ + length] = '\0';
  return path_;
}

bool MeansGone(int error) { return error == ENOENT || error == ESRCH; }

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) close(fd_);
    fd_ = other.release();
  }
  return *this;
}

UniqueFd::~UniqueFd() {
  if (fd_ >= 0) close(fd_);
}

int UniqueFd::release() {
  const int fd = fd_;
  fd_ = -1;
  return fd;
}

ReadResult ReadFileAt(int dir, const char* name, std::vector<char>* buffer,
                      std::string_view* text) {
  const UniqueFd file(openat(dir, name, O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (!file.valid()) return MeansGone(errno) ? ReadResult::kGone : ReadResult::kUnreadable;
  if (buffer->size() < kFirstFileBuffer) buffer->resize(kFirstFileBuffer);
  for (;;) {
    // A /proc file is generated afresh by each read from offset 0, so a
    // read that fills the buffer is repeated whole with a larger one.
    const ssize_t got = pread(file.get(), buffer->data(), buffer->size(), 0);
    if (got < 0) return MeansGone(errno) ? ReadResult::kGone : ReadResult::kUnreadable;
    if (static_cast<std::size_t>(got) < buffer->size()) {
      *text = std::string_view(buffer->data(), static_cast<std::size_t>(got));
      return ReadResult::kRead;
    }
    buffer->resize(buffer->size() * 2);
  }
}

bool IsProcFilesystem(int dir) {
  struct statfs info {};
  return fstatfs(dir, &info) == 0 && info.f_type == kProcSuperMagic;
}

std::optional<std::uint32_t> ProcDirectorySize(int dir, const char* name) {
  struct stat info {};
  if (fstatat(dir, name, &info, 0) != 0 || info.st_size < 0) return std::nullopt;
  return static_cast<std::uint32_t>(info.st_size);
}

UniqueFd OpenDirectoryAt(int dir, const char* name) {
  return UniqueFd(openat(dir, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

bool ListNumberedEntries(int dir, std::vector<char>* buffer, std::vector<std::uint32_t>* numbers) {
  return ForEachEntry(dir, buffer, [numbers](std::string_view name) {
    std::uint32_t number = 0;
    const auto [end, error] = std::from_chars(name.data(), name.data() + name.size(), number);
    if (error == std::errc{} && end == name.data() + name.size()) numbers->push_back(number);
  });
}

std::optional<std::uint32_t> CountEntries(int dir, std::vector<char>* buffer) {
  std::uint32_t count = 0;
  const bool listed = ForEachEntry(dir, buffer, [&count](std::string_view name) {
    if (name != "." && name != "..") ++count;
  });
  if (!listed) return std::nullopt;
  return count;
}

}  // namespace procfs
