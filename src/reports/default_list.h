// The default report: one line per selected process with its priority,
// thread and handle counts, private memory, CPU time and time since start.
#ifndef TASKMELD_REPORTS_DEFAULT_LIST_H_
#define TASKMELD_REPORTS_DEFAULT_LIST_H_

#include "reports/selection.h"

/// Prints the list of the processes that `selection` picks, or
/// "Cannot create the snapshot of processes." when the table cannot be built.
void PrintDefaultList(const Selection& selection);

#endif  // TASKMELD_REPORTS_DEFAULT_LIST_H_
