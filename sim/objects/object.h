//===- object.h - An object of the part -----------------------------------===//
//
// Every object shares a header (tag, type, subtype, name, layer, blank
// status, colour) and carries a payload of its kind.  Host areas define
// their payloads (program group, operation, body, view, drawing, note...)
// in their own folders.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_OBJECTS_OBJECT_H
#define NCSHEET_SIM_OBJECTS_OBJECT_H

#include "host/defs.h"

#include <nlohmann/json_fwd.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

namespace sim {

/// Object types the core itself uses (areas add theirs beside their payloads).
inline constexpr int kPartType = 2;
inline constexpr int kGenericType = 0;

/// Longest object name in characters (bytes); longer names are cut.
inline constexpr std::size_t kMaxNameLength = 30;

/// The class of a payload, held in the payload itself so that a lookup of a
/// tag as a given kind is one comparison, not a run-time type query.  Each
/// payload class derives from PayloadOf<its kind>.
enum class PayloadKind : std::uint8_t {
  Other, ///< a class without a kind of its own (a test's)
  Setup,
  ProgramGroup,
  Operation,
  Matrix,
  Csys,
  Body,
  Topology,
  Curve,
  Point,
  SavedView,
  Drawing,
  MemberView,
  Note,
  SheetLine,
  SheetPoint,
  OrdOrigin,
  OrdMargin,
  OrdDimension,
};

class Payload {
public:
  explicit Payload(PayloadKind kind = PayloadKind::Other) noexcept : payload_kind_(kind) {}
  virtual ~Payload();
  [[nodiscard]] PayloadKind payload_kind() const noexcept { return payload_kind_; }
  /// Short name of the kind, e.g. "program_group"; the dump's "kind" field.
  [[nodiscard]] virtual const char *kind() const = 0;
  /// Writes the payload's fields into out (a JSON object).
  virtual void dump(nlohmann::json &out) const = 0;

private:
  PayloadKind payload_kind_;
};

/// The base of a payload class of kind K.
template <PayloadKind K> class PayloadOf : public Payload {
public:
  static constexpr PayloadKind kKind = K;
  PayloadOf() noexcept : Payload(K) {}
};

/// The payload as T, or null when it is null or of another kind.
template <class T> [[nodiscard]] T *payload_cast(Payload *payload) noexcept {
  static_assert(std::is_base_of_v<Payload, T>);
  if constexpr (requires { T::kKind; })
    return payload && payload->payload_kind() == T::kKind ? static_cast<T *>(payload) : nullptr;
  else
    return dynamic_cast<T *>(payload);
}
template <class T> [[nodiscard]] const T *payload_cast(const Payload *payload) noexcept {
  return payload_cast<T>(const_cast<Payload *>(payload));
}

struct Object {
  tag_t tag = NULL_TAG;
  int type = kGenericType;
  int subtype = 0;
  std::string name; ///< host bytes; empty when unnamed
  int layer = 1;
  bool blanked = false;
  int color = 1;
  std::unique_ptr<Payload> payload;
};

} // namespace sim

#endif
