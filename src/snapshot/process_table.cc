#include "snapshot/process_table.h"

#include <array>

#include "perfdata/counter_titles.h"
#include "perfdata/perf_query.h"
#include "platform/utf.h"
#include "snapshot/counter_fields.h"

namespace {

using Field = snapshot::CounterField<ProcessRecord>;
using R = ProcessRecord;

// Matched in this order; the first row of a name wins.
constexpr std::array<Field, 28> kProcessCounterFields{{
    {u"% Processor Time", &R::processor_time},
    {u"% User Time", &R::user_time},
    {u"% Privileged Time", &R::privileged_time},
    {u"Virtual Bytes Peak", &R::virtual_bytes_peak},
    {u"Virtual Bytes", &R::virtual_bytes},
    {u"Page Faults/sec", nullptr, &R::page_faults},
    {u"Working Set Peak", &R::working_set_peak},
    {u"Working Set", &R::working_set},
    {u"Page File Bytes Peak", &R::page_file_bytes_peak},
    {u"Page File Bytes", &R::page_file_bytes},
    {u"Private Bytes", &R::private_bytes},
    {u"Thread Count", nullptr, &R::thread_count},
    {u"Priority Base", nullptr, &R::priority_base},
    {u"Elapsed Time", &R::start_time},
    {u"ID Process", nullptr, &R::process_id},
    {u"Creating Process ID", nullptr, &R::parent_process_id},
    {u"Pool Paged Bytes", nullptr, &R::pool_paged_bytes},
    {u"Pool Nonpaged Bytes", nullptr, &R::pool_nonpaged_bytes},
    {u"Handle Count", nullptr, &R::handle_count},
    {u"IO Read Operations/sec", &R::io_read_operations},
    {u"IO Write Operations/sec", &R::io_write_operations},
    {u"IO Data Operations/sec", &R::io_data_operations},
    {u"IO Other Operations/sec", &R::io_other_operations},
    {u"IO Read Bytes/sec", &R::io_read_bytes},
    {u"IO Write Bytes/sec", &R::io_write_bytes},
    {u"IO Data Bytes/sec", &R::io_data_bytes},
    {u"IO Other Bytes/sec", &R::io_other_bytes},
    {u"Working Set - Private", &R::working_set_private},
}};

char16_t UnitAt(const PerfDataView& view, std::size_t position) {
  return static_cast<char16_t>(view.buffer[position] | view.buffer[position + 1] << 8);
}

// The name ends at its first NUL or after NameLength / 2 units. A longer name
// than the record holds is cut, and a cut through a surrogate pair drops the
// pair's first half rather than keep half a character.
void ReadName(const PerfDataView& view, const InstanceLocation& instance, ProcessRecord* record) {
  const std::size_t available = instance.name_length / 2;
  std::size_t length = 0;
  while (length < available && UnitAt(view, instance.name + 2 * length) != u'\0') ++length;
  if (length > kMaxNameUnits) {
    length = kMaxNameUnits;
    if (utf::IsHighSurrogate(UnitAt(view, instance.name + 2 * (length - 1)))) --length;
  }
  record->name.resize(length);
  for (std::size_t i = 0; i < length; ++i) record->name[i] = UnitAt(view, instance.name + 2 * i);
}

}  // namespace

bool BuildProcessTable(ProcessTable* table) {
  CounterTitleTable titles;
  if (!LoadCounterTitles(&titles)) return false;
  PerfDataView view;
  if (!QueryPerfData(&view, u"230")) return false;
  return snapshot::FillRecords<ProcessRecord>(view, titles, kProcessCounterFields, table,
                                              &ReadName);
}
