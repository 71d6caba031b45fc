// taskmeld run with less than root's view of /proc: as an unprivileged user,
// and on a /proc that hides other users' processes.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>

#include "tests/e2e_util.h"

namespace {

struct ShellResult {
  int exit_code = -1;
  std::string output;
};

ShellResult Shell(const std::string& command) {
  ShellResult result;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return result;
  char buffer[4096];
  for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
    result.output.append(buffer, n);
  const int status = pclose(pipe);
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

const std::string kAsNobody = "setpriv --reuid=65534 --regid=65534 --clear-groups ";

// A copy of the binary that an unprivileged user may run wherever the build
// lives (a checkout under a private home, say).
class ReachableBinary {
 public:
  ReachableBinary() {
    char pattern[] = "/tmp/taskmeld-restricted-XXXXXX";
    dir_ = mkdtemp(pattern);
    std::filesystem::permissions(dir_, std::filesystem::perms(0755));
    path_ = dir_ + "/taskmeld";
    std::filesystem::copy_file(TASKMELD_BINARY, path_);
    std::filesystem::permissions(path_, std::filesystem::perms(0755));
  }
  ~ReachableBinary() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string dir_;
  std::string path_;
};

// The Hnd column of the default list's line for `pid`, or -1.
int HandlesOf(const std::string& output, const std::string& pid) {
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    std::string name, id, priority, threads;
    int handles = -1;
    if (fields >> name >> id >> priority >> threads >> handles && id == pid) return handles;
  }
  return -1;
}

TEST(RestrictedTest, AnUnprivilegedUserSeesEveryProcess) {
  const ReachableBinary binary;
  const ShellResult result = Shell(kAsNobody + binary.path() + " 2>&1");
  ASSERT_EQ(result.exit_code, 0) << result.output;
  // Root's first process is listed although its fd and io files are closed
  // to others (the kernel still tells anyone its number of descriptors).
  EXPECT_GE(HandlesOf(result.output, "1"), 0) << result.output;
  EXPECT_EQ(result.output.find("Cannot create"), std::string::npos);
  const ShellResult threads = Shell(kAsNobody + binary.path() + " -x 1 2>&1");
  EXPECT_EQ(threads.exit_code, 0) << threads.output;
  EXPECT_NE(threads.output.find(" Tid Pri"), std::string::npos) << threads.output;
}

TEST(RestrictedTest, AProcThatHidesOtherUsersListsOnlyOwnProcesses) {
  // A pid and mount namespace of the test's own, its /proc hiding every
  // process but the reader's; a root-owned sleeper stands beside taskmeld.
  const ReachableBinary binary;
  const ShellResult result = Shell(
      "unshare --mount --pid --fork sh -c 'mount -t proc -o hidepid=invisible proc /proc && "
      "(sleep 30 &) && " +
      kAsNobody + binary.path() + "' 2>&1");
  ASSERT_EQ(result.exit_code, 0) << result.output;
  EXPECT_NE(result.output.find("\ntaskmeld "), std::string::npos) << result.output;
  EXPECT_EQ(result.output.find("\nsleep "), std::string::npos) << result.output;
  EXPECT_EQ(result.output.find("\nsh "), std::string::npos) << result.output;
}

}  // namespace
