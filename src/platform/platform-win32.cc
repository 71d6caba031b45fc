// The platform on Windows: each seam call forwards to the system call of the
// same purpose. Output is buffered here, so the console calls flush it first
// to keep text and cursor moves in the order the views issued them.
#include <windows.h>

#include <string>

#include "platform/console_control.h"
#include "platform/platform.h"
#include "platform/wide_output.h"
#include "platform/win32_records.h"

namespace platform {
namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows text is UTF-16");

// The seam's key numbers are 32-bit; the predefined key is a sign-extended
// pointer on 64-bit Windows, so it is mapped, not cast.
HKEY ToHkey(KeyHandle key) {
  return key == kPerformanceDataKey ? HKEY_PERFORMANCE_DATA : reinterpret_cast<HKEY>(key);
}

// The registry wants NUL-terminated names.
std::wstring Terminated(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

HANDLE ToHandle(ConsoleHandle console) { return reinterpret_cast<HANDLE>(console); }

COORD ToCoord(Cell cell) { return COORD{cell.column, cell.row}; }

BOOL WINAPI OnConsoleControl(DWORD control_type) {
  return HandleConsoleControl(control_type, g_stop_requested) ? TRUE : FALSE;
}

bool WriteConsoleText(HANDLE out, std::u16string_view text) {
  while (!text.empty()) {
    DWORD written = 0;
    if (!WriteConsoleW(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        written == 0) {
      return false;
    }
    text.remove_prefix(written);
  }
  return true;
}

// Set when a write finds the pipe's reader gone.
bool output_reader_gone = false;

bool WriteBytes(HANDLE out, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(bytes.size() < (1u << 30) ? bytes.size() : (1u << 30));
    DWORD written = 0;
    if (!WriteFile(out, bytes.data(), chunk, &written, nullptr) || written == 0) {
      const DWORD error = GetLastError();
      output_reader_gone = error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE;
      return false;
    }
    bytes.remove_prefix(written);
  }
  return true;
}

WideOutput& Output() {
  static WideOutput output = [] {
    const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD mode = 0;
    OutputSink sink;
    // Only a real console has a mode; a file or pipe does not.
    sink.console = out != nullptr && out != INVALID_HANDLE_VALUE && GetConsoleMode(out, &mode);
    sink.write_console = [out](std::u16string_view text) { return WriteConsoleText(out, text); };
    sink.write_bytes = [out](std::string_view bytes) { return WriteBytes(out, bytes); };
    return WideOutput(std::move(sink));
  }();
  return output;
}

}  // namespace

bool OpenLocalMachineKey(std::u16string_view path, KeyHandle* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Terminated(path).c_str(), 0, KEY_QUERY_VALUE, &opened) !=
      ERROR_SUCCESS) {
    return false;
  }
  *key = reinterpret_cast<KeyHandle>(opened);
  return true;
}

QueryStatus QueryValue(KeyHandle key, std::u16string_view name, std::uint32_t* type,
                       std::uint8_t* data, std::uint32_t* size) {
  DWORD value_type = 0;
  DWORD bytes = *size;
  const LSTATUS status =
      RegQueryValueExW(ToHkey(key), Terminated(name).c_str(), nullptr, &value_type, data, &bytes);
  *size = bytes;
  if (type != nullptr) *type = value_type;
  if (status == ERROR_SUCCESS) return QueryStatus::kSuccess;
  return status == ERROR_MORE_DATA ? QueryStatus::kMoreData : QueryStatus::kFailed;
}

void CloseKey(KeyHandle key) {
  if (key != kPerformanceDataKey) RegCloseKey(ToHkey(key));
}

NameStatus QueryComputerName(char16_t* buffer, std::uint32_t* size) {
  DWORD units = buffer == nullptr ? 0 : *size;
  if (GetComputerNameW(reinterpret_cast<wchar_t*>(buffer), &units)) {
    *size = units;
    return NameStatus::kSuccess;
  }
  if (GetLastError() != ERROR_BUFFER_OVERFLOW) return NameStatus::kFailed;
  *size = units;
  return NameStatus::kBufferTooSmall;
}

CalendarTime CurrentUtcTime() {
  SYSTEMTIME now{};
  GetSystemTime(&now);
  return FromSystemTime(now);
}

CalendarTime ToLocalTime(const CalendarTime& utc) {
  SYSTEMTIME in{};
  ToSystemTime(utc, &in);
  SYSTEMTIME local = in;
  // On failure the UTC time is shown; it is for display only.
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &in, &local)) local = in;
  return FromSystemTime(local);
}

void RaisePriority() { SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS); }

void InstallInterruptHandler() { SetConsoleCtrlHandler(OnConsoleControl, TRUE); }

void SleepMilliseconds(std::uint32_t milliseconds) {
  Output().Flush();
  Sleep(milliseconds);
}

ConsoleHandle StandardOutputHandle() {
  return reinterpret_cast<ConsoleHandle>(GetStdHandle(STD_OUTPUT_HANDLE));
}

bool GetScreenBufferInfo(ConsoleHandle console, ScreenBufferInfo* info) {
  Output().Flush();
  CONSOLE_SCREEN_BUFFER_INFO c{};
  if (!GetConsoleScreenBufferInfo(ToHandle(console), &c)) return false;
  *info = FromConsoleInfo(c);
  return true;
}

bool FillWithBlanks(ConsoleHandle console, std::uint32_t count, Cell start) {
  Output().Flush();
  DWORD done = 0;
  return FillConsoleOutputCharacterW(ToHandle(console), L' ', count, ToCoord(start), &done) != 0;
}

bool FillAttributes(ConsoleHandle console, std::uint16_t attributes, std::uint32_t count,
                    Cell start) {
  Output().Flush();
  DWORD done = 0;
  return FillConsoleOutputAttribute(ToHandle(console), attributes, count, ToCoord(start), &done) !=
         0;
}

bool SetCursorPosition(ConsoleHandle console, Cell position) {
  Output().Flush();
  return SetConsoleCursorPosition(ToHandle(console), ToCoord(position)) != 0;
}

bool EraseToEndOfRow(ConsoleHandle console) {
  ScreenBufferInfo info;
  if (!GetScreenBufferInfo(console, &info)) return false;
  return FillWithBlanks(console, CellsToEndOfRow(info), info.cursor);
}

void WriteOutput(std::u16string_view text) { Output().Write(text); }

bool FlushOutput() { return Output().Flush(); }

bool OutputReaderGone() { return output_reader_gone; }

}  // namespace platform
