// The platform on POSIX systems. The registry is answered by the /proc
// provider; the console is the terminal, driven with the standard control
// sequences; output is UTF-8.
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "platform/procfs_provider.h"
#include "platform/terminal_output.h"
#include "platform/utf.h"

namespace platform {
namespace {

constexpr std::int64_t kTicksPerSecond = 10'000'000;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr std::int64_t kUnixEpochSeconds = 11'644'473'600;

std::int64_t ClockTicks(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return std::int64_t{now.tv_sec} * kTicksPerSecond + now.tv_nsec / 100;
}

procfs::ProviderClock ReadProviderClock() {
  const std::int64_t now = ClockTicks(CLOCK_REALTIME) + kUnixEpochSeconds * kTicksPerSecond;
  // btime of /proc/stat has whole seconds only; the two clocks give the boot
  // moment to the tick.
  return procfs::ProviderClock{now - ClockTicks(CLOCK_BOOTTIME), now};
}

std::u16string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return utf::ToUtf16(name);
}

procfs::Provider& TheProvider() {
  static procfs::Provider provider("/proc", ReadProviderClock, sysconf(_SC_CLK_TCK), HostName());
  return provider;
}

TerminalOutput& Output() {
  static TerminalOutput output(STDOUT_FILENO);
  return output;
}

CalendarTime FromTm(const tm& t, long nanoseconds) {
  CalendarTime c;
  c.year = static_cast<std::uint16_t>(t.tm_year + 1900);
  c.month = static_cast<std::uint16_t>(t.tm_mon + 1);
  c.day_of_week = static_cast<std::uint16_t>(t.tm_wday);
  c.day = static_cast<std::uint16_t>(t.tm_mday);
  c.hour = static_cast<std::uint16_t>(t.tm_hour);
  c.minute = static_cast<std::uint16_t>(t.tm_min);
  c.second = static_cast<std::uint16_t>(t.tm_sec);
  c.milliseconds = static_cast<std::uint16_t>(nanoseconds / 1'000'000);
  return c;
}

void OnInterrupt(int) { g_stop_requested.store(1, std::memory_order_relaxed); }

}  // namespace

bool OpenLocalMachineKey(std::u16string_view path, KeyHandle* key) {
  return TheProvider().OpenKey(path, key);
}

QueryStatus QueryValue(KeyHandle key, std::u16string_view name, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t* size) {
  if (key == kPerformanceDataKey) {
    if (type != nullptr) *type = 3;  // binary, as the system reports it
    return TheProvider().QueryPerformanceData(name, data, size);
  }
  return TheProvider().QueryKeyValue(key, name, type, data, size);
}

void CloseKey(KeyHandle) {}

NameStatus QueryComputerName(char16_t* buffer, std::uint32_t* size) {
  const std::u16string name = HostName();
  if (name.empty()) return NameStatus::kFailed;
  const auto needed = static_cast<std::uint32_t>(name.size() + 1);
  if (buffer == nullptr || *size < needed) {
    *size = needed;
    return NameStatus::kBufferTooSmall;
  }
  name.copy(buffer, name.size());
  buffer[name.size()] = u'\0';
  *size = needed - 1;
  return NameStatus::kSuccess;
}

CalendarTime CurrentUtcTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm utc{};
  gmtime_r(&now.tv_sec, &utc);
  return FromTm(utc, now.tv_nsec);
}

CalendarTime ToLocalTime(const CalendarTime& utc) {
  const std::int64_t ticks = CalendarTimeToTicks(utc);
  const time_t seconds = static_cast<time_t>(ticks / kTicksPerSecond - kUnixEpochSeconds);
  tm local{};
  localtime_r(&seconds, &local);
  return FromTm(local, std::int64_t{utc.milliseconds} * 1'000'000);
}

void RaisePriority() {
  // Lowering the nice value needs privilege; without it the run goes on as is.
  (void)setpriority(PRIO_PROCESS, 0, -10);
}

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  // A reader that goes away shows as a failed write, not as a killed process.
  signal(SIGPIPE, SIG_IGN);
}

void SleepMilliseconds(std::uint32_t milliseconds) {
  Output().Flush();
  timespec left{static_cast<time_t>(milliseconds / 1000),
                static_cast<long>(milliseconds % 1000) * 1'000'000};
  // Ctrl+C must not cut the sleep short: resume for the time that is left.
  while (nanosleep(&left, &left) != 0 && errno == EINTR) {
  }
}

ConsoleHandle StandardOutputHandle() { return STDOUT_FILENO; }

bool GetScreenBufferInfo(ConsoleHandle, ScreenBufferInfo* info) {
  return Output().ScreenInfo(info);
}

bool FillWithBlanks(ConsoleHandle, std::uint32_t count, Cell start) {
  return Output().BlankFrom(start, count);
}

bool FillAttributes(ConsoleHandle, std::uint16_t, std::uint32_t, Cell) {
  // A terminal keeps no per-cell attribute that the views change.
  return Output().IsTerminal();
}

bool SetCursorPosition(ConsoleHandle, Cell position) { return Output().MoveCursor(position); }

bool EraseToEndOfRow(ConsoleHandle) { return Output().EraseToEndOfRow(); }

void WriteOutput(std::u16string_view text) { Output().Write(text); }

bool FlushOutput() { return Output().Flush(); }

bool OutputReaderGone() { return Output().ReaderGone(); }

}  // namespace platform
