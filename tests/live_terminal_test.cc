// The live CPU view of the real binary on a real terminal: a tmux pane of a
// fixed size, read back as the user would see it.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <regex>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::regex kTimestampRow(
    "\\d\\d:\\d\\d:\\d\\d \\d\\d/\\d\\d/\\d{4} Process information for .*:");
const std::string kHeaderRow =
    "Name                Pid CPU Thd  Hnd   Priv        CPU Time    Elapsed Time";
const std::regex kProcessRow(
    "\\S.* +\\d+ +\\d+ +\\d+ +\\d+ +\\d+ +\\d+:\\d\\d:\\d\\d\\.\\d{3} "
    "+\\d+:\\d\\d:\\d\\d\\.\\d{3}");

// A directory of its own, removed with everything in it.
class TempDir {
 public:
  TempDir() : path_(fs::temp_directory_path() / ("taskmeld-tty-" + std::to_string(getpid()))) {
    fs::create_directories(path_);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// A copy of sleep under `name`, so that the process is listed by that name;
// killed and reaped when the object goes.
class Helper {
 public:
  Helper(const TempDir& dir, const std::string& name) {
    const std::string program = (dir.path() / name).string();
    fs::copy_file("/bin/sleep", program, fs::copy_options::overwrite_existing);
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("600"), nullptr};
    if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, argv, environ) != 0) {
      throw std::runtime_error("cannot start " + program);
    }
  }
  Helper(const Helper&) = delete;
  Helper& operator=(const Helper&) = delete;
  ~Helper() { End(); }
  void End() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

std::string RunCommand(const std::string& command) {
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

// A tmux server on a private socket running one command in a pane of a fixed
// size; the server goes with the object.
class TmuxPane {
 public:
  TmuxPane(int columns, int rows, const std::string& command)
      : socket_("taskmeld-test-" + std::to_string(getpid())) {
    const int status =
        std::system((Tmux() + " -f /dev/null new-session -d -x " + std::to_string(columns) +
                     " -y " + std::to_string(rows) + " '" + command + "'")
                        .c_str());
    if (status != 0) throw std::runtime_error("tmux did not start");
  }
  TmuxPane(const TmuxPane&) = delete;
  TmuxPane& operator=(const TmuxPane&) = delete;
  ~TmuxPane() {
    if (std::system((Tmux() + " kill-server 2>/dev/null").c_str()) != 0) {
      // Nothing is left to stop when the server has already gone.
    }
  }

  /// The pane's rows as the user sees them, trailing blanks cut.
  std::vector<std::string> Rows() const {
    std::istringstream in(RunCommand(Tmux() + " capture-pane -p"));
    std::vector<std::string> rows;
    for (std::string row; std::getline(in, row);) rows.push_back(row);
    return rows;
  }

 private:
  std::string Tmux() const { return "tmux -L " + socket_; }
  std::string socket_;
};

// Waits up to 15 s for `done` to hold.
template <typename Condition>
bool WaitFor(Condition done) {
  const auto deadline = Clock::now() + std::chrono::seconds(15);
  while (!done()) {
    if (Clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

std::string Joined(const std::vector<std::string>& rows) {
  std::string text;
  for (const auto& row : rows) text += row + "\n";
  return text;
}

// Runs `taskmeld arguments` in the pane, then keeps the pane as it was left.
std::string ViewCommand(const TempDir& dir, const std::string& arguments) {
  return std::string(TASKMELD_BINARY) + " " + arguments + "; touch " +
         (dir.path() / "done").string() + "; exec sleep 600";
}

// The rows of the view's screen: the timestamp first, the header third, and
// nothing of the banner or of the entry's own header line.
void ExpectScreenFromTheTop(const std::vector<std::string>& rows) {
  ASSERT_GE(rows.size(), 3u);
  EXPECT_TRUE(std::regex_match(rows[0], kTimestampRow)) << Joined(rows);
  EXPECT_EQ(rows[1], "") << Joined(rows);
  EXPECT_EQ(rows[2], kHeaderRow) << Joined(rows);
  const std::string text = Joined(rows);
  EXPECT_EQ(text.find("taskmeld v1.0"), std::string::npos) << text;
  EXPECT_EQ(text.find("Process information", rows[0].size()), std::string::npos) << text;
}

TEST(LiveTerminalTest, RedrawsFromTheTopAndLeavesNoStaleTail) {
  TempDir dir;
  Helper long_named(dir, "tmstale-a-helper-with-a-long-name");
  Helper short_named(dir, "tmstale-b");
  TmuxPane pane(100, 40, ViewCommand(dir, "-s 3 tmstale"));
  std::vector<std::string> rows;
  ASSERT_TRUE(WaitFor([&] {
    rows = pane.Rows();
    return rows.size() > 4 && rows[4].rfind("tmstale-b ", 0) == 0;
  })) << Joined(rows);
  // The long line stands on the row that the short one takes next.
  ASSERT_EQ(rows[3].rfind("tmstale-a-helper-with-a-long-name ", 0), 0u) << Joined(rows);
  long_named.End();
  ASSERT_TRUE(WaitFor([&] { return fs::exists(dir.path() / "done"); }));
  rows = pane.Rows();
  ExpectScreenFromTheTop(rows);
  ASSERT_GE(rows.size(), 4u);
  EXPECT_TRUE(std::regex_match(rows[3], kProcessRow)) << Joined(rows);
  EXPECT_EQ(rows[3].rfind("tmstale-b ", 0), 0u) << Joined(rows);
  for (std::size_t i = 4; i < rows.size(); ++i) EXPECT_EQ(rows[i], "") << Joined(rows);
}

TEST(LiveTerminalTest, AListingTallerThanTheWindowKeepsItsHeaderOnScreen) {
  TempDir dir;
  // More processes than the window has rows, whatever else runs.
  std::vector<std::unique_ptr<Helper>> helpers;
  for (int i = 0; i < 24; ++i) {
    helpers.push_back(std::make_unique<Helper>(dir, "tmfill" + std::to_string(i)));
  }
  TmuxPane pane(100, 20, ViewCommand(dir, "-s 3"));
  ASSERT_TRUE(WaitFor([&] { return fs::exists(dir.path() / "done"); }));
  const std::vector<std::string> rows = pane.Rows();
  ASSERT_EQ(rows.size(), 20u) << Joined(rows);
  ExpectScreenFromTheTop(rows);
  // Every row below the header shows a process, except the last, kept free.
  for (std::size_t i = 3; i < 19; ++i) {
    EXPECT_TRUE(std::regex_match(rows[i], kProcessRow)) << i << "\n" << Joined(rows);
  }
  EXPECT_EQ(rows[19], "") << Joined(rows);
}

}  // namespace
