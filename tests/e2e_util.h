// Test support for running the real taskmeld binary and child processes with
// chosen names.
#ifndef TASKMELD_TESTS_E2E_UTIL_H_
#define TASKMELD_TESTS_E2E_UTIL_H_

#include <sys/types.h>

#include <string>
#include <vector>

namespace e2e {

struct RunResult {
  int exit_code = -1;
  std::string output;
  std::string errors;  // standard error, where the run collected it
};

/// Starts build/taskmeld with `arguments`, its standard output on a pipe
/// whose reading end goes to `*output`.
pid_t StartTaskmeld(const std::vector<std::string>& arguments, int* output);

/// Runs build/taskmeld with its standard output on `stdout_fd` (a full disk,
/// a pipe without reader) and collects its standard error.
RunResult RunTaskmeldWritingTo(int stdout_fd, const std::vector<std::string>& arguments);

/// Runs build/taskmeld with `arguments` and collects its standard output.
RunResult RunTaskmeld(const std::vector<std::string>& arguments);

/// A child process named `name` (its comm), running the test child with
/// `arguments`; killed and reaped when the object goes.
class NamedChild {
 public:
  NamedChild(const std::string& name, const std::vector<std::string>& arguments = {});
  NamedChild(const NamedChild&) = delete;
  NamedChild& operator=(const NamedChild&) = delete;
  ~NamedChild();
  pid_t pid() const { return pid_; }
  /// Waits until the child runs its own program with `threads` threads.
  void WaitUntilRunning(int threads) const;

 private:
  std::string link_;
  pid_t pid_ = -1;
};

/// The lines of `text` that contain `needle`.
std::vector<std::string> LinesWith(const std::string& text, const std::string& needle);

}  // namespace e2e

#endif  // TASKMELD_TESTS_E2E_UTIL_H_
