#include "cli/command_line.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct ParseCase {
  std::vector<std::u16string> arguments;
  ParseOutcome outcome;
  std::uint32_t mode_flags;
  MatchKind kind;
  std::u16string name;
  std::uint32_t process_id;
  std::uint32_t run_seconds;
  std::uint32_t refresh_seconds;
};

TEST(CommandLineTest, ParsesOptionsTargetsAndTiming) {
  const std::uint32_t kNone = kNoTimeLimit;
  const ParseCase cases[] = {
      {{}, ParseOutcome::kRun, 0, MATCH_ALL, u"", 0, 0, 1},
      {{u"-s", u"1234"}, ParseOutcome::kRun, MODE_LIVE, MATCH_ALL, u"", 0, 1234, 1},
      {{u"1234", u"-s"}, ParseOutcome::kRun, MODE_LIVE, MATCH_PID, u"", 1234, kNone, 1},
      {{u"-s", u"-m"}, ParseOutcome::kRun, MODE_LIVE | MODE_MEMORY, MATCH_ALL, u"", 0, kNone, 1},
      {{u"-s", u"5", u"-s"}, ParseOutcome::kRun, MODE_LIVE, MATCH_ALL, u"", 0, kNone, 1},
      {{u"-r", u"3"}, ParseOutcome::kRun, 0, MATCH_ALL, u"", 0, 0, 3},
      {{u"-r", u"3", u"-r"}, ParseOutcome::kRun, 0, MATCH_ALL, u"", 0, 0, 1},
      {{u"-S", u"/M", u"/x"}, ParseOutcome::kRun, 14, MATCH_ALL, u"", 0, kNone, 1},
      {{u"-d", u"-m"}, ParseOutcome::kRun, MODE_THREADS | MODE_MEMORY, MATCH_ALL, u"", 0, 0, 1},
      {{u"/T"}, ParseOutcome::kRun, MODE_TREE, MATCH_ALL, u"", 0, 0, 1},
      {{u"-dm"}, ParseOutcome::kRun, 0, MATCH_PREFIX, u"-dm", 0, 0, 1},
      {{u"--help"}, ParseOutcome::kRun, 0, MATCH_PREFIX, u"--help", 0, 0, 1},
      {{u"note", u"-e"}, ParseOutcome::kRun, 0, MATCH_EXACT, u"note", 0, 0, 1},
      {{u"-e", u"note"}, ParseOutcome::kRun, 0, MATCH_EXACT, u"note", 0, 0, 1},
      {{u"1234", u"-e"}, ParseOutcome::kRun, 0, MATCH_PID, u"", 1234, 0, 1},
      {{u"-e", u"1234"}, ParseOutcome::kRun, 0, MATCH_PID, u"", 1234, 0, 1},
      {{u"-e"}, ParseOutcome::kRun, 0, MATCH_EXACT, u"", 0, 0, 1},
      {{u""}, ParseOutcome::kRun, 0, MATCH_PREFIX, u"", 0, 0, 1},
      {{u" 42"}, ParseOutcome::kRun, 0, MATCH_PID, u"", 42, 0, 1},
      {{u"42 "}, ParseOutcome::kRun, 0, MATCH_PREFIX, u"42 ", 0, 0, 1},
      {{u"-t", u"notepad"}, ParseOutcome::kRun, MODE_TREE, MATCH_PREFIX, u"notepad", 0, 0, 1},
      {{u"a", u"b", u"-h"}, ParseOutcome::kSecondTarget, 0, MATCH_PREFIX, u"a", 0, 0, 1},
      {{u"-h", u"a", u"b"}, ParseOutcome::kHelp, 0, MATCH_ALL, u"", 0, 0, 1},
      {{u"/HELP"}, ParseOutcome::kHelp, 0, MATCH_ALL, u"", 0, 0, 1},
      {{u"-?"}, ParseOutcome::kHelp, 0, MATCH_ALL, u"", 0, 0, 1},
  };
  for (const ParseCase& c : cases) {
    std::u16string joined;
    for (const auto& a : c.arguments) joined += u"[" + a + u"]";
    SCOPED_TRACE(std::string(joined.begin(), joined.end()));
    CommandLine parsed;
    EXPECT_EQ(ParseCommandLine(c.arguments, &parsed), c.outcome);
    if (c.outcome == ParseOutcome::kHelp) continue;
    EXPECT_EQ(parsed.mode_flags, c.mode_flags);
    EXPECT_EQ(parsed.selection.kind, c.kind);
    EXPECT_EQ(parsed.selection.name, c.name);
    EXPECT_EQ(parsed.selection.process_id, c.process_id);
    EXPECT_EQ(parsed.run_seconds, c.run_seconds);
    EXPECT_EQ(parsed.refresh_seconds, c.refresh_seconds);
  }
}

TEST(CommandLineTest, NumbersConvertWholeOrNotAtAll) {
  const struct {
    std::u16string_view text;
    std::optional<std::uint32_t> value;
  } cases[] = {
      {u"0", 0u},
      {u"+7", 7u},
      {u"-1", 4294967295u},
      {u"  \t12", 12u},
      {u"4294967295", 4294967295u},
      {u"99999999999999999999", 4294967295u},
      {u"-99999999999", 1u},  // the saturated magnitude, negated modulo 2^32
      {u"", std::nullopt},
      {u"-", std::nullopt},
      {u"12 ", std::nullopt},
      {u"1x", std::nullopt},
      {u"+-1", std::nullopt},
      {u"\u0661", std::nullopt},  // an Arabic-Indic digit
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseNumber(c.text), c.value) << std::string(c.text.begin(), c.text.end());
  }
}

}  // namespace
