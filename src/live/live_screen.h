// Writing one cycle's screen of a live view over the previous one.
#ifndef TASKMELD_LIVE_LIVE_SCREEN_H_
#define TASKMELD_LIVE_LIVE_SCREEN_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/platform.h"

/// The first line of every screen: the local time and the computer name, or
/// the message that the name is unknown (`name` null), with its blank line.
std::u16string TimestampLine(const platform::CalendarTime& local, const std::u16string* name);

/// Writes `screen` (lines ending in "\n"; the first `head_lines` are the
/// heading). On a console each line first erases the rest of its row, and the
/// lines after the heading stop where the next would scroll the window, the
/// last row kept free. Other output gets `screen` unchanged.
void WriteScreen(platform::ConsoleHandle console, std::u16string_view screen,
                 std::size_t head_lines);

#endif  // TASKMELD_LIVE_LIVE_SCREEN_H_
