//===- object_store.h - The objects of the part by tag --------------------===//
//
// Tags are handed out in increasing order from kFirstTag and never reused,
// so tag order is creation order.  Names match case-insensitively (ASCII
// letters only; GBK bytes compare as they are) and are cut to 30 bytes.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_OBJECTS_OBJECT_STORE_H
#define NCSHEET_SIM_OBJECTS_OBJECT_STORE_H

#include "objects/object.h"

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

class ObjectStore {
public:
  static constexpr tag_t kFirstTag = 10001;

  /// Creates an object and returns it; its tag is fresh and never 0.
  Object &create(int type, int subtype, std::string name = {},
                 std::unique_ptr<Payload> payload = nullptr);
  /// The object of a tag, or null.
  [[nodiscard]] Object *find(tag_t tag) noexcept;
  [[nodiscard]] const Object *find(tag_t tag) const noexcept;
  /// Deletes an object; false when there was none.
  bool erase(tag_t tag) noexcept;
  [[nodiscard]] std::size_t size() const noexcept { return objects_.size(); }

  /// The payload of a tag as T, or null when there is no such object or its
  /// payload is of another kind.
  template <class T> [[nodiscard]] T *payload_as(tag_t tag) noexcept {
    Object *object = find(tag);
    return object ? dynamic_cast<T *>(object->payload.get()) : nullptr;
  }
  template <class T> [[nodiscard]] const T *payload_as(tag_t tag) const noexcept {
    const Object *object = find(tag);
    return object ? dynamic_cast<const T *>(object->payload.get()) : nullptr;
  }

  /// Sets a name, cut to kMaxNameLength bytes.
  static void set_name(Object &object, std::string_view name);
  /// True when two names are equal ignoring the case of ASCII letters.
  [[nodiscard]] static bool same_name(std::string_view a, std::string_view b) noexcept;

  /// The first object after `after` (null tag: from the start), in creation
  /// order, named `name` / of type `type`; the null tag when there is none.
  [[nodiscard]] tag_t next_by_name(std::string_view name, tag_t after) const noexcept;
  [[nodiscard]] tag_t next_by_type(int type, tag_t after) const noexcept;

  /// Visits every object in creation order.
  template <class F> void for_each(F &&visit) const {
    for (const auto &[tag, object] : objects_)
      visit(static_cast<const Object &>(*object));
  }
  template <class F> void for_each(F &&visit) {
    for (auto &[tag, object] : objects_)
      visit(*object);
  }
  /// Tags of every object of a type, in creation order.
  [[nodiscard]] std::vector<tag_t> tags_of_type(int type) const;

private:
  std::map<tag_t, std::unique_ptr<Object>> objects_;
  tag_t next_tag_ = kFirstTag;
};

} // namespace sim

#endif
