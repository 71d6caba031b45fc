#include "platform/procfs_parse.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace procfs {
namespace {

// A user process whose name holds blanks and both parentheses; fields 3 to 41
// carry distinct values so that an off-by-one shows.
constexpr std::string_view kUserStat =
    "42 (a) (b) S 7 42 42 0 -1 4194560 111 0 222 0 333 444 0 0 20 -3 5 0 98765 "
    "1000 200 18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 1 0 2 0 0 0\n";

TEST(ParseStatTest, NameWithParenthesesAndNumberedFields) {
  StatFields f;
  ASSERT_TRUE(ParseStat(kUserStat, &f));
  EXPECT_EQ(f.comm, "a) (b");
  EXPECT_EQ(f.state, 'S');
  EXPECT_EQ(f.ppid, 7u);
  EXPECT_EQ(f.flags, 4194560u);
  EXPECT_EQ(f.minflt, 111u);
  EXPECT_EQ(f.majflt, 222u);
  EXPECT_EQ(f.utime, 333u);
  EXPECT_EQ(f.stime, 444u);
  EXPECT_EQ(f.nice, -3);
  EXPECT_EQ(f.num_threads, 5u);
  EXPECT_EQ(f.starttime, 98765u);
  EXPECT_EQ(f.policy, 2u);
  EXPECT_EQ(f.flags & kKernelThreadFlag, 0u);
}

TEST(ParseStatTest, KernelThreadFlag) {
  StatFields f;
  ASSERT_TRUE(
      ParseStat("2 (kthreadd) S 0 0 0 0 -1 2129984 0 0 0 0 0 3 0 0 20 0 1 0 2 0 0 "
                "18446744073709551615 0 0 0 0 0 0 0 2147483647 0 0 0 0 17 0 0 0 0 0 0",
                &f));
  EXPECT_EQ(f.comm, "kthreadd");
  EXPECT_NE(f.flags & kKernelThreadFlag, 0u);
  EXPECT_EQ(f.stime, 3u);
}

TEST(ParseStatTest, RejectsMalformedLines) {
  const std::vector<std::string> bad = {
      "",
      "42 no parentheses S 1 2 3",
      "42 (x) S 7 42",                                           // cut before starttime
      "42 (x) S seven 42 42 0 -1 1 1 0 1 0 1 1 0 0 20 0 1 0 5",  // ppid not a number
      "42 (x) SS 7 42 42 0 -1 1 1 0 1 0 1 1 0 0 20 0 1 0 5",
  };
  for (const std::string& line : bad) {
    StatFields f;
    EXPECT_FALSE(ParseStat(line, &f)) << line;
  }
}

TEST(ParseStatusTest, SizesInBytesAndMissingLinesZero) {
  const StatusFields s = ParseStatus(
      "Name:\tbash\nVmPeak:\t   10 kB\nVmSize:\t    9 kB\nVmHWM:\t 4 kB\nVmRSS:\t 3 kB\n"
      "RssAnon:\t 2 kB\nVmData:\t 5 kB\nVmStk:\t 1 kB\nVmPTE:\t 7 kB\n"
      "voluntary_ctxt_switches:\t12\nnonvoluntary_ctxt_switches:\t30\n");
  EXPECT_EQ(s.vm_peak, 10u * 1024);
  EXPECT_EQ(s.vm_size, 9u * 1024);
  EXPECT_EQ(s.vm_hwm, 4u * 1024);
  EXPECT_EQ(s.vm_rss, 3u * 1024);
  EXPECT_EQ(s.rss_anon, 2u * 1024);
  EXPECT_EQ(s.vm_data, 5u * 1024);
  EXPECT_EQ(s.vm_stk, 1u * 1024);
  EXPECT_EQ(s.vm_pte, 7u * 1024);
  EXPECT_EQ(s.voluntary_switches, 12u);
  EXPECT_EQ(s.nonvoluntary_switches, 30u);

  const StatusFields kernel = ParseStatus("Name:\tkthreadd\nState:\tS\nThreads:\t1\n");
  EXPECT_EQ(kernel.vm_size, 0u);
  EXPECT_EQ(kernel.vm_rss, 0u);
}

TEST(ForEachCpuTest, OnlyNumberedCpuLinesWithTheirNumbers) {
  std::vector<std::pair<std::uint32_t, CpuTimes>> cpus;
  // cpu1 is offline: it has no line, and cpu2 keeps its number.
  ForEachCpu(
      "cpu  9 9 9 9 9 9 9 0 0 0\ncpu0 1 2 3 4 5 6 7 0 0 0\ncpu2 10 20 30 40\n"
      "intr 5 6\ncpufreq 1\ncpux 1 2\nbtime 1700000000\n",
      [&cpus](std::uint32_t n, const CpuTimes& c) { cpus.emplace_back(n, c); });
  ASSERT_EQ(cpus.size(), 2u);
  EXPECT_EQ(cpus[0].first, 0u);
  EXPECT_EQ(cpus[0].second.user, 1u);
  EXPECT_EQ(cpus[0].second.nice, 2u);
  EXPECT_EQ(cpus[0].second.system, 3u);
  EXPECT_EQ(cpus[0].second.idle, 4u);
  EXPECT_EQ(cpus[0].second.iowait, 5u);
  EXPECT_EQ(cpus[0].second.irq, 6u);
  EXPECT_EQ(cpus[0].second.softirq, 7u);
  EXPECT_EQ(cpus[1].first, 2u);
  EXPECT_EQ(cpus[1].second.idle, 40u);
  EXPECT_EQ(cpus[1].second.iowait, 0u);
}

TEST(ProcessNameTest, ExecutableNameOnlyWhereCommWasCut) {
  struct Case {
    std::string_view comm;
    bool kernel_thread;
    std::string_view exe;
    std::string_view expected;
  };
  const Case cases[] = {
      {"gnome-shell-cal", false, "/usr/libexec/gnome-shell-calendar-server",
       "gnome-shell-calendar-server"},
      {"gnome-shell-cal", false, "gnome-shell-calendar-server", "gnome-shell-calendar-server"},
      {"gnome-shell-cal", false, "/usr/bin/gnome-shell-calendar (deleted)", "gnome-shell-calendar"},
      {"gnome-shell-cal", false, "/usr/bin/other-program-name", "gnome-shell-cal"},
      {"gnome-shell-cal", false, "", "gnome-shell-cal"},
      {"gnome-shell-cal", false, "/usr/bin/gnome-shell-cal", "gnome-shell-cal"},
      {"kworker/u8:0-ev", true, "/usr/bin/kworker/u8:0-events", "kworker/u8:0-ev"},
      {"bash", false, "/usr/bin/bash-but-longer", "bash"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ProcessName(c.comm, c.kernel_thread, c.exe), c.expected) << c.exe;
  }
  EXPECT_EQ(FirstArgument(std::string_view("/bin/prog\0--flag\0", 17)), "/bin/prog");
  EXPECT_EQ(FirstArgument("no-nul"), "no-nul");
}

TEST(WindowsPriorityTest, PolicyAndNiceBands) {
  struct Case {
    std::uint32_t policy;
    std::int64_t nice;
    std::uint32_t expected;
  };
  const Case cases[] = {
      {1, 0, 24},   {2, 10, 24},  {6, 0, 24},  {5, -20, 4}, {0, -20, 13},
      {0, -15, 13}, {0, -14, 10}, {0, -5, 10}, {0, -4, 8},  {0, 0, 8},
      {0, 4, 8},    {0, 5, 6},    {0, 14, 6},  {0, 15, 4},  {3, 19, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(WindowsPriority(c.policy, c.nice), c.expected)
        << "policy " << c.policy << " nice " << c.nice;
  }
}

TEST(ThreadStateTest, StatesAndWaitReasons) {
  struct Case {
    char state;
    std::string_view wchan;
    std::uint32_t code;
    std::uint32_t reason;
  };
  const Case cases[] = {
      {'R', "", 2, 0},
      {'R', "hrtimer_nanosleep", 2, 0},
      {'S', "", 5, 6},
      {'S', "do_nanosleep", 5, 4},
      {'S', "hrtimer_nanosleep", 5, 4},
      {'S', "ep_poll", 5, 6},
      {'D', "", 5, 0},
      {'T', "", 5, 5},
      {'t', "", 5, 5},
      {'I', "", 5, 0},
      {'Z', "", 4, 0},
      {'X', "", 4, 0},
      {'W', "", 7, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ThreadStateCode(c.state), c.code) << c.state;
    EXPECT_EQ(WaitReasonCode(c.state, c.wchan), c.reason) << c.state << " " << c.wchan;
  }
}

}  // namespace
}  // namespace procfs
