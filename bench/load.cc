// Load for the benchmarks: many sleeping processes, each with a few threads,
// or a chain of processes each the child of the one before. Every process
// dies with its parent, so ending this program (or its terminal) cleans up.
//
//   taskmeld_load spread N T   N processes with T threads each
//   taskmeld_load chain N      a chain of N processes
//
// It prints "ready" once all processes run and waits until standard input
// closes.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace {

[[noreturn]] void SleepForever(int threads) {
  std::vector<std::thread> extra;
  for (int i = 1; i < threads; ++i) {
    extra.emplace_back([] {
      for (;;) pause();
    });
  }
  for (;;) pause();
}

// Forks a child that dies with this process, then runs `body` in it.
template <typename Body>
pid_t ForkChild(int ready_fd, Body body) {
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    body(ready_fd);
  }
  return pid;
}

void Signal(int fd) {
  const char byte = 1;
  if (write(fd, &byte, 1) != 1) _exit(1);
}

[[noreturn]] void ChainLink(int fd, int remaining) {
  if (remaining > 1) ForkChild(fd, [remaining](int f) { ChainLink(f, remaining - 1); });
  Signal(fd);
  SleepForever(1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || (std::strcmp(argv[1], "spread") != 0 && std::strcmp(argv[1], "chain") != 0)) {
    std::fprintf(stderr, "usage: %s spread N T | chain N\n", argv[0]);
    return 2;
  }
  const int count = std::atoi(argv[2]);
  const int threads = argc > 3 ? std::atoi(argv[3]) : 1;
  int ready[2];
  if (pipe(ready) != 0) return 1;
  if (std::strcmp(argv[1], "spread") == 0) {
    for (int i = 0; i < count; ++i) {
      ForkChild(ready[1], [threads](int fd) {
        Signal(fd);
        SleepForever(threads);
      });
    }
  } else {
    ForkChild(ready[1], [count](int fd) { ChainLink(fd, count); });
  }
  // Threads start after the signal; give them a moment to exist.
  for (int seen = 0; seen < count;) {
    char byte;
    if (read(ready[0], &byte, 1) == 1) ++seen;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  std::puts("ready");
  std::fflush(stdout);
  char buffer[64];
  while (read(STDIN_FILENO, buffer, sizeof buffer) > 0) {
  }
  // Every child was told to die with its parent: returning ends them all.
  return 0;
}
