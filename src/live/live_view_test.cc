// The live views on the fake platform: shares, order, selection, timing,
// failures, and the screen on a console against redirected output.
#include "live/live_view.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "reports/fake_snapshot.h"

namespace {

namespace fake = platform::fake;
using fake_snapshot::Process;

constexpr std::int64_t kSecond = 10'000'000;
const std::string kCpuHeader =
    "Name                Pid CPU Thd  Hnd   Priv        CPU Time    Elapsed Time\n";
const std::string kMemoryHeader =
    "Name                Pid     CPU      WS    Priv Priv Pk   Faults   NonP Page\n";

// What the sleep hook does; a plain function pointer cannot capture.
std::vector<std::vector<ProcessRecord>> g_tables_after_sleep;
int g_sleeps = 0;
int g_stop_at_sleep = 0;
int g_fail_at_sleep = 0;

void AtSleep(int) {
  ++g_sleeps;
  if (g_sleeps <= static_cast<int>(g_tables_after_sleep.size())) {
    fake_snapshot::SetProcesses(g_tables_after_sleep[g_sleeps - 1]);
  }
  if (g_sleeps == g_stop_at_sleep) platform::g_stop_requested = 1;
  if (g_sleeps == g_fail_at_sleep) fake::FailPerformanceData(u"230");
}

std::size_t Count(const std::string& text, const std::string& needle) {
  std::size_t count = 0;
  for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
    ++count;
  }
  return count;
}

std::size_t CallsStartingWith(const std::string& prefix) {
  const auto& calls = fake::Calls();
  return std::count_if(calls.begin(), calls.end(),
                       [&](const std::string& call) { return call.rfind(prefix, 0) == 0; });
}

ProcessRecord Timed(std::u16string_view name, std::uint32_t id, std::int64_t processor_time) {
  ProcessRecord r = Process(name, id);
  r.processor_time = processor_time;
  return r;
}

// Processes p00, p01, ... with nothing else set, and the total.
std::vector<ProcessRecord> Numbered(int count) {
  std::vector<ProcessRecord> processes;
  for (int i = 0; i < count; ++i) {
    const std::u16string name = {u'p', char16_t(u'0' + i / 10), char16_t(u'0' + i % 10)};
    processes.push_back(Process(name, static_cast<std::uint32_t>(100 + i)));
  }
  processes.push_back(Process(u"_Total", 0));
  return processes;
}

class LiveViewTest : public testing::Test {
 protected:
  void SetUp() override {
    fake::Reset();
    fake::OnSleep(AtSleep);
    g_tables_after_sleep.clear();
    g_sleeps = g_stop_at_sleep = g_fail_at_sleep = 0;
    t0_ = platform::CalendarTimeToTicks(platform::CurrentUtcTime());
  }
  std::int64_t t0_ = 0;
};

