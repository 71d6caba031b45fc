// Buffered UTF-16 standard output for Windows. A console takes the UTF-16
// text as it is; a file or pipe gets UTF-8, so that the usual tools can
// search it and it matches what the POSIX build writes.
#ifndef TASKMELD_PLATFORM_WIDE_OUTPUT_H_
#define TASKMELD_PLATFORM_WIDE_OUTPUT_H_

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

/// Where the text goes. Exactly one writer is called, chosen by `console`.
/// Each writer writes all it is given, or returns false.
struct OutputSink {
  bool console = false;
  std::function<bool(std::u16string_view)> write_console;
  std::function<bool(std::string_view)> write_bytes;
};

/// The longest piece, in UTF-16 units, handed to the console at once.
inline constexpr std::size_t kConsoleChunkUnits = 8192;

/// How many units of `text` to hand over in one piece of at most `limit`
/// (limit > 1): never ends between the two halves of a surrogate pair.
std::size_t ChunkLength(std::u16string_view text, std::size_t limit);

class WideOutput {
 public:
  /// Writes through `sink`.
  explicit WideOutput(OutputSink sink);

  /// Buffers `text`, writing the buffer out once it grows large.
  void Write(std::u16string_view text);

  /// Writes what is buffered. False once any write has failed; what was then
  /// buffered is dropped, since no later write could put it in order.
  bool Flush();

 private:
  bool WriteConsole(std::u16string_view text);

  OutputSink sink_;
  std::u16string buffer_;
  std::string bytes_;
  bool failed_ = false;
};

}  // namespace platform

#endif  // TASKMELD_PLATFORM_WIDE_OUTPUT_H_
