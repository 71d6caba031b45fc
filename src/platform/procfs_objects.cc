#include "platform/procfs_objects.h"

#include <array>
#include <charconv>

#include "platform/perf_block_writer.h"
#include "platform/procfs_titles.h"

namespace procfs {
namespace {

using perfblock::CounterSpec;
namespace t = titles;

constexpr std::uint64_t kTicksPerSecond = 10'000'000;

// Positions of the Process object's counters in its definitions and values.
// The I/O counters are not published: /proc/PID/io would cost a sixth of a
// scan, and nothing taskmeld shows reads them; a counter left out reads as
// unmeasured, where a zero would claim that no I/O took place.
enum ProcessCounter {
  kProcTime,
  kProcUser,
  kProcPrivileged,
  kVirtualPeak,
  kVirtual,
  kPageFaults,
  kWorkingSetPeak,
  kWorkingSet,
  kPageFilePeak,
  kPageFile,
  kPrivate,
  kThreads,
  kProcPriority,
  kProcStart,
  kProcId,
  kParentId,
  kPoolPaged,
  kPoolNonpaged,
  kHandles,
  kWorkingSetPrivate,
  kProcessCounterCount
};

constexpr CounterSpec kProcessCounters[kProcessCounterCount] = {
    {t::kProcessorTime, perfblock::k100nsTimer, 8},
    {t::kUserTime, perfblock::k100nsTimer, 8},
    {t::kPrivilegedTime, perfblock::k100nsTimer, 8},
    {t::kVirtualBytesPeak, perfblock::kLargeRawCount, 8},
    {t::kVirtualBytes, perfblock::kLargeRawCount, 8},
    {t::kPageFaults, perfblock::kCounterCounter, 4},
    {t::kWorkingSetPeak, perfblock::kLargeRawCount, 8},
    {t::kWorkingSet, perfblock::kLargeRawCount, 8},
    {t::kPageFileBytesPeak, perfblock::kLargeRawCount, 8},
    {t::kPageFileBytes, perfblock::kLargeRawCount, 8},
    {t::kPrivateBytes, perfblock::kLargeRawCount, 8},
    {t::kThreadCount, perfblock::kRawCount, 4},
    {t::kPriorityBase, perfblock::kRawCount, 4},
    {t::kElapsedTime, perfblock::kElapsedTime, 8},
    {t::kIdProcess, perfblock::kRawCount, 4},
    {t::kCreatingProcessId, perfblock::kRawCount, 4},
    {t::kPoolPagedBytes, perfblock::kRawCount, 4},
    {t::kPoolNonpagedBytes, perfblock::kRawCount, 4},
    {t::kHandleCount, perfblock::kRawCount, 4},
    {t::kWorkingSetPrivate, perfblock::kLargeRawCount, 8},
};

enum ThreadCounter {
  kSwitches,
  kThreadTime,
  kThreadUser,
  kThreadPrivileged,
  kThreadStart,
  kPriorityCurrent,
  kThreadPriority,
  kStartAddress,
  kState,
  kWaitReason,
  kOwnerId,
  kThreadId,
  kThreadCounterCount
};

constexpr CounterSpec kThreadCounters[kThreadCounterCount] = {
    {t::kContextSwitches, perfblock::kCounterCounter, 4},
    {t::kProcessorTime, perfblock::k100nsTimer, 8},
    {t::kUserTime, perfblock::k100nsTimer, 8},
    {t::kPrivilegedTime, perfblock::k100nsTimer, 8},
    {t::kElapsedTime, perfblock::kElapsedTime, 8},
    {t::kPriorityCurrent, perfblock::kRawCount, 4},
    {t::kPriorityBase, perfblock::kRawCount, 4},
    {t::kStartAddress, perfblock::kLargeRawCountHex, 8},
    {t::kThreadState, perfblock::kRawCount, 4},
    {t::kThreadWaitReason, perfblock::kRawCount, 4},
    {t::kIdProcess, perfblock::kRawCount, 4},
    {t::kIdThread, perfblock::kRawCount, 4},
};

constexpr CounterSpec kProcessorCounters[] = {
    // As on Windows, the processor's own time is published as the time it
    // was idle, under the inverse timer type.
    {t::kProcessorTime, perfblock::k100nsTimerInverse, 8},
    {t::kUserTime, perfblock::k100nsTimer, 8},
    {t::kPrivilegedTime, perfblock::k100nsTimer, 8},
};

constexpr std::uint32_t kRunning = 2;

template <std::size_t N>
using Values = std::array<std::uint64_t, N>;

template <std::size_t N>
void Add(const Values<N>& values, Values<N>* total) {
  for (std::size_t j = 0; j < N; ++j) (*total)[j] += values[j];
}

std::uint64_t ToTicks(std::uint64_t clock_ticks, const BlockContext& context) {
  const auto hz = static_cast<std::uint64_t>(context.clock_ticks_per_second);
  return clock_ticks / hz * kTicksPerSecond + clock_ticks % hz * kTicksPerSecond / hz;
}

std::uint64_t Moment(std::uint64_t after_boot, const BlockContext& context) {
  return static_cast<std::uint64_t>(context.boot_ticks) + ToTicks(after_boot, context);
}

std::uint64_t IdleTicks(const CpuTimes& cpu, const BlockContext& context) {
  return ToTicks(cpu.idle + cpu.iowait, context);
}

// `number` in decimal, for instance names; views `out`.
std::u16string_view NumberName(std::uint32_t number, char16_t (&out)[12]) {
  char digits[12];
  const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  std::size_t length = 0;
  for (const char* c = digits; c != end; ++c) out[length++] = static_cast<char16_t>(*c);
  return std::u16string_view(out, length);
}

Values<kProcessCounterCount> ProcessValues(const ProcessRecord& p, const BlockContext& context) {
  Values<kProcessCounterCount> v{};
  v[kProcTime] = ToTicks(p.utime + p.stime, context);
  v[kProcUser] = ToTicks(p.utime, context);
  v[kProcPrivileged] = ToTicks(p.stime, context);
  v[kVirtualPeak] = p.status.vm_peak;
  v[kVirtual] = p.status.vm_size;
  v[kPageFaults] = p.page_faults;
  v[kWorkingSetPeak] = p.status.vm_hwm;
  v[kWorkingSet] = p.status.vm_rss;
  // Linux keeps no peak of the committed private memory.
  v[kPageFilePeak] = v[kPageFile] = v[kPrivate] = p.status.vm_data + p.status.vm_stk;
  v[kThreads] = p.num_threads;
  v[kProcPriority] = p.priority;
  v[kProcStart] = Moment(p.starttime, context);
  v[kProcId] = p.pid;
  v[kParentId] = p.ppid;
  v[kPoolNonpaged] = p.status.vm_pte;
  v[kHandles] = p.handle_count;
  v[kWorkingSetPrivate] = p.status.rss_anon;
  return v;
}

Values<kProcessCounterCount> IdleValues(const Snapshot& snapshot, const BlockContext& context) {
  Values<kProcessCounterCount> v{};
  for (const CpuRecord& cpu : snapshot.cpus) v[kProcTime] += IdleTicks(cpu.times, context);
  // Idling is kernel work.
  v[kProcPrivileged] = v[kProcTime];
  v[kThreads] = snapshot.cpus.size();
  v[kProcStart] = static_cast<std::uint64_t>(context.boot_ticks);
  return v;
}

Values<kThreadCounterCount> ThreadValues(const ThreadRecord& t, const BlockContext& context) {
  Values<kThreadCounterCount> v{};
  v[kSwitches] = t.context_switches;
  v[kThreadTime] = ToTicks(t.utime + t.stime, context);
  v[kThreadUser] = ToTicks(t.utime, context);
  v[kThreadPrivileged] = ToTicks(t.stime, context);
  v[kThreadStart] = Moment(t.starttime, context);
  v[kPriorityCurrent] = v[kThreadPriority] = t.priority;
  v[kState] = t.state;
  v[kWaitReason] = t.wait_reason;
  v[kOwnerId] = t.tgid;
  v[kThreadId] = t.tid;
  return v;
}

void AddProcessObject(const Snapshot& snapshot, const BlockContext& context,
                      perfblock::BlockWriter* writer) {
  writer->BeginObject(t::kProcess, kProcessCounters);
  Values<kProcessCounterCount> total = IdleValues(snapshot, context);
  writer->AddInstance(u"Idle", total);
  for (const ProcessRecord& process : snapshot.processes) {
    const Values<kProcessCounterCount> values = ProcessValues(process, context);
    writer->AddInstance(snapshot.NameOf(process), values);
    Add(values, &total);
  }
  // Ids, priorities and moments mean nothing summed.
  for (const int j : {kProcPriority, kProcStart, kProcId, kParentId}) total[j] = 0;
  writer->AddInstance(u"_Total", total);
  writer->EndObject();
}

void AddThreadObject(const Snapshot& snapshot, const BlockContext& context,
                     perfblock::BlockWriter* writer) {
  writer->BeginObject(t::kThread, kThreadCounters);
  Values<kThreadCounterCount> total{};
  char16_t name[12];
  // The idle process runs one thread on each CPU, all with id 0.
  for (std::uint32_t i = 0; i < snapshot.cpus.size(); ++i) {
    Values<kThreadCounterCount> v{};
    v[kThreadTime] = v[kThreadPrivileged] = IdleTicks(snapshot.cpus[i].times, context);
    v[kThreadStart] = static_cast<std::uint64_t>(context.boot_ticks);
    v[kState] = kRunning;
    writer->AddInstance(NumberName(i, name), v);
    Add(v, &total);
  }
  // A thread is named by its place in its process, as on Windows.
  for (const ProcessRecord& process : snapshot.processes) {
    for (std::uint32_t i = 0; i < process.thread_records; ++i) {
      const auto values = ThreadValues(snapshot.threads[process.first_thread + i], context);
      writer->AddInstance(NumberName(i, name), values);
      Add(values, &total);
    }
  }
  for (std::size_t j = kThreadStart; j < kThreadCounterCount; ++j) total[j] = 0;
  writer->AddInstance(u"_Total", total);
  writer->EndObject();
}

}  // namespace

std::vector<std::uint8_t> ProcessorBlock(const Snapshot& snapshot, const BlockContext& context) {
  perfblock::BlockWriter writer(context.computer_name, context.now_ticks);
  writer.BeginObject(t::kProcessor, kProcessorCounters);
  Values<3> total{};
  char16_t name[12];
  for (const CpuRecord& cpu : snapshot.cpus) {
    const CpuTimes& c = cpu.times;
    const Values<3> values = {IdleTicks(c, context), ToTicks(c.user + c.nice, context),
                              ToTicks(c.system + c.irq + c.softirq, context)};
    writer.AddInstance(NumberName(cpu.number, name), values);
    Add(values, &total);
  }
  writer.AddInstance(u"_Total", total);
  writer.EndObject();
  return writer.Finish();
}

std::vector<std::uint8_t> ProcessBlock(const Snapshot& snapshot, const BlockContext& context,
                                       bool with_threads) {
  perfblock::BlockWriter writer(context.computer_name, context.now_ticks);
  AddProcessObject(snapshot, context, &writer);
  if (with_threads) AddThreadObject(snapshot, context, &writer);
  return writer.Finish();
}

}  // namespace procfs
