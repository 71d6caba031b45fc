// The whole run on the fake platform: banner, usage, messages, exit codes.
#include "cli/entry.h"

#include <gtest/gtest.h>

#include <vector>

#include "reports/fake_snapshot.h"

namespace {

namespace fake = platform::fake;
using fake_snapshot::Process;

const std::string kBanner =
    "\n"
    "taskmeld v1.0 - Lists processes and threads with their resource use\n"
    "Written by the taskmeld developers\n"
    "Made by the taskmeld project, which has no web site of its own yet\n"
    "\n";

const std::string kUsage =
    "Usage: taskmeld [-d][-m][-x][-t][name|pid]\n"
    "   -d          Show thread detail.\n"
    "   -m          Show memory detail.\n"
    "   -x          Show processes, memory information and threads.\n"
    "   -t          Show process tree.\n"
    "   name        Show information about processes that begin with the name\n"
    "               specified.\n"
    "   -e          Exact match the process name.\n"
    "   pid         Show information about specified process.\n"
    "\n"
    "All memory values are displayed in KB.\n"
    "Abbreviation key:\n"
    "   Pri         Priority\n"
    "   Thd         Number of Threads\n"
    "   Hnd         Number of Handles\n"
    "   VM          Virtual Memory\n"
    "   WS          Working Set\n"
    "   Priv        Private Virtual Memory\n"
    "   Priv Pk     Private Virtual Memory Peak\n"
    "   Faults      Page Faults\n"
    "   NonP        Non-Paged Pool\n"
    "   Page        Paged Pool\n"
    "   Cswtch      Context Switches\n"
    "\n";

const std::string kHeader = "Process information for TESTHOST:\n\n";

class EntryTest : public testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    fake_snapshot::SetProcessors(2);
    fake_snapshot::SetProcesses({Process(u"init", 1), Process(u"_Total", 0)});
  }
  int Run(std::vector<std::u16string> arguments) { return RunTaskmeld(arguments); }
};

TEST_F(EntryTest, EndsWithTheRightTextAndExitCode) {
  const std::string kTree = "Family-tree mode does not work with thread, memory, or all detail.\n";
  const std::string kLive = "Task-manager mode does not work with thread detail.\n";
  const std::string kRefresh = "The refresh rate must be greater than the seconds to run.\n";
  const struct {
    std::vector<std::u16string> arguments;
    std::string after_banner;
    int exit_code;
  } cases[] = {
      {{u"-h"}, kUsage, 0},
      {{u"-h", u"a", u"b"}, kUsage, 0},
      {{u"a", u"b", u"-h"}, kUsage, 1},
      {{u"-s", u"0"}, kRefresh, 1},
      {{u"-s", u"0", u"-t", u"-d"}, kRefresh, 1},
      {{u"-t", u"-m"}, kHeader + kTree, 1},
      {{u"-t", u"-s"}, kHeader + kTree, 1},
      {{u"-x", u"-s"}, kHeader + kLive, 1},
      {{u"-d", u"-s", u"5"}, kHeader + kLive, 1},
      {{u"-m", u"nothing-matches"},
       kHeader + "Name                Pid      VM      WS    Priv Priv Pk   Faults   NonP Page\n",
       0},
  };
  for (const auto& c : cases) {
    fake::ClearOutput();
    EXPECT_EQ(Run(c.arguments), c.exit_code);
    EXPECT_EQ(fake::Output(), kBanner + c.after_banner);
  }
}

TEST_F(EntryTest, AFailedProcessorQueryEndsTheRunSilently) {
  fake::FailPerformanceData(u"238");
  EXPECT_EQ(Run({u"-t"}), 0);
  EXPECT_EQ(fake::Output(), kBanner);
}

TEST_F(EntryTest, AMissingComputerNameOnlyChangesTheHeader) {
  fake::FailComputerName();
  EXPECT_EQ(Run({u"-m", u"x"}), 0);
  EXPECT_EQ(fake::Output(),
            kBanner + "Cannot get the computer name.\n\n" +
                "Name                Pid      VM      WS    Priv Priv Pk   Faults   "
                "NonP Page\n");
}

TEST_F(EntryTest, TreeWithoutSnapshotFailsTheRun) {
  fake::FailPerformanceData(u"230");
  EXPECT_EQ(Run({u"-t", u"notepad"}), 1);
  EXPECT_EQ(fake::Output(), kBanner + kHeader + "Cannot create the snapshot of processes.\n");
  fake::ClearOutput();
  EXPECT_EQ(Run({u"-m"}), 0);  // the other reports keep exit code 0
}

}  // namespace
