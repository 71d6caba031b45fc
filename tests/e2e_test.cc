// The real binary on the real /proc.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "tests/e2e_util.h"

namespace {

using e2e::LinesWith;
using e2e::NamedChild;
using e2e::RunTaskmeld;

std::string Pid(pid_t pid) { return std::to_string(pid); }

TEST(EndToEndTest, ListsAChildWithItsPidAndThreadCount) {
  NamedChild child("tmlistchild", {"threads", "3"});
  child.WaitUntilRunning(4);
  for (const std::string& selector :
       {std::string("tmlist"), std::string("TMLISTCHILD"), Pid(child.pid())}) {
    const auto result = RunTaskmeld({selector});
    EXPECT_EQ(result.exit_code, 0);
    const auto lines = LinesWith(result.output, "tmlistchild");
    ASSERT_EQ(lines.size(), 1u) << result.output;
    // Name, pid, priority, threads.
    const std::regex line("tmlistchild +" + Pid(child.pid()) + " +8 +4 +[0-9]+ .*");
    EXPECT_TRUE(std::regex_match(lines[0], line)) << lines[0];
  }
  const auto exact = RunTaskmeld({"-e", "tmlist"});
  EXPECT_TRUE(LinesWith(exact.output, "tmlistchild").empty());
}

// Waits up to five seconds for process `pid` to hold `count` open files.
void WaitForOpenFiles(pid_t pid, std::ptrdiff_t count) {
  const std::filesystem::path fds = "/proc/" + Pid(pid) + "/fd";
  for (int i = 0; i < 500; ++i) {
    std::error_code error;
    const auto entries = std::distance(std::filesystem::directory_iterator(fds, error),
                                       std::filesystem::directory_iterator());
    if (!error && entries == count) return;
    usleep(10'000);
  }
  ADD_FAILURE() << "process " << pid << " never held " << count << " files";
}

TEST(EndToEndTest, HandlesAreTheOpenFilesNoneIncluded) {
  for (const int files : {0, 5}) {
    NamedChild child("tmfileschild", {"files", std::to_string(files)});
    child.WaitUntilRunning(1);
    WaitForOpenFiles(child.pid(), files);
    const auto result = RunTaskmeld({Pid(child.pid())});
    const auto lines = LinesWith(result.output, "tmfileschild");
    ASSERT_EQ(lines.size(), 1u) << result.output;
    // Name, pid, priority, threads, handles.
    const std::regex line("tmfileschild +" + Pid(child.pid()) + " +8 +1 +" + std::to_string(files) +
                          " .*");
    EXPECT_TRUE(std::regex_match(lines[0], line)) << lines[0];
  }
}

TEST(EndToEndTest, MemoryListShowsTheChildsResidentMemory) {
  NamedChild child("tmmemchild");
  child.WaitUntilRunning(1);
  const auto result = RunTaskmeld({"-m", Pid(child.pid())});
  ASSERT_EQ(result.exit_code, 0);
  const auto lines = LinesWith(result.output, "tmmemchild");
  ASSERT_EQ(lines.size(), 1u) << result.output;
  std::istringstream fields(lines[0]);
  std::string name, pid;
  std::uint64_t vm = 0, ws = 0;
  fields >> name >> pid >> vm >> ws;
  EXPECT_EQ(pid, Pid(child.pid()));
  EXPECT_GT(ws, 0u);
  EXPECT_GE(vm, ws);
}

TEST(EndToEndTest, TreeIndentsChildrenUnderTheirParent) {
  NamedChild first("tmtreekid"), second("tmtreekid");
  first.WaitUntilRunning(1);
  second.WaitUntilRunning(1);
  const auto result = RunTaskmeld({"-t"});
  ASSERT_EQ(result.exit_code, 0);
  const std::string me = Pid(getpid());
  std::istringstream in(result.output);
  std::string line;
  std::size_t my_indent = std::string::npos;
  int children = 0;
  while (std::getline(in, line) && line.rfind("Name ", 0) != 0) {
  }
  while (std::getline(in, line)) {
    // A deep tree pushes the columns right: the pid is the token after the name.
    std::istringstream fields(line);
    std::string name, pid;
    fields >> name >> pid;
    const std::size_t indent = line.find_first_not_of(' ');
    if (pid == me) my_indent = indent;
    if (line.find("tmtreekid") != std::string::npos) {
      ASSERT_NE(my_indent, std::string::npos) << "the test process comes before its children";
      EXPECT_EQ(indent, my_indent + 2) << result.output;
      ++children;
    }
  }
  EXPECT_EQ(children, 2) << result.output;
}

std::vector<std::string> TaskIds(pid_t pid) {
  std::vector<std::string> ids;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/" + Pid(pid) + "/task")) {
    ids.push_back(entry.path().filename().string());
  }
  std::sort(ids.begin(), ids.end());
  return ids;
}

// The thread lines after the thread header of `output`, up to the blank line.
std::vector<std::string> ThreadLines(const std::string& output) {
  std::vector<std::string> lines;
  std::istringstream in(output.substr(output.find(" Tid Pri")));
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line) && !line.empty()) lines.push_back(line);
  return lines;
}

