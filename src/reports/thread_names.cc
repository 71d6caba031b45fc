#include <array>

#include "reports/text_format.h"
#include "reports/thread_detail.h"

std::u16string_view WaitReasonName(std::uint32_t wait_reason) {
  static constexpr std::array<std::u16string_view, 22> kNames = {
      u"Executive", u"FreePage",  u"PageIn",   u"PoolAlloc", u"DelayExec",  u"Suspended",
      u"UserReq",   u"Executive", u"FreePage", u"PageIn",    u"PoolAlloc",  u"DelayExec",
      u"Suspended", u"UserReq",   u"Queue",    u"Queue",     u"LPCReceive", u"LPCReply",
      u"VM",        u"PageOut",   u"Unknown",  u"KeyedEvent"};
  return wait_reason < kNames.size() ? kNames[wait_reason] : u"Unknown";
}

void AppendThreadStateText(std::u16string* out, std::uint32_t thread_state,
                           std::uint32_t wait_reason) {
  static constexpr std::array<std::u16string_view, 8> kStates = {
      u"Initialized", u"Ready", u"Running",    u"Standby",
      u"Terminated",  u"Wait",  u"Transition", u"Unknown"};
  if (thread_state == 5) {
    AppendFormatted(out, u"%s:%s", {kStates[5], WaitReasonName(wait_reason)});
    return;
  }
  out->append(thread_state < kStates.size() ? kStates[thread_state] : u"ThreadStateError");
}

std::u16string ThreadStateText(std::uint32_t thread_state, std::uint32_t wait_reason) {
  std::u16string text;
  AppendThreadStateText(&text, thread_state, wait_reason);
  return text;
}
