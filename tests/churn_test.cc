// Reports taken while processes start and end as fast as the machine allows:
// every run must succeed and agree with itself.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <set>
#include <sstream>
#include <thread>
#include <vector>

#include "tests/e2e_util.h"

namespace {

// Forks short-lived children until stopped, each living a few milliseconds
// and some with a second thread, so that /proc changes under every scan.
class Churn {
 public:
  Churn() : thread_([this] { Run(); }) {}
  ~Churn() {
    stop_ = true;
    thread_.join();
  }

 private:
  void Run() {
    std::vector<pid_t> alive;
    for (int n = 0; !stop_; ++n) {
      const pid_t pid = fork();
      if (pid == 0) {
        if (n % 2 == 0) std::thread([] { usleep(2000); }).detach();
        usleep(static_cast<useconds_t>(1000 * (n % 5)));
        _exit(0);
      }
      if (pid > 0) alive.push_back(pid);
      // Reap only our own children: the test waits for taskmeld itself.
      std::erase_if(alive, [](pid_t child) { return waitpid(child, nullptr, WNOHANG) != 0; });
      if (n % 8 == 7) usleep(500);
    }
    for (const pid_t child : alive) waitpid(child, nullptr, 0);
  }
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

// Pids of the process lines of a -d report ("name pid:") and of the
// threads listed under them must belong together.
void ExpectThreadsUnderListedProcesses(const std::string& output) {
  std::istringstream in(output);
  std::string line;
  bool in_process = false;
  int processes = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == ':' && line.find(' ') != std::string::npos &&
        line.rfind(" Tid", 0) != 0 && line.rfind("Process information", 0) != 0) {
      in_process = true;
      ++processes;
    } else if (line.rfind(" Tid Pri", 0) == 0) {
      ASSERT_TRUE(in_process) << "a thread header without its process:\n" << output;
    } else if (line.empty()) {
      in_process = false;
    }
  }
  EXPECT_GT(processes, 0);
}

TEST(ChurnTest, ReportsStayWholeWhileProcessesComeAndGo) {
  Churn churn;
  for (int round = 0; round < 15; ++round) {
    for (const char* mode : {"", "-d", "-t"}) {
      const std::vector<std::string> arguments =
          *mode ? std::vector<std::string>{mode} : std::vector<std::string>{};
      const auto result = e2e::RunTaskmeld(arguments);
      ASSERT_EQ(result.exit_code, 0) << mode << "\n" << result.output;
      ASSERT_EQ(result.output.find("Cannot create the snapshot"), std::string::npos)
          << mode << "\n"
          << result.output;
      if (std::string(mode) == "-d") ExpectThreadsUnderListedProcesses(result.output);
    }
  }
}

}  // namespace
