// Standard output on POSIX: UTF-16 text goes out as UTF-8 through one
// buffer, and when the output is a terminal the console calls of the views
// become the standard control sequences, in order with the text.
#ifndef TASKMELD_PLATFORM_TERMINAL_OUTPUT_H_
#define TASKMELD_PLATFORM_TERMINAL_OUTPUT_H_

#include <string>
#include <string_view>

#include "platform/platform.h"

class TerminalOutput {
 public:
  /// Writes to `fd`; a terminal is recognised once, here.
  explicit TerminalOutput(int fd);

  bool IsTerminal() const { return is_terminal_; }

  /// Buffers `text` as UTF-8, writing the buffer out when it grows large.
  void Write(std::u16string_view text);

  /// Writes what is buffered. False once any write has failed.
  bool Flush();

  /// True when the failed write found no reader left (EPIPE).
  bool ReaderGone() const { return reader_gone_; }

  /// The window as the screen buffer; false when the output is no terminal.
  bool ScreenInfo(platform::ScreenBufferInfo* info);

  /// Blanks from `start` to the end of the screen; the cursor stays where it
  /// was. The count is whatever reaches the end, as the views ask.
  bool BlankFrom(platform::Cell start, std::uint32_t count);

  bool MoveCursor(platform::Cell position);

  bool EraseToEndOfRow();

 private:
  void Emit(std::string_view sequence);
  void Track(std::u16string_view text);
  void AppendMove(platform::Cell position);

  int fd_;
  bool is_terminal_;
  bool failed_ = false;
  bool reader_gone_ = false;
  std::string buffer_;
  // Where the cursor stands, as far as what was written tells.
  platform::Cell cursor_;
  std::int16_t rows_ = 0;
};

#endif  // TASKMELD_PLATFORM_TERMINAL_OUTPUT_H_
