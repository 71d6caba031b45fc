// Support code of the end-to-end tests (built into the test binary only).
#include "tests/e2e_util.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace e2e {
namespace {

pid_t Spawn(const std::string& path, const std::vector<std::string>& arguments,
            posix_spawn_file_actions_t* actions) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(path.c_str()));
  for (const auto& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, path.c_str(), actions, nullptr, argv.data(), environ) != 0) {
    throw std::runtime_error("cannot start " + path);
  }
  return pid;
}

}  // namespace

pid_t StartTaskmeld(const std::vector<std::string>& arguments, int* output) {
  int fds[2];
  if (pipe(fds) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, fds[0]);
  const pid_t pid = Spawn(TASKMELD_BINARY, arguments, &actions);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  *output = fds[0];
  return pid;
}

namespace {

std::string ReadAll(int fd) {
  std::string text;
  char buffer[65536];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  close(fd);
  return text;
}

int ExitCodeOf(pid_t pid) {
  int status = 0;
  if (waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace

RunResult RunTaskmeld(const std::vector<std::string>& arguments) {
  int output = -1;
  const pid_t pid = StartTaskmeld(arguments, &output);
  RunResult result;
  result.output = ReadAll(output);
  result.exit_code = ExitCodeOf(pid);
  return result;
}

RunResult RunTaskmeldWritingTo(int stdout_fd, const std::vector<std::string>& arguments) {
  int errors[2];
  if (pipe(errors) != 0) throw std::runtime_error("pipe");
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, stdout_fd, STDOUT_FILENO);
  posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
  posix_spawn_file_actions_addclose(&actions, errors[0]);
  const pid_t pid = Spawn(TASKMELD_BINARY, arguments, &actions);
  posix_spawn_file_actions_destroy(&actions);
  close(errors[1]);
  RunResult result;
  result.errors = ReadAll(errors[0]);
  result.exit_code = ExitCodeOf(pid);
  return result;
}

NamedChild::NamedChild(const std::string& name, const std::vector<std::string>& arguments) {
  const auto dir = std::filesystem::temp_directory_path() /
                   ("taskmeld-e2e-" + std::to_string(getpid()) + "-" + name);
  std::filesystem::create_directories(dir);
  link_ = (dir / name).string();
  std::filesystem::remove(link_);
  // The kernel names a process after the file it executes: a link gives the
  // child the name the test looks for.
  std::filesystem::create_symlink(TASKMELD_TEST_CHILD, link_);
  pid_ = Spawn(link_, arguments, nullptr);
}

NamedChild::~NamedChild() {
  kill(pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
  std::error_code ignored;
  std::filesystem::remove_all(std::filesystem::path(link_).parent_path(), ignored);
}

void NamedChild::WaitUntilRunning(int threads) const {
  const std::string task_dir = "/proc/" + std::to_string(pid_) + "/task";
  for (int attempt = 0; attempt < 500; ++attempt) {
    std::ifstream comm("/proc/" + std::to_string(pid_) + "/comm");
    std::string name;
    std::getline(comm, name);
    std::error_code error;
    const auto count = std::distance(std::filesystem::directory_iterator(task_dir, error),
                                     std::filesystem::directory_iterator());
    if (!error && name == std::filesystem::path(link_).filename().string() && count == threads) {
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  throw std::runtime_error("the test child did not start");
}

std::vector<std::string> LinesWith(const std::string& text, const std::string& needle) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (line.find(needle) != std::string::npos) lines.push_back(line);
  }
  return lines;
}

}  // namespace e2e
