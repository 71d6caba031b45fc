#include "reports/text_format.h"

#include <gtest/gtest.h>

namespace {

TEST(TextFormatTest, PadsWithoutCutting) {
  const struct {
    std::u16string_view format;
    std::u16string_view expected;
  } cases[] = {
      {u"[%-6s]", u"[ab    ]"}, {u"[%6s]", u"[    ab]"}, {u"[%1s]", u"[ab]"},
      {u"[%5u]", u"[   42]"},   {u"[%02u]", u"[42]"},    {u"[%03u]", u"[042]"},
      {u"[%u]", u"[42]"},       {u"100%%", u"100%"},     {u"[%s:%u]", u"[ab:42]"},
  };
  for (const auto& c : cases) {
    std::u16string out;
    if (c.format.find(u's') != std::u16string_view::npos) {
      AppendFormatted(&out, c.format, {u"ab", std::uint32_t{42}});
    } else {
      AppendFormatted(&out, c.format, {std::uint32_t{42}});
    }
    EXPECT_EQ(out, c.expected) << std::string(c.format.begin(), c.format.end());
  }
}

TEST(TextFormatTest, NumbersUseTheirFullRange) {
  std::u16string out;
  AppendFormatted(&out, u"%3u|%02u|%5u", {4294967295u, 7u, 0u});
  EXPECT_EQ(out, u"4294967295|07|    0");
}

TEST(TextFormatTest, WidthCountsUtf16Units) {
  std::u16string out;
  AppendFormatted(&out, u"%-4s|", {u"\u00e9\U0001F600"});  // 1 + 2 units
  EXPECT_EQ(out, u"\u00e9\U0001F600 |");
}

}  // namespace
