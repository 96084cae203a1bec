//===- host_arrays.cpp - Arrays the host hands out for UF_free ------------===//
#include "session/host_arrays.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace sim {

HostArrays::~HostArrays() { release_all(); }

void *HostArrays::allocate(std::size_t bytes, Call from) {
  if (bytes == 0)
    return nullptr;
  void *data = std::malloc(bytes);
  if (!data)
    throw std::bad_alloc();
  try {
    live_.emplace(data, Entry{from, serial_++});
  } catch (...) {
    std::free(data);
    throw;
  }
  return data;
}

bool HostArrays::release(void *data) noexcept {
  if (!data)
    return true;
  const auto found = live_.find(data);
  if (found == live_.end())
    return false;
  live_.erase(found);
  std::free(data);
  return true;
}

std::vector<Call> HostArrays::outstanding_calls() const {
  std::vector<std::pair<std::size_t, Call>> ordered;
  ordered.reserve(live_.size());
  for (const auto &[data, entry] : live_)
    ordered.emplace_back(entry.serial, entry.from);
  std::sort(ordered.begin(), ordered.end(),
            [](const auto &a, const auto &b) { return a.first < b.first; });
  std::vector<Call> calls;
  calls.reserve(ordered.size());
  for (const auto &[serial, call] : ordered)
    calls.push_back(call);
  return calls;
}

void HostArrays::release_all() noexcept {
  for (const auto &[data, entry] : live_)
    std::free(data);
  live_.clear();
}

} // namespace sim
