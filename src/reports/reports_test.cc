// The one-shot reports on records put into the fake platform.
#include <gtest/gtest.h>

#include "reports/default_list.h"
#include "reports/fake_snapshot.h"
#include "reports/memory_list.h"
#include "reports/thread_detail.h"

namespace {

using fake_snapshot::Process;
namespace fake = platform::fake;

constexpr std::int64_t kTicksPerMs = 10'000;

class ReportsTest : public testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    now_ = platform::CalendarTimeToTicks(platform::CurrentUtcTime());
  }
  std::int64_t now_ = 0;
};

TEST_F(ReportsTest, DefaultListShowsSelectedProcessesButNotTheTotal) {
  ProcessRecord editor = Process(u"Notepad", 1234);
  editor.priority_base = 8;
  editor.thread_count = 3;
  editor.handle_count = 77;
  editor.private_bytes = 2047 * 1024 + 1023;
  editor.processor_time = ((12 * 3600ll + 34 * 60 + 56) * 1000 + 789) * kTicksPerMs + 5;
  editor.start_time = now_ - 61'001 * kTicksPerMs;
  ProcessRecord long_name = Process(u"a-name-of-twenty-chars", 9);
  long_name.start_time = now_ + 5'000 * kTicksPerMs;  // a clock set back: elapsed 0
  ProcessRecord total = Process(u"_Total", 0);
  fake_snapshot::SetProcesses({editor, long_name, total});

  PrintDefaultList(Selection{});
  EXPECT_EQ(fake::Output(),
            "Name                Pid Pri Thd  Hnd   Priv        CPU Time    Elapsed Time\n"
            "Notepad            1234   8   3   77   2047    12:34:56.789     0:01:01.001\n"
            "a-name-of-twenty-chars     9   0   0    0      0     0:00:00.000     0:00:00.000\n");

  fake::ClearOutput();
  PrintDefaultList(Selection{MATCH_PID, u"", 0});  // the total's id selects nothing
  EXPECT_EQ(fake::Output(),
            "Name                Pid Pri Thd  Hnd   Priv        CPU Time    Elapsed Time\n");
}

TEST_F(ReportsTest, ReportsSayWhenTheSnapshotFails) {
  fake_snapshot::SetTitles();
  fake::FailPerformanceData(u"230");
  PrintDefaultList(Selection{});
  PrintMemoryList(Selection{});
  PrintThreadDetail(Selection{});
  EXPECT_EQ(fake::Output(),
            "Cannot create the snapshot of processes.\n"
            "Cannot create the snapshot of processes.\n"
            "Cannot create the snapshot of processes.\n");
}

TEST_F(ReportsTest, MemoryListShowsKilobytesInTableOrder) {
  ProcessRecord p = Process(u"svc", 300);
  p.virtual_bytes = 1023;
  p.working_set = 1024;
  p.private_bytes = 2047;
  p.page_file_bytes_peak = 5 * 1024 * 1024;
  p.page_faults = 4000000000u;
  p.pool_nonpaged_bytes = 2048;
  p.pool_paged_bytes = 0xFFFFFFFFu;
  fake_snapshot::SetProcesses({p, Process(u"init", 1), Process(u"_Total", 0)});
  PrintMemoryList(Selection{MATCH_PREFIX, u"S", 0});
  EXPECT_EQ(fake::Output(),
            "Name                Pid      VM      WS    Priv Priv Pk   Faults   NonP Page\n"
            "svc                 300       0       1       1    5120 4000000000      2 4194303\n");
}

ThreadRecord Thread(std::uint32_t process_id, std::uint32_t thread_id, std::uint32_t state,
                    std::uint32_t wait_reason) {
  ThreadRecord t;
  t.process_id = process_id;
  t.thread_id = thread_id;
  t.thread_state = state;
  t.wait_reason = wait_reason;
  return t;
}

