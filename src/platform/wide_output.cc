#include "platform/wide_output.h"

#include <utility>

#include "platform/utf.h"

namespace platform {
namespace {

constexpr std::size_t kFlushThresholdUnits = 32 * 1024;

}  // namespace

std::size_t ChunkLength(std::u16string_view text, std::size_t limit) {
  if (text.size() <= limit) return text.size();
  // A pair cut in two would reach the console as two lone halves.
  return utf::IsHighSurrogate(text[limit - 1]) ? limit - 1 : limit;
}

WideOutput::WideOutput(OutputSink sink) : sink_(std::move(sink)) {
  buffer_.reserve(kFlushThresholdUnits + 1024);
}

void WideOutput::Write(std::u16string_view text) {
  buffer_.append(text);
  // A pair that arrives in two writes must not be cut by the flush between.
  if (buffer_.size() >= kFlushThresholdUnits && !utf::IsHighSurrogate(buffer_.back())) Flush();
}

bool WideOutput::Flush() {
  if (!failed_ && !buffer_.empty()) {
    if (sink_.console) {
      failed_ = !WriteConsole(buffer_);
    } else {
      bytes_.clear();
      utf::AppendUtf8(buffer_, &bytes_);
      failed_ = !sink_.write_bytes(bytes_);
    }
  }
  buffer_.clear();
  return !failed_;
}

bool WideOutput::WriteConsole(std::u16string_view text) {
  while (!text.empty()) {
    const std::size_t n = ChunkLength(text, kConsoleChunkUnits);
    if (!sink_.write_console(text.substr(0, n))) return false;
    text.remove_prefix(n);
  }
  return true;
}

}  // namespace platform
