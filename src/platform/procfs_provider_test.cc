#include "platform/procfs_provider.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "platform/procfs_testing.h"
#include "platform/procfs_titles.h"
#include "reports/fake_snapshot.h"

namespace procfs {
namespace {

using testing::DecodeBlock;
using testing::FixtureTree;
using testing::Object;
using testing::Stat;
using testing::StatLine;

// 250 clock ticks a second: one clock tick is 40000 ticks of 100 ns.
constexpr long kHz = 250;
constexpr std::uint64_t kTick = 40'000;
constexpr std::int64_t kBoot = 133'000'000'000'000'000;
constexpr std::int64_t kNow = kBoot + 36'000'000'000;

// Memory sizes in kB that differ between processes, from their pid.
std::string StatusText(std::uint32_t pid, std::uint64_t voluntary = 7,
                       std::uint64_t nonvoluntary = 3) {
  const auto kb = [pid](int k) { return std::to_string(pid * 100 + k) + " kB\n"; };
  return "Name:\tx\nVmPeak:\t" + kb(1) + "VmSize:\t" + kb(2) + "VmHWM:\t" + kb(3) + "VmRSS:\t" +
         kb(4) + "RssAnon:\t" + kb(5) + "VmData:\t" + kb(6) + "VmStk:\t" + kb(7) + "VmPTE:\t" +
         kb(8) + "voluntary_ctxt_switches:\t" + std::to_string(voluntary) +
         "\nnonvoluntary_ctxt_switches:\t" + std::to_string(nonvoluntary) + "\n";
}

class ProviderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tree_.Write("stat",
                "cpu  300 10 110 3000 100 4 6 0 0 0\n"
                "cpu0 100 10 50 1000 30 4 6 0 0 0\n"
                "cpu1 200 0 60 2000 70 0 0 0 0 0\n"
                "intr 1 2\nbtime 1700000000\n");
  }

  // A process with status, `fds` handles and its main task.
  void AddProcess(const Stat& s, int fds = 2) {
    const std::string dir = std::to_string(s.pid) + "/";
    tree_.Write(dir + "stat", StatLine(s));
    tree_.Write(dir + "status", StatusText(s.pid));
    tree_.MakeDirectory(dir + "fd");
    for (int i = 0; i < fds; ++i) tree_.Write(dir + "fd/" + std::to_string(i), "");
    AddTask(s.pid, s);
  }

  void AddTask(std::uint32_t pid, const Stat& s, std::uint64_t voluntary = 7,
               std::uint64_t nonvoluntary = 3) {
    const std::string dir = std::to_string(pid) + "/task/" + std::to_string(s.pid) + "/";
    tree_.Write(dir + "stat", StatLine(s));
    tree_.Write(dir + "status", StatusText(s.pid, voluntary, nonvoluntary));
    tree_.Write(dir + "wchan", "ep_poll");
  }

  // Queries as taskmeld does: from 64 KiB, doubling while more-data.
  std::vector<std::uint8_t> Query(std::u16string_view name) {
    std::vector<std::uint8_t> buffer(1 << 16);
    for (;;) {
      auto size = static_cast<std::uint32_t>(buffer.size());
      const platform::QueryStatus status =
          provider_.QueryPerformanceData(name, buffer.data(), &size);
      if (status == platform::QueryStatus::kMoreData) {
        buffer.resize(buffer.size() * 2);
        continue;
      }
      EXPECT_EQ(status, platform::QueryStatus::kSuccess) << "query failed";
      buffer.resize(status == platform::QueryStatus::kSuccess ? size : 0);
      return buffer;
    }
  }

