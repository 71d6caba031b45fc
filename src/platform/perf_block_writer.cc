#include "platform/perf_block_writer.h"

#include <cstring>

namespace perfblock {
namespace {

constexpr std::uint32_t kNoUniqueId = 0xFFFFFFFFu;
constexpr std::int64_t kTicksPerSecond = 10'000'000;

constexpr std::size_t RoundUp8(std::size_t n) { return (n + 7) & ~std::size_t{7}; }

}  // namespace

BlockWriter::BlockWriter(std::u16string_view system_name, std::int64_t now_ticks)
    : now_ticks_(now_ticks) {
  const std::size_t name_bytes = (system_name.size() + 1) * 2;
  const std::size_t header = RoundUp8(kDataBlockSize + name_bytes);
  bytes_.reserve(1 << 16);
  Grow(header);
  std::memcpy(bytes_.data(), u"PERF", 8);
  PutU32(8, 1);   // LittleEndian
  PutU32(12, 1);  // Version
  PutU32(16, 1);  // Revision
  PutU32(24, static_cast<std::uint32_t>(header));
  PutU32(32, 0xFFFFFFFFu);                            // DefaultObject: none
  PutU64(56, static_cast<std::uint64_t>(now_ticks));  // PerfTime
  PutU64(64, kTicksPerSecond);                        // PerfFreq
  PutU64(72, static_cast<std::uint64_t>(now_ticks));  // PerfTime100nSec
  PutU32(80, static_cast<std::uint32_t>(name_bytes));
  PutU32(84, kDataBlockSize);
  std::memcpy(bytes_.data() + kDataBlockSize, system_name.data(), system_name.size() * 2);
}

void BlockWriter::BeginObject(std::uint32_t title_index, std::span<const CounterSpec> counters) {
  counters_.assign(counters.begin(), counters.end());
  offsets_.clear();
  // The counter block starts with its own 4-byte length.
  std::uint32_t offset = 4;
  for (const CounterSpec& counter : counters_) {
    if (counter.size == 8) offset = (offset + 7) & ~7u;
    offsets_.push_back(offset);
    offset += counter.size;
  }
  counter_block_size_ = static_cast<std::uint32_t>(RoundUp8(offset));

  object_start_ = Grow(kObjectTypeSize + counters_.size() * kCounterDefinitionSize);
  instance_count_ = 0;
  const auto definitions_end =
      static_cast<std::uint32_t>(kObjectTypeSize + counters_.size() * kCounterDefinitionSize);
  PutU32(object_start_ + 4, definitions_end);  // DefinitionLength
  PutU32(object_start_ + 8, kObjectTypeSize);  // HeaderLength
  PutU32(object_start_ + 12, title_index);
  PutU32(object_start_ + 20, title_index + 1);  // help index
  PutU32(object_start_ + 28, 100);              // detail level: novice
  PutU32(object_start_ + 32, static_cast<std::uint32_t>(counters_.size()));
  PutU64(object_start_ + 48, static_cast<std::uint64_t>(now_ticks_));
  PutU64(object_start_ + 56, kTicksPerSecond);
  std::size_t definition = object_start_ + kObjectTypeSize;
  for (std::size_t j = 0; j < counters_.size(); ++j, definition += kCounterDefinitionSize) {
    PutU32(definition, kCounterDefinitionSize);
    PutU32(definition + 4, counters_[j].title_index);
    PutU32(definition + 12, counters_[j].title_index + 1);
    PutU32(definition + 24, 100);
    PutU32(definition + 28, counters_[j].type);
    PutU32(definition + 32, counters_[j].size);
    PutU32(definition + 36, offsets_[j]);
  }
}

void BlockWriter::AddInstance(std::u16string_view name, std::span<const std::uint64_t> values) {
  const std::size_t name_bytes = (name.size() + 1) * 2;
  const std::size_t instance_size = RoundUp8(kInstanceDefinitionSize + name_bytes);
  const std::size_t start = Grow(instance_size + counter_block_size_);
  PutU32(start, static_cast<std::uint32_t>(instance_size));
  PutU32(start + 12, kNoUniqueId);
  PutU32(start + 16, kInstanceDefinitionSize);
  PutU32(start + 20, static_cast<std::uint32_t>(name_bytes));
  std::memcpy(bytes_.data() + start + kInstanceDefinitionSize, name.data(), name.size() * 2);
  const std::size_t block = start + instance_size;
  PutU32(block, counter_block_size_);
  for (std::size_t j = 0; j < counters_.size() && j < values.size(); ++j) {
    if (counters_[j].size == 8) {
      PutU64(block + offsets_[j], values[j]);
    } else {
      PutU32(block + offsets_[j], static_cast<std::uint32_t>(values[j]));
    }
  }
  ++instance_count_;
}

void BlockWriter::EndObject() {
  PutU32(object_start_, static_cast<std::uint32_t>(bytes_.size() - object_start_));
  PutU32(object_start_ + 40, instance_count_);
  ++object_count_;
}

std::vector<std::uint8_t> BlockWriter::Finish() {
  PutU32(20, static_cast<std::uint32_t>(bytes_.size()));
  PutU32(28, object_count_);
  return std::move(bytes_);
}

void BlockWriter::PutU32(std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void BlockWriter::PutU64(std::size_t offset, std::uint64_t value) {
  for (int i = 0; i < 8; ++i) bytes_[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

std::size_t BlockWriter::Grow(std::size_t bytes) {
  const std::size_t start = bytes_.size();
  bytes_.resize(start + bytes);
  return start;
}

}  // namespace perfblock
