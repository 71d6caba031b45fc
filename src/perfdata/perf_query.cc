#include "perfdata/perf_query.h"

#include <algorithm>
#include <limits>
#include <new>

#include "platform/platform.h"

namespace {

constexpr std::uint32_t kFirstBufferSize = 64 * 1024;

// Bytes each structure must hold for the fields that are read from it.
constexpr std::uint32_t kBlockFields = 32;        // up to NumObjectTypes
constexpr std::uint32_t kObjectFields = 44;       // up to NumInstances
constexpr std::uint32_t kDefinitionFields = 40;   // up to CounterOffset
constexpr std::uint32_t kInstanceFields = 24;     // up to NameLength
constexpr std::uint32_t kCounterBlockFields = 4;  // ByteLength
constexpr std::uint64_t kSmallestInstance = kInstanceFields + kCounterBlockFields;

// Whether `length` bytes from `position` lie within the returned bytes. The
// arithmetic is 64-bit and subtracts, so no sum can wrap.
bool Fits(const PerfDataView& view, std::uint64_t position, std::uint64_t length) {
  return position <= view.data_size && length <= view.data_size - position;
}

// A length field read at `position` that must cover at least `minimum` bytes
// (so that every step moves forward) and stay within the returned bytes.
std::optional<std::uint32_t> ReadLength(const PerfDataView& view, std::size_t position,
                                        std::uint32_t minimum) {
  if (!Fits(view, position, minimum)) return std::nullopt;
  const std::uint32_t length = *ReadU32(view, position);
  if (length < minimum || !Fits(view, position, length)) return std::nullopt;
  return length;
}

// Makes the object at `object` the current one when it and its counter
// definitions lie within the returned bytes; `view` is unchanged otherwise.
bool EnterObject(PerfDataView* view, std::size_t object) {
  if (!ReadLength(*view, object, kObjectFields)) return false;
  std::optional<std::size_t> first_counter;
  std::optional<std::size_t> first_instance;
  const std::uint32_t counters = *ReadU32(*view, object + 32);
  if (counters > 0) {
    std::size_t position = object + *ReadU32(*view, object + 8);
    first_counter = position;
    // Each step moves at least one definition's size inside the data, so a
    // huge count ends at the data's end instead of looping on.
    for (std::uint32_t j = 0; j < counters; ++j) {
      const auto length = ReadLength(*view, position, kDefinitionFields);
      if (!length) return false;
      position += *length;
    }
    first_instance = position;
  }
  view->object = object;
  view->first_counter = first_counter;
  view->first_instance = first_instance;
  return true;
}

// A fresh buffer of `view->buffer_size` bytes; false when memory runs out.
bool Allocate(PerfDataView* view) {
  try {
    view->buffer.Allocate(view->buffer_size);
  } catch (const std::bad_alloc&) {
    view->buffer.Release();
    return false;
  }
  return true;
}

}  // namespace

bool QueryPerfData(PerfDataView* view, std::u16string_view index_text) {
  view->buffer_size = kFirstBufferSize;
  for (;;) {
    if (!Allocate(view)) return false;
    std::uint32_t size = view->buffer_size;
    const platform::QueryStatus status = platform::QueryValue(
        platform::kPerformanceDataKey, index_text, nullptr, view->buffer.data(), &size);
    if (status == platform::QueryStatus::kSuccess) {
      view->data_size = std::min(size, view->buffer_size);
      break;
    }
    if (status != platform::QueryStatus::kMoreData) return false;
    view->buffer.Release();
    if (view->buffer_size > std::numeric_limits<std::uint32_t>::max() / 2) return false;
    view->buffer_size *= 2;
  }
  view->block = 0;
  view->object_number = 0;
  if (!Fits(*view, 0, kBlockFields) || *ReadU32(*view, 28) == 0) return false;
  return EnterObject(view, *ReadU32(*view, 24));
}

bool NextPerfObject(PerfDataView* view) {
  const auto objects = ReadU32(*view, 28);
  if (!objects || view->object_number + std::uint64_t{1} >= *objects) return false;
  const auto length = ReadLength(*view, view->object, kObjectFields);
  if (!length || !EnterObject(view, view->object + *length)) return false;
  ++view->object_number;
  return true;
}

std::optional<std::uint32_t> ReadU32(const PerfDataView& view, std::size_t offset) {
  if (!Fits(view, offset, 4)) return std::nullopt;
  const std::uint8_t* bytes = view.buffer.data() + offset;
  return static_cast<std::uint32_t>(bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                    static_cast<std::uint32_t>(bytes[3]) << 24);
}

std::optional<std::uint32_t> ReadInstanceCount(const PerfDataView& view) {
  return ReadU32(view, view.object + 40);
}

bool ReadObjectLayout(const PerfDataView& view, std::vector<CounterDefinition>* counters,
                      std::uint32_t* instance_count) {
  const auto declared = ReadU32(view, view.object + 32);
  const auto instances = ReadInstanceCount(view);
  if (!declared || !instances) return false;
  counters->clear();
  if (view.first_counter) {
    std::size_t position = *view.first_counter;
    for (std::uint32_t j = 0; j < *declared; ++j) {
      const auto length = ReadLength(view, position, kDefinitionFields);
      if (!length) return false;
      counters->push_back({*ReadU32(view, position + 4), *ReadU32(view, position + 32),
                           *ReadU32(view, position + 36)});
      position += *length;
    }
  }
  if (*instances > 0 &&
      (!view.first_instance || !Fits(view, *view.first_instance, *instances * kSmallestInstance))) {
    return false;
  }
  *instance_count = *instances;
  return true;
}

bool LocateInstance(const PerfDataView& view, std::size_t position, InstanceLocation* instance) {
  const auto length = ReadLength(view, position, kInstanceFields);
  if (!length) return false;
  const std::uint32_t name_offset = *ReadU32(view, position + 16);
  const std::uint32_t name_length = *ReadU32(view, position + 20);
  if (name_length > 0 && (name_offset > *length || name_length > *length - name_offset)) {
    return false;
  }
  const std::size_t counter_block = position + *length;
  const auto block_length = ReadLength(view, counter_block, kCounterBlockFields);
  if (!block_length) return false;
  instance->name = position + name_offset;
  instance->name_length = name_length;
  instance->counter_block = counter_block;
  instance->counter_block_length = *block_length;
  instance->next = counter_block + *block_length;
  return true;
}

std::optional<std::span<const std::uint8_t>> CounterValueBytes(const PerfDataView& view,
                                                               const InstanceLocation& instance,
                                                               const CounterDefinition& counter) {
  if (counter.offset > instance.counter_block_length ||
      counter.size > instance.counter_block_length - counter.offset ||
      !Fits(view, instance.counter_block, instance.counter_block_length)) {
    return std::nullopt;
  }
  return std::span<const std::uint8_t>(view.buffer.data() + instance.counter_block + counter.offset,
                                       counter.size);
}
