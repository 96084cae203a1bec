//===- template_import.cpp - Importing a sheet part into the work part ----===//
#include "drawings/template_import.h"

#include "drafting/drafting.h"
#include "drawings/drawings.h"
#include "geometry/model.h"
#include "objects/object_store.h"
#include "runtime/runtime.h"
#include "session/status.h"
#include "text/gbk.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <fstream>
#include <sstream>

namespace sim::draw {
namespace {

using nlohmann::json;

bool read_point(const json &value, geo::Vec3 &out) {
  if (!value.is_array() || value.size() < 2 || value.size() > 3)
    return false;
  for (const json &c : value)
    if (!c.is_number())
      return false;
  out = {value[0].get<double>(), value[1].get<double>(),
         value.size() == 3 ? value[2].get<double>() : 0.0};
  return true;
}

bool read_number(const json &object, const char *key, double &out) {
  const auto it = object.find(key);
  if (it == object.end())
    return true;
  if (!it->is_number())
    return false;
  out = it->get<double>();
  return true;
}

bool read_object(const json &item, SheetObject &out, std::string &why) {
  if (!item.is_object() || !item.contains("type") || !item["type"].is_string()) {
    why = "an object without a type";
    return false;
  }
  const std::string type = item["type"].get<std::string>();
  if (item.contains("layer")) {
    if (!item["layer"].is_number_integer() || !geo::Layers::valid(item["layer"].get<int>())) {
      why = "a layer outside 1..256";
      return false;
    }
    out.layer = item["layer"].get<int>();
  }
  if (type == "line") {
    out.kind = SheetObject::Kind::Line;
    if (!item.contains("start") || !item.contains("end") || !read_point(item["start"], out.start) ||
        !read_point(item["end"], out.end)) {
      why = "a line without two points";
      return false;
    }
    return true;
  }
  if (type != "note") {
    why = "an object of unknown type " + type;
    return false;
  }
  out.kind = SheetObject::Kind::Note;
  if (!item.contains("origin") || !read_point(item["origin"], out.origin)) {
    why = "a note without an origin";
    return false;
  }
  if (!item.contains("lines") || !item["lines"].is_array() || item["lines"].empty()) {
    why = "a note without lines";
    return false;
  }
  for (const json &line : item["lines"]) {
    if (!line.is_string()) {
      why = "a note line that is not text";
      return false;
    }
    out.lines.push_back(utf8_to_gbk(line.get<std::string>()));
  }
  double align = out.align;
  if (!read_number(item, "size", out.size) ||
      !read_number(item, "char_space_factor", out.char_space_factor) ||
      !read_number(item, "aspect_ratio", out.aspect_ratio) || !read_number(item, "align", align) ||
      !(out.size > 0) || !(out.aspect_ratio > 0) || out.char_space_factor < 0 || align < 1 ||
      align > 9 || align != std::floor(align)) {
    why = "a note with bad lettering";
    return false;
  }
  out.align = static_cast<int>(align);
  return true;
}

// The destination frame: false when the directions are not two orthogonal
// non-zero vectors.
bool destination(const double csys[6], geo::Mat3 &axes) {
  const geo::Vec3 x{csys[0], csys[1], csys[2]}, y{csys[3], csys[4], csys[5]};
  if (!(geo::norm(x) > 1e-12) || !(geo::norm(y) > 1e-12))
    return false;
  const geo::Vec3 ux = geo::unit(x), uy = geo::unit(y);
  if (std::fabs(geo::dot(ux, uy)) > 1e-9)
    return false;
  axes.row = {ux, uy, geo::cross(ux, uy)};
  return true;
}

} // namespace

Expected<std::vector<SheetObject>> parse_sheet_part(std::string_view text) {
  using Objects = Expected<std::vector<SheetObject>>;
  const json doc = json::parse(text, nullptr, false);
  if (doc.is_discarded() || !doc.is_object()) {
    return Objects::failure("not a JSON object");
  }
  if (doc.value("format", std::string()) != "ncsheet-part" || !doc.contains("version") ||
      doc["version"] != 1) {
    return Objects::failure("not a sheet part of version 1");
  }
  if (doc.value("units", std::string("mm")) != "mm") {
    return Objects::failure("units other than mm");
  }
  if (!doc.contains("objects") || !doc["objects"].is_array()) {
    return Objects::failure("no objects array");
  }
  std::vector<SheetObject> objects;
  for (const json &item : doc["objects"]) {
    SheetObject object;
    std::string why;
    if (!read_object(item, object, why))
      return Objects::failure("object " + std::to_string(objects.size()) + ": " + why);
    objects.push_back(std::move(object));
  }
  return objects;
}

int import_part(Session &session, const char *part_name, const UF_import_part_modes_t &modes,
                const double dest_csys[6], const double dest_point[3], double scale, tag_t &group) {
  if (session.display_part() == NULL_TAG)
    return status::kNoPart;
  geo::Mat3 axes;
  if (!part_name || !destination(dest_csys, axes) || !(scale > 0) || !std::isfinite(scale))
    return status::kBadArgument;
  const auto file = session.runtime().resolve(part_name);
  if (!file)
    return status::kFileError;
  std::ifstream in(*file, std::ios::binary);
  if (!in)
    return status::kFileError;
  std::ostringstream bytes;
  bytes << in.rdbuf();
  const auto objects = parse_sheet_part(bytes.str());
  if (!objects) {
    session.transcript().add(EventKind::Note, {},
                             "UF_PART_import: " + std::string(part_name) + ": " + objects.error());
    return status::kFileError;
  }

  const geo::Vec3 origin{dest_point[0], dest_point[1], dest_point[2]};
  auto place = [&](geo::Vec3 p) { return origin + axes.to_absolute(scale * p); };
  const tag_t drawing = shown_drawing(session);
  const int work_layer = session.component<geo::Layers>().work_layer();
  for (const SheetObject &object : *objects) {
    tag_t made = NULL_TAG;
    if (object.kind == SheetObject::Kind::Line) {
      made = drawing != NULL_TAG
                 ? drf::create_sheet_line(session, drawing, place(object.start), place(object.end))
                 : geo::add_curve(session,
                                  geo::Curve{geo::Line{place(object.start), place(object.end)}});
    } else {
      UF_DRF_lettering_preferences_t lettering = session.component<drf::Drafting>().lettering;
      lettering.general_text.size = object.size * scale;
      lettering.general_text.char_space_factor = object.char_space_factor;
      lettering.general_text.aspect_ratio = object.aspect_ratio;
      lettering.align_position = object.align;
      made = drf::create_note(session, drawing, object.lines, place(object.origin), 0, lettering);
    }
    if (Object *o = session.objects().find(made))
      o->layer = modes.layer_mode == 0 ? object.layer : work_layer;
  }
  group = NULL_TAG;
  return status::kOk;
}

} // namespace sim::draw
