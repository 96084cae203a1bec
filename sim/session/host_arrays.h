//===- host_arrays.h - Arrays the host hands out for UF_free --------------===//
//
// Arrays returned by host calls are allocated here with malloc and recorded;
// UF_free checks and forgets them.  At the end of a session what is left is
// reported as unfreed.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_SESSION_HOST_ARRAYS_H
#define NCSHEET_SIM_SESSION_HOST_ARRAYS_H

#include "session/calls.h"

#include <cstddef>
#include <type_traits>
#include <unordered_map>
#include <vector>

namespace sim {

class HostArrays {
public:
  HostArrays() = default;
  HostArrays(const HostArrays &) = delete;
  HostArrays &operator=(const HostArrays &) = delete;
  ~HostArrays();

  /// Allocates bytes for the caller of `from`; a null pointer for 0 bytes.
  /// Throws std::bad_alloc when memory runs out.
  [[nodiscard]] void *allocate(std::size_t bytes, Call from);

  template <class T> [[nodiscard]] T *allocate_array(std::size_t count, Call from) {
    static_assert(std::is_trivially_copyable_v<T>);
    return static_cast<T *>(allocate(count * sizeof(T), from));
  }

  /// Releases an array handed out before.  False (and nothing freed) when
  /// the pointer is not one of ours; a null pointer is accepted.
  [[nodiscard]] bool release(void *data) noexcept;

  [[nodiscard]] std::size_t outstanding() const noexcept { return live_.size(); }
  /// The calls that handed out the arrays still live, in allocation order.
  [[nodiscard]] std::vector<Call> outstanding_calls() const;
  /// Frees everything still live (after it was reported).
  void release_all() noexcept;

private:
  struct Entry {
    Call from;
    std::size_t serial;
  };
  std::unordered_map<void *, Entry> live_;
  std::size_t serial_ = 0;
};

} // namespace sim

#endif
