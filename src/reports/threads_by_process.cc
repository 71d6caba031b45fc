#include "reports/thread_detail.h"

// An open-addressing table from process id to a range of thread indices:
// two passes over the threads, no allocation per process.
namespace {

constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

std::size_t TableSize(std::size_t entries) {
  std::size_t size = 16;
  while (size < entries * 2) size *= 2;
  return size;
}

}  // namespace

std::size_t ThreadsByProcess::Slot(std::uint32_t process_id) const {
  const std::size_t mask = slots_.size() - 1;
  std::size_t slot = (process_id * std::size_t{0x9E3779B1u}) & mask;
  while (slots_[slot].second != kEmpty && slots_[slot].first != process_id) {
    slot = (slot + 1) & mask;
  }
  return slot;
}

ThreadsByProcess::ThreadsByProcess(const ThreadTable& threads) {
  const std::size_t count = threads.empty() ? 0 : threads.size() - 1;
  slots_.assign(TableSize(count), {0, kEmpty});
  // First pass: a range per process id, sized by its thread count.
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t slot = Slot(threads[i].process_id);
    if (slots_[slot].second == kEmpty) {
      slots_[slot] = {threads[i].process_id, static_cast<std::uint32_t>(ranges_.size())};
      ranges_.emplace_back(0, 0);
    }
    ++ranges_[slots_[slot].second].second;
  }
  std::uint32_t start = 0;
  for (auto& [first, size] : ranges_) {
    first = start;
    start += size;
    size = 0;
  }
  // Second pass: fill each range in table order.
  order_.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    auto& [first, size] = ranges_[slots_[Slot(threads[i].process_id)].second];
    order_[first + size++] = static_cast<std::uint32_t>(i);
  }
}

std::span<const std::uint32_t> ThreadsByProcess::Of(std::uint32_t process_id) const {
  const std::size_t slot = Slot(process_id);
  if (slots_[slot].second == kEmpty) return {};
  const auto& [first, size] = ranges_[slots_[slot].second];
  return std::span<const std::uint32_t>(order_).subspan(first, size);
}