TEST(EndToEndTest, ThreadDetailShowsExactlyTheChildsThreads) {
  NamedChild child("tmthreadchild", {"threads", "3"});
  child.WaitUntilRunning(4);
  const auto result = RunTaskmeld({"-d", Pid(child.pid())});
  ASSERT_EQ(result.exit_code, 0);
  EXPECT_NE(result.output.find("tmthreadchild " + Pid(child.pid()) + ":\n"), std::string::npos)
      << result.output;
  std::vector<std::string> shown;
  for (const std::string& line : ThreadLines(result.output)) {
    std::istringstream fields(line);
    std::string tid, priority, switches, state;
    fields >> tid >> priority >> switches >> state;
    shown.push_back(tid);
    EXPECT_EQ(state.rfind("Wait:", 0), 0u) << line;  // every thread sleeps
  }
  std::sort(shown.begin(), shown.end());
  EXPECT_EQ(shown, TaskIds(child.pid()));
}

TEST(EndToEndTest, AllDetailPrintsMemoryThenThreadsForTheChild) {
  NamedChild child("tmallchild", {"threads", "1"});
  child.WaitUntilRunning(2);
  const auto result = RunTaskmeld({"-x", Pid(child.pid())});
  ASSERT_EQ(result.exit_code, 0);
  const std::string& out = result.output;
  const std::size_t memory_header = out.find("Name                Pid      VM");
  const std::size_t memory_line = out.find("tmallchild", memory_header);
  const std::size_t thread_header = out.find(" Tid Pri", memory_line);
  ASSERT_NE(memory_header, std::string::npos) << out;
  ASSERT_NE(memory_line, std::string::npos) << out;
  ASSERT_NE(thread_header, std::string::npos) << out;
  EXPECT_EQ(ThreadLines(out).size(), 2u) << out;
  EXPECT_EQ(out.substr(out.size() - 2), "\n\n");  // the blank line closes the block
}

TEST(EndToEndTest, AFullDiskIsAnErrorButAClosedReaderIsNot) {
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  const auto full_disk = e2e::RunTaskmeldWritingTo(full, {"-m"});
  close(full);
  EXPECT_EQ(full_disk.exit_code, 1);
  EXPECT_EQ(full_disk.errors, "taskmeld: the output could not be written\n");

  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  close(fds[0]);  // the reader has gone before the first write
  const auto closed_pipe = e2e::RunTaskmeldWritingTo(fds[1], {"-d"});
  close(fds[1]);
  EXPECT_EQ(closed_pipe.exit_code, 0);
  EXPECT_EQ(closed_pipe.errors, "");
}

TEST(EndToEndTest, ConflictsAndUsageEndWithTheirExitCodes) {
  const struct {
    std::vector<std::string> arguments;
    std::string last_line;
    int exit_code;
  } cases[] = {
      {{"-t", "-m"}, "Family-tree mode does not work with thread, memory, or all detail.", 1},
      {{"-d", "-s"}, "Task-manager mode does not work with thread detail.", 1},
      {{"-s", "0"}, "The refresh rate must be greater than the seconds to run.", 1},
      {{"-?"}, "   Cswtch      Context Switches", 0},
      {{"one", "two"}, "   Cswtch      Context Switches", 1},
  };
  for (const auto& c : cases) {
    const auto result = RunTaskmeld(c.arguments);
    EXPECT_EQ(result.exit_code, c.exit_code) << c.last_line;
    EXPECT_NE(result.output.find(c.last_line + "\n"), std::string::npos) << result.output;
  }
}

}  // namespace
