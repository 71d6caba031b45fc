// Runs the one report or live view that the mode flags choose.
#ifndef TASKMELD_CLI_DISPATCH_H_
#define TASKMELD_CLI_DISPATCH_H_

#include <cstdint>

#include "cli/command_line.h"

/// Runs the report of `command_line`, or prints why its options conflict.
/// Returns the exit code: 1 for a conflict or a tree without a snapshot.
int DispatchReport(const CommandLine& command_line, std::uint32_t processor_count);

#endif  // TASKMELD_CLI_DISPATCH_H_
