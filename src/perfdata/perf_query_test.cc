#include "perfdata/perf_query.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/perf_block_writer.h"
#include "platform/platform_fake.h"
#include "snapshot/test_blocks.h"

namespace {

using perfblock::CounterSpec;
using testblocks::Poke32;

constexpr CounterSpec kProcessCounters[] = {{6, perfblock::k100nsTimer, 8},
                                            {784, perfblock::kRawCount, 4}};
constexpr CounterSpec kThreadCounters[] = {
    {804, perfblock::kRawCount, 4}, {806, perfblock::kRawCount, 4}, {1, 0, 8}};

// A Process object with two instances, then a Thread object with three.
std::vector<std::uint8_t> TwoObjectBlock() {
  perfblock::BlockWriter writer(u"HOST", 0);
  writer.BeginObject(230, kProcessCounters);
  const std::uint64_t process_values[] = {100, 42};
  writer.AddInstance(u"init", process_values);
  writer.AddInstance(u"_Total", process_values);
  writer.EndObject();
  writer.BeginObject(232, kThreadCounters);
  const std::uint64_t thread_values[] = {42, 43, 7};
  for (const char16_t* name : {u"init/0", u"init/1", u"_Total/_Total"}) {
    writer.AddInstance(name, thread_values);
  }
  writer.EndObject();
  return writer.Finish();
}

class PerfQueryTest : public testing::Test {
 protected:
  void SetUp() override { platform::fake::Reset(); }
  PerfDataView view_;
};

struct GrowthCase {
  std::size_t block_size;
  std::vector<std::uint32_t> sizes;
};

class PerfQueryGrowth : public PerfQueryTest, public testing::WithParamInterface<GrowthCase> {};

TEST_P(PerfQueryGrowth, DoublesFrom64KibUntilTheDataFits) {
  std::vector<std::uint8_t> block = TwoObjectBlock();
  block.resize(GetParam().block_size);  // padding behind the last object
  platform::fake::SetPerformanceData(u"230", block);
  ASSERT_TRUE(QueryPerfData(&view_, u"230"));
  EXPECT_EQ(platform::fake::PerformanceQuerySizes(), GetParam().sizes);
  EXPECT_EQ(view_.buffer_size, GetParam().sizes.back());
  EXPECT_EQ(view_.data_size, GetParam().block_size);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PerfQueryGrowth,
                         testing::Values(GrowthCase{65536, {65536}},
                                         GrowthCase{65537, {65536, 131072}},
                                         GrowthCase{131072, {65536, 131072}},
                                         GrowthCase{300000, {65536, 131072, 262144, 524288}}));

TEST_F(PerfQueryTest, LocatesTheFirstObjectAndItsParts) {
  const std::vector<std::uint8_t> block = TwoObjectBlock();
  platform::fake::SetPerformanceData(u"230", block);
  ASSERT_TRUE(QueryPerfData(&view_, u"230"));
  const testblocks::FirstObject expected(block);
  EXPECT_EQ(view_.object, expected.object);
  EXPECT_EQ(view_.first_counter, expected.first_counter);
  EXPECT_EQ(view_.first_instance, expected.first_instance);

  std::vector<CounterDefinition> counters;
  std::uint32_t instances = 0;
  ASSERT_TRUE(ReadObjectLayout(view_, &counters, &instances));
  EXPECT_EQ(instances, 2u);
  ASSERT_EQ(counters.size(), 2u);
  EXPECT_EQ(counters[1].title_index, 784u);
  EXPECT_EQ(counters[1].size, 4u);

  InstanceLocation first;
  ASSERT_TRUE(LocateInstance(view_, *view_.first_instance, &first));
  const auto value = CounterValueBytes(view_, first, counters[1]);
  ASSERT_TRUE(value.has_value());
  ASSERT_EQ(value->size(), 4u);
  EXPECT_EQ((*value)[0], 42);
  InstanceLocation second;
  ASSERT_TRUE(LocateInstance(view_, first.next, &second));
  EXPECT_EQ(second.next, view_.object + testblocks::Peek32(block, view_.object));
}

TEST_F(PerfQueryTest, AnObjectWithoutCountersHasNoCounterOrInstancePosition) {
  perfblock::BlockWriter writer(u"HOST", 0);
  writer.BeginObject(238, {});
  writer.EndObject();
  platform::fake::SetPerformanceData(u"238", writer.Finish());
  ASSERT_TRUE(QueryPerfData(&view_, u"238"));
  EXPECT_FALSE(view_.first_counter.has_value());
  EXPECT_FALSE(view_.first_instance.has_value());
}

TEST_F(PerfQueryTest, AnInterfaceErrorFailsWithoutPositions) {
  platform::fake::FailPerformanceData(u"230");
  EXPECT_FALSE(QueryPerfData(&view_, u"230"));
  EXPECT_FALSE(view_.first_counter.has_value());
  EXPECT_EQ(platform::fake::PerformanceQuerySizes(), std::vector<std::uint32_t>{65536});
  PerfDataView unknown;
  EXPECT_FALSE(QueryPerfData(&unknown, u"999"));
}

TEST_F(PerfQueryTest, NextObjectLandsInsideTheSecondObjectAndStopsThere) {
  const std::vector<std::uint8_t> block = TwoObjectBlock();
  platform::fake::SetPerformanceData(u"232", block);
  ASSERT_TRUE(QueryPerfData(&view_, u"232"));
  const std::size_t second = view_.object + testblocks::Peek32(block, view_.object);
  ASSERT_TRUE(NextPerfObject(&view_));
  EXPECT_EQ(view_.object, second);
  EXPECT_EQ(view_.first_counter, second + perfblock::kObjectTypeSize);
  EXPECT_EQ(view_.first_instance,
            second + perfblock::kObjectTypeSize + 3 * perfblock::kCounterDefinitionSize);

  std::vector<CounterDefinition> counters;
  std::uint32_t instances = 0;
  ASSERT_TRUE(ReadObjectLayout(view_, &counters, &instances));
  EXPECT_EQ(instances, 3u);
  ASSERT_EQ(counters.size(), 3u);
  EXPECT_EQ(counters[0].title_index, 804u);

  EXPECT_FALSE(NextPerfObject(&view_));  // the block holds two objects
  EXPECT_EQ(view_.object, second);
}

// Each poke breaks one length or count of a valid two-object block.
struct Poke {
  const char* label;
  void (*apply)(std::vector<std::uint8_t>* block);
  bool query_ok;  // whether the first object is still usable
};

class MalformedBlock : public PerfQueryTest, public testing::WithParamInterface<Poke> {};

TEST_P(MalformedBlock, FailsAtTheBrokenStep) {
  std::vector<std::uint8_t> block = TwoObjectBlock();
  GetParam().apply(&block);
  platform::fake::SetPerformanceData(u"232", block);
  ASSERT_EQ(QueryPerfData(&view_, u"232"), GetParam().query_ok);
  if (GetParam().query_ok) {
    EXPECT_FALSE(NextPerfObject(&view_));
  }
}

const std::size_t kObject = testblocks::FirstObject(TwoObjectBlock()).object;

INSTANTIATE_TEST_SUITE_P(
    Pokes, MalformedBlock,
    testing::Values(
        Poke{"header_past_end",
             [](auto* b) { Poke32(b, 24, static_cast<std::uint32_t>(b->size())); }, false},
        Poke{"header_wraps", [](auto* b) { Poke32(b, 24, 0xFFFFFFF0u); }, false},
        Poke{"no_objects", [](auto* b) { Poke32(b, 28, 0); }, false},
        Poke{"shorter_than_header", [](auto* b) { b->resize(30); }, false},
        Poke{"object_length_zero", [](auto* b) { Poke32(b, kObject, 0); }, false},
        Poke{"definition_length_zero",
             [](auto* b) { Poke32(b, kObject + perfblock::kObjectTypeSize, 0); }, false},
        Poke{"counters_past_end", [](auto* b) { Poke32(b, kObject + 32, 0x7FFFFFFF); }, false},
        Poke{"one_object", [](auto* b) { Poke32(b, 28, 1); }, true},
        Poke{"second_object_cut", [](auto* b) { b->resize(b->size() - 8); }, true}),
    [](const testing::TestParamInfo<Poke>& param_info) {
      return std::string(param_info.param.label);
    });

TEST_F(PerfQueryTest, InstanceChecksRejectWhatLiesOutside) {
  std::vector<std::uint8_t> block = TwoObjectBlock();
  const testblocks::FirstObject at(block);
  Poke32(&block, kObject + 40, 0xFFFFFFFFu);  // NumInstances
  platform::fake::SetPerformanceData(u"230", block);
  ASSERT_TRUE(QueryPerfData(&view_, u"230"));
  std::vector<CounterDefinition> counters;
  std::uint32_t instances = 0;
  EXPECT_FALSE(ReadObjectLayout(view_, &counters, &instances));

  InstanceLocation instance;
  Poke32(&view_.buffer, at.first_instance + 20, 4096);  // NameLength past the instance
  EXPECT_FALSE(LocateInstance(view_, at.first_instance, &instance));
  Poke32(&view_.buffer, at.first_instance + 20, 0);
  Poke32(&view_.buffer, at.first_counter_block, 0);  // counter block steps nowhere
  EXPECT_FALSE(LocateInstance(view_, at.first_instance, &instance));
  Poke32(&view_.buffer, at.first_counter_block, 16);
  ASSERT_TRUE(LocateInstance(view_, at.first_instance, &instance));
  EXPECT_FALSE(CounterValueBytes(view_, instance, {784, 8, 12}).has_value());
  EXPECT_FALSE(CounterValueBytes(view_, instance, {784, 4, 0xFFFFFFFEu}).has_value());
  EXPECT_TRUE(CounterValueBytes(view_, instance, {784, 4, 12}).has_value());
  EXPECT_FALSE(LocateInstance(view_, view_.data_size - 4, &instance));
}

}  // namespace
