// The program's entry, shared by the POSIX and Windows main functions.
#ifndef TASKMELD_CLI_ENTRY_H_
#define TASKMELD_CLI_ENTRY_H_

#include <span>
#include <string>

/// Runs taskmeld with the arguments after the program path, writing through
/// platform::WriteOutput, and returns the exit code, 0 or 1. The caller
/// flushes the output.
int RunTaskmeld(std::span<const std::u16string> arguments);

#endif  // TASKMELD_CLI_ENTRY_H_
