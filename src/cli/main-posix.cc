// The POSIX program entry: arguments arrive as UTF-8 (or whatever bytes the
// shell passed) and become UTF-16 for the shared entry.
#include <cstdio>
#include <string>
#include <vector>

#include "cli/entry.h"
#include "platform/platform.h"
#include "platform/utf.h"

int main(int argc, char** argv) {
  std::vector<std::u16string> arguments;
  arguments.reserve(argc > 1 ? static_cast<std::size_t>(argc - 1) : 0);
  for (int i = 1; i < argc; ++i) arguments.push_back(utf::ToUtf16(argv[i]));
  const int exit_code = RunTaskmeld(arguments);
  if (!platform::FlushOutput() && !platform::OutputReaderGone()) {
    std::fputs("taskmeld: the output could not be written\n", stderr);
    return 1;
  }
  return exit_code;
}
