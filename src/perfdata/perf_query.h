// One performance-data query: the block as the registry returned it, and the
// positions of the current object, its first counter definition and its
// first instance. Every position and length is checked against the bytes
// returned, so a malformed block fails the query instead of being read past.
#ifndef TASKMELD_PERFDATA_PERF_QUERY_H_
#define TASKMELD_PERFDATA_PERF_QUERY_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

/// Bytes that a query fills, left uninitialised: the interface overwrites
/// what it returns, and pages never written cost no memory.
class ByteBuffer {
 public:
  /// Replaces the bytes with `size` new ones; throws std::bad_alloc.
  void Allocate(std::size_t size) {
    bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
    size_ = size;
  }
  void Release() {
    bytes_.reset();
    size_ = 0;
  }
  std::uint8_t* data() { return bytes_.get(); }
  const std::uint8_t* data() const { return bytes_.get(); }
  std::size_t size() const { return size_; }
  std::uint8_t& operator[](std::size_t i) { return bytes_[i]; }
  std::uint8_t operator[](std::size_t i) const { return bytes_[i]; }

 private:
  std::unique_ptr<std::uint8_t[]> bytes_;
  std::size_t size_ = 0;
};

struct PerfDataView {
  std::size_t block = 0;                      // always 0: the block starts the buffer
  std::size_t object = 0;                     // the current object
  std::uint32_t object_number = 0;            // the current object's place, from 0
  std::optional<std::size_t> first_counter;   // set when the object has counters
  std::optional<std::size_t> first_instance;  // right behind the last definition
  std::uint32_t buffer_size = 0;              // size of the current or last attempt
  std::uint32_t data_size = 0;                // bytes the query returned
  ByteBuffer buffer;
};

/// Queries object `index_text` ("230", "232", "238") into `view`, growing the
/// buffer from 64 KiB by doubling while the answer is more-data. False on any
/// other error, when memory runs out, when the block counts no object, or when
/// the block or its first object lies outside the bytes returned.
bool QueryPerfData(PerfDataView* view, std::u16string_view index_text);

/// Moves `view` to the object behind the current one. False when the block
/// holds no further object or it lies outside the bytes returned.
bool NextPerfObject(PerfDataView* view);

// ---- Bounds-checked reading of the block ----------------------------------

/// The little-endian 32-bit value at `offset`, or nothing when it does not lie
/// wholly within the returned bytes.
std::optional<std::uint32_t> ReadU32(const PerfDataView& view, std::size_t offset);

/// The current object's instance count, or nothing when its header does not
/// lie within the returned bytes.
std::optional<std::uint32_t> ReadInstanceCount(const PerfDataView& view);

/// One counter definition, read and checked.
struct CounterDefinition {
  std::uint32_t title_index = 0;
  std::uint32_t size = 0;
  std::uint32_t offset = 0;  // from the start of an instance's counter block
};

/// One instance, located and checked: its name lies inside the instance and
/// its counter block inside the returned bytes.
struct InstanceLocation {
  std::size_t name = 0;           // position of the name
  std::uint32_t name_length = 0;  // bytes, terminator included
  std::size_t counter_block = 0;  // position of the counter block
  std::uint32_t counter_block_length = 0;
  std::size_t next = 0;  // where the next instance starts
};

/// Reads the current object's counter definitions and instance count. False
/// when a definition lies outside the returned bytes, the count claims more
/// instances than the bytes can hold, or instances come without counter
/// definitions (their place is then unknown).
bool ReadObjectLayout(const PerfDataView& view, std::vector<CounterDefinition>* counters,
                      std::uint32_t* instance_count);

/// Locates the instance at `position`. False when any part of it lies outside
/// the returned bytes, its name lies outside the instance, or a length would
/// step nowhere.
bool LocateInstance(const PerfDataView& view, std::size_t position, InstanceLocation* instance);

/// The value of `counter` in `instance`: its CounterSize bytes. Nothing when
/// they do not lie wholly inside the instance's counter block.
std::optional<std::span<const std::uint8_t>> CounterValueBytes(const PerfDataView& view,
                                                               const InstanceLocation& instance,
                                                               const CounterDefinition& counter);

#endif  // TASKMELD_PERFDATA_PERF_QUERY_H_
