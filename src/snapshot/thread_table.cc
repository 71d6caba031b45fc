#include "snapshot/thread_table.h"

#include <array>

#include "perfdata/counter_titles.h"
#include "perfdata/perf_query.h"
#include "snapshot/counter_fields.h"

namespace {

using Field = snapshot::CounterField<ThreadRecord>;
using R = ThreadRecord;

// Matched in this order; the first row of a name wins.
constexpr std::array<Field, 12> kThreadCounterFields{{
    {u"Context Switches/sec", nullptr, &R::context_switches},
    {u"% Processor Time", &R::processor_time},
    {u"% User Time", &R::user_time},
    {u"% Privileged Time", &R::privileged_time},
    {u"Elapsed Time", &R::start_time},
    {u"Priority Current", nullptr, &R::priority_current},
    {u"Priority Base", nullptr, &R::priority_base},
    {u"Start Address", nullptr, &R::start_address},
    {u"Thread State", nullptr, &R::thread_state},
    {u"Thread Wait Reason", nullptr, &R::wait_reason},
    {u"ID Process", nullptr, &R::process_id},
    {u"ID Thread", nullptr, &R::thread_id},
}};

// Thread instances carry names, but nothing shows them.
void IgnoreName(const PerfDataView&, const InstanceLocation&, ThreadRecord*) {}

}  // namespace

bool BuildThreadTable(ThreadTable* table) {
  CounterTitleTable titles;
  if (!LoadCounterTitles(&titles)) return false;
  PerfDataView view;
  // The block for "232" carries the Process object first and the Thread
  // object second.
  if (!QueryPerfData(&view, u"232") || !NextPerfObject(&view)) return false;
  return snapshot::FillRecords<ThreadRecord>(view, titles, kThreadCounterFields, table,
                                             &IgnoreName);
}
