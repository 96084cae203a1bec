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

#include "host/uf_defs.h"

#include <nlohmann/json_fwd.hpp>

#include <memory>
#include <string>

namespace sim {

/// Object types the core itself uses (areas add theirs beside their payloads).
inline constexpr int kPartType = 2;
inline constexpr int kGenericType = 0;

/// Longest object name in characters (bytes); longer names are cut.
inline constexpr std::size_t kMaxNameLength = 30;

class Payload {
public:
  virtual ~Payload();
  /// Short name of the kind, e.g. "program_group"; the dump's "kind" field.
  [[nodiscard]] virtual const char *kind() const = 0;
  /// Writes the payload's fields into out (a JSON object).
  virtual void dump(nlohmann::json &out) const = 0;
};

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
