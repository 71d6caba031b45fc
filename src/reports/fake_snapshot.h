// Test support: puts process and thread records into the fake platform as the
// Perflib titles and performance-data blocks that the table builders read.
#ifndef TASKMELD_REPORTS_FAKE_SNAPSHOT_H_
#define TASKMELD_REPORTS_FAKE_SNAPSHOT_H_

#include <string>
#include <utility>
#include <vector>

#include "platform/perf_block_writer.h"
#include "platform/platform_fake.h"
#include "snapshot/process_table.h"
#include "snapshot/thread_table.h"

namespace fake_snapshot {

struct Counter {
  const char16_t* name;
  std::uint32_t size;
};

inline constexpr Counter kProcessCounters[] = {{u"% Processor Time", 8},
                                               {u"% User Time", 8},
                                               {u"% Privileged Time", 8},
                                               {u"Virtual Bytes Peak", 8},
                                               {u"Virtual Bytes", 8},
                                               {u"Page Faults/sec", 4},
                                               {u"Working Set Peak", 8},
                                               {u"Working Set", 8},
                                               {u"Page File Bytes Peak", 8},
                                               {u"Page File Bytes", 8},
                                               {u"Private Bytes", 8},
                                               {u"Thread Count", 4},
                                               {u"Priority Base", 4},
                                               {u"Elapsed Time", 8},
                                               {u"ID Process", 4},
                                               {u"Creating Process ID", 4},
                                               {u"Pool Paged Bytes", 4},
                                               {u"Pool Nonpaged Bytes", 4},
                                               {u"Handle Count", 4},
                                               {u"IO Read Operations/sec", 8},
                                               {u"IO Write Operations/sec", 8},
                                               {u"IO Data Operations/sec", 8},
                                               {u"IO Other Operations/sec", 8},
                                               {u"IO Read Bytes/sec", 8},
                                               {u"IO Write Bytes/sec", 8},
                                               {u"IO Data Bytes/sec", 8},
                                               {u"IO Other Bytes/sec", 8},
                                               {u"Working Set - Private", 8}};

inline constexpr Counter kThreadCounters[] = {
    {u"Context Switches/sec", 4}, {u"% Processor Time", 8}, {u"% User Time", 8},
    {u"% Privileged Time", 8},    {u"Elapsed Time", 8},     {u"Priority Current", 4},
    {u"Priority Base", 4},        {u"Start Address", 4},    {u"Thread State", 4},
    {u"Thread Wait Reason", 4},   {u"ID Process", 4},       {u"ID Thread", 4}};

/// The title index the fake's title list gives `name`.
inline std::uint32_t TitleIndex(std::u16string_view name) {
  std::uint32_t index = 2;
  for (const Counter& c : kProcessCounters) {
    if (name == c.name) return index;
    index += 2;
  }
  for (const Counter& c : kThreadCounters) {
    if (name == c.name) return index;
    index += 2;
  }
  return 0;
}

/// Sets the Perflib titles of every counter above.
inline void SetTitles() {
  std::vector<std::u16string> pairs;
  auto add = [&pairs](const Counter& c) {
    const std::uint32_t index = TitleIndex(c.name);
    for (std::size_t k = 0; k < pairs.size(); k += 2) {
      if (pairs[k + 1] == c.name) return;
    }
    std::string digits = std::to_string(index);
    pairs.emplace_back(digits.begin(), digits.end());
    pairs.emplace_back(c.name);
  };
  for (const Counter& c : kProcessCounters) add(c);
  for (const Counter& c : kThreadCounters) add(c);
  pairs.insert(pairs.end(), {u"230", u"Process", u"232", u"Thread", u"238", u"Processor"});
  platform::fake::SetCounterTitles(pairs);
}

inline std::vector<std::uint64_t> ProcessValues(const ProcessRecord& r) {
  auto u = [](std::int64_t v) { return static_cast<std::uint64_t>(v); };
  return {u(r.processor_time),     u(r.user_time),           u(r.privileged_time),
          u(r.virtual_bytes_peak), u(r.virtual_bytes),       r.page_faults,
          u(r.working_set_peak),   u(r.working_set),         u(r.page_file_bytes_peak),
          u(r.page_file_bytes),    u(r.private_bytes),       r.thread_count,
          r.priority_base,         u(r.start_time),          r.process_id,
          r.parent_process_id,     r.pool_paged_bytes,       r.pool_nonpaged_bytes,
          r.handle_count,          u(r.io_read_operations),  u(r.io_write_operations),
          u(r.io_data_operations), u(r.io_other_operations), u(r.io_read_bytes),
          u(r.io_write_bytes),     u(r.io_data_bytes),       u(r.io_other_bytes),
          u(r.working_set_private)};
}

inline std::vector<std::uint64_t> ThreadValues(const ThreadRecord& t) {
  auto u = [](std::int64_t v) { return static_cast<std::uint64_t>(v); };
  return {t.context_switches, u(t.processor_time), u(t.user_time),  u(t.privileged_time),
          u(t.start_time),    t.priority_current,  t.priority_base, t.start_address,
          t.thread_state,     t.wait_reason,       t.process_id,    t.thread_id};
}

template <std::size_t N>
std::vector<perfblock::CounterSpec> Specs(const Counter (&counters)[N]) {
  std::vector<perfblock::CounterSpec> specs;
  for (const Counter& c : counters) {
    specs.push_back({TitleIndex(c.name), perfblock::kLargeRawCount, c.size});
  }
  return specs;
}

inline void AddProcessObject(perfblock::BlockWriter* writer,
                             const std::vector<ProcessRecord>& processes) {
  writer->BeginObject(230, Specs(kProcessCounters));
  for (const ProcessRecord& p : processes) writer->AddInstance(NameOf(p), ProcessValues(p));
  writer->EndObject();
}

/// A process record with a name and ids; the other counters are 0.
inline ProcessRecord Process(std::u16string_view name, std::uint32_t id, std::uint32_t parent = 0) {
  ProcessRecord r;
  r.name = name.substr(0, kMaxNameUnits);
  r.process_id = id;
  r.parent_process_id = parent;
  return r;
}

/// Sets the titles and the "230" block; the last record plays the total.
inline void SetProcesses(const std::vector<ProcessRecord>& processes) {
  SetTitles();
  perfblock::BlockWriter writer(u"TESTHOST", 0);
  AddProcessObject(&writer, processes);
  platform::fake::SetPerformanceData(u"230", writer.Finish());
}

/// Sets the "232" block: the processes, then the threads (the last the total).
inline void SetThreads(const std::vector<ProcessRecord>& processes,
                       const std::vector<ThreadRecord>& threads) {
  perfblock::BlockWriter writer(u"TESTHOST", 0);
  AddProcessObject(&writer, processes);
  writer.BeginObject(232, Specs(kThreadCounters));
  for (const ThreadRecord& t : threads) writer.AddInstance(u"0", ThreadValues(t));
  writer.EndObject();
  platform::fake::SetPerformanceData(u"232", writer.Finish());
}

/// Sets a "238" block with `processors` instances and the total.
inline void SetProcessors(std::uint32_t processors) {
  perfblock::BlockWriter writer(u"TESTHOST", 0);
  const perfblock::CounterSpec counters[] = {
      {TitleIndex(u"% Processor Time"), perfblock::k100nsTimer, 8}};
  writer.BeginObject(238, counters);
  for (std::uint32_t i = 0; i <= processors; ++i)
    writer.AddInstance(u"0", std::vector<std::uint64_t>{0});
  writer.EndObject();
  platform::fake::SetPerformanceData(u"238", writer.Finish());
}

}  // namespace fake_snapshot

#endif  // TASKMELD_REPORTS_FAKE_SNAPSHOT_H_
