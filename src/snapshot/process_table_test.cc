#include "snapshot/process_table.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/perf_block_writer.h"
#include "platform/platform_fake.h"
#include "snapshot/test_blocks.h"

namespace {

using testblocks::Poke32;

// Every known process counter with the field it must land in; 64-bit fields
// get 8-byte counters, 32-bit fields 4-byte ones.
struct KnownCounter {
  std::u16string_view name;
  std::function<std::uint64_t(const ProcessRecord&)> field;
  std::uint32_t size;
};

#define WIDE(name, member)                                                  \
  KnownCounter {                                                            \
    name, [](const ProcessRecord& r) { return std::uint64_t(r.member); }, 8 \
  }
#define NARROW(name, member)                                                \
  KnownCounter {                                                            \
    name, [](const ProcessRecord& r) { return std::uint64_t(r.member); }, 4 \
  }

const std::vector<KnownCounter> kKnownCounters = {
    WIDE(u"% Processor Time", processor_time),
    WIDE(u"% User Time", user_time),
    WIDE(u"% Privileged Time", privileged_time),
    WIDE(u"Virtual Bytes Peak", virtual_bytes_peak),
    WIDE(u"Virtual Bytes", virtual_bytes),
    NARROW(u"Page Faults/sec", page_faults),
    WIDE(u"Working Set Peak", working_set_peak),
    WIDE(u"Working Set", working_set),
    WIDE(u"Page File Bytes Peak", page_file_bytes_peak),
    WIDE(u"Page File Bytes", page_file_bytes),
    WIDE(u"Private Bytes", private_bytes),
    NARROW(u"Thread Count", thread_count),
    NARROW(u"Priority Base", priority_base),
    WIDE(u"Elapsed Time", start_time),
    NARROW(u"ID Process", process_id),
    NARROW(u"Creating Process ID", parent_process_id),
    NARROW(u"Pool Paged Bytes", pool_paged_bytes),
    NARROW(u"Pool Nonpaged Bytes", pool_nonpaged_bytes),
    NARROW(u"Handle Count", handle_count),
    WIDE(u"IO Read Operations/sec", io_read_operations),
    WIDE(u"IO Write Operations/sec", io_write_operations),
    WIDE(u"IO Data Operations/sec", io_data_operations),
    WIDE(u"IO Other Operations/sec", io_other_operations),
    WIDE(u"IO Read Bytes/sec", io_read_bytes),
    WIDE(u"IO Write Bytes/sec", io_write_bytes),
    WIDE(u"IO Data Bytes/sec", io_data_bytes),
    WIDE(u"IO Other Bytes/sec", io_other_bytes),
    WIDE(u"Working Set - Private", working_set_private),
};

#undef WIDE
#undef NARROW

// A value unique to counter `j` of instance `i` that fills the counter's width.
std::uint64_t ValueOf(std::size_t i, std::size_t j, std::uint32_t size) {
  const std::uint64_t low = 0x10000000u * (i + 1) + 0x100 * (j + 1) + 1;
  return size == 8 ? (std::uint64_t{0x7000 + j} << 32) | low : low;
}

class ProcessTableTest : public testing::Test {
 protected:
  void SetUp() override { platform::fake::Reset(); }

  // One Process object with `counters` and one instance per name, each
  // counter holding `values(i, j)`.
  std::vector<std::uint8_t> Block(
      const std::vector<perfblock::CounterSpec>& counters, const std::vector<std::u16string>& names,
      const std::function<std::uint64_t(std::size_t, std::size_t)>& values) {
    titles_.Install();
    perfblock::BlockWriter writer(u"HOST", 0);
    writer.BeginObject(230, counters);
    for (std::size_t i = 0; i < names.size(); ++i) {
      std::vector<std::uint64_t> row;
      for (std::size_t j = 0; j < counters.size(); ++j) row.push_back(values(i, j));
      writer.AddInstance(names[i], row);
    }
    writer.EndObject();
    return writer.Finish();
  }

  // The known counters in table order, with values from ValueOf.
  std::vector<std::uint8_t> FullBlock(const std::vector<std::u16string>& names) {
    std::vector<perfblock::CounterSpec> counters;
    for (const KnownCounter& known : kKnownCounters) {
      counters.push_back(titles_.Counter(known.name, known.size));
    }
    return Block(counters, names,
                 [&](std::size_t i, std::size_t j) { return ValueOf(i, j, counters[j].size); });
  }

