// The live CPU view of the real binary with its output redirected to a pipe.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <thread>

#include "tests/e2e_util.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
const std::string kHeader =
    "Name                Pid CPU Thd  Hnd   Priv        CPU Time    Elapsed Time\n";
const std::regex kTimestamp(
    "\\d\\d:\\d\\d:\\d\\d \\d\\d/\\d\\d/\\d{4} Process information for .*:");

std::size_t Count(const std::string& text, const std::string& needle) {
  std::size_t count = 0;
  for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

// taskmeld running with its standard output on a pipe that the test reads.
class LiveRun {
 public:
  explicit LiveRun(const std::vector<std::string>& arguments) {
    pid_ = e2e::StartTaskmeld(arguments, &out_);
  }
  LiveRun(const LiveRun&) = delete;
  LiveRun& operator=(const LiveRun&) = delete;
  ~LiveRun() {
    if (out_ >= 0) close(out_);
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  pid_t pid() const { return pid_; }
  const std::string& output() const { return output_; }

  /// Reads until `needle` has come `times` times; false at the end of output.
  bool ReadUntil(const std::string& needle, std::size_t times) {
    while (Count(output_, needle) < times) {
      if (!ReadSome()) return false;
    }
    return true;
  }
  /// Reads to the end and reaps the process: its exit code, 128 + the signal
  /// that ended it, or -1 when it is still running after `limit` (a hang).
  int Finish(std::chrono::seconds limit = std::chrono::seconds(15)) {
    const auto deadline = Clock::now() + limit;
    while (out_ >= 0 && Clock::now() < deadline && ReadSome()) {
    }
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (Clock::now() > deadline) return -1;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }
  /// Stops reading; a view that writes on gets a closed pipe.
  void CloseOutput() {
    close(out_);
    out_ = -1;
  }

 private:
  // False at the end of output, or when nothing came for 15 s (a hang).
  bool ReadSome() {
    pollfd ready = {out_, POLLIN, 0};
    if (poll(&ready, 1, 15'000) <= 0) return false;
    char buffer[65536];
    const ssize_t n = read(out_, buffer, sizeof buffer);
    if (n <= 0) return false;
    output_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }
  pid_t pid_ = -1;
  int out_ = -1;
  std::string output_;
};

// The CPU column of the line whose Pid column is `pid`, in the `cycle`-th
// screen (from 1) of `output`; -1 when there is none.
int ShareOf(const std::string& output, int cycle, pid_t pid) {
  std::istringstream in(output);
  int seen = 0;
  for (std::string line; std::getline(in, line);) {
    if (line + "\n" == kHeader) ++seen;
    if (seen != cycle) continue;
    std::istringstream fields(line);
    std::string name, id;
    int share = -1;
    if (fields >> name >> id >> share && id == std::to_string(pid)) return share;
  }
  return -1;
}

TEST(LiveEndToEndTest, RedirectedRunPrintsItsCyclesWithBusyAndIdleShares) {
  e2e::NamedChild busy("tmlivebusy", {"burn"});
  e2e::NamedChild idle("tmliveidle");
  busy.WaitUntilRunning(1);
  idle.WaitUntilRunning(1);
  LiveRun run({"-s", "2"});
  ASSERT_EQ(run.Finish(), 0) << run.output();
  const std::string& out = run.output();
  EXPECT_EQ(Count(out, kHeader), 2u) << out;
  const auto stamps = std::distance(std::sregex_iterator(out.begin(), out.end(), kTimestamp),
                                    std::sregex_iterator());
  EXPECT_EQ(stamps, 2) << out;
  // Nothing has a share before a previous sample exists.
  EXPECT_EQ(ShareOf(out, 1, busy.pid()), 0) << out;
  EXPECT_EQ(ShareOf(out, 2, idle.pid()), 0) << out;
  // A spinning child fills one processor of those taskmeld counts; other
  // developers' load may take some of it.
  const int full = 100 / static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
  const int share = ShareOf(out, 2, busy.pid());
  EXPECT_GE(share, full / 3) << out;
  EXPECT_LE(share, full + 1) << out;
}

TEST(LiveEndToEndTest, InterruptEndsTheViewAfterTheCurrentCycle) {
  // A selection of nothing keeps each screen small: one write per cycle.
  LiveRun run({"-s", "tmnosuchprocess"});
  ASSERT_TRUE(run.ReadUntil(kHeader, 1)) << run.output();
  // The interrupt is meant to land in the sleep after the listing, not ahead
  // of the check that follows the listing.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const std::size_t seen = Count(run.output(), kHeader);
  kill(run.pid(), SIGINT);
  EXPECT_EQ(run.Finish(), 0);
  // The sleep under way runs out, and one more cycle is printed.
  EXPECT_EQ(Count(run.output(), kHeader), seen + 1) << run.output();
  EXPECT_EQ(run.output().substr(run.output().size() - kHeader.size()), kHeader);
}

TEST(LiveEndToEndTest, AClosedPipeEndsAViewWithoutTimeLimit) {
  LiveRun run({"-s"});
  ASSERT_TRUE(run.ReadUntil(kHeader, 1)) << run.output();
  run.CloseOutput();
  EXPECT_NE(run.Finish(), -1);
}

}  // namespace
