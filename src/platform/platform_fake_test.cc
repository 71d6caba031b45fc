#include "platform/platform_fake.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

namespace fake = platform::fake;

class FakePlatformTest : public testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
};

TEST_F(FakePlatformTest, RegistryAnswersLikeRegQueryValueEx) {
  fake::SetRegistryValue(u"SOFTWARE\\Test", u"Value", platform::kTypeDword, {1, 2, 3, 4});
  platform::KeyHandle key = 0;
  EXPECT_FALSE(platform::OpenLocalMachineKey(u"SOFTWARE\\Missing", &key));
  ASSERT_TRUE(platform::OpenLocalMachineKey(u"software\\TEST", &key));
  EXPECT_EQ(fake::OpenKeyCount(), 1u);

  std::uint32_t type = 0;
  std::uint32_t size = 0;
  EXPECT_EQ(platform::QueryValue(key, u"VALUE", &type, nullptr, &size),
            platform::QueryStatus::kSuccess);
  EXPECT_EQ(type, platform::kTypeDword);
  EXPECT_EQ(size, 4u);
  std::uint8_t data[4] = {};
  size = 2;
  EXPECT_EQ(platform::QueryValue(key, u"Value", nullptr, data, &size),
            platform::QueryStatus::kMoreData);
  EXPECT_EQ(size, 4u);
  EXPECT_EQ(platform::QueryValue(key, u"Value", nullptr, data, &size),
            platform::QueryStatus::kSuccess);
  EXPECT_EQ(data[3], 4);
  EXPECT_EQ(platform::QueryValue(key, u"Other", nullptr, data, &size),
            platform::QueryStatus::kFailed);
  platform::CloseKey(key);
  EXPECT_EQ(fake::OpenKeyCount(), 0u);
  EXPECT_TRUE(platform::OpenLocalMachineKey(u"SOFTWARE", &key));  // a parent exists too
  platform::CloseKey(key);
}

TEST_F(FakePlatformTest, ComputerNameReportsTheUnitsNeeded) {
  fake::SetComputerName(u"BOX");
  std::uint32_t size = 0;
  EXPECT_EQ(platform::QueryComputerName(nullptr, &size), platform::NameStatus::kBufferTooSmall);
  EXPECT_EQ(size, 4u);
  char16_t buffer[4];
  ASSERT_EQ(platform::QueryComputerName(buffer, &size), platform::NameStatus::kSuccess);
  EXPECT_EQ(std::u16string(buffer), u"BOX");
  EXPECT_EQ(size, 3u);
  fake::FailComputerName();
  EXPECT_EQ(platform::QueryComputerName(buffer, &size), platform::NameStatus::kFailed);
}

int hook_calls = 0;

TEST_F(FakePlatformTest, SleepsMoveTheClockAcrossMidnightAndRunTheHook) {
  fake::SetClock({2025, 12, 0, 31, 23, 59, 59, 500}, 90);
  hook_calls = 0;
  fake::OnSleep([](int number) { hook_calls = number; });
  platform::SleepMilliseconds(1000);
  platform::SleepMilliseconds(250);
  const platform::CalendarTime now = platform::CurrentUtcTime();
  EXPECT_EQ(now.year, 2026);
  EXPECT_EQ(now.month, 1);
  EXPECT_EQ(now.day, 1);
  EXPECT_EQ(now.day_of_week, 4);  // a Thursday
  EXPECT_EQ(now.second, 0);
  EXPECT_EQ(now.milliseconds, 750);
  EXPECT_EQ(platform::ToLocalTime(now).hour, 1);
  EXPECT_EQ(platform::ToLocalTime(now).minute, 30);
  EXPECT_EQ(hook_calls, 2);
  EXPECT_EQ(fake::Calls(), (std::vector<std::string>{"sleep 1000", "sleep 250"}));
}

TEST_F(FakePlatformTest, WithoutAConsoleEveryConsoleCallFailsAndIsRecorded) {
  platform::ScreenBufferInfo info;
  const platform::ConsoleHandle out = platform::StandardOutputHandle();
  EXPECT_FALSE(platform::GetScreenBufferInfo(out, &info));
  EXPECT_FALSE(platform::FillWithBlanks(out, 10, {}));
  EXPECT_FALSE(platform::EraseToEndOfRow(out));
  EXPECT_EQ(fake::Calls(),
            (std::vector<std::string>{"info failed", "fill failed", "erase-row failed"}));
  platform::WriteOutput(u"caf\u00e9\n");
  EXPECT_EQ(fake::Output(), "caf\xc3\xa9\n");
  EXPECT_TRUE(fake::Screen().empty());
}

TEST_F(FakePlatformTest, TheConsoleTracksItsCursorCellsAndScrolling) {
  fake::SetConsole(4, 2);
  const platform::ConsoleHandle out = platform::StandardOutputHandle();
  platform::WriteOutput(u"abcdef\n");  // wraps after 4 cells, then scrolls
  EXPECT_EQ(fake::Screen(), (std::vector<std::string>{"ef", ""}));
  platform::WriteOutput(u"xyz");
  platform::ScreenBufferInfo info;
  ASSERT_TRUE(platform::GetScreenBufferInfo(out, &info));
  EXPECT_EQ(info.cursor.column, 3);
  EXPECT_EQ(info.cursor.row, 1);
  EXPECT_EQ(info.size.column, 4);

  EXPECT_TRUE(platform::FillWithBlanks(out, 100, {1, 0}));  // stops at the buffer's end
  EXPECT_EQ(fake::Screen(), (std::vector<std::string>{"e", ""}));
  EXPECT_TRUE(platform::SetCursorPosition(out, {0, 0}));
  fake::MarkCallsInOutput(true);
  fake::FailConsoleCall("attr");
  EXPECT_FALSE(platform::FillAttributes(out, 7, 8, {0, 0}));
  EXPECT_EQ(fake::Calls(),
            (std::vector<std::string>{"info", "fill 100 at 1,0", "cursor 0,0", "attr failed"}));
  EXPECT_EQ(fake::Output(),
            "abcdef\nxyz\x01"
            "attr failed\x02");
}

}  // namespace
