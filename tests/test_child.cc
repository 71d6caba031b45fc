// A process for the end-to-end tests to find: it runs N extra threads that
// sleep (or burn CPU) until it is killed, holding exactly F open files when
// asked. Usage: test_child [threads N] [burn] [files F]
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

int main(int argc, char** argv) {
  int extra_threads = 0;
  bool burn = false;
  int files = -1;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "threads") == 0 && i + 1 < argc) extra_threads = std::atoi(argv[++i]);
    if (std::strcmp(argv[i], "burn") == 0) burn = true;
    if (std::strcmp(argv[i], "files") == 0 && i + 1 < argc) files = std::atoi(argv[++i]);
  }
  if (files >= 0) {
    for (int fd = 0; fd < 1024; ++fd) close(fd);
    for (int i = 0; i < files; ++i) open("/dev/null", O_RDONLY);
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
