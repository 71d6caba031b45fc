// The memory report (-m): virtual size, working set, private bytes and its
// peak, page faults and the two pools of each selected process, in KB.
#ifndef TASKMELD_REPORTS_MEMORY_LIST_H_
#define TASKMELD_REPORTS_MEMORY_LIST_H_

#include <cstdint>
#include <string>

#include "reports/selection.h"

/// Prints the memory list of the processes that `selection` picks, or
/// "Cannot create the snapshot of processes." when the table cannot be built.
void PrintMemoryList(const Selection& selection);

/// Prints one process's memory line, as the memory list and the combined
/// report show it.
void PrintMemoryLine(const ProcessRecord& record);

/// Appends one process's memory line with `third_column` after the pid: the
/// virtual size in KB in the reports, the CPU share in the live view.
void AppendMemoryLine(std::u16string* out, const ProcessRecord& record, std::uint32_t third_column);

#endif  // TASKMELD_REPORTS_MEMORY_LIST_H_
