//===- call_log.h - Call counters and the fault injector ------------------===//
//
// Counts every host call by id and decides whether it fails.  A fault names
// a call and its n-th use (or every use), or the k-th fallible call of the
// session whatever it is (for fault loops).  The common path is a few
// integer operations.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_SESSION_CALL_LOG_H
#define NCSHEET_SIM_SESSION_CALL_LOG_H

#include "session/calls.h"

#include <array>
#include <cstdint>
#include <vector>

namespace sim {

struct FaultRule {
  Call call;
  std::uint32_t nth = 0; ///< 1-based use of the call; 0 fails every use
  int status = 1;
};

struct FiredFault {
  Call call;
  std::uint32_t nth;      ///< use of the call that failed
  std::uint64_t fallible; ///< its number among all fallible calls
  int status;
};

class CallLog {
public:
  /// Counts a call and returns the status to fail it with, or 0.
  [[nodiscard]] int enter(Call call) noexcept {
    const auto index = static_cast<std::size_t>(call);
    const std::uint32_t nth = ++counts_[index];
    ++total_;
    if (!call_fallible(call))
      return 0;
    ++fallible_;
    if (!armed_)
      return 0;
    return check(call, nth);
  }

  [[nodiscard]] std::uint32_t count(Call call) const noexcept {
    return counts_[static_cast<std::size_t>(call)];
  }
  [[nodiscard]] std::uint64_t total() const noexcept { return total_; }
  /// Calls the injector could fail so far (Status and File kinds).
  [[nodiscard]] std::uint64_t fallible_total() const noexcept { return fallible_; }

  void add_fault(FaultRule rule);
  /// Fails the k-th fallible call of the session (1-based) with status.
  void fail_kth(std::uint64_t k, int status = 1);
  void clear_faults() noexcept;
  [[nodiscard]] const std::vector<FiredFault> &fired() const noexcept { return fired_; }

private:
  [[nodiscard]] int check(Call call, std::uint32_t nth) noexcept;

  std::array<std::uint32_t, kCallCount> counts_{};
  std::uint64_t total_ = 0;
  std::uint64_t fallible_ = 0;
  bool armed_ = false;
  std::vector<FaultRule> rules_;
  std::uint64_t kth_ = 0;
  int kth_status_ = 1;
  std::vector<FiredFault> fired_;
};

} // namespace sim

#endif
