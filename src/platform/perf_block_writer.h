// Writes performance-data blocks in the published Windows layout: a data
// block header, then objects, each with its counter definitions and its
// instances (name and counter block). The Linux provider answers queries with
// these blocks, and tests build their blocks with it byte for byte.
#ifndef TASKMELD_PLATFORM_PERF_BLOCK_WRITER_H_
#define TASKMELD_PLATFORM_PERF_BLOCK_WRITER_H_

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace perfblock {

// Sizes of the published structures (64-bit layout).
inline constexpr std::uint32_t kDataBlockSize = 88;
inline constexpr std::uint32_t kObjectTypeSize = 64;
inline constexpr std::uint32_t kCounterDefinitionSize = 40;
inline constexpr std::uint32_t kInstanceDefinitionSize = 24;

// Counter types used by the provider.
inline constexpr std::uint32_t kRawCount = 0x00010000;        // 32-bit value
inline constexpr std::uint32_t kLargeRawCount = 0x00010100;   // 64-bit value
inline constexpr std::uint32_t kCounterCounter = 0x10410400;  // 32-bit rate
inline constexpr std::uint32_t kBulkCount = 0x10410500;       // 64-bit rate
inline constexpr std::uint32_t k100nsTimer = 0x20510500;      // 64-bit time
inline constexpr std::uint32_t k100nsTimerInverse = 0x21510500;
inline constexpr std::uint32_t kElapsedTime = 0x30240500;       // 64-bit start moment
inline constexpr std::uint32_t kRawCountHex = 0x00000000;       // 32-bit, shown in hex
inline constexpr std::uint32_t kLargeRawCountHex = 0x00000100;  // 64-bit, shown in hex

struct CounterSpec {
  std::uint32_t title_index;
  std::uint32_t type;
  std::uint32_t size;  // 4 or 8 bytes
};

/// Builds one block; objects and instances are appended in order.
class BlockWriter {
 public:
  /// `now_ticks` is the sample moment in 100-ns ticks since 1601.
  BlockWriter(std::u16string_view system_name, std::int64_t now_ticks);

  /// Starts an object; its counters get consecutive offsets in each counter
  /// block, 8-byte aligned for 64-bit values.
  void BeginObject(std::uint32_t title_index, std::span<const CounterSpec> counters);

  /// Adds an instance of the current object. `values[j]` is counter j's value;
  /// only its low CounterSize bytes are stored. Names are stored
  /// NUL-terminated.
  void AddInstance(std::u16string_view name, std::span<const std::uint64_t> values);

  /// Closes the current object: its length and instance count are set.
  void EndObject();

  /// Closes the block and hands over its bytes.
  std::vector<std::uint8_t> Finish();

  std::size_t size() const { return bytes_.size(); }

 private:
  void PutU32(std::size_t offset, std::uint32_t value);
  void PutU64(std::size_t offset, std::uint64_t value);
  std::size_t Grow(std::size_t bytes);

  std::vector<std::uint8_t> bytes_;
  std::int64_t now_ticks_;
  std::uint32_t object_count_ = 0;
  std::size_t object_start_ = 0;
  std::uint32_t instance_count_ = 0;
  std::vector<CounterSpec> counters_;
  std::vector<std::uint32_t> offsets_;
  std::uint32_t counter_block_size_ = 0;
};

}  // namespace perfblock

#endif  // TASKMELD_PLATFORM_PERF_BLOCK_WRITER_H_
