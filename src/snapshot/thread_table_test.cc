#include "snapshot/thread_table.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "platform/perf_block_writer.h"
#include "platform/platform_fake.h"
#include "snapshot/test_blocks.h"

namespace {

struct KnownCounter {
  std::u16string_view name;
  std::function<std::uint64_t(const ThreadRecord&)> field;
  std::uint32_t size;
};

#define FIELD(name, member, size)                                             \
  KnownCounter {                                                              \
    name, [](const ThreadRecord& r) { return std::uint64_t(r.member); }, size \
  }

const std::vector<KnownCounter> kKnownCounters = {
    FIELD(u"Context Switches/sec", context_switches, 4),
    FIELD(u"% Processor Time", processor_time, 8),
    FIELD(u"% User Time", user_time, 8),
    FIELD(u"% Privileged Time", privileged_time, 8),
    FIELD(u"Elapsed Time", start_time, 8),
    FIELD(u"Priority Current", priority_current, 4),
    FIELD(u"Priority Base", priority_base, 4),
    FIELD(u"Start Address", start_address, 4),
    FIELD(u"Thread State", thread_state, 4),
    FIELD(u"Thread Wait Reason", wait_reason, 4),
    FIELD(u"ID Process", process_id, 4),
    FIELD(u"ID Thread", thread_id, 4),
};

#undef FIELD

std::uint64_t ValueOf(std::size_t i, std::size_t j, std::uint32_t size) {
  const std::uint64_t low = 0x10000000u * (i + 1) + 0x100 * (j + 1) + 1;
  return size == 8 ? (std::uint64_t{0x7000 + j} << 32) | low : low;
}

class ThreadTableTest : public testing::Test {
 protected:
  void SetUp() override { platform::fake::Reset(); }

  // A Process object whose counters are no thread counters, then the Thread
  // object with `counters` and `threads` instances.
  void SetBlock(const std::vector<perfblock::CounterSpec>& counters, std::size_t threads,
                const std::function<std::uint64_t(std::size_t, std::size_t)>& values) {
    const perfblock::CounterSpec process_counters[] = {titles_.Counter(u"Working Set"),
                                                       titles_.Counter(u"Handle Count", 4)};
    titles_.Install();
    perfblock::BlockWriter writer(u"HOST", 0);
    writer.BeginObject(230, process_counters);
    const std::uint64_t process_values[] = {4096, 12};
    writer.AddInstance(u"init", process_values);
    writer.EndObject();
    writer.BeginObject(232, counters);
    for (std::size_t i = 0; i < threads; ++i) {
      std::vector<std::uint64_t> row;
      for (std::size_t j = 0; j < counters.size(); ++j) row.push_back(values(i, j));
      writer.AddInstance(u"init/" + std::u16string(1, static_cast<char16_t>(u'0' + i)), row);
    }
    writer.EndObject();
    platform::fake::SetPerformanceData(u"232", writer.Finish());
  }

  std::vector<perfblock::CounterSpec> KnownSpecs() {
    std::vector<perfblock::CounterSpec> counters;
    for (const KnownCounter& known : kKnownCounters) {
      counters.push_back(titles_.Counter(known.name, known.size));
    }
    return counters;
  }

  testblocks::Titles titles_;
  ThreadTable table_;
};

TEST_F(ThreadTableTest, ReadsTheSecondObjectIntoItsFields) {
  const auto counters = KnownSpecs();
  SetBlock(counters, 3,
           [&](std::size_t i, std::size_t j) { return ValueOf(i, j, counters[j].size); });
  ASSERT_TRUE(BuildThreadTable(&table_));
  ASSERT_EQ(table_.size(), 3u);
  for (std::size_t i = 0; i < table_.size(); ++i) {
    for (std::size_t j = 0; j < kKnownCounters.size(); ++j) {
      EXPECT_EQ(kKnownCounters[j].field(table_[i]), ValueOf(i, j, kKnownCounters[j].size))
          << "thread " << i << ", counter " << j;
    }
  }
  EXPECT_EQ(platform::fake::OpenKeyCount(), 0u);
}

TEST_F(ThreadTableTest, AnEightByteStartAddressKeepsItsLowBitsOnly) {
  auto counters = KnownSpecs();
  counters[7].size = 8;  // "Start Address"; "Thread State" follows it
  SetBlock(counters, 2,
           [](std::size_t, std::size_t j) { return j == 7 ? 0xAAAABBBBCCCCDDDDu : 100 + j; });
  ASSERT_TRUE(BuildThreadTable(&table_));
  ASSERT_EQ(table_.size(), 2u);
  EXPECT_EQ(table_[0].start_address, 0xCCCCDDDDu);
  EXPECT_EQ(table_[0].thread_state, 108u);
  EXPECT_EQ(table_[0].wait_reason, 109u);
}

TEST_F(ThreadTableTest, AnUnknownThreadCounterFailsTheBuild) {
  auto counters = KnownSpecs();
  counters.push_back(titles_.Counter(u"Working Set"));
  SetBlock(counters, 2, [](std::size_t, std::size_t) { return 1; });
  ThreadTable table(1);
  EXPECT_FALSE(BuildThreadTable(&table));
  EXPECT_EQ(table.size(), 1u);
}

TEST_F(ThreadTableTest, NoThreadInstancesGiveAnEmptyTable) {
  SetBlock(KnownSpecs(), 0, nullptr);
  ASSERT_TRUE(BuildThreadTable(&table_));
  EXPECT_TRUE(table_.empty());
}

TEST_F(ThreadTableTest, FailsWithoutASecondObjectOrData) {
  SetBlock(KnownSpecs(), 2, [](std::size_t, std::size_t) { return 1; });
  platform::fake::FailPerformanceData(u"232");
  ThreadTable table(1);
  EXPECT_FALSE(BuildThreadTable(&table));

  perfblock::BlockWriter writer(u"HOST", 0);
  const auto counters = KnownSpecs();
  writer.BeginObject(232, counters);
  writer.AddInstance(u"init/0", std::vector<std::uint64_t>(counters.size(), 1));
  writer.EndObject();
  platform::fake::SetPerformanceData(u"232", writer.Finish());
  EXPECT_FALSE(BuildThreadTable(&table));  // the block holds one object

  SetBlock(KnownSpecs(), 2, [](std::size_t, std::size_t) { return 1; });
  platform::fake::SetCounterTitles({u"0", u"Broken"});  // titles that do not load
  EXPECT_FALSE(BuildThreadTable(&table));
  EXPECT_EQ(table.size(), 1u);
}

}  // namespace
