// Micro-benchmarks of the work between the query and the output: the walk of
// a recorded-size block into tables, the thread grouping and the tree, on the
// fake platform with 2,000 processes of 5 threads each.
#include <benchmark/benchmark.h>

#include "reports/fake_snapshot.h"
#include "reports/process_tree.h"
#include "reports/thread_detail.h"

namespace {

constexpr std::uint32_t kProcesses = 2000;
constexpr std::uint32_t kThreadsEach = 5;

std::vector<ProcessRecord> Processes() {
  std::vector<ProcessRecord> processes;
  for (std::uint32_t i = 1; i <= kProcesses; ++i) {
    // Parents come before their children, as pids usually do.
    processes.push_back(fake_snapshot::Process(u"worker-process", i * 4, i * 4 / 3));
  }
  processes.push_back(fake_snapshot::Process(u"_Total", 0));
  return processes;
}

std::vector<ThreadRecord> Threads() {
  std::vector<ThreadRecord> threads;
  for (std::uint32_t i = 1; i <= kProcesses; ++i) {
    for (std::uint32_t t = 0; t < kThreadsEach; ++t) {
      ThreadRecord thread;
      thread.process_id = i * 4;
      thread.thread_id = i * 4 + t;
      threads.push_back(thread);
    }
  }
  threads.emplace_back();
  return threads;
}

void SetUpFake() {
  platform::fake::Reset();
  const auto processes = Processes();
  fake_snapshot::SetProcesses(processes);
  fake_snapshot::SetThreads(processes, Threads());
}

void BM_BuildProcessTable(benchmark::State& state) {
  SetUpFake();
  for (auto _ : state) {
    ProcessTable table;
    benchmark::DoNotOptimize(BuildProcessTable(&table));
  }
}
BENCHMARK(BM_BuildProcessTable);

void BM_BuildThreadTable(benchmark::State& state) {
  SetUpFake();
  for (auto _ : state) {
    ThreadTable table;
    benchmark::DoNotOptimize(BuildThreadTable(&table));
  }
}
BENCHMARK(BM_BuildThreadTable);

void BM_GroupThreadsByProcess(benchmark::State& state) {
  const ThreadTable threads = Threads();
  for (auto _ : state) {
    ThreadsByProcess index(threads);
    benchmark::DoNotOptimize(index.Of(4).size());
  }
}
BENCHMARK(BM_GroupThreadsByProcess);

void BM_AttachTree(benchmark::State& state) {
  const std::vector<ProcessRecord> processes = Processes();
  for (auto _ : state) {
    ProcessTree tree;
    for (std::size_t i = 0; i + 1 < processes.size(); ++i) AttachProcessNode(&tree, processes[i]);
    benchmark::DoNotOptimize(tree.nodes.size());
  }
}
BENCHMARK(BM_AttachTree);

}  // namespace