  std::vector<std::uint8_t> CounterValue() {
    std::uintptr_t key = 0;
    EXPECT_TRUE(provider_.OpenKey(
        u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\CurrentLanguage", &key));
    std::uint32_t size = 0;
    provider_.QueryKeyValue(key, u"Counter", nullptr, nullptr, &size);
    std::vector<std::uint8_t> bytes(size);
    EXPECT_EQ(provider_.QueryKeyValue(key, u"Counter", nullptr, bytes.data(), &size),
              platform::QueryStatus::kSuccess);
    return bytes;
  }

  // The index the published title list gives `name`.
  std::uint32_t Title(std::u16string_view name) {
    if (titles_.empty()) titles_ = testing::DecodeTitles(CounterValue());
    for (const auto& [index, title] : titles_) {
      if (title == name) return index;
    }
    ADD_FAILURE() << "no title " << std::string(name.begin(), name.end());
    return 0;
  }

  std::vector<std::u16string> Names(const Object& object) {
    std::vector<std::u16string> names;
    for (const auto& instance : object.instances) names.push_back(instance.name);
    return names;
  }

  FixtureTree tree_;
  std::int64_t now_ = kNow;
  Provider provider_{tree_.root(), [this] { return ProviderClock{kBoot, now_}; }, kHz, u"HOST"};
  std::map<std::uint32_t, std::u16string> titles_;
};

TEST_F(ProviderTest, ProcessObjectHoldsIdleEveryProcessInPidOrderAndTotal) {
  AddProcess({.pid = 10, .comm = "ten"});
  AddProcess({.pid = 9,
              .comm = "nine",
              .ppid = 4,
              .minflt = 1000,
              .majflt = 24,
              .utime = 333,
              .stime = 444,
              .nice = -10,
              .threads = 3,
              .starttime = 5000},
             5);
  AddProcess({.pid = 100, .comm = "hundred", .nice = 19});
  const std::vector<Object> objects = DecodeBlock(Query(u"230"));
  ASSERT_EQ(objects.size(), 1u);
  const Object& p = objects[0];
  EXPECT_EQ(p.title, Title(u"Process"));
  EXPECT_EQ(Names(p),
            (std::vector<std::u16string>{u"Idle", u"nine", u"ten", u"hundred", u"_Total"}));

  // The process counters that the tables know, in the order and widths of
  // their fields, each once; the I/O counters are left out, unmeasured.
  std::vector<fake_snapshot::Counter> published;
  for (const auto& counter : fake_snapshot::kProcessCounters) {
    if (!std::u16string_view(counter.name).starts_with(u"IO ")) published.push_back(counter);
  }
  ASSERT_EQ(p.counters.size(), published.size());
  for (std::size_t j = 0; j < published.size(); ++j) {
    EXPECT_EQ(p.counters[j].title, Title(published[j].name)) << j;
    EXPECT_EQ(p.counters[j].size, published[j].size) << j;
  }

  const auto v = [&](std::size_t i, std::u16string_view name) { return p.Value(i, Title(name)); };
  EXPECT_EQ(v(1, u"% Processor Time"), 777 * kTick);
  EXPECT_EQ(v(1, u"% User Time"), 333 * kTick);
  EXPECT_EQ(v(1, u"% Privileged Time"), 444 * kTick);
  EXPECT_EQ(v(1, u"Virtual Bytes Peak"), 901u * 1024);
  EXPECT_EQ(v(1, u"Virtual Bytes"), 902u * 1024);
  EXPECT_EQ(v(1, u"Page Faults/sec"), 1024u);
  EXPECT_EQ(v(1, u"Working Set Peak"), 903u * 1024);
  EXPECT_EQ(v(1, u"Working Set"), 904u * 1024);
  EXPECT_EQ(v(1, u"Working Set - Private"), 905u * 1024);
  EXPECT_EQ(v(1, u"Private Bytes"), (906u + 907u) * 1024);
  EXPECT_EQ(v(1, u"Page File Bytes"), (906u + 907u) * 1024);
  EXPECT_EQ(v(1, u"Page File Bytes Peak"), (906u + 907u) * 1024);
  EXPECT_EQ(v(1, u"Pool Nonpaged Bytes"), 908u * 1024);
  EXPECT_EQ(v(1, u"Pool Paged Bytes"), 0u);
  EXPECT_EQ(v(1, u"Thread Count"), 3u);
  EXPECT_EQ(v(1, u"Priority Base"), 10u);
  EXPECT_EQ(v(1, u"Elapsed Time"), kBoot + 5000 * kTick);
  EXPECT_EQ(v(1, u"ID Process"), 9u);
  EXPECT_EQ(v(1, u"Creating Process ID"), 4u);
  EXPECT_EQ(v(1, u"Handle Count"), 5u);
  EXPECT_EQ(v(3, u"Priority Base"), 4u);

  // Idle: the idle and iowait time of both CPUs, since boot, one thread each.
  EXPECT_EQ(v(0, u"% Processor Time"), (1000 + 30 + 2000 + 70) * kTick);
  EXPECT_EQ(v(0, u"Elapsed Time"), static_cast<std::uint64_t>(kBoot));
  EXPECT_EQ(v(0, u"Thread Count"), 2u);
  EXPECT_EQ(v(0, u"ID Process"), 0u);
  EXPECT_EQ(v(0, u"Creating Process ID"), 0u);

  EXPECT_EQ(v(4, u"% Processor Time"), (3100 + 777) * kTick);
  EXPECT_EQ(v(4, u"Working Set"), (904u + 1004u + 10004u) * 1024);
  EXPECT_EQ(v(4, u"Thread Count"), 2u + 3u + 1u + 1u);
  EXPECT_EQ(v(4, u"Handle Count"), 9u);
  EXPECT_EQ(v(4, u"ID Process"), 0u);
  EXPECT_EQ(v(4, u"Elapsed Time"), 0u);
}

TEST_F(ProviderTest, LeavesOutWhatIsNoLongerAProcess) {
  AddProcess({.pid = 9, .comm = "nine"});
  AddProcess({.pid = 10, .comm = "ten"});
  tree_.Write("11/status", StatusText(11));  // ended: its stat is gone
  tree_.Symlink("/nonexistent/12", "12");    // ended before its directory opened
  tree_.Write("13/stat", "13 (cut");         // a stat no kernel writes
  tree_.Symlink("9", "self");
  tree_.MakeDirectory("sys");
  tree_.Write("uptime", "1.0 2.0\n");
  const std::vector<Object> objects = DecodeBlock(Query(u"230"));
  ASSERT_EQ(objects.size(), 1u);
  EXPECT_EQ(Names(objects[0]), (std::vector<std::u16string>{u"Idle", u"nine", u"ten", u"_Total"}));
}

TEST_F(ProviderTest, AKernelThreadIsReadFromItsStatAlone) {
  // It has no memory of its own, so its status holds nothing to read; a
  // kernel thread without one has not ended.
  tree_.Write("2/stat", StatLine({.pid = 2, .comm = "kthreadd", .ppid = 0, .flags = 0x200040}));
  const Object p = DecodeBlock(Query(u"230")).at(0);
  ASSERT_EQ(Names(p), (std::vector<std::u16string>{u"Idle", u"kthreadd", u"_Total"}));
  EXPECT_EQ(p.Value(1, Title(u"Virtual Bytes")), 0u);
  EXPECT_EQ(p.Value(1, Title(u"Handle Count")), 0u);
}

TEST_F(ProviderTest, FilesThatCannotBeReadCountZero) {
  // Root may read every file, so unreadable ones are made of the wrong kind:
  // status a directory, fd a plain file.
  AddProcess({.pid = 5, .comm = "locked"});
  tree_.Remove("5/fd");
  tree_.Write("5/fd", "");
  AddProcess({.pid = 7, .comm = "nostatus"}, 4);
  tree_.Remove("7/status");
  tree_.MakeDirectory("7/status");
  const Object p = DecodeBlock(Query(u"230")).at(0);
  ASSERT_EQ(Names(p), (std::vector<std::u16string>{u"Idle", u"locked", u"nostatus", u"_Total"}));
  EXPECT_EQ(p.Value(1, Title(u"Handle Count")), 0u);
  EXPECT_EQ(p.Value(1, Title(u"Working Set")), 504u * 1024);
  EXPECT_EQ(p.Value(2, Title(u"Working Set")), 0u);
  EXPECT_EQ(p.Value(2, Title(u"Handle Count")), 4u);
}

TEST_F(ProviderTest, NamesProcesses) {
  struct Case {
    std::string comm;
    std::uint64_t flags;
    std::string exe;      // symlink target; empty: no exe link
    std::string cmdline;  // empty: no cmdline file
    std::u16string expected;
  };
  const std::string long_name(300, 'x');
  const Case cases[] = {
      // comm cut to 15 bytes: the executable's name, from the link or argv[0].
      {"gnome-shell-cal", 0x400000, "/usr/libexec/gnome-shell-calendar-server", "",
       u"gnome-shell-calendar-server"},
      {"update-notifier", 0x400000, "", std::string("/usr/bin/update-notifier-gtk\0-v\0", 32),
       u"update-notifier-gtk"},
      // A kernel thread keeps its comm even when it is 15 bytes long.
      {"kworker/u8:0-ev", 0x200040, "/usr/bin/kworker/u8:0-events", "", u"kworker/u8:0-ev"},
      {"a) (b", 0x400000, "", "", u"a) (b"},
      {"caf\xc3\xa9\xff", 0x400000, "", "", u"caf\u00e9\ufffd"},
      {long_name, 0x400000, "", "", std::u16string(259, u'x')},
      // A pair cut in half at the limit would leave a lone surrogate.
      {std::string(258, 'y') + "\xf0\x9f\x98\x80", 0x400000, "", "", std::u16string(258, u'y')},
  };
  std::uint32_t pid = 20;
  for (const Case& c : cases) {
    AddProcess({.pid = pid, .comm = c.comm, .flags = c.flags});
    const std::string dir = std::to_string(pid) + "/";
    if (!c.exe.empty()) tree_.Symlink(c.exe, dir + "exe");
    // An exe that is no link reads as one the user may not read.
    if (c.exe.empty()) tree_.Write(dir + "exe", "");
    if (!c.cmdline.empty()) tree_.Write(dir + "cmdline", c.cmdline);
    ++pid;
  }
  const Object p = DecodeBlock(Query(u"230")).at(0);
  ASSERT_EQ(p.instances.size(), std::size(cases) + 2);
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(p.instances[i + 1].name, cases[i].expected) << cases[i].comm;
  }
}

TEST_F(ProviderTest, ThreadObjectFollowsTheProcessObjectAndAgreesWithIt) {
  AddProcess({.pid = 30, .comm = "multi", .threads = 3});
  AddTask(30, {.pid = 32,
               .comm = "worker",
               .state = 'S',
               .utime = 5,
               .stime = 6,
               .nice = -20,
               .starttime = 70});
  AddTask(30, {.pid = 31, .comm = "worker", .state = 'D'}, 100, 11);
  tree_.Write("30/task/31/wchan", "io_schedule");
  tree_.Write("30/task/32/wchan", "do_nanosleep");
  tree_.MakeDirectory("30/task/33");  // ended: its stat is gone
  AddProcess({.pid = 8, .comm = "eight", .state = 'R'});
  AddTask(8, {.pid = 40, .state = 'T'});
  AddTask(8, {.pid = 41, .state = 'Z'});
  AddTask(8, {.pid = 42, .state = 'S', .policy = 1});
  tree_.Remove("8/task/42/wchan");
  tree_.MakeDirectory("8/task/42/wchan");  // unreadable
  AddTask(8, {.pid = 43, .state = 'I'});
  AddTask(8, {.pid = 44, .state = 'W'});
  AddProcess({.pid = 50, .comm = "ending"});
  tree_.Remove("50/task");  // ended before its tasks were listed
  const std::vector<Object> objects = DecodeBlock(Query(u"232"));
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(objects[0].title, Title(u"Process"));
  EXPECT_EQ(Names(objects[0]),
            (std::vector<std::u16string>{u"Idle", u"eight", u"multi", u"_Total"}));
  const Object& t = objects[1];
  EXPECT_EQ(t.title, Title(u"Thread"));
  ASSERT_EQ(t.counters.size(), 12u);

  struct Row {
    std::uint32_t process, thread, state, reason;
  };
  const Row rows[] = {
      {0, 0, 2, 0},  {0, 0, 2, 0},  // idle, a CPU each
      {8, 8, 2, 0},  {8, 40, 5, 5},  {8, 41, 4, 0},  {8, 42, 5, 6},  {8, 43, 5, 0},
      {8, 44, 7, 0}, {30, 30, 5, 6}, {30, 31, 5, 0}, {30, 32, 5, 4}, {0, 0, 0, 0},  // _Total
  };
  ASSERT_EQ(t.instances.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    EXPECT_EQ(t.Value(i, Title(u"ID Process")), rows[i].process) << i;
    EXPECT_EQ(t.Value(i, Title(u"ID Thread")), rows[i].thread) << i;
    EXPECT_EQ(t.Value(i, Title(u"Thread State")), rows[i].state) << i;
    EXPECT_EQ(t.Value(i, Title(u"Thread Wait Reason")), rows[i].reason) << i;
  }
  EXPECT_EQ(t.instances.back().name, u"_Total");

  EXPECT_EQ(t.Value(1, Title(u"% Processor Time")), 2070 * kTick);  // CPU 1's idle + iowait
  EXPECT_EQ(t.Value(9, Title(u"Context Switches/sec")), 111u);
  EXPECT_EQ(t.Value(10, Title(u"% Processor Time")), 11 * kTick);
  EXPECT_EQ(t.Value(10, Title(u"% User Time")), 5 * kTick);
  EXPECT_EQ(t.Value(10, Title(u"% Privileged Time")), 6 * kTick);
  EXPECT_EQ(t.Value(10, Title(u"Elapsed Time")), kBoot + 70 * kTick);
  EXPECT_EQ(t.Value(10, Title(u"Priority Base")), 13u);
  EXPECT_EQ(t.Value(10, Title(u"Priority Current")), 13u);
  EXPECT_EQ(t.Value(5, Title(u"Priority Base")), 24u);
  const auto start_address =
      std::find_if(t.counters.begin(), t.counters.end(),
                   [&](const testing::Counter& c) { return c.title == Title(u"Start Address"); });
  ASSERT_NE(start_address, t.counters.end());
  EXPECT_EQ(start_address->size, 8u);
  EXPECT_EQ(t.Value(11, Title(u"Context Switches/sec")), 8 * 10u + 111u);
}

TEST_F(ProviderTest, ThreadQueryRightAfterProcessQueryReadsOnlyTheTasks) {
  AddProcess({.pid = 5, .comm = "five"});
  AddProcess({.pid = 6, .comm = "six"});
  Query(u"230");
  AddProcess({.pid = 7, .comm = "seven"});  // started after the process query
  AddTask(5, {.pid = 50, .comm = "five"});  // a thread started since
  tree_.Remove("6");                        // ended since
  std::vector<Object> objects = DecodeBlock(Query(u"232"));
  ASSERT_EQ(objects.size(), 2u);
  EXPECT_EQ(Names(objects[0]), (std::vector<std::u16string>{u"Idle", u"five", u"_Total"}));
  std::vector<std::uint32_t> threads;
  for (std::size_t i = 0; i < objects[1].instances.size(); ++i) {
    threads.push_back(static_cast<std::uint32_t>(objects[1].Value(i, Title(u"ID Thread"))));
  }
  EXPECT_EQ(threads, (std::vector<std::uint32_t>{0, 0, 5, 50, 0}));

  // Half a second later the processes are read again.
  Query(u"230");
  now_ += 5'000'000;
  objects = DecodeBlock(Query(u"232"));
  EXPECT_EQ(Names(objects[0]),
            (std::vector<std::u16string>{u"Idle", u"five", u"seven", u"_Total"}));
}

TEST_F(ProviderTest, ProcessorObjectHasEachCpuAndTotal) {
  tree_.Write("stat", "cpu  1 1 1 1\ncpu0 100 10 50 1000 30 4 6\ncpu3 200 0 60 2000 70 0 0\n");
  const std::vector<Object> objects = DecodeBlock(Query(u"238"));
  ASSERT_EQ(objects.size(), 1u);
  const Object& c = objects[0];
  EXPECT_EQ(c.title, Title(u"Processor"));
  EXPECT_EQ(Names(c), (std::vector<std::u16string>{u"0", u"3", u"_Total"}));
  EXPECT_EQ(c.Value(0, Title(u"% Processor Time")), 1030 * kTick);  // idle, for an inverse timer
  EXPECT_EQ(c.Value(0, Title(u"% User Time")), 110 * kTick);
  EXPECT_EQ(c.Value(0, Title(u"% Privileged Time")), 60 * kTick);
  EXPECT_EQ(c.Value(2, Title(u"% User Time")), 310 * kTick);
}

TEST_F(ProviderTest, PublishesEachTitleOnceUnderTheLastCounter) {
  const std::vector<std::uint8_t> bytes = CounterValue();
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes.size() % 2, 0u);
  EXPECT_EQ(std::vector<std::uint8_t>(bytes.end() - 4, bytes.end()),
            (std::vector<std::uint8_t>{0, 0, 0, 0}));
  const auto titles = testing::DecodeTitles(bytes);
  std::set<std::u16string> names;
  for (const auto& [index, name] : titles) EXPECT_TRUE(names.insert(name).second);
  EXPECT_EQ(Title(u"Process"), 230u);
  EXPECT_EQ(Title(u"Thread"), 232u);
  EXPECT_EQ(Title(u"Processor"), 238u);

