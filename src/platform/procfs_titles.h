// The counter title list that the provider publishes: the three objects it
// answers and every counter they carry, each name with one index. The
// indices are those of the English Windows title list, so that a reader
// written against Windows finds the same numbers here.
#ifndef TASKMELD_PLATFORM_PROCFS_TITLES_H_
#define TASKMELD_PLATFORM_PROCFS_TITLES_H_

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace procfs::titles {

inline constexpr std::uint32_t kProcess = 230;
inline constexpr std::uint32_t kThread = 232;
inline constexpr std::uint32_t kProcessor = 238;

inline constexpr std::uint32_t kProcessorTime = 6;
inline constexpr std::uint32_t kPageFaults = 28;
inline constexpr std::uint32_t kThreadState = 46;
inline constexpr std::uint32_t kPoolPagedBytes = 56;
inline constexpr std::uint32_t kPoolNonpagedBytes = 58;
inline constexpr std::uint32_t kUserTime = 142;
inline constexpr std::uint32_t kPrivilegedTime = 144;
inline constexpr std::uint32_t kContextSwitches = 146;
inline constexpr std::uint32_t kVirtualBytesPeak = 172;
inline constexpr std::uint32_t kVirtualBytes = 174;
inline constexpr std::uint32_t kWorkingSetPeak = 178;
inline constexpr std::uint32_t kWorkingSet = 180;
inline constexpr std::uint32_t kPageFileBytesPeak = 182;
inline constexpr std::uint32_t kPageFileBytes = 184;
inline constexpr std::uint32_t kPrivateBytes = 186;
inline constexpr std::uint32_t kThreadWaitReason = 336;
inline constexpr std::uint32_t kThreadCount = 680;
inline constexpr std::uint32_t kPriorityBase = 682;
inline constexpr std::uint32_t kElapsedTime = 684;
inline constexpr std::uint32_t kPriorityCurrent = 694;
inline constexpr std::uint32_t kStartAddress = 706;
inline constexpr std::uint32_t kIdProcess = 784;
inline constexpr std::uint32_t kIdThread = 804;
inline constexpr std::uint32_t kHandleCount = 952;
inline constexpr std::uint32_t kCreatingProcessId = 1410;
inline constexpr std::uint32_t kIoReadOperations = 1412;
inline constexpr std::uint32_t kIoWriteOperations = 1414;
inline constexpr std::uint32_t kIoDataOperations = 1416;
inline constexpr std::uint32_t kIoOtherOperations = 1418;
inline constexpr std::uint32_t kIoReadBytes = 1420;
inline constexpr std::uint32_t kIoWriteBytes = 1422;
inline constexpr std::uint32_t kIoDataBytes = 1424;
inline constexpr std::uint32_t kIoOtherBytes = 1426;
inline constexpr std::uint32_t kWorkingSetPrivate = 1478;

struct Title {
  std::uint32_t index;
  std::u16string_view name;
};

/// Every published title, in ascending index order.
std::span<const Title> AllTitles();

/// The highest published index: the "Last Counter" value.
std::uint32_t LastIndex();

/// The "Counter" value: UTF-16LE strings index, name, index, name, ... and
/// the empty string that ends a multi-string.
std::vector<std::uint8_t> CounterMultiString();

}  // namespace procfs::titles

#endif  // TASKMELD_PLATFORM_PROCFS_TITLES_H_
