//===- calls.cpp - Names and kinds of the host functions ------------------===//
#include "session/calls.h"

#include <array>

namespace sim {
namespace {

struct CallInfo {
  std::string_view name;
  CallKind kind;
};

constexpr std::array<CallInfo, kCallCount> kCalls{{
#define SIM_CALL(name, kind) {#name, CallKind::kind},
#include "session/calls.def"
#undef SIM_CALL
}};

} // namespace

std::string_view call_name(Call call) noexcept {
  return kCalls[static_cast<std::size_t>(call)].name;
}

CallKind call_kind(Call call) noexcept { return kCalls[static_cast<std::size_t>(call)].kind; }

bool call_fallible(Call call) noexcept {
  const CallKind kind = call_kind(call);
  return kind == CallKind::Status || kind == CallKind::File;
}

bool call_needs_bracket(Call call) noexcept {
  const CallKind kind = call_kind(call);
  return (kind == CallKind::Status || kind == CallKind::Value) && call != Call::UF_initialize;
}

std::optional<Call> find_call(std::string_view name) noexcept {
  for (std::size_t i = 0; i < kCalls.size(); ++i)
    if (kCalls[i].name == name)
      return static_cast<Call>(i);
  return std::nullopt;
}

} // namespace sim
