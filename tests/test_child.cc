// A process for the end-to-end tests to find: it runs N extra threads that
// sleep (or burn CPU) until it is killed. Usage: test_child [threads N] [burn]
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
  int extra_threads = 0;
  bool burn = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "threads") == 0 && i + 1 < argc) extra_threads = std::atoi(argv[++i]);
    if (std::strcmp(argv[i], "burn") == 0) burn = true;
  }
  std::vector<std::thread> threads;
  for (int i = 0; i < extra_threads; ++i) {
    threads.emplace_back([] {
      for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
    });
  }
  if (burn) {
    volatile unsigned long spin = 0;
    for (;;) spin = spin + 1;
  }
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}
