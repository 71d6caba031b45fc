#include "reports/selection.h"

#include <gtest/gtest.h>

#include "reports/fake_snapshot.h"

namespace {

using fake_snapshot::Process;

TEST(SelectionTest, MatchesByPrefixExactNameOrId) {
  const struct {
    std::u16string_view process_name;
    std::uint32_t process_id;
    Selection selection;
    bool selected;
  } cases[] = {
      {u"Notepad", 7, {MATCH_PREFIX, u"note", 0}, true},
      {u"Notepad", 7, {MATCH_EXACT, u"note", 0}, false},
      {u"Notepad", 7, {MATCH_EXACT, u"NOTEPAD", 0}, true},
      {u"Note", 7, {MATCH_PREFIX, u"Notepad", 0}, false},
      {u"Notepad", 7, {MATCH_PREFIX, u"", 0}, true},
      {u"\u00c9dit", 7, {MATCH_PREFIX, u"\u00e9dit", 0}, false},  // only ASCII folds
      {u"Notepad", 7, {MATCH_PID, u"", 7}, true},
      {u"Notepad", 7, {MATCH_PID, u"", 8}, false},
      {u"Notepad", 7, {MATCH_ALL, u"x", 8}, true},
      {u"Notepad", 7, {static_cast<MatchKind>(9), u"x", 8}, true},
  };
  for (const auto& c : cases) {
    const ProcessRecord record = Process(c.process_name, c.process_id);
    EXPECT_EQ(ProcessMatches(record, c.selection), c.selected)
        << std::string(c.selection.name.begin(), c.selection.name.end());
  }
}

TEST(SelectionTest, SplitsTicksIntoHoursToMilliseconds) {
  const std::uint64_t kTime = ((12 * 3600ull + 34 * 60 + 56) * 1000 + 789) * 10'000 + 9'999;
  const Duration d = FormatDuration(kTime);
  EXPECT_EQ(d.hours, 12u);
  EXPECT_EQ(d.minutes, 34u);
  EXPECT_EQ(d.seconds, 56u);
  EXPECT_EQ(d.milliseconds, 789u);
  EXPECT_EQ(FormatDuration(~0ull).hours, 512409557u);  // hours never wrap
}

TEST(SelectionTest, ElapsedTimeIsZeroForUnknownOrFutureStarts) {
  EXPECT_EQ(ElapsedTicks(1000, 0), 0u);
  EXPECT_EQ(ElapsedTicks(1000, 400), 600u);
  EXPECT_EQ(ElapsedTicks(1000, 1001), 0u);
}

TEST(SelectionTest, KiloBytesTruncate) {
  EXPECT_EQ(KiloBytes(1023), 0u);
  EXPECT_EQ(KiloBytes(1024), 1u);
  EXPECT_EQ(KiloBytes(2047), 1u);
  EXPECT_EQ(KiloBytes(-2047), 0xFFFFFFFFu);         // -1 KB, toward zero, low 32 bits
  EXPECT_EQ(KiloBytes(std::int64_t{1} << 52), 0u);  // 2^42 KB keeps its low 32 bits
  EXPECT_EQ(KiloBytes32(0xFFFFFFFFu), 0x3FFFFFu);
}

}  // namespace
