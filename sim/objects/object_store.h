//===- object_store.h - The objects of the part by tag --------------------===//
//
// Tags are handed out in increasing order from kFirstTag and never reused,
// so tag order is creation order.  Names match case-insensitively (ASCII
// letters only; GBK bytes compare as they are) and are cut to 30 bytes.
//
// Objects are held in a vector indexed by tag, with an index by folded name
// and one by type, each a list of tags in creation order: a lookup by tag is
// constant time, and cycling by name or type from an object is a binary
// search in the short list of its name or type, never a walk of the part.
// An object's name and type are therefore set through the store only.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_OBJECTS_OBJECT_STORE_H
#define NCSHEET_SIM_OBJECTS_OBJECT_STORE_H

#include "objects/object.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
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
  [[nodiscard]] std::size_t size() const noexcept { return live_; }

  /// The payload of a tag as T, or null when there is no such object or its
  /// payload is of another kind.
  template <class T> [[nodiscard]] T *payload_as(tag_t tag) noexcept {
    Object *object = find(tag);
    return object ? payload_cast<T>(object->payload.get()) : nullptr;
  }
  template <class T> [[nodiscard]] const T *payload_as(tag_t tag) const noexcept {
    const Object *object = find(tag);
    return object ? payload_cast<const T>(object->payload.get()) : nullptr;
  }

  /// Renames an object of this store, the name cut to kMaxNameLength bytes.
  void set_name(Object &object, std::string_view name);
  /// True when two names are equal ignoring the case of ASCII letters.
  [[nodiscard]] static bool same_name(std::string_view a, std::string_view b) noexcept;

  /// The first object after `after` (null tag: from the start), in creation
  /// order, named `name` / of type `type`; the null tag when there is none.
  [[nodiscard]] tag_t next_by_name(std::string_view name, tag_t after) const noexcept;
  [[nodiscard]] tag_t next_by_type(int type, tag_t after) const noexcept;

  /// Visits every object in creation order.
  template <class F> void for_each(F &&visit) const {
    for (const auto &object : objects_)
      if (object)
        visit(static_cast<const Object &>(*object));
  }
  template <class F> void for_each(F &&visit) {
    for (auto &object : objects_)
      if (object)
        visit(*object);
  }
  /// Tags of every object of a type, in creation order.
  [[nodiscard]] std::vector<tag_t> tags_of_type(int type) const;

private:
  /// Tags in creation order, as the name and type indexes keep them.
  using TagList = std::vector<tag_t>;

  /// A name with its ASCII letters upper-cased: the key of the name index.
  [[nodiscard]] static std::string folded(std::string_view name);
  /// The first tag of a list after `after`, or the null tag.
  [[nodiscard]] static tag_t next_in(const TagList &tags, tag_t after) noexcept;
  static void insert_tag(TagList &tags, tag_t tag);
  static void erase_tag(TagList &tags, tag_t tag) noexcept;

  /// objects_[tag - kFirstTag]; null once erased.
  std::vector<std::unique_ptr<Object>> objects_;
  std::size_t live_ = 0;
  std::unordered_map<std::string, TagList> by_name_;
  std::unordered_map<int, TagList> by_type_;
};

} // namespace sim

#endif