TEST_F(LiveViewTest, CpuViewSharesSinceThePreviousCycleBusiestFirst) {
  ProcessRecord editor = Timed(u"peditor", 8, 1'000);
  editor.thread_count = 3;
  editor.handle_count = 77;
  editor.private_bytes = 2048 * 1024;
  editor.start_time = t0_ - 60 * kSecond;
  // xhidden is not selected, yet its time is what pnew, which takes its id,
  // is measured against; prestart takes pidle's id with less time.
  fake_snapshot::SetProcesses({Timed(u"pidle", 4, 3 * kSecond), editor, Timed(u"xhidden", 7, 5'000),
                               Timed(u"pbuild", 9, 0), Process(u"_Total", 0)});
  ProcessRecord busy_editor = editor;
  busy_editor.processor_time += kSecond;
  g_tables_after_sleep = {{Timed(u"prestart", 4, 0), busy_editor,
                           Timed(u"pnew", 7, 5'000 + 4'000'000), Timed(u"pbuild", 9, kSecond),
                           Timed(u"pnewcomer", 11, 50 * kSecond), Process(u"_Total", 0)}};

  RunLiveCpuView(Selection{MATCH_PREFIX, u"p", 0}, 2, 1, 2);
  EXPECT_EQ(fake::Output(),
            "03:04:05 01/02/2026 Process information for TESTHOST:\n\n" + kCpuHeader +
                "pidle                 4   0   0    0      0     0:00:03.000     0:00:00.000\n"
                "peditor               8   0   3   77   2048     0:00:00.000     0:01:00.000\n"
                "pbuild                9   0   0    0      0     0:00:00.000     0:00:00.000\n"
                "03:04:06 01/02/2026 Process information for TESTHOST:\n\n" +
                kCpuHeader +
                "peditor               8  50   3   77   2048     0:00:01.000     0:01:01.000\n"
                "pbuild                9  50   0    0      0     0:00:01.000     0:00:00.000\n"
                "pnew                  7  20   0    0      0     0:00:00.400     0:00:00.000\n"
                "prestart              4   0   0    0      0     0:00:00.000     0:00:00.000\n"
                "pnewcomer            11   0   0    0      0     0:00:50.000     0:00:00.000\n");
}

TEST_F(LiveViewTest, MemoryViewListsLargestWorkingSetFirstWithTheCpuShare) {
  ProcessRecord big = Process(u"big", 6);
  big.working_set = 900 * 1024 + 1023;
  big.private_bytes = 2047;
  big.page_file_bytes_peak = 5 * 1024 * 1024;
  big.page_faults = 4'000'000'000u;
  big.pool_nonpaged_bytes = 2048;
  big.pool_paged_bytes = 0xFFFFFFFFu;
  ProcessRecord mid = Process(u"mid", 3);
  mid.working_set = 500 * 1024;
  ProcessRecord small = Process(u"small", 5);
  small.working_set = 100 * 1024;
  // The total is the largest of all, yet stays out of the sort.
  ProcessRecord total = Process(u"_Total", 0);
  total.working_set = big.working_set + mid.working_set + small.working_set;
  fake_snapshot::SetProcesses({small, big, mid, total});
  ProcessRecord busy_small = small;
  busy_small.processor_time = kSecond / 4;
  g_tables_after_sleep = {{busy_small, big, mid, total}};

  RunLiveMemoryView(Selection{}, 2, 1, 1);
  const std::string cycle =
      "big                   6       0     900       1    5120 4000000000      2 4194303\n"
      "mid                   3       0     500       0       0        0      0    0\n";
  EXPECT_EQ(fake::Output(), "03:04:05 01/02/2026 Process information for TESTHOST:\n\n" +
                                kMemoryHeader + cycle +
                                "small                 5       0     100       0       0        0 "
                                "     0    0\n"
                                "03:04:06 01/02/2026 Process information for TESTHOST:\n\n" +
                                kMemoryHeader + cycle +
                                "small                 5      25     100       0       0        0 "
                                "     0    0\n");
}

TEST_F(LiveViewTest, EqualKeysKeepTheTableOrder) {
  // Enough entries that an unstable sort would move equal ones.
  fake_snapshot::SetProcesses(Numbered(40));
  for (auto view : {RunLiveCpuView, RunLiveMemoryView}) {
    fake::ClearOutput();
    view(Selection{}, 1, 1, 1);
    const std::string out = fake::Output();
    std::size_t at = out.find("Pid");
    for (int i = 0; i < 40; ++i) {
      const std::string name = "\np" + std::to_string(i / 10) + std::to_string(i % 10) + " ";
      const std::size_t next = out.find(name, at);
      ASSERT_NE(next, std::string::npos) << name << " out of order in\n" << out;
      at = next;
    }
  }
}

TEST_F(LiveViewTest, RunsItsStepsInCyclesUntilTheTimeIsUpOrTheUserStops) {
  const struct {
    std::uint32_t run_seconds, refresh_seconds;
    int stop_at_sleep;  // -1: stopped before the first listing
    std::size_t cycles, sleeps, clears;
  } cases[] = {
      {1, 1, 0, 1, 1, 1},
      {5, 2, 0, 3, 5, 3},  // waits of 2, 2 and 1 steps, each blanked once
      {3, 2, 0, 2, 3, 2},
      {4, 4, 0, 1, 4, 1},
      {0, 0, 0, 1, 0, 0},
      {4294967295u, 1, 3, 4, 3, 3},  // the wait runs out, one more cycle follows
      {4294967295u, 3, 2, 2, 3, 1},
      {4294967295u, 0, -1, 1, 0, 0},
  };
  for (const auto& c : cases) {
    SetUp();
    fake::SetConsole(80, 25);
    fake_snapshot::SetProcesses(Numbered(3));
    g_stop_at_sleep = c.stop_at_sleep;
    if (c.stop_at_sleep < 0) platform::g_stop_requested = 1;
    RunLiveCpuView(Selection{}, c.run_seconds, c.refresh_seconds, 1);
    SCOPED_TRACE(testing::Message() << "run " << c.run_seconds << " refresh " << c.refresh_seconds);
    EXPECT_EQ(Count(fake::Output(), kCpuHeader), c.cycles);
    EXPECT_EQ(CallsStartingWith("sleep 1000"), c.sleeps);
    EXPECT_EQ(CallsStartingWith("fill "), 1 + c.clears);  // the first blanks the banner
  }
}

TEST_F(LiveViewTest, ASnapshotFailureEndsTheViewWithItsMessage) {
  fake_snapshot::SetTitles();
  fake::FailPerformanceData(u"230");
  RunLiveCpuView(Selection{}, 5, 1, 1);
  EXPECT_EQ(fake::Output(), "Cannot create the snapshot of processes.\n");

  SetUp();
  fake_snapshot::SetProcesses({Process(u"_Total", 0)});
  g_fail_at_sleep = 2;
  RunLiveMemoryView(Selection{}, 5, 1, 1);
  const std::string cycle = "Process information for TESTHOST:\n\n" + kMemoryHeader;
  EXPECT_EQ(fake::Output(), "03:04:05 01/02/2026 " + cycle + "03:04:06 01/02/2026 " + cycle +
                                "Cannot create the snapshot of processes.\n");
  EXPECT_EQ(g_sleeps, 2);
}

TEST_F(LiveViewTest, TimestampShowsLocalTimeAndAMissingComputerName) {
  fake::SetClock(platform::CalendarTime{2026, 12, 4, 31, 23, 59, 58, 999}, 90);
  fake::FailComputerName();
  fake_snapshot::SetProcesses({Process(u"_Total", 0)});
  RunLiveCpuView(Selection{}, 1, 1, 1);
  EXPECT_EQ(fake::Output(), "01:29:58 01/01/2027 Cannot get the computer name.\n\n" + kCpuHeader);
}

// All calls but the row erasures taken out of the marked output.
std::string WithRowErasuresOnly(const std::string& marked) {
  std::string out;
  for (std::size_t i = 0; i < marked.size(); ++i) {
    if (marked[i] != '\x01') {
      out += marked[i];
      continue;
    }
    const std::size_t end = marked.find('\x02', i);
    if (marked.compare(i + 1, end - i - 1, "erase-row") == 0) out += "<erase>";
    i = end;
  }
  return out;
}

TEST_F(LiveViewTest, OnAConsoleRowsAreErasedAndTheListingFitsTheWindow) {
  const struct {
    std::int16_t columns, rows;  // 0: redirected output
    std::size_t lines_shown;
  } cases[] = {
      {0, 0, 12},               // every line, and no erasing
      {80, 10, 6},              // rows minus heading minus a free last row
      {80, 4, 0},  {80, 2, 0},  // the heading stays even so
      {40, 10, 2},              // every line wraps onto a second row
      {73, 10, 2},              // a process line fills its row; its end starts another
  };
  for (const auto& c : cases) {
    SetUp();
    if (c.columns > 0) fake::SetConsole(c.columns, c.rows);
    fake::MarkCallsInOutput(true);
    fake_snapshot::SetProcesses(Numbered(12));
    RunLiveCpuView(Selection{}, 1, 1, 1);
    const std::string out = WithRowErasuresOnly(fake::Output());
    SCOPED_TRACE(testing::Message() << c.columns << "x" << c.rows << "\n" << out);
    EXPECT_EQ(Count(out, "\np"), c.lines_shown);
    if (c.columns > 0) {
      EXPECT_EQ(Count(out, "\n"), 3 + c.lines_shown);
      EXPECT_EQ(Count(out, "<erase>\n"), 3 + c.lines_shown);
      // Nothing scrolled: the timestamp still heads the window.
      if (c.rows > 4) {
        EXPECT_EQ(fake::Screen()[0].rfind("03:04:05 ", 0), 0u);
      }
    } else {
      EXPECT_EQ(Count(out, "<erase>"), 0u);
    }
  }
}

TEST_F(LiveViewTest, OnAConsoleTheLastListingStaysWithoutStaleText) {
  fake::SetConsole(100, 12);
  ProcessRecord long_named = Process(u"a-process-with-a-long-name", 1);
  long_named.thread_count = 1;
  fake_snapshot::SetProcesses({long_named, Process(u"short", 2), Process(u"_Total", 0)});
  // The long line's row gets the short line in the second cycle.
  g_tables_after_sleep = {{Process(u"short", 2), Process(u"_Total", 0)}};
  RunLiveCpuView(Selection{}, 4, 2, 1);
  std::vector<std::string> screen(12);
  screen[0] = "03:04:07 01/02/2026 Process information for TESTHOST:";
  screen[2] = kCpuHeader.substr(0, kCpuHeader.size() - 1);
  screen[3] = "short                 2   0   0    0      0     0:00:00.000     0:00:00.000";
  EXPECT_EQ(fake::Screen(), screen);
}

TEST_F(LiveViewTest, OutputThatCannotBeWrittenEndsTheView) {
  fake_snapshot::SetProcesses(Numbered(2));
  fake::FailOutputFlush();
  g_stop_at_sleep = 3;  // ends the run should the failure go unnoticed
  RunLiveCpuView(Selection{}, 4294967295u, 1, 1);
  EXPECT_EQ(g_sleeps, 0);
}

}  // namespace
