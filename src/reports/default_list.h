// The default report: one line per selected process with its priority,
// thread and handle counts, private memory, CPU time and time since start.
#ifndef TASKMELD_REPORTS_DEFAULT_LIST_H_
#define TASKMELD_REPORTS_DEFAULT_LIST_H_

#include <cstdint>
#include <string>

#include "reports/selection.h"

/// Prints the list of the processes that `selection` picks, or
/// "Cannot create the snapshot of processes." when the table cannot be built.
void PrintDefaultList(const Selection& selection);

/// Appends one process's line of the default list, with `third_column` (the
/// base priority there, the CPU share in the live view) after the pid and
/// the elapsed time measured against `now`.
void AppendDefaultLine(std::u16string* out, const ProcessRecord& record, std::uint32_t third_column,
                       std::int64_t now);

#endif  // TASKMELD_REPORTS_DEFAULT_LIST_H_
