//===- calls.h - The host functions by compact id -------------------------===//
//
// Every host function has a small id (sim::Call) so that counting and fault
// checks cost an array index, not a string.  The list lives in calls.def.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_SESSION_CALLS_H
#define NCSHEET_SIM_SESSION_CALLS_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace sim {

/// What the bookkeeping does with a call (see calls.def).
enum class CallKind : std::uint8_t { Status, Value, File, Runtime };

enum class Call : std::uint16_t {
#define SIM_CALL(name, kind) name,
#include "session/calls.def"
#undef SIM_CALL
};

inline constexpr std::size_t kCallCount = 0
#define SIM_CALL(name, kind) +1
#include "session/calls.def"
#undef SIM_CALL
    ;

/// The function's name as the host headers spell it.
[[nodiscard]] std::string_view call_name(Call call) noexcept;
[[nodiscard]] CallKind call_kind(Call call) noexcept;
/// True for the calls the fault injector may fail (Status and File).
[[nodiscard]] bool call_fallible(Call call) noexcept;
/// True for the calls flagged when made outside the API bracket.
[[nodiscard]] bool call_needs_bracket(Call call) noexcept;
/// The id of a host function by name, if there is one.
[[nodiscard]] std::optional<Call> find_call(std::string_view name) noexcept;

} // namespace sim

#endif
