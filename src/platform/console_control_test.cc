#include "platform/console_control.h"

#include <gtest/gtest.h>

namespace {

TEST(ConsoleControl, OnlyControlCIsHandledAndSetsTheFlag) {
  struct Case {
    std::uint32_t type;
    bool handled;
  };
  // Ctrl+C, Ctrl+Break, close, log-off, shut-down.
  const Case cases[] = {{0, true}, {1, false}, {2, false}, {5, false}, {6, false}};
  for (const Case& c : cases) {
    std::atomic<std::uint32_t> stop{0};
    EXPECT_EQ(platform::HandleConsoleControl(c.type, stop), c.handled) << c.type;
    EXPECT_EQ(stop.load(), c.handled ? 1u : 0u) << c.type;
  }
}

TEST(ConsoleControl, RepeatedControlCKeepsTheFlagAtOne) {
  std::atomic<std::uint32_t> stop{0};
  platform::HandleConsoleControl(platform::kControlC, stop);
  platform::HandleConsoleControl(1, stop);
  EXPECT_TRUE(platform::HandleConsoleControl(platform::kControlC, stop));
  EXPECT_EQ(stop.load(), 1u);
}

}  // namespace
