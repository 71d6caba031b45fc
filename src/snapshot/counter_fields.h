// Turning the instances of one performance-data object into records whose
// fields are chosen by counter name; shared by the process and thread tables.
#ifndef TASKMELD_SNAPSHOT_COUNTER_FIELDS_H_
#define TASKMELD_SNAPSHOT_COUNTER_FIELDS_H_

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "perfdata/counter_titles.h"
#include "perfdata/perf_query.h"

namespace snapshot {

/// A counter name and the record field its value goes to: exactly one of
/// `wide` and `narrow` is set.
template <typename Record>
struct CounterField {
  std::u16string_view name;
  std::int64_t Record::*wide = nullptr;
  std::uint32_t Record::*narrow = nullptr;
};

/// One counter definition of the object bound to the field it fills.
template <typename Record>
struct FieldCopy {
  const CounterField<Record>* field = nullptr;
  CounterDefinition counter;
};

/// `bytes` little-endian placed over the low-order bytes of `field`, never more
/// than the field's `width` bytes; the field's upper bytes are kept.
inline std::uint64_t OverlayLowBytes(std::uint64_t field, std::span<const std::uint8_t> bytes,
                                     std::size_t width) {
  const std::size_t count = bytes.size() < width ? bytes.size() : width;
  for (std::size_t i = 0; i < count; ++i) {
    field &= ~(std::uint64_t{0xFF} << (8 * i));
    field |= std::uint64_t{bytes[i]} << (8 * i);
  }
  return field;
}

/// Binds each counter to the first field whose name equals its title
/// (exactly, case-sensitively). False when a title is missing or names no
/// field.
template <typename Record>
bool MatchCounterFields(const CounterTitleTable& titles,
                        std::span<const CounterDefinition> counters,
                        std::span<const CounterField<Record>> fields,
                        std::vector<FieldCopy<Record>>* copies) {
  for (const CounterDefinition& counter : counters) {
    const auto title = FindCounterTitle(titles, counter.title_index);
    if (!title) return false;
    const CounterField<Record>* match = nullptr;
    for (const CounterField<Record>& field : fields) {
      if (field.name == *title) {
        match = &field;
        break;
      }
    }
    if (match == nullptr) return false;
    copies->push_back({match, counter});
  }
  return true;
}

/// Copies each bound counter's value of `instance` into `record`, in
/// definition order so that a repeated name keeps its last value. False when
/// a value lies outside the instance's counter block.
template <typename Record>
bool CopyCounterValues(const PerfDataView& view, const InstanceLocation& instance,
                       std::span<const FieldCopy<Record>> copies, Record* record) {
  for (const FieldCopy<Record>& copy : copies) {
    const auto bytes = CounterValueBytes(view, instance, copy.counter);
    if (!bytes) return false;
    if (copy.field->wide != nullptr) {
      std::int64_t& field = record->*(copy.field->wide);
      field = static_cast<std::int64_t>(
          OverlayLowBytes(static_cast<std::uint64_t>(field), *bytes, sizeof field));
    } else {
      std::uint32_t& field = record->*(copy.field->narrow);
      field = static_cast<std::uint32_t>(OverlayLowBytes(field, *bytes, sizeof field));
    }
  }
  return true;
}

/// Fills `table` with one record per instance of the view's current object,
/// walking the instances once; `read_name(view, instance, &record)` adds
/// what is not a counter. False, with `table` untouched, when the object is
/// malformed or a counter names no field; with no instances no counter is
/// looked at and the table is emptied.
template <typename Record, typename NameReader>
bool FillRecords(const PerfDataView& view, const CounterTitleTable& titles,
                 std::span<const CounterField<Record>> fields, std::vector<Record>* table,
                 NameReader read_name) {
  std::vector<CounterDefinition> counters;
  std::uint32_t count = 0;
  if (!ReadObjectLayout(view, &counters, &count)) return false;
  std::vector<FieldCopy<Record>> copies;
  if (count > 0 && !MatchCounterFields<Record>(titles, counters, fields, &copies)) return false;
  std::vector<Record> records(count);
  std::size_t position = count > 0 ? *view.first_instance : 0;
  for (Record& record : records) {
    InstanceLocation instance;
    if (!LocateInstance(view, position, &instance) ||
        !CopyCounterValues<Record>(view, instance, copies, &record)) {
      return false;
    }
    read_name(view, instance, &record);
    position = instance.next;
  }
  *table = std::move(records);
  return true;
}

}  // namespace snapshot

#endif  // TASKMELD_SNAPSHOT_COUNTER_FIELDS_H_
