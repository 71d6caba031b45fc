// The memory report (-m): virtual size, working set, private bytes and its
// peak, page faults and the two pools of each selected process, in KB.
#ifndef TASKMELD_REPORTS_MEMORY_LIST_H_
#define TASKMELD_REPORTS_MEMORY_LIST_H_

#include "reports/selection.h"

/// Prints the memory list of the processes that `selection` picks, or
/// "Cannot create the snapshot of processes." when the table cannot be built.
void PrintMemoryList(const Selection& selection);

/// Prints one process's memory line, as the memory list and the combined
/// report show it.
void PrintMemoryLine(const ProcessRecord& record);

#endif  // TASKMELD_REPORTS_MEMORY_LIST_H_
