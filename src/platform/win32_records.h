// Conversions between the Windows records (SYSTEMTIME, the console screen-
// buffer information) and the seam's own. They are templates over the
// records' field names, so that they need no Windows header and their tests
// run everywhere with look-alike records.
#ifndef TASKMELD_PLATFORM_WIN32_RECORDS_H_
#define TASKMELD_PLATFORM_WIN32_RECORDS_H_

#include <cstdint>

#include "platform/platform.h"

namespace platform {

/// The calendar time held in a SYSTEMTIME-shaped record.
template <class SystemTime>
CalendarTime FromSystemTime(const SystemTime& t) {
  CalendarTime c;
  c.year = t.wYear;
  c.month = t.wMonth;
  c.day_of_week = t.wDayOfWeek;
  c.day = t.wDay;
  c.hour = t.wHour;
  c.minute = t.wMinute;
  c.second = t.wSecond;
  c.milliseconds = t.wMilliseconds;
  return c;
}

/// `c` written into the SYSTEMTIME-shaped record `*t`.
template <class SystemTime>
void ToSystemTime(const CalendarTime& c, SystemTime* t) {
  t->wYear = c.year;
  t->wMonth = c.month;
  t->wDayOfWeek = c.day_of_week;
  t->wDay = c.day;
  t->wHour = c.hour;
  t->wMinute = c.minute;
  t->wSecond = c.second;
  t->wMilliseconds = c.milliseconds;
}

/// The screen-buffer facts of a CONSOLE_SCREEN_BUFFER_INFO-shaped record; the
/// window's size comes from its inclusive rectangle.
template <class ConsoleInfo>
ScreenBufferInfo FromConsoleInfo(const ConsoleInfo& c) {
  ScreenBufferInfo info;
  info.size = {c.dwSize.X, c.dwSize.Y};
  info.cursor = {c.dwCursorPosition.X, c.dwCursorPosition.Y};
  info.window_size = {static_cast<std::int16_t>(c.srWindow.Right - c.srWindow.Left + 1),
                      static_cast<std::int16_t>(c.srWindow.Bottom - c.srWindow.Top + 1)};
  info.attributes = c.wAttributes;
  return info;
}

/// The cells from the cursor to the end of its row, cursor cell included; 0
/// when the cursor stands past the row's end.
inline std::uint32_t CellsToEndOfRow(const ScreenBufferInfo& info) {
  const int cells = info.size.column - info.cursor.column;
  return cells > 0 ? static_cast<std::uint32_t>(cells) : 0;
}

}  // namespace platform

#endif  // TASKMELD_PLATFORM_WIN32_RECORDS_H_
