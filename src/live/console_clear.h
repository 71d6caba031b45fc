// Blanking the console between the cycles of a live view. Both calls stop
// silently at the first console call that fails, as they do when the output
// is no console.
#ifndef TASKMELD_LIVE_CONSOLE_CLEAR_H_
#define TASKMELD_LIVE_CONSOLE_CLEAR_H_

#include "platform/platform.h"

/// Blanks the whole screen buffer with the current attribute and puts the
/// cursor at the top-left cell.
void ClearConsole(platform::ConsoleHandle console);

/// Blanks from the cursor to the end of the buffer with the current attribute
/// and puts the cursor at the top-left cell.
void ClearBelowCursor(platform::ConsoleHandle console);

#endif  // TASKMELD_LIVE_CONSOLE_CLEAR_H_
