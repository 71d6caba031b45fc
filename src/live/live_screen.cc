#include "live/live_screen.h"

#include <cstdint>

#include "reports/text_format.h"

namespace {

// Rows that a line of `units` takes in a window of `columns`; a long process
// name wraps its line onto the next row. A line that fills its last row
// exactly counts one row more, as a console that wraps at once needs.
std::size_t RowsOf(std::size_t units, std::size_t columns) {
  return columns == 0 ? 1 : units / columns + 1;
}

void WriteLine(platform::ConsoleHandle console, std::u16string_view line) {
  platform::WriteOutput(line);
  platform::EraseToEndOfRow(console);
  platform::WriteOutput(u"\n");
}

}  // namespace

std::u16string TimestampLine(const platform::CalendarTime& local, const std::u16string* name) {
  std::u16string line;
  AppendFormatted(
      &line, u"%02u:%02u:%02u %02u/%02u/%04u ",
      {std::uint32_t{local.hour}, std::uint32_t{local.minute}, std::uint32_t{local.second},
       std::uint32_t{local.month}, std::uint32_t{local.day}, std::uint32_t{local.year}});
  if (name != nullptr) {
    AppendFormatted(&line, u"Process information for %s:\n\n", {*name});
  } else {
    line += u"Cannot get the computer name.\n\n";
  }
  return line;
}

void WriteScreen(platform::ConsoleHandle console, std::u16string_view screen,
                 std::size_t head_lines) {
  platform::ScreenBufferInfo info;
  if (!platform::GetScreenBufferInfo(console, &info)) {
    platform::WriteOutput(screen);
    return;
  }
  const std::size_t columns =
      info.window_size.column > 0 ? std::size_t(info.window_size.column) : 0;
  // A window that reports no rows is not limited.
  const std::size_t rows_free =
      info.window_size.row > 0 ? std::size_t(info.window_size.row) - 1 : SIZE_MAX;
  std::size_t rows_used = 0;
  for (std::size_t line_number = 0; !screen.empty(); ++line_number) {
    const std::size_t end = screen.find(u'\n');
    const std::u16string_view line = screen.substr(0, end);
    rows_used += RowsOf(line.size(), columns);
    if (line_number >= head_lines && rows_used > rows_free) return;
    WriteLine(console, line);
    screen.remove_prefix(end == std::u16string_view::npos ? screen.size() : end + 1);
  }
}
