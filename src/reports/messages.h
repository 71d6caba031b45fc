// Messages that several reports and views print.
#ifndef TASKMELD_REPORTS_MESSAGES_H_
#define TASKMELD_REPORTS_MESSAGES_H_

inline constexpr char16_t kCannotSnapshotProcesses[] =
    u"Cannot create the snapshot of processes.\n";
inline constexpr char16_t kCannotSnapshotThreads[] = u"Cannot create the snapshot of threads.\n";
inline constexpr char16_t kMemoryHeader[] =
    u"Name                Pid      VM      WS    Priv Priv Pk   Faults   NonP Page\n";

#endif  // TASKMELD_REPORTS_MESSAGES_H_
