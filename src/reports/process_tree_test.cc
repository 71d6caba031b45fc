#include "reports/process_tree.h"

#include <gtest/gtest.h>

#include "reports/fake_snapshot.h"

namespace {

using fake_snapshot::Process;
namespace fake = platform::fake;

// The tree's lines as "indent+name pid", one per line, from the real output.
std::string TreeOf(const std::vector<ProcessRecord>& processes) {
  fake::Reset();
  fake_snapshot::SetProcesses(processes);
  EXPECT_TRUE(PrintProcessTree());
  std::string out = fake::Output();
  std::string compact;
  std::size_t line_start = out.find('\n') + 1;  // after the header
  while (line_start < out.size()) {
    const std::size_t end = out.find('\n', line_start);
    const std::string line = out.substr(line_start, end - line_start);
    const std::size_t name_end = line.find_last_not_of(' ', 29) + 1;
    std::size_t pid_start = line.find_first_not_of(' ', std::max<std::size_t>(name_end, 30));
    compact += line.substr(0, name_end) + " " +
               line.substr(pid_start, line.find(' ', pid_start) - pid_start) + "\n";
    line_start = end + 1;
  }
  return compact;
}

TEST(ProcessTreeTest, PlacesProcessesAsTheSearchOfTheTreeFindsTheirParents) {
  const ProcessRecord total = Process(u"_Total", 0);
  const struct {
    const char* what;
    std::vector<ProcessRecord> processes;
    std::string tree;
  } cases[] = {
      {"only the total", {total}, ""},
      {"idle adopts parent id 0",
       {Process(u"Idle", 0, 0), Process(u"System", 4, 0), Process(u"smss", 300, 4), total},
       "Idle 0\n  System 4\n    smss 300\n"},
      {"a parent listed later does not adopt",
       {Process(u"child", 200, 100), Process(u"parent", 100, 4), total},
       "parent 100\nchild 200\n"},
      {"siblings ascend", {Process(u"b", 900, 1), Process(u"a", 12, 1), total}, "a 12\nb 900\n"},
      {"own parent", {Process(u"self", 5, 5), total}, "self 5\n"},
      {"same id, same map: first wins",
       {Process(u"first", 7, 1), Process(u"second", 7, 2), total},
       "first 7\n"},
      {"same id, different parents: both",
       {Process(u"p", 1, 0), Process(u"q", 2, 0), Process(u"x", 7, 1), Process(u"y", 7, 2), total},
       "p 1\n  x 7\nq 2\n  y 7\n"},
      // Two nodes with id 7; the one under the lower id's subtree is found first,
      // whatever the insertion order.
      {"duplicate parent: lower subtree first",
       {Process(u"a", 3, 0), Process(u"b", 2, 0), Process(u"under3", 7, 3),
        Process(u"under2", 7, 2), Process(u"child", 8, 7), total},
       "b 2\n  under2 7\n    child 8\na 3\n  under3 7\n"},
      // A map's own keys come before deeper levels: the shallow 7 wins.
      {"duplicate parent: shallower first",
       {Process(u"r", 1, 0), Process(u"deep", 7, 1), Process(u"top7", 7, 99),
        Process(u"child", 8, 7), total},
       "r 1\n  deep 7\ntop7 7\n  child 8\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TreeOf(c.processes), c.tree) << c.what;
  }
}

TEST(ProcessTreeTest, PrintsColumnsAndIndentsWithoutCutting) {
  fake::Reset();
  ProcessRecord root = Process(u"init", 1, 0);
  root.priority_base = 8;
  root.thread_count = 1;
  root.handle_count = 12;
  root.virtual_bytes = 4096 * 1024;
  root.working_set = 2048;
  root.private_bytes = 1023;
  const ProcessRecord child = Process(u"a-process-with-a-very-long-name", 20, 1);
  fake_snapshot::SetProcesses({root, child, Process(u"_Total", 0)});
  ASSERT_TRUE(PrintProcessTree());
  EXPECT_EQ(fake::Output(),
            "Name                             Pid Pri Thd  Hnd      VM      WS    Priv\n"
            "init                               1   8   1   12    4096       2       0\n"
            "  a-process-with-a-very-long-name    20   0   0    0       0       0       0\n");
}

TEST(ProcessTreeTest, DeepChainsNeitherRecurseNorOverflowTheNameColumn) {
  fake::Reset();
  std::vector<ProcessRecord> chain;
  for (std::uint32_t id = 1; id <= 20000; ++id) chain.push_back(Process(u"p", id, id - 1));
  chain.push_back(Process(u"_Total", 0));
  fake_snapshot::SetProcesses(chain);
  ASSERT_TRUE(PrintProcessTree());
  const std::string out = fake::Output();
  // The 20000th line stands 19999 levels deep: its name column is cut to 259.
  const std::size_t last = out.rfind('\n', out.size() - 2) + 1;
  EXPECT_EQ(out.substr(last, 259), std::string(259, ' '));
  EXPECT_EQ(out.substr(last + 259), " 20000   0   0    0       0       0       0\n");
}

TEST(ProcessTreeTest, FailsWithItsMessageWithoutASnapshot) {
  fake::Reset();
  fake::FailPerformanceData(u"230");
  EXPECT_FALSE(PrintProcessTree());
  EXPECT_EQ(fake::Output(), "Cannot create the snapshot of processes.\n");
}

}  // namespace
