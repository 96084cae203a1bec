//===- dump.cpp - The part as JSON ----------------------------------------===//
#include "dump/dump.h"

#include "objects/object_store.h"
#include "session/session.h"
#include "text/gbk.h"

#include <nlohmann/json.hpp>

#include <fstream>

namespace sim {
namespace {

nlohmann::json dump_object(const Object &object) {
  nlohmann::json item{{"tag", object.tag},         {"type", object.type},
                      {"subtype", object.subtype}, {"name", gbk_to_utf8(object.name)},
                      {"layer", object.layer},     {"blanked", object.blanked},
                      {"color", object.color}};
  if (!is_ascii(object.name))
    item["name_gbk_hex"] = to_hex(object.name);
  if (object.payload) {
    item["kind"] = object.payload->kind();
    nlohmann::json payload = nlohmann::json::object();
    object.payload->dump(payload);
    item["payload"] = std::move(payload);
  }
  return item;
}

} // namespace

nlohmann::json dump_part(const Session &session) {
  nlohmann::json out;
  out["display_part"] = {{"tag", session.display_part()},
                         {"file", gbk_to_utf8(session.part_file())}};
  out["application"] = session.application();
  nlohmann::json marks = nlohmann::json::array();
  for (const UndoMark &mark : session.undo_marks())
    marks.push_back({{"id", mark.id}, {"visible", mark.visible}, {"name", gbk_to_utf8(mark.name)}});
  out["undo_marks"] = std::move(marks);
  nlohmann::json objects = nlohmann::json::array();
  session.objects().for_each([&](const Object &object) { objects.push_back(dump_object(object)); });
  out["objects"] = std::move(objects);
  nlohmann::json state = nlohmann::json::object();
  for (const Component *component : session.components()) {
    nlohmann::json facts = nlohmann::json::object();
    component->dump(facts);
    state[std::string(component->name())] = std::move(facts);
  }
  out["state"] = std::move(state);
  return out;
}

bool write_part_dump(const Session &session, const std::filesystem::path &file) {
  std::ofstream out(file, std::ios::binary);
  if (!out)
    return false;
  out << dump_part(session).dump(2) << '\n';
  return static_cast<bool>(out);
}

} // namespace sim