  testblocks::Titles titles_;
  ProcessTable table_;
};

TEST_F(ProcessTableTest, EveryKnownCounterLandsInItsField) {
  const std::vector<std::u16string> names = {u"System", u"init", u"_Total"};
  platform::fake::SetPerformanceData(u"230", FullBlock(names));
  ASSERT_TRUE(BuildProcessTable(&table_));
  ASSERT_EQ(table_.size(), names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(NameOf(table_[i]), names[i]);
    EXPECT_EQ(table_[i].cpu_percent, 0);
    for (std::size_t j = 0; j < kKnownCounters.size(); ++j) {
      const KnownCounter& known = kKnownCounters[j];
      EXPECT_EQ(known.field(table_[i]), ValueOf(i, j, known.size))
          << "instance " << i << ", counter " << j;
    }
  }
  EXPECT_EQ(platform::fake::OpenKeyCount(), 0u);
}

TEST_F(ProcessTableTest, CountersNarrowerOrWiderThanTheirFieldCopyTheLowBytes) {
  // A 4-byte "Virtual Bytes" with its top bit set must not sign-extend; an
  // 8-byte "ID Process" must not spill into the field behind it. Counters the
  // object lacks stay 0.
  const std::vector<perfblock::CounterSpec> counters = {titles_.Counter(u"Virtual Bytes", 4),
                                                        titles_.Counter(u"ID Process", 8),
                                                        titles_.Counter(u"Creating Process ID", 4)};
  const std::uint64_t values[] = {0xFFFFFFF0u, 0xAAAAAAAA00000007u, 3};
  platform::fake::SetPerformanceData(
      u"230",
      Block(counters, {u"a", u"_Total"}, [&](std::size_t, std::size_t j) { return values[j]; }));
  ASSERT_TRUE(BuildProcessTable(&table_));
  ASSERT_EQ(table_.size(), 2u);
  EXPECT_EQ(table_[0].virtual_bytes, 0xFFFFFFF0);
  EXPECT_EQ(table_[0].process_id, 7u);
  EXPECT_EQ(table_[0].parent_process_id, 3u);
  EXPECT_EQ(table_[0].page_faults, 0u);
  EXPECT_EQ(table_[0].working_set, 0);
}

TEST_F(ProcessTableTest, AnUnknownCounterFailsTheBuildAndLeavesTheTable) {
  struct Case {
    const char* label;
    std::uint32_t index;
  };
  const Case cases[] = {
      {"name outside the table", titles_.IndexOf(u"Pool Paged Peak")},
      {"different case", titles_.IndexOf(u"working set")},
      {"index without a title", 9999},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::vector<perfblock::CounterSpec> counters = {titles_.Counter(u"ID Process", 4),
                                                          {c.index, perfblock::kRawCount, 4}};
    platform::fake::SetPerformanceData(
        u"230", Block(counters, {u"a", u"_Total"}, [](std::size_t, std::size_t) { return 5; }));
    ProcessTable table(1);
    EXPECT_FALSE(BuildProcessTable(&table));
    EXPECT_EQ(table.size(), 1u);
  }
}

TEST_F(ProcessTableTest, NoInstancesGiveAnEmptyTableWhateverTheCounters) {
  const std::vector<perfblock::CounterSpec> counters = {titles_.Counter(u"Unknown Counter")};
  platform::fake::SetPerformanceData(u"230", Block(counters, {}, nullptr));
  ASSERT_TRUE(BuildProcessTable(&table_));
  EXPECT_TRUE(table_.empty());
}

TEST_F(ProcessTableTest, FailedTitlesOrQueryLeaveTheTableUntouched) {
  platform::fake::SetPerformanceData(u"230", FullBlock({u"a", u"_Total"}));
  ProcessTable table(1);
  platform::fake::FailPerformanceData(u"230");
  EXPECT_FALSE(BuildProcessTable(&table));
  EXPECT_EQ(table.size(), 1u);

  platform::fake::Reset();
  platform::fake::SetPerformanceData(u"230", FullBlock({u"a", u"_Total"}));
  platform::fake::SetRegistryValue(
      u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\CurrentLanguage", u"Counter",
      platform::kTypeString, {0, 0, 0, 0});
  EXPECT_FALSE(BuildProcessTable(&table));
  EXPECT_EQ(table.size(), 1u);
  EXPECT_EQ(platform::fake::OpenKeyCount(), 0u);
}

struct NameCase {
  const char* label;
  std::u16string stored;
  std::uint32_t name_length;  // bytes; 0xFFFFFFFF keeps the writer's
  std::u16string expected;
};

class ProcessNameTest : public ProcessTableTest, public testing::WithParamInterface<NameCase> {};

TEST_P(ProcessNameTest, KeepsAtMostNameLengthUnitsUpToTheFirstNul) {
  std::vector<std::uint8_t> block = FullBlock({GetParam().stored, u"_Total"});
  if (GetParam().name_length != 0xFFFFFFFFu) {
    Poke32(&block, testblocks::FirstObject(block).first_instance + 20, GetParam().name_length);
  }
  platform::fake::SetPerformanceData(u"230", block);
  ASSERT_TRUE(BuildProcessTable(&table_));
  EXPECT_EQ(NameOf(table_[0]), GetParam().expected);
  EXPECT_EQ(NameOf(table_[1]), u"_Total");
}

const std::u16string k259(259, u'n');
const std::u16string k300(300, u'n');
const std::u16string kPairAtCut = std::u16string(258, u'n') + u"\xD83D\xDE00" + u"tail";
const std::u16string kPairBeforeCut = std::u16string(257, u'n') + u"\xD83D\xDE00" + u"tail";

INSTANTIATE_TEST_SUITE_P(
    Cases, ProcessNameTest,
    testing::Values(NameCase{"ordinary", u"svchost", 0xFFFFFFFFu, u"svchost"},
                    NameCase{"length_zero", u"svchost", 0, u""},
                    NameCase{"odd_length", u"svchost", 7, u"svc"},
                    NameCase{"nul_inside", std::u16string(u"ab\0cd", 5), 0xFFFFFFFFu, u"ab"},
                    NameCase{"259_units", k259, 0xFFFFFFFFu, k259},
                    NameCase{"300_units_cut", k300, 0xFFFFFFFFu, k300.substr(0, 259)},
                    NameCase{"no_half_pair_at_cut", kPairAtCut, 0xFFFFFFFFu,
                             kPairAtCut.substr(0, 258)},
                    NameCase{"whole_pair_before_cut", kPairBeforeCut, 0xFFFFFFFFu,
                             kPairBeforeCut.substr(0, 259)}),
    [](const testing::TestParamInfo<NameCase>& param_info) {
      return std::string(param_info.param.label);
    });

// Each poke breaks one position or length of a valid block; the build must
// fail without reading outside the block and leave the table empty.
struct Poke {
  const char* label;
  void (*apply)(std::vector<std::uint8_t>* block);
};

class MalformedProcessBlock : public ProcessTableTest, public testing::WithParamInterface<Poke> {};

TEST_P(MalformedProcessBlock, FailsWithoutACrash) {
  std::vector<std::uint8_t> block = FullBlock({u"System", u"init", u"_Total"});
  GetParam().apply(&block);
  platform::fake::SetPerformanceData(u"230", block);
  EXPECT_FALSE(BuildProcessTable(&table_));
  EXPECT_TRUE(table_.empty());
}

using At = testblocks::FirstObject;

INSTANTIATE_TEST_SUITE_P(
    Pokes, MalformedProcessBlock,
    testing::Values(
        Poke{"header_length_past_end",
             [](auto* b) { Poke32(b, 24, static_cast<std::uint32_t>(b->size()) + 8); }},
        Poke{"no_objects", [](auto* b) { Poke32(b, 28, 0); }},
        Poke{"counter_offset_outside_counter_block",
             [](auto* b) { Poke32(b, At(*b).first_counter + 36, 4000); }},
        Poke{"counter_size_past_counter_block",
             [](auto* b) { Poke32(b, At(*b).first_counter + 32, 0xFFFFFFFFu); }},
        Poke{"name_outside_instance", [](auto* b) { Poke32(b, At(*b).first_instance + 16, 200); }},
        Poke{"instances_huge", [](auto* b) { Poke32(b, At(*b).object + 40, 0xFFFFFFFFu); }},
        Poke{"instances_more_than_present", [](auto* b) { Poke32(b, At(*b).object + 40, 40); }},
        Poke{"instance_length_zero", [](auto* b) { Poke32(b, At(*b).first_instance, 0); }},
        Poke{"counter_block_length_zero",
             [](auto* b) { Poke32(b, At(*b).first_counter_block, 0); }},
        Poke{"counter_block_past_end",
             [](auto* b) { Poke32(b, At(*b).first_counter_block, 0x7FFFFFF0); }},
        Poke{"truncated", [](auto* b) { b->resize(b->size() / 2); }}),
    [](const testing::TestParamInfo<Poke>& param_info) {
      return std::string(param_info.param.label);
    });

}  // namespace
