//===- object_store.cpp - The objects of the part by tag ------------------===//
#include "objects/object_store.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace sim {

Payload::~Payload() = default;

Object &ObjectStore::create(int type, int subtype, std::string name,
                            std::unique_ptr<Payload> payload) {
  if (next_tag_ == std::numeric_limits<tag_t>::max())
    throw std::length_error("object tags exhausted");
  auto object = std::make_unique<Object>();
  object->tag = next_tag_;
  object->type = type;
  object->subtype = subtype;
  set_name(*object, name);
  object->payload = std::move(payload);
  Object &created = *object;
  objects_.emplace(created.tag, std::move(object));
  ++next_tag_;
  return created;
}

Object *ObjectStore::find(tag_t tag) noexcept {
  const auto found = objects_.find(tag);
  return found == objects_.end() ? nullptr : found->second.get();
}

const Object *ObjectStore::find(tag_t tag) const noexcept {
  const auto found = objects_.find(tag);
  return found == objects_.end() ? nullptr : found->second.get();
}

bool ObjectStore::erase(tag_t tag) noexcept { return objects_.erase(tag) != 0; }

void ObjectStore::set_name(Object &object, std::string_view name) {
  // Cut at a character boundary: a GBK lead byte takes the next byte along.
  std::size_t length = 0;
  while (length < name.size()) {
    const std::size_t step = static_cast<unsigned char>(name[length]) >= 0x81 ? 2 : 1;
    if (length + step > kMaxNameLength)
      break;
    length += step;
  }
  object.name.assign(name.substr(0, std::min(length, name.size())));
}

bool ObjectStore::same_name(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z')
      x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z')
      y = static_cast<char>(y - 'a' + 'A');
    if (x != y)
      return false;
  }
  return true;
}

tag_t ObjectStore::next_by_name(std::string_view name, tag_t after) const noexcept {
  for (auto it = objects_.upper_bound(after); it != objects_.end(); ++it)
    if (!it->second->name.empty() && same_name(it->second->name, name))
      return it->first;
  return NULL_TAG;
}

tag_t ObjectStore::next_by_type(int type, tag_t after) const noexcept {
  for (auto it = objects_.upper_bound(after); it != objects_.end(); ++it)
    if (it->second->type == type)
      return it->first;
  return NULL_TAG;
}

std::vector<tag_t> ObjectStore::tags_of_type(int type) const {
  std::vector<tag_t> tags;
  for (const auto &[tag, object] : objects_)
    if (object->type == type)
      tags.push_back(tag);
  return tags;
}

} // namespace sim
