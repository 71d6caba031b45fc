// Blanking the console: the calls made, and where a failing call stops them.
#include "live/console_clear.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform_fake.h"

namespace {

namespace fake = platform::fake;
using Calls = std::vector<std::string>;

TEST(ConsoleClearTest, BlanksWithTheAttributeAndStopsAtTheFirstFailure) {
  const struct {
    void (*clear)(platform::ConsoleHandle);
    const char* failing;  // nullptr: every call succeeds
    Calls calls;
  } cases[] = {
      {ClearConsole,
       nullptr,
       {"info", "fill 400 at 0,0", "info", "attr 7 400 at 0,0", "cursor 0,0"}},
      // The cursor stands at column 3 of row 2: blanking starts there.
      {ClearBelowCursor,
       nullptr,
       {"info", "fill 320 at 3,2", "info", "attr 7 320 at 3,2", "cursor 0,0"}},
      {ClearConsole, "info", {"info failed"}},
      {ClearBelowCursor, "fill", {"info", "fill failed"}},
      {ClearConsole, "attr", {"info", "fill 400 at 0,0", "info", "attr failed"}},
  };
  for (const auto& c : cases) {
    fake::Reset();
    fake::SetConsole(40, 10);
    platform::WriteOutput(u"top\n\nabc");
    if (c.failing != nullptr) fake::FailConsoleCall(c.failing);
    c.clear(platform::StandardOutputHandle());
    EXPECT_EQ(fake::Calls(), c.calls);
  }
  // Redirected output: the first query fails and nothing else is tried.
  fake::Reset();
  ClearBelowCursor(platform::StandardOutputHandle());
  EXPECT_EQ(fake::Calls(), Calls{"info failed"});
}

}  // namespace
