#include "platform/win32_records.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// Look-alikes of the Windows records, with their field names and widths.
struct SystemTime {
  std::uint16_t wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};
struct Coord {
  std::int16_t X, Y;
};
struct SmallRect {
  std::int16_t Left, Top, Right, Bottom;
};
struct ConsoleInfo {
  Coord dwSize;
  Coord dwCursorPosition;
  std::uint16_t wAttributes;
  SmallRect srWindow;
  Coord dwMaximumWindowSize;
};

TEST(Win32Records, SystemTimeFieldsLandInTheirPlacesBothWays) {
  // Every field distinct, so that two swapped fields cannot go unseen.
  const SystemTime st{2024, 2, 4, 29, 23, 59, 58, 999};
  const platform::CalendarTime c = platform::FromSystemTime(st);
  EXPECT_EQ(c.year, 2024);
  EXPECT_EQ(c.month, 2);
  EXPECT_EQ(c.day_of_week, 4);
  EXPECT_EQ(c.day, 29);
  EXPECT_EQ(c.hour, 23);
  EXPECT_EQ(c.minute, 59);
  EXPECT_EQ(c.second, 58);
  EXPECT_EQ(c.milliseconds, 999);

  SystemTime back{};
  platform::ToSystemTime(c, &back);
  EXPECT_EQ(std::memcmp(&back, &st, sizeof st), 0);
}

TEST(Win32Records, ConsoleInfoTakesTheWindowSizeFromItsInclusiveRectangle) {
  // A 120 x 9001 buffer scrolled down, showing rows 8000 to 8029.
  const ConsoleInfo c{{120, 9001}, {7, 8012}, 0x1F, {0, 8000, 119, 8029}, {120, 60}};
  const platform::ScreenBufferInfo info = platform::FromConsoleInfo(c);
  EXPECT_EQ(info.size.column, 120);
  EXPECT_EQ(info.size.row, 9001);
  EXPECT_EQ(info.cursor.column, 7);
  EXPECT_EQ(info.cursor.row, 8012);
  EXPECT_EQ(info.window_size.column, 120);
  EXPECT_EQ(info.window_size.row, 30);
  EXPECT_EQ(info.attributes, 0x1F);
}

TEST(Win32Records, CellsToEndOfRowCountsTheCursorCell) {
  struct Case {
    std::int16_t width, cursor_column;
    std::uint32_t cells;
  };
  const Case cases[] = {{80, 0, 80}, {80, 79, 1}, {80, 80, 0}, {80, 100, 0}, {0, 0, 0}};
  for (const Case& c : cases) {
    platform::ScreenBufferInfo info;
    info.size = {c.width, 25};
    info.cursor = {c.cursor_column, 3};
    EXPECT_EQ(platform::CellsToEndOfRow(info), c.cells) << c.width << " " << c.cursor_column;
  }
}

}  // namespace
