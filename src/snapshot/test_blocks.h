// Test helpers: counter titles registered in the fake registry, and reading
// and poking the bytes of blocks made by perfblock::BlockWriter.
#ifndef TASKMELD_SNAPSHOT_TEST_BLOCKS_H_
#define TASKMELD_SNAPSHOT_TEST_BLOCKS_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "perfdata/perf_query.h"
#include "platform/perf_block_writer.h"
#include "platform/platform_fake.h"

namespace testblocks {

/// Gives each counter name an even title index (2, 4, ...) on first use, as
/// Perflib numbers its counters, and installs the names as the registry's
/// title list.
class Titles {
 public:
  /// The CounterSpec of a counter `name` with a value of `size` bytes.
  perfblock::CounterSpec Counter(std::u16string_view name, std::uint32_t size = 8) {
    return {IndexOf(name), perfblock::kLargeRawCount, size};
  }

  /// Title index of `name`, registering it on first use.
  std::uint32_t IndexOf(std::u16string_view name) {
    for (std::size_t i = 0; i < names_.size(); ++i) {
      if (names_[i] == name) return static_cast<std::uint32_t>(2 * i + 2);
    }
    names_.emplace_back(name);
    return static_cast<std::uint32_t>(2 * names_.size());
  }

  /// Sets the fake registry's "Counter" list to the names registered so far.
  void Install() const {
    std::vector<std::u16string> pairs;
    for (std::size_t i = 0; i < names_.size(); ++i) {
      pairs.push_back(ToU16(std::to_string(2 * i + 2)));
      pairs.push_back(names_[i]);
    }
    platform::fake::SetCounterTitles(pairs);
  }

 private:
  static std::u16string ToU16(const std::string& ascii) {
    return std::u16string(ascii.begin(), ascii.end());
  }
  std::vector<std::u16string> names_;
};

/// The little-endian 32-bit value at `offset` of `block`.
inline std::uint32_t Peek32(const std::vector<std::uint8_t>& block, std::size_t offset) {
  return static_cast<std::uint32_t>(block.at(offset) | block.at(offset + 1) << 8 |
                                    block.at(offset + 2) << 16 |
                                    static_cast<std::uint32_t>(block.at(offset + 3)) << 24);
}

/// Overwrites the 32-bit value at `offset` of `block`.
inline void Poke32(std::vector<std::uint8_t>* block, std::size_t offset, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) {
    block->at(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
  }
}

/// Overwrites the 32-bit value at `offset` of a query's buffer.
inline void Poke32(ByteBuffer* buffer, std::size_t offset, std::uint32_t value) {
  ASSERT_LE(offset + 4, buffer->size());
  for (std::size_t i = 0; i < 4; ++i)
    (*buffer)[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

/// Where the parts of a block's first object lie, read from its headers.
struct FirstObject {
  explicit FirstObject(const std::vector<std::uint8_t>& block)
      : object(Peek32(block, 24)),
        first_counter(object + Peek32(block, object + 8)),
        first_instance(first_counter +
                       std::size_t{Peek32(block, object + 32)} * perfblock::kCounterDefinitionSize),
        first_counter_block(first_instance + Peek32(block, first_instance)) {}
  std::size_t object;
  std::size_t first_counter;
  std::size_t first_instance;
  std::size_t first_counter_block;
};

}  // namespace testblocks

#endif  // TASKMELD_SNAPSHOT_TEST_BLOCKS_H_
