// The command line: options, at most one target, and the live views' timing.
#ifndef TASKMELD_CLI_COMMAND_LINE_H_
#define TASKMELD_CLI_COMMAND_LINE_H_

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "reports/selection.h"

inline constexpr std::uint32_t MODE_TREE = 1;
inline constexpr std::uint32_t MODE_THREADS = 2;
inline constexpr std::uint32_t MODE_MEMORY = 4;
inline constexpr std::uint32_t MODE_LIVE = 8;

inline constexpr std::uint32_t kNoTimeLimit = 4294967295u;

struct CommandLine {
  std::uint32_t mode_flags = 0;
  Selection selection;
  std::uint32_t run_seconds = 0;
  std::uint32_t refresh_seconds = 1;
};

enum class ParseOutcome {
  kRun,          // the arguments are a run
  kHelp,         // a help option: usage, exit 0
  kSecondTarget  // a second target: usage, exit 1
};

/// Parses the arguments after the program path into `command_line`.
ParseOutcome ParseCommandLine(std::span<const std::u16string> arguments, CommandLine* command_line);

/// The argument as a whole number: blanks, an optional sign, then digits and
/// nothing else; saturates at 4294967295, and "-" negates modulo 2^32.
/// Nothing when the argument is no number.
std::optional<std::uint32_t> ParseNumber(std::u16string_view argument);

/// The usage text, printed after the banner.
extern const char16_t kUsageText[];

#endif  // TASKMELD_CLI_COMMAND_LINE_H_
