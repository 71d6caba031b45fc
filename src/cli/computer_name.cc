#include "cli/computer_name.h"

#include "platform/platform.h"

bool GetComputerNameText(std::u16string* name) {
  // Ask for the size first; only "too small" tells how much room the name needs.
  std::uint32_t size = 0;
  if (platform::QueryComputerName(nullptr, &size) != platform::NameStatus::kBufferTooSmall) {
    return false;
  }
  name->assign(std::size_t{size} + 1, u'\0');
  size += 1;
  if (platform::QueryComputerName(name->data(), &size) != platform::NameStatus::kSuccess) {
    return false;
  }
  name->resize(std::u16string_view(name->c_str()).size());
  return true;
}
