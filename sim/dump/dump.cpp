//===- dump.cpp - The part as JSON ----------------------------------------===//
#include "dump/dump.h"

#include "objects/object_store.h"
#include "session/session.h"
#include "text/gbk.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <ostream>
#include <string>

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

// Writes value as dump(2) would inside a document, its lines after the
// first indented by `indent` spaces.
void write_nested(std::ostream &out, const nlohmann::json &value, std::size_t indent) {
  const std::string text = value.dump(2);
  std::size_t from = 0;
  for (std::size_t newline = text.find('\n'); newline != std::string::npos;
       newline = text.find('\n', from)) {
    out.write(text.data() + from, static_cast<std::streamsize>(newline + 1 - from));
    out << std::string(indent, ' ');
    from = newline + 1;
  }
  out.write(text.data() + from, static_cast<std::streamsize>(text.size() - from));
}

nlohmann::json display_part_facts(const Session &session) {
  return {{"tag", session.display_part()}, {"file", gbk_to_utf8(session.part_file())}};
}

nlohmann::json undo_marks(const Session &session) {
  nlohmann::json marks = nlohmann::json::array();
  for (const UndoMark &mark : session.undo_marks())
    marks.push_back({{"id", mark.id}, {"visible", mark.visible}, {"name", gbk_to_utf8(mark.name)}});
  return marks;
}

nlohmann::json component_state(const Session &session) {
  nlohmann::json state = nlohmann::json::object();
  for (const Component *component : session.components()) {
    if (!component->in_dump())
      continue;
    nlohmann::json facts = nlohmann::json::object();
    component->dump(facts);
    state[std::string(component->name())] = std::move(facts);
  }
  return state;
}

} // namespace

nlohmann::json dump_part(const Session &session) {
  nlohmann::json out;
  out["display_part"] = display_part_facts(session);
  out["application"] = session.application();
  out["undo_marks"] = undo_marks(session);
  nlohmann::json objects = nlohmann::json::array();
  session.objects().for_each([&](const Object &object) { objects.push_back(dump_object(object)); });
  out["objects"] = std::move(objects);
  out["state"] = component_state(session);
  return out;
}

// The document is written member by member in the order dump(2) sorts the
// keys, one object at a time, so that a part of many objects never exists
// twice in memory; the text is the same as dump_part(session).dump(2).
bool write_part_dump(const Session &session, const std::filesystem::path &file) {
  std::ofstream out(file, std::ios::binary);
  if (!out)
    return false;
  out << "{\n  \"application\": " << nlohmann::json(session.application()).dump(2);
  out << ",\n  \"display_part\": ";
  write_nested(out, display_part_facts(session), 2);
  out << ",\n  \"objects\": ";
  if (session.objects().size() == 0) {
    out << "[]";
  } else {
    out << "[";
    const char *separator = "\n    ";
    session.objects().for_each([&](const Object &object) {
      out << separator;
      write_nested(out, dump_object(object), 4);
      separator = ",\n    ";
    });
    out << "\n  ]";
  }
  out << ",\n  \"state\": ";
  write_nested(out, component_state(session), 2);
  out << ",\n  \"undo_marks\": ";
  write_nested(out, undo_marks(session), 2);
  out << "\n}\n";
  return static_cast<bool>(out);
}

} // namespace sim
