#include "platform/procfs_titles.h"

#include <string>

namespace procfs::titles {
namespace {

constexpr Title kTitles[] = {
    {kProcessorTime, u"% Processor Time"},
    {kPageFaults, u"Page Faults/sec"},
    {kThreadState, u"Thread State"},
    {kPoolPagedBytes, u"Pool Paged Bytes"},
    {kPoolNonpagedBytes, u"Pool Nonpaged Bytes"},
    {kUserTime, u"% User Time"},
    {kPrivilegedTime, u"% Privileged Time"},
    {kContextSwitches, u"Context Switches/sec"},
    {kVirtualBytesPeak, u"Virtual Bytes Peak"},
    {kVirtualBytes, u"Virtual Bytes"},
    {kWorkingSetPeak, u"Working Set Peak"},
    {kWorkingSet, u"Working Set"},
    {kPageFileBytesPeak, u"Page File Bytes Peak"},
    {kPageFileBytes, u"Page File Bytes"},
    {kPrivateBytes, u"Private Bytes"},
    {kProcess, u"Process"},
    {kThread, u"Thread"},
    {kProcessor, u"Processor"},
    {kThreadWaitReason, u"Thread Wait Reason"},
    {kThreadCount, u"Thread Count"},
    {kPriorityBase, u"Priority Base"},
    {kElapsedTime, u"Elapsed Time"},
    {kPriorityCurrent, u"Priority Current"},
    {kStartAddress, u"Start Address"},
    {kIdProcess, u"ID Process"},
    {kIdThread, u"ID Thread"},
    {kHandleCount, u"Handle Count"},
    {kCreatingProcessId, u"Creating Process ID"},
    {kIoReadOperations, u"IO Read Operations/sec"},
    {kIoWriteOperations, u"IO Write Operations/sec"},
    {kIoDataOperations, u"IO Data Operations/sec"},
    {kIoOtherOperations, u"IO Other Operations/sec"},
    {kIoReadBytes, u"IO Read Bytes/sec"},
    {kIoWriteBytes, u"IO Write Bytes/sec"},
    {kIoDataBytes, u"IO Data Bytes/sec"},
    {kIoOtherBytes, u"IO Other Bytes/sec"},
    {kWorkingSetPrivate, u"Working Set - Private"},
};

void AppendString(std::u16string_view text, std::vector<std::uint8_t>* out) {
  for (const char16_t unit : text) {
    out->push_back(static_cast<std::uint8_t>(unit & 0xFF));
    out->push_back(static_cast<std::uint8_t>(unit >> 8));
  }
  out->push_back(0);
  out->push_back(0);
}

}  // namespace

std::span<const Title> AllTitles() { return kTitles; }

std::uint32_t LastIndex() { return std::end(kTitles)[-1].index; }

std::vector<std::uint8_t> CounterMultiString() {
  std::vector<std::uint8_t> out;
  for (const Title& title : kTitles) {
    const std::string digits = std::to_string(title.index);
    AppendString(std::u16string(digits.begin(), digits.end()), &out);
    AppendString(title.name, &out);
  }
  AppendString(u"", &out);
  return out;
}

}  // namespace procfs::titles
