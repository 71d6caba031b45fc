#include "platform/terminal_output.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/utf.h"

namespace {

constexpr std::size_t kFlushThreshold = 64 * 1024;

}  // namespace

TerminalOutput::TerminalOutput(int fd) : fd_(fd), is_terminal_(isatty(fd) == 1) {
  buffer_.reserve(kFlushThreshold + 4096);
}

void TerminalOutput::Write(std::u16string_view text) {
  utf::AppendUtf8(text, &buffer_);
  if (is_terminal_) Track(text);
  if (buffer_.size() >= kFlushThreshold) Flush();
}

bool TerminalOutput::Flush() {
  std::size_t done = 0;
  while (!failed_ && done < buffer_.size()) {
    const ssize_t n = write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (n < 0 && errno != EINTR) {
      failed_ = true;
      reader_gone_ = errno == EPIPE;
    }
  }
  buffer_.clear();
  return !failed_;
}

bool TerminalOutput::ScreenInfo(platform::ScreenBufferInfo* info) {
  winsize size{};
  if (!is_terminal_ || ioctl(fd_, TIOCGWINSZ, &size) != 0 || size.ws_row == 0) return false;
  rows_ = static_cast<std::int16_t>(size.ws_row);
  info->size = {static_cast<std::int16_t>(size.ws_col), rows_};
  info->window_size = info->size;
  info->cursor = cursor_;
  if (info->cursor.row >= rows_) info->cursor.row = static_cast<std::int16_t>(rows_ - 1);
  info->attributes = 7;
  return true;
}

bool TerminalOutput::BlankFrom(platform::Cell start, std::uint32_t count) {
  if (!is_terminal_) return false;
  if (count == 0) return true;
  AppendMove(start);
  Emit("\x1b[J");
  AppendMove(cursor_);
  return true;
}

bool TerminalOutput::MoveCursor(platform::Cell position) {
  if (!is_terminal_) return false;
  AppendMove(position);
  cursor_ = position;
  return true;
}

bool TerminalOutput::EraseToEndOfRow() {
  if (!is_terminal_) return false;
  Emit("\x1b[K");
  return true;
}

void TerminalOutput::Emit(std::string_view sequence) { buffer_.append(sequence); }

void TerminalOutput::AppendMove(platform::Cell position) {
  buffer_ +=
      "\x1b[" + std::to_string(position.row + 1) + ";" + std::to_string(position.column + 1) + "H";
}

void TerminalOutput::Track(std::u16string_view text) {
  // Rows only: the views ask where the cursor stands after whole lines.
  for (const char16_t c : text) {
    if (c == u'\n') {
      cursor_.column = 0;
      if (rows_ == 0 || cursor_.row < rows_ - 1) ++cursor_.row;
    } else {
      ++cursor_.column;
    }
  }
}
