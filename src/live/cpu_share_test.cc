// The CPU share arithmetic and the sampling of a table between cycles.
#include "live/cpu_share.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

struct ShareCase {
  std::int64_t cpu_ticks;
  std::int64_t interval;
  std::uint32_t processors;
  std::int32_t share;
};

TEST(CpuShareTest, WorksInSigned64BitStepsAndTruncates) {
  constexpr std::int64_t kSecond = 10'000'000;
  const ShareCase cases[] = {
      {kSecond, kSecond, 1, 100},
      {kSecond, kSecond, 4, 25},
      {kSecond - 1, kSecond, 1, 99},             // truncated, not rounded
      {2 * kSecond - 1, kSecond, 3, 66},         // 199 / 3
      {3'000'000'000, 3'000'000'000, 2, 50},     // past 32 bits before the division
      {(std::int64_t{1} << 32) + 5, 100, 1, 5},  // only the low 32 bits are kept
      {kSecond, kSecond, 0, 100},                // no processor count: taken as 1
      {-kSecond, kSecond, 1, 0},                 // an id reused by a younger process
      {kSecond, -kSecond, 1, 0},                 // the clock set back
      {-kSecond, -kSecond, 1, 0},                // both: still no share
      {kSecond, 0, 1, 0},                        // two cycles within one clock tick
      {INT64_MAX / 50, 1, 1, 0},                 // the product wraps negative
  };
  for (const ShareCase& c : cases) {
    EXPECT_EQ(CpuShare(c.cpu_ticks, c.interval, c.processors), c.share)
        << c.cpu_ticks << " ticks in " << c.interval << " on " << c.processors;
  }
}

ProcessRecord Sample(std::uint32_t id, std::int64_t processor_time) {
  ProcessRecord r;
  r.process_id = id;
  r.processor_time = processor_time;
  r.cpu_percent = -7;  // shows whether the sampler wrote the field
  return r;
}

TEST(CpuShareTest, SamplesEveryProcessButTheTotalAcrossCycles) {
  constexpr std::int64_t kInterval = 10'000'000;
  PreviousCpuTimes previous;
  ProcessTable first = {Sample(10, 1'000), Sample(20, 9'000'000), Sample(0, 123)};
  SampleCpuShares(&first, &previous, 5 * kInterval, 2);
  EXPECT_EQ(first[0].cpu_percent, 0);
  EXPECT_EQ(first[1].cpu_percent, 0);
  EXPECT_EQ(first[2].cpu_percent, -7);
  EXPECT_EQ(previous, (PreviousCpuTimes{{10, 1'000}, {20, 9'000'000}}));

  // 10 used half a processor of two; 20 ended and its id came back on a
  // younger process; 30 is new.
  ProcessTable second = {Sample(10, 1'000 + kInterval / 2), Sample(20, 5'000),
                         Sample(30, 4 * kInterval), Sample(0, 456)};
  SampleCpuShares(&second, &previous, kInterval, 2);
  EXPECT_EQ(second[0].cpu_percent, 25);
  EXPECT_EQ(second[1].cpu_percent, 0);
  EXPECT_EQ(second[2].cpu_percent, 0);
  EXPECT_EQ(second[3].cpu_percent, -7);
  EXPECT_EQ(previous,
            (PreviousCpuTimes{{10, 1'000 + kInterval / 2}, {20, 5'000}, {30, 4 * kInterval}}));
}

}  // namespace