TEST_F(ReportsTest, ThreadDetailListsEachProcessThreadsInTableOrder) {
  const std::vector<ProcessRecord> processes = {Process(u"app", 10), Process(u"idle", 20),
                                                Process(u"_Total", 10)};
  ThreadRecord busy = Thread(10, 12, 2, 0);
  busy.priority_current = 9;
  busy.context_switches = 123456;
  busy.user_time = 36'000'000'000;
  busy.privileged_time = 12'345'000;
  busy.start_time = now_ - 3'000 * kTicksPerMs;
  fake_snapshot::SetProcesses(processes);
  fake_snapshot::SetThreads(processes, {busy, Thread(20, 21, 5, 6), Thread(10, 11, 5, 21),
                                        Thread(10, 99, 7, 0)});  // the last is the total
  PrintThreadDetail(Selection{});
  EXPECT_EQ(fake::Output(),
            "app 10:\n"
            " Tid Pri    Cswtch            State     User Time   Kernel Time   Elapsed Time\n"
            "  12   9    123456          Running  1:00:00.000   0:00:01.234    0:00:03.000\n"
            "  11   0         0  Wait:KeyedEvent  0:00:00.000   0:00:00.000    0:00:00.000\n"
            "\n"
            "idle 20:\n"
            " Tid Pri    Cswtch            State     User Time   Kernel Time   Elapsed Time\n"
            "  21   0         0     Wait:UserReq  0:00:00.000   0:00:00.000    0:00:00.000\n"
            "\n");
}

TEST_F(ReportsTest, AllDetailPutsTheMemoryLineBeforeEachProcessThreads) {
  const std::vector<ProcessRecord> processes = {Process(u"b", 2), Process(u"a", 1),
                                                Process(u"lonely", 3), Process(u"_Total", 0)};
  fake_snapshot::SetProcesses(processes);
  fake_snapshot::SetThreads(processes,
                            {Thread(1, 5, 1, 0), Thread(2, 6, 0, 0), Thread(0, 0, 0, 0)});
  PrintAllDetail(Selection{});
  const std::string memory_header =
      "Name                Pid      VM      WS    Priv Priv Pk   Faults   NonP Page\n";
  const std::string thread_header =
      " Tid Pri    Cswtch            State     User Time   Kernel Time   Elapsed Time\n";
  EXPECT_EQ(
      fake::Output(),
      memory_header +
          "b                     2       0       0       0       0        0      0    0\n" +
          thread_header +
          "   6   0         0      Initialized  0:00:00.000   0:00:00.000    0:00:00.000\n\n" +
          memory_header +
          "a                     1       0       0       0       0        0      0    0\n" +
          thread_header +
          "   5   0         0            Ready  0:00:00.000   0:00:00.000    0:00:00.000\n\n" +
          memory_header +
          "lonely                3       0       0       0       0        0      0    0\n" +
          thread_header + "\n");

  fake::ClearOutput();
  PrintAllDetail(Selection{MATCH_PID, u"", 77});
  EXPECT_EQ(fake::Output(), "");
}

TEST_F(ReportsTest, ThreadFailureHasItsOwnMessage) {
  fake_snapshot::SetProcesses({Process(u"a", 1), Process(u"_Total", 0)});
  fake::FailPerformanceData(u"232");
  PrintAllDetail(Selection{});
  EXPECT_EQ(fake::Output(), "Cannot create the snapshot of threads.\n");
}

TEST(ThreadNamesTest, StatesAndWaitReasons) {
  const struct {
    std::uint32_t state;
    std::uint32_t reason;
    std::u16string_view text;
  } cases[] = {
      {0, 0, u"Initialized"},
      {1, 0, u"Ready"},
      {2, 0, u"Running"},
      {3, 0, u"Standby"},
      {4, 0, u"Terminated"},
      {6, 0, u"Transition"},
      {7, 0, u"Unknown"},
      {8, 0, u"ThreadStateError"},
      {4294967295u, 0, u"ThreadStateError"},
      {5, 0, u"Wait:Executive"},
      {5, 1, u"Wait:FreePage"},
      {5, 2, u"Wait:PageIn"},
      {5, 3, u"Wait:PoolAlloc"},
      {5, 4, u"Wait:DelayExec"},
      {5, 5, u"Wait:Suspended"},
      {5, 6, u"Wait:UserReq"},
      {5, 7, u"Wait:Executive"},
      {5, 8, u"Wait:FreePage"},
      {5, 9, u"Wait:PageIn"},
      {5, 10, u"Wait:PoolAlloc"},
      {5, 11, u"Wait:DelayExec"},
      {5, 12, u"Wait:Suspended"},
      {5, 13, u"Wait:UserReq"},
      {5, 14, u"Wait:Queue"},
      {5, 15, u"Wait:Queue"},
      {5, 16, u"Wait:LPCReceive"},
      {5, 17, u"Wait:LPCReply"},
      {5, 18, u"Wait:VM"},
      {5, 19, u"Wait:PageOut"},
      {5, 20, u"Wait:Unknown"},
      {5, 21, u"Wait:KeyedEvent"},
      {5, 22, u"Wait:Unknown"},
      {5, 4294967295u, u"Wait:Unknown"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ThreadStateText(c.state, c.reason), c.text) << c.state << "/" << c.reason;
  }
}

}  // namespace
