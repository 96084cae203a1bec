//===- call_log.cpp - Call counters and the fault injector ----------------===//
#include "session/call_log.h"

namespace sim {

void CallLog::add_fault(FaultRule rule) {
  rules_.push_back(rule);
  armed_ = true;
}

void CallLog::fail_kth(std::uint64_t k, int status) {
  kth_ = k;
  kth_status_ = status;
  armed_ = armed_ || k != 0;
}

void CallLog::clear_faults() noexcept {
  rules_.clear();
  kth_ = 0;
  armed_ = false;
}

int CallLog::check(Call call, std::uint32_t nth) noexcept {
  int status = 0;
  if (kth_ != 0 && fallible_ == kth_)
    status = kth_status_;
  for (const FaultRule &rule : rules_) {
    if (status != 0)
      break;
    if (rule.call == call && (rule.nth == 0 || rule.nth == nth))
      status = rule.status;
  }
  if (status != 0) {
    try {
      fired_.push_back({call, nth, fallible_, status});
    } catch (...) {
      // Losing the record of a fault is better than not failing the call.
    }
  }
  return status;
}

} // namespace sim
