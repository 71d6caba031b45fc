// The Windows program entry: the runtime hands over the arguments as UTF-16
// already, so they go to the shared entry unchanged.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cli/entry.h"
#include "platform/platform.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::u16string> arguments;
  arguments.reserve(argc > 1 ? static_cast<std::size_t>(argc - 1) : 0);
  for (int i = 1; i < argc; ++i) {
    const std::wstring_view argument(argv[i]);
    arguments.emplace_back(argument.begin(), argument.end());
  }
  const int exit_code = RunTaskmeld(arguments);
  if (!platform::FlushOutput() && !platform::OutputReaderGone()) {
    std::fputs("taskmeld: the output could not be written\n", stderr);
    return 1;
  }
  return exit_code;
}
