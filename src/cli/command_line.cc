#include "cli/command_line.h"

#include <algorithm>

namespace {

// The blanks the C library skips before a number.
bool IsSpace(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

// True when `argument` is "-name" or "/name", ignoring the case of ASCII letters.
bool IsOption(std::u16string_view argument, std::u16string_view name) {
  return !argument.empty() && (argument[0] == u'-' || argument[0] == u'/') &&
         EqualIgnoringAsciiCase(argument.substr(1), name);
}

bool IsHelpOption(std::u16string_view argument) {
  return IsOption(argument, u"h") || IsOption(argument, u"?") || IsOption(argument, u"help");
}

// Consumes the argument after `*i` when it is a number and stores it.
void TakeOptionalNumber(std::span<const std::u16string> arguments, std::size_t* i,
                        std::uint32_t* value) {
  if (*i + 1 >= arguments.size()) return;
  if (const auto number = ParseNumber(arguments[*i + 1])) {
    *value = *number;
    ++*i;
  }
}

}  // namespace

std::optional<std::uint32_t> ParseNumber(std::u16string_view argument) {
  std::size_t i = 0;
  while (i < argument.size() && IsSpace(argument[i])) ++i;
  bool negative = false;
  if (i < argument.size() && (argument[i] == u'+' || argument[i] == u'-')) {
    negative = argument[i] == u'-';
    ++i;
  }
  if (i == argument.size()) return std::nullopt;
  std::uint64_t value = 0;
  for (; i < argument.size(); ++i) {
    if (argument[i] < u'0' || argument[i] > u'9') return std::nullopt;
    value = std::min<std::uint64_t>(value * 10 + (argument[i] - u'0'), 4294967295u);
  }
  auto result = static_cast<std::uint32_t>(value);
  return negative ? 0u - result : result;
}

ParseOutcome ParseCommandLine(std::span<const std::u16string> arguments,
                              CommandLine* command_line) {
  CommandLine& c = *command_line;
  int targets_seen = 0;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::u16string& argument = arguments[i];
    if (IsOption(argument, u"t")) {
      c.mode_flags |= MODE_TREE;
    } else if (IsOption(argument, u"d")) {
      c.mode_flags |= MODE_THREADS;
    } else if (IsOption(argument, u"m")) {
      c.mode_flags |= MODE_MEMORY;
    } else if (IsOption(argument, u"x")) {
      c.mode_flags |= MODE_THREADS | MODE_MEMORY;
    } else if (IsOption(argument, u"e")) {
      if (c.selection.kind != MATCH_PID) c.selection.kind = MATCH_EXACT;
    } else if (IsOption(argument, u"s")) {
      c.mode_flags |= MODE_LIVE;
      c.run_seconds = kNoTimeLimit;
      TakeOptionalNumber(arguments, &i, &c.run_seconds);
    } else if (IsOption(argument, u"r")) {
      c.refresh_seconds = 1;
      TakeOptionalNumber(arguments, &i, &c.refresh_seconds);
    } else if (IsHelpOption(argument)) {
      return ParseOutcome::kHelp;
    } else {
      if (++targets_seen == 2) return ParseOutcome::kSecondTarget;
      if (c.selection.kind == MATCH_ALL) c.selection.kind = MATCH_PREFIX;
      if (const auto pid = ParseNumber(argument)) {
        c.selection.kind = MATCH_PID;
        c.selection.process_id = *pid;
      } else {
        c.selection.name = argument;
      }
    }
  }
  return ParseOutcome::kRun;
}

const char16_t kUsageText[] =
    u"Usage: taskmeld [-d][-m][-x][-t][name|pid]\n"
    u"   -d          Show thread detail.\n"
    u"   -m          Show memory detail.\n"
    u"   -x          Show processes, memory information and threads.\n"
    u"   -t          Show process tree.\n"
    u"   name        Show information about processes that begin with the name\n"
    u"               specified.\n"
    u"   -e          Exact match the process name.\n"
    u"   pid         Show information about specified process.\n"
    u"\n"
    u"All memory values are displayed in KB.\n"
    u"Abbreviation key:\n"
    u"   Pri         Priority\n"
    u"   Thd         Number of Threads\n"
    u"   Hnd         Number of Handles\n"
    u"   VM          Virtual Memory\n"
    u"   WS          Working Set\n"
    u"   Priv        Private Virtual Memory\n"
    u"   Priv Pk     Private Virtual Memory Peak\n"
    u"   Faults      Page Faults\n"
    u"   NonP        Non-Paged Pool\n"
    u"   Page        Paged Pool\n"
    u"   Cswtch      Context Switches\n"
    u"\n";
