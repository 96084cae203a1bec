//===- object_store.cpp - The objects of the part by tag ------------------===//
#include "objects/object_store.h"

#include <algorithm>
#include <limits>
#include <stdexcept>

namespace sim {
namespace {

// A name cut to kMaxNameLength bytes at a character boundary: a GBK lead
// byte takes the next byte along.
std::string_view cut_name(std::string_view name) {
  std::size_t length = 0;
  while (length < name.size()) {
    const std::size_t step = static_cast<unsigned char>(name[length]) >= 0x81 ? 2 : 1;
    if (length + step > kMaxNameLength)
      break;
    length += step;
  }
  return name.substr(0, std::min(length, name.size()));
}

char upper_ascii(char c) noexcept {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

Payload::~Payload() = default;

Object &ObjectStore::create(int type, int subtype, std::string name,
                            std::unique_ptr<Payload> payload) {
  const std::size_t index = objects_.size();
  if (index >= std::numeric_limits<tag_t>::max() - kFirstTag)
    throw std::length_error("object tags exhausted");
  auto object = std::make_unique<Object>();
  object->tag = static_cast<tag_t>(kFirstTag + index);
  object->type = type;
  object->subtype = subtype;
  object->name.assign(cut_name(name));
  object->payload = std::move(payload);
  Object &created = *object;
  objects_.push_back(std::move(object));
  ++live_;
  // Fresh tags are the largest yet, so appending keeps the lists in order.
  by_type_[type].push_back(created.tag);
  if (!created.name.empty())
    by_name_[folded(created.name)].push_back(created.tag);
  return created;
}

Object *ObjectStore::find(tag_t tag) noexcept {
  if (tag < kFirstTag || tag - kFirstTag >= objects_.size())
    return nullptr;
  return objects_[tag - kFirstTag].get();
}

const Object *ObjectStore::find(tag_t tag) const noexcept {
  if (tag < kFirstTag || tag - kFirstTag >= objects_.size())
    return nullptr;
  return objects_[tag - kFirstTag].get();
}

bool ObjectStore::erase(tag_t tag) noexcept {
  Object *object = find(tag);
  if (!object)
    return false;
  if (auto it = by_type_.find(object->type); it != by_type_.end())
    erase_tag(it->second, tag);
  if (!object->name.empty())
    if (auto it = by_name_.find(folded(object->name)); it != by_name_.end())
      erase_tag(it->second, tag);
  objects_[tag - kFirstTag].reset();
  --live_;
  return true;
}

void ObjectStore::set_name(Object &object, std::string_view name) {
  if (!object.name.empty())
    if (auto it = by_name_.find(folded(object.name)); it != by_name_.end())
      erase_tag(it->second, object.tag);
  object.name.assign(cut_name(name));
  if (!object.name.empty())
    insert_tag(by_name_[folded(object.name)], object.tag);
}

bool ObjectStore::same_name(std::string_view a, std::string_view b) noexcept {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (upper_ascii(a[i]) != upper_ascii(b[i]))
      return false;
  return true;
}

tag_t ObjectStore::next_by_name(std::string_view name, tag_t after) const noexcept {
  if (name.empty())
    return NULL_TAG;
  const auto found = by_name_.find(folded(name));
  return found == by_name_.end() ? NULL_TAG : next_in(found->second, after);
}

tag_t ObjectStore::next_by_type(int type, tag_t after) const noexcept {
  const auto found = by_type_.find(type);
  return found == by_type_.end() ? NULL_TAG : next_in(found->second, after);
}

std::vector<tag_t> ObjectStore::tags_of_type(int type) const {
  const auto found = by_type_.find(type);
  return found == by_type_.end() ? std::vector<tag_t>{} : found->second;
}

std::string ObjectStore::folded(std::string_view name) {
  std::string key(name);
  for (char &c : key)
    c = upper_ascii(c);
  return key;
}

tag_t ObjectStore::next_in(const TagList &tags, tag_t after) noexcept {
  const auto next = std::upper_bound(tags.begin(), tags.end(), after);
  return next == tags.end() ? NULL_TAG : *next;
}

void ObjectStore::insert_tag(TagList &tags, tag_t tag) {
  tags.insert(std::lower_bound(tags.begin(), tags.end(), tag), tag);
}

void ObjectStore::erase_tag(TagList &tags, tag_t tag) noexcept {
  const auto at = std::lower_bound(tags.begin(), tags.end(), tag);
  if (at != tags.end() && *at == tag)
    tags.erase(at);
}

} // namespace sim
