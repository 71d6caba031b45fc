// Micro-benchmarks of the parsing the Linux provider does for every process
// of every scan, on the stat line and status text of a typical process.
#include <benchmark/benchmark.h>

#include "platform/procfs_parse.h"

namespace {

constexpr std::string_view kStat =
    "1204 (sshd: admin@pts/0) S 1187 1187 1187 0 -1 4194560 61688 103529500 0 7036 2500 5473 "
    "821684 137524 20 0 1 0 1523 60784640 2935 18446744073709551615 1 1 0 0 0 0 0 4096 1256 0 0 "
    "0 17 1 0 0 0 0 0 0 0 0 0 0 0 0 0\n";

constexpr std::string_view kStatus =
    "Name:\tsshd\nUmask:\t0022\nState:\tS (sleeping)\nTgid:\t1204\nNgid:\t0\nPid:\t1204\n"
    "PPid:\t1187\nTracerPid:\t0\nUid:\t1000\t1000\t1000\t1000\nGid:\t1000\t1000\t1000\t1000\n"
    "FDSize:\t64\nGroups:\t4 27 1000 \nNStgid:\t1204\nNSpid:\t1204\nNSpgid:\t1187\nNSsid:\t1187\n"
    "Kthread:\t0\nVmPeak:\t   70320 kB\nVmSize:\t   59360 kB\nVmLck:\t       0 kB\n"
    "VmPin:\t       0 kB\nVmHWM:\t   19660 kB\nVmRSS:\t   12004 kB\nRssAnon:\t    3060 kB\n"
    "RssFile:\t       8 kB\nRssShmem:\t    8936 kB\nVmData:\t   48200 kB\nVmStk:\t     132 kB\n"
    "VmExe:\t    7820 kB\nVmLib:\t       8 kB\nVmPTE:\t     152 kB\nVmSwap:\t       0 kB\n"
    "HugetlbPages:\t       0 kB\nCoreDumping:\t0\nTHP_enabled:\t1\n"
    "untag_mask:\t0xffffffffffffffff\nThreads:\t1\nSigQ:\t0/96362\nSigPnd:\t0000000000000000\n"
    "ShdPnd:\t0000000000000000\nSigBlk:\t0000000000000000\nSigIgn:\t0000000000001000\n"
    "SigCgt:\t00000000000004e8\nCapInh:\t0000000000000000\nCapPrm:\t0000000000000000\n"
    "CapEff:\t0000000000000000\nCapBnd:\t000001ffffffffff\nCapAmb:\t0000000000000000\n"
    "NoNewPrivs:\t0\nSeccomp:\t0\nSeccomp_filters:\t0\nSpeculation_Store_Bypass:\tvulnerable\n"
    "SpeculationIndirectBranch:\talways enabled\nCpus_allowed:\t3\nCpus_allowed_list:\t0-1\n"
    "Mems_allowed:\t00000000,00000001\nMems_allowed_list:\t0\nvoluntary_ctxt_switches:\t763\n"
    "nonvoluntary_ctxt_switches:\t95\n";

void BM_ParseStat(benchmark::State& state) {
  for (auto _ : state) {
    procfs::StatFields fields;
    benchmark::DoNotOptimize(procfs::ParseStat(kStat, &fields));
    benchmark::DoNotOptimize(fields);
  }
}
BENCHMARK(BM_ParseStat);

void BM_ParseStatus(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(procfs::ParseStatus(kStatus));
}
BENCHMARK(BM_ParseStatus);

}  // namespace
