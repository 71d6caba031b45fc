#include "live/console_clear.h"

#include <cstdint>

namespace {

// Blanks `count` cells from `start` on and homes the cursor.
void BlankFrom(platform::ConsoleHandle console, std::uint32_t count, platform::Cell start) {
  if (!platform::FillWithBlanks(console, count, start)) return;
  // The attribute may have changed since the first query; ask again.
  platform::ScreenBufferInfo info;
  if (!platform::GetScreenBufferInfo(console, &info)) return;
  if (!platform::FillAttributes(console, info.attributes, count, start)) return;
  platform::SetCursorPosition(console, platform::Cell{0, 0});
}

std::uint32_t Cells(int columns, int rows) {
  return columns > 0 && rows > 0 ? static_cast<std::uint32_t>(columns) * std::uint32_t(rows) : 0;
}

}  // namespace

void ClearConsole(platform::ConsoleHandle console) {
  platform::ScreenBufferInfo info;
  if (!platform::GetScreenBufferInfo(console, &info)) return;
  BlankFrom(console, Cells(info.size.column, info.size.row), platform::Cell{0, 0});
}

void ClearBelowCursor(platform::ConsoleHandle console) {
  platform::ScreenBufferInfo info;
  if (!platform::GetScreenBufferInfo(console, &info)) return;
  BlankFrom(console, Cells(info.size.column, info.size.row - info.cursor.row), info.cursor);
}
