// Any argument vector (NUL-separated UTF-8): the parse ends in one of its
// outcomes with a consistent selection.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/command_line.h"
#include "platform/utf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::u16string> arguments;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::size_t start = 0;
  while (start <= text.size()) {
    const std::size_t end = std::min(text.find('\0', start), text.size());
    arguments.push_back(utf::ToUtf16(text.substr(start, end - start)));
    start = end + 1;
  }
  CommandLine command_line;
  const ParseOutcome outcome = ParseCommandLine(arguments, &command_line);
  if (outcome == ParseOutcome::kRun) {
    if (command_line.mode_flags > 15) __builtin_trap();
    if (command_line.selection.kind > MATCH_PID) __builtin_trap();
    if (command_line.selection.kind != MATCH_PID && command_line.selection.process_id != 0) {
      __builtin_trap();
    }
  }
  return 0;
}
