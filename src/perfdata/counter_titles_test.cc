#include "perfdata/counter_titles.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/platform_fake.h"

namespace {

using namespace std::string_view_literals;

constexpr std::u16string_view kPerflib =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib";
constexpr std::u16string_view kLanguage =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\CurrentLanguage";

std::vector<std::uint8_t> Bytes(std::u16string_view units) {
  std::vector<std::uint8_t> bytes;
  for (const char16_t unit : units) {
    bytes.push_back(static_cast<std::uint8_t>(unit & 0xFF));
    bytes.push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  return bytes;
}

struct ParseCase {
  const char* label;
  std::u16string_view text;
  bool ok;
  CounterTitleTable expected;
};

class ParseCounterTitlesTest : public testing::TestWithParam<ParseCase> {};

TEST_P(ParseCounterTitlesTest, ReadsPairsByTheIndexRule) {
  CounterTitleTable titles;
  EXPECT_EQ(ParseCounterTitles(GetParam().text, &titles), GetParam().ok);
  if (GetParam().ok) {
    EXPECT_EQ(titles, GetParam().expected);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCounterTitlesTest,
    testing::Values(ParseCase{"pairs",
                              u"1\0"
                              u"999\0"
                              u"2\0System\0\0"sv,
                              true,
                              {{1, u"999"}, {2, u"System"}}},
                    ParseCase{"later_pair_wins",
                              u"6\0A\0"
                              u"6\0B\0\0"sv,
                              true,
                              {{6, u"B"}}},
                    ParseCase{"zero_index",
                              u"2\0A\0"
                              u"0\0B\0\0"sv,
                              false,
                              {}},
                    ParseCase{"no_digits", u"2\0A\0abc\0B\0\0"sv, false, {}},
                    ParseCase{"minus_zero", u"-0\0A\0\0"sv, false, {}},
                    ParseCase{"text_after_digits", u"12x\0Name\0\0"sv, true, {{12, u"Name"}}},
                    ParseCase{"blanks_and_plus", u" \t+7\0Seven\0\0"sv, true, {{7, u"Seven"}}},
                    ParseCase{"minus_wraps", u"-1\0Neg\0\0"sv, true, {{4294967295u, u"Neg"}}},
                    ParseCase{"minus_large", u"-4294967295\0One\0\0"sv, true, {{1, u"One"}}},
                    ParseCase{
                        "saturates", u"99999999999\0Big\0\0"sv, true, {{4294967295u, u"Big"}}},
                    ParseCase{"last_index_without_name",
                              u"1\0A\0"
                              u"2\0\0"sv,
                              true,
                              {{1, u"A"}, {2, u""}}},
                    ParseCase{"only_terminators", u"\0\0"sv, true, {}}),
    [](const testing::TestParamInfo<ParseCase>& param_info) {
      return std::string(param_info.param.label);
    });

TEST(FindCounterTitleTest, YieldsTheStoredNameOrNothing) {
  const CounterTitleTable titles{{2, u"System"}, {4, u"Memory"}};
  EXPECT_EQ(FindCounterTitle(titles, 4), u"Memory");
  EXPECT_FALSE(FindCounterTitle(titles, 3).has_value());
  EXPECT_FALSE(FindCounterTitle({}, 2).has_value());
}

class LoadCounterTitlesTest : public testing::Test {
 protected:
  void SetUp() override { platform::fake::Reset(); }
  void TearDown() override { EXPECT_EQ(platform::fake::OpenKeyCount(), 0u); }
};

TEST_F(LoadCounterTitlesTest, LoadsEveryPairOfTheCurrentLanguage) {
  platform::fake::SetCounterTitles({u"2", u"System", u"4", u"Memory", u"230", u"Process"});
  CounterTitleTable titles;
  ASSERT_TRUE(LoadCounterTitles(&titles));
  EXPECT_EQ(titles, (CounterTitleTable{{2, u"System"}, {4, u"Memory"}, {230, u"Process"}}));
}

TEST_F(LoadCounterTitlesTest, AnEmptyListLoadsAsAnEmptyTable) {
  platform::fake::SetCounterTitles({});
  CounterTitleTable titles;
  EXPECT_TRUE(LoadCounterTitles(&titles));
  EXPECT_TRUE(titles.empty());
}

struct BadRegistry {
  const char* label;
  std::function<void()> arrange;
};

class LoadCounterTitlesFailure : public LoadCounterTitlesTest,
                                 public testing::WithParamInterface<BadRegistry> {};

TEST_P(LoadCounterTitlesFailure, FailsAndClosesItsKeys) {
  platform::fake::SetCounterTitles({u"2", u"System"});
  GetParam().arrange();
  CounterTitleTable titles;
  EXPECT_FALSE(LoadCounterTitles(&titles));
}

void SetCounter(std::uint32_t type, std::vector<std::uint8_t> bytes) {
  platform::fake::SetRegistryValue(kLanguage, u"Counter", type, std::move(bytes));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LoadCounterTitlesFailure,
    testing::Values(
        BadRegistry{"no_keys", [] { platform::fake::Reset(); }},
        BadRegistry{"last_counter_as_string",
                    [] {
                      platform::fake::SetRegistryValue(kPerflib, u"Last Counter",
                                                       platform::kTypeString, Bytes(u"9\0"sv));
                    }},
        BadRegistry{"no_last_counter",
                    [] {
                      platform::fake::Reset();
                      SetCounter(platform::kTypeMultiString, Bytes(u"2\0System\0\0"sv));
                    }},
        BadRegistry{"no_language_key",
                    [] {
                      platform::fake::Reset();
                      platform::fake::SetRegistryValue(kPerflib, u"Last Counter",
                                                       platform::kTypeDword, {2, 0, 0, 0});
                    }},
        BadRegistry{"counter_as_string",
                    [] { SetCounter(platform::kTypeString, Bytes(u"2\0System\0\0"sv)); }},
        BadRegistry{"odd_length",
                    [] {
                      auto bytes = Bytes(u"2\0System\0\0"sv);
                      bytes.push_back(0);
                      SetCounter(platform::kTypeMultiString, bytes);
                    }},
        BadRegistry{"no_final_nul",
                    [] { SetCounter(platform::kTypeMultiString, Bytes(u"2\0System"sv)); }},
        BadRegistry{"single_terminator",
                    [] { SetCounter(platform::kTypeMultiString, Bytes(u"2\0System\0"sv)); }},
        BadRegistry{"one_unit", [] { SetCounter(platform::kTypeMultiString, Bytes(u"\0"sv)); }},
        BadRegistry{"zero_index",
                    [] {
                      platform::fake::SetCounterTitles({u"0", u"Zero"});
                    }}),
    [](const testing::TestParamInfo<BadRegistry>& param_info) {
      return std::string(param_info.param.label);
    });

}  // namespace