  std::uintptr_t key = 0;
  ASSERT_TRUE(provider_.OpenKey(u"software\\microsoft\\windows nt\\currentversion\\PERFLIB", &key));
  std::uint32_t type = 0;
  std::uint8_t last[4] = {};
  std::uint32_t size = sizeof last;
  ASSERT_EQ(provider_.QueryKeyValue(key, u"Last Counter", &type, last, &size),
            platform::QueryStatus::kSuccess);
  EXPECT_EQ(type, platform::kTypeDword);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(last[0] | last[1] << 8 | last[2] << 16 | last[3] << 24, titles.rbegin()->first);
  EXPECT_EQ(provider_.QueryKeyValue(key, u"Counter", &type, last, &size),
            platform::QueryStatus::kFailed);

  EXPECT_FALSE(provider_.OpenKey(u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", &key));
  EXPECT_FALSE(
      provider_.OpenKey(u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009", &key));
  EXPECT_FALSE(
      provider_.OpenKey(u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\u0130", &key));
}

TEST_F(ProviderTest, ShortBufferGetsMoreDataAndTheSizeOfItsOwnValue) {
  std::uintptr_t key = 0;
  ASSERT_TRUE(provider_.OpenKey(
      u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\CurrentLanguage", &key));
  const std::vector<std::uint8_t> whole = CounterValue();
  std::vector<std::uint8_t> small(10);
  std::uint32_t type = 0;
  auto size = static_cast<std::uint32_t>(small.size());
  EXPECT_EQ(provider_.QueryKeyValue(key, u"counter", &type, small.data(), &size),
            platform::QueryStatus::kMoreData);
  EXPECT_EQ(type, platform::kTypeMultiString);
  EXPECT_EQ(size, whole.size());
}

TEST_F(ProviderTest, RetryAfterMoreDataIsAnsweredWithoutScanningAgain) {
  AddProcess({.pid = 9, .comm = "nine"});
  std::vector<std::uint8_t> buffer(64);
  auto size = static_cast<std::uint32_t>(buffer.size());
  ASSERT_EQ(provider_.QueryPerformanceData(u"230", buffer.data(), &size),
            platform::QueryStatus::kMoreData);
  const std::uint32_t needed = size;
  tree_.Remove("9");
  tree_.Remove("stat");

  buffer.resize(needed - 1);
  size = needed - 1;
  EXPECT_EQ(provider_.QueryPerformanceData(u"230", buffer.data(), &size),
            platform::QueryStatus::kMoreData);
  EXPECT_EQ(size, needed);
  buffer.resize(needed);
  ASSERT_EQ(provider_.QueryPerformanceData(u"230", buffer.data(), &size),
            platform::QueryStatus::kSuccess);
  EXPECT_EQ(size, needed);
  EXPECT_EQ(Names(DecodeBlock(buffer).at(0)),
            (std::vector<std::u16string>{u"Idle", u"nine", u"_Total"}));

  // A new query reads /proc again, and finds it gone.
  EXPECT_EQ(provider_.QueryPerformanceData(u"230", buffer.data(), &size),
            platform::QueryStatus::kFailed);
}

TEST_F(ProviderTest, AnotherValueAfterMoreDataScansAfresh) {
  AddProcess({.pid = 9, .comm = "nine"});
  std::vector<std::uint8_t> buffer(64);
  auto size = static_cast<std::uint32_t>(buffer.size());
  ASSERT_EQ(provider_.QueryPerformanceData(u"230", buffer.data(), &size),
            platform::QueryStatus::kMoreData);
  tree_.Remove("9");
  EXPECT_EQ(DecodeBlock(Query(u"232")).at(0).instances.size(), 2u);  // Idle, _Total
  EXPECT_EQ(DecodeBlock(Query(u"230")).at(0).instances.size(), 2u);
  size = 1 << 16;
  buffer.resize(size);
  EXPECT_EQ(provider_.QueryPerformanceData(u"Global", buffer.data(), &size),
            platform::QueryStatus::kFailed);
}

TEST(ProviderOnProcTest, FindsThisProcessWithItsThreadsAndFiles) {
  std::atomic<bool> stop{false};
  std::thread second([&stop] {
    while (!stop.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  });
  const auto clock = [] { return ProviderClock{0, 0}; };
  Provider provider("/proc", clock, sysconf(_SC_CLK_TCK), u"HOST");
  // The listing's own descriptor is open while it runs; the scan holds a
  // few of its own while it reads this process.
  const auto listing = std::distance(std::filesystem::directory_iterator("/proc/self/fd"),
                                     std::filesystem::directory_iterator{});
  const auto open_files = static_cast<std::uint64_t>(listing - 1);
  std::vector<std::uint8_t> buffer(1 << 20);
  auto size = static_cast<std::uint32_t>(buffer.size());
  const platform::QueryStatus status = provider.QueryPerformanceData(u"232", buffer.data(), &size);
  stop = true;
  second.join();
  ASSERT_EQ(status, platform::QueryStatus::kSuccess);
  buffer.resize(size);
  const std::vector<Object> objects = DecodeBlock(buffer);
  ASSERT_EQ(objects.size(), 2u);
  const auto pid = static_cast<std::uint64_t>(getpid());
  const Object& p = objects[0];
  std::size_t found = 0;
  while (found < p.instances.size() && p.Value(found, titles::kIdProcess) != pid) ++found;
  ASSERT_LT(found, p.instances.size());
  EXPECT_EQ(p.Value(found, titles::kThreadCount), 2u);
  EXPECT_GE(p.Value(found, titles::kHandleCount), open_files);
  EXPECT_LE(p.Value(found, titles::kHandleCount), open_files + 4);
  std::size_t threads = 0;
  for (std::size_t i = 0; i < objects[1].instances.size(); ++i) {
    threads += objects[1].Value(i, titles::kIdProcess) == pid;
  }
  EXPECT_EQ(threads, 2u);
}

}  // namespace
}  // namespace procfs
