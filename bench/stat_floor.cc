// The floor for a process list: open, read and close every /proc/PID/stat
// once and print nothing. No lister can do less work for the same data.
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

int main() {
  DIR* proc = opendir("/proc");
  if (proc == nullptr) return 1;
  char path[300];
  char buffer[4096];
  while (const dirent* entry = readdir(proc)) {
    if (entry->d_name[0] < '1' || entry->d_name[0] > '9') continue;
    std::snprintf(path, sizeof path, "/proc/%s/stat", entry->d_name);
    const int fd = open(path, O_RDONLY);
    if (fd < 0) continue;
    if (read(fd, buffer, sizeof buffer) < 0) {
      // A process that ended meanwhile is simply gone.
    }
    close(fd);
  }
  closedir(proc);
  return 0;
}
