//===- drafting.cpp - Drafting and lettering preferences, notes, sheet lines -===//
#include "drafting/drafting.h"

#include "geometry/model.h"
#include "objects/object_store.h"
#include "text/gbk.h"

#include <nlohmann/json.hpp>

#include <utility>

namespace sim::drf {
namespace {

UF_DRF_lettering_t default_text(double size) {
  UF_DRF_lettering_t text{};
  text.size = size;
  text.char_space_factor = 0.5;
  text.aspect_ratio = 1.0;
  text.color = 1;
  text.font = 1;
  text.width = 1;
  text.italic = 0;
  text.italic_angle = 0.0;
  text.line_space_factor = 1.0;
  return text;
}

bool text_valid(const UF_DRF_lettering_t &text) {
  return text.size > 0 && text.aspect_ratio > 0 && text.line_space_factor > 0 &&
         text.char_space_factor >= 0;
}

nlohmann::json text_json(const UF_DRF_lettering_t &text) {
  return {{"size", text.size},
          {"char_space_factor", text.char_space_factor},
          {"aspect_ratio", text.aspect_ratio},
          {"color", text.color},
          {"font", text.font},
          {"width", text.width},
          {"italic", text.italic},
          {"italic_angle", text.italic_angle},
          {"line_space_factor", text.line_space_factor}};
}

nlohmann::json point_json(geo::Vec3 p) { return nlohmann::json::array({p.x, p.y, p.z}); }

// A text of host bytes for the dump: UTF-8, with the bytes in hex when
// they are not plain ASCII.
void put_text(nlohmann::json &out, const char *key, std::string_view bytes) {
  out[key] = gbk_to_utf8(bytes);
  if (!is_ascii(bytes))
    out[std::string(key) + "_gbk_hex"] = to_hex(bytes);
}

} // namespace

UF_DRF_lettering_preferences_t default_lettering() {
  UF_DRF_lettering_preferences_t lettering{};
  lettering.dimension_text = default_text(3.5);
  lettering.appended_text = default_text(3.5);
  lettering.tolerance_text = default_text(2.5);
  lettering.general_text = default_text(3.5);
  lettering.align_position = UF_DRF_BOTTOM_LEFT;
  lettering.horiz_text_just = UF_DRF_JUSTIFY_LEFT;
  return lettering;
}

bool lettering_valid(const UF_DRF_lettering_preferences_t &lettering) {
  return text_valid(lettering.dimension_text) && text_valid(lettering.appended_text) &&
         text_valid(lettering.tolerance_text) && text_valid(lettering.general_text) &&
         lettering.align_position >= UF_DRF_TOP_LEFT &&
         lettering.align_position <= UF_DRF_BOTTOM_RIGHT &&
         lettering.horiz_text_just >= UF_DRF_JUSTIFY_LEFT &&
         lettering.horiz_text_just <= UF_DRF_JUSTIFY_RIGHT;
}

nlohmann::json lettering_json(const UF_DRF_lettering_preferences_t &lettering) {
  return {{"dimension_text", text_json(lettering.dimension_text)},
          {"appended_text", text_json(lettering.appended_text)},
          {"tolerance_text", text_json(lettering.tolerance_text)},
          {"general_text", text_json(lettering.general_text)},
          {"align_position", lettering.align_position},
          {"horiz_text_just", lettering.horiz_text_just}};
}

// The preferences of a fresh part.  Integer preferences 3, 13 and 16 start
// at values other than the ones the program sheet forces, so that a run
// that forgets to put them back shows.
Drafting::Drafting(Session &) {
  int_prefs.fill(0);
  int_prefs[3] = 1;
  int_prefs[7] = 2;
  int_prefs[9] = 1;
  int_prefs[13] = 2;
  int_prefs[16] = 2;
  int_prefs[30] = 3;
  int_prefs[90] = 2;
  real_prefs.fill(0.0);
  real_prefs[32] = 3.5;
  real_prefs[33] = 0.5;
  real_prefs[34] = 0.5;
  real_prefs[44] = 3.5;
  radius_symbol = "R";
  diameter_symbol = "DIA";
  lettering = default_lettering();
}

void Drafting::dump(nlohmann::json &out) const {
  out["int_prefs"] = int_prefs;
  out["real_prefs"] = real_prefs;
  put_text(out, "radius_symbol", radius_symbol);
  put_text(out, "diameter_symbol", diameter_symbol);
  out["lettering"] = lettering_json(lettering);
}

void NotePayload::dump(nlohmann::json &out) const {
  out["drawing"] = drawing;
  nlohmann::json text = nlohmann::json::array();
  nlohmann::json hex = nlohmann::json::array();
  bool any_gbk = false;
  for (const std::string &line : lines) {
    text.push_back(gbk_to_utf8(line));
    hex.push_back(to_hex(line));
    any_gbk = any_gbk || !is_ascii(line);
  }
  out["lines"] = std::move(text);
  if (any_gbk)
    out["lines_gbk_hex"] = std::move(hex);
  out["origin"] = point_json(origin);
  out["orientation"] = orientation;
  // The note's own lettering: the general text and the placement.
  out["lettering"] = {{"size", lettering.general_text.size},
                      {"char_space_factor", lettering.general_text.char_space_factor},
                      {"aspect_ratio", lettering.general_text.aspect_ratio},
                      {"line_space_factor", lettering.general_text.line_space_factor},
                      {"align_position", lettering.align_position},
                      {"horiz_text_just", lettering.horiz_text_just}};
}

void SheetLinePayload::dump(nlohmann::json &out) const {
  out["drawing"] = drawing;
  out["start"] = point_json(start);
  out["end"] = point_json(end);
}

void SheetPointPayload::dump(nlohmann::json &out) const {
  out["drawing"] = drawing;
  out["at"] = point_json(at);
}

tag_t create_note(Session &session, tag_t drawing, std::vector<std::string> lines, geo::Vec3 origin,
                  int orientation) {
  return create_note(session, drawing, std::move(lines), origin, orientation,
                     session.component<Drafting>().lettering);
}

tag_t create_note(Session &session, tag_t drawing, std::vector<std::string> lines, geo::Vec3 origin,
                  int orientation, const UF_DRF_lettering_preferences_t &lettering) {
  auto note = std::make_unique<NotePayload>();
  note->drawing = drawing;
  note->lines = std::move(lines);
  note->origin = origin;
  note->orientation = orientation;
  note->lettering = lettering;
  Object &object = session.objects().create(kNoteType, kNoteSubtype, {}, std::move(note));
  object.layer = session.component<geo::Layers>().work_layer();
  return object.tag;
}

tag_t create_sheet_line(Session &session, tag_t drawing, geo::Vec3 start, geo::Vec3 end) {
  auto line = std::make_unique<SheetLinePayload>();
  line->drawing = drawing;
  line->start = start;
  line->end = end;
  Object &object = session.objects().create(kSheetLineType, kSheetLineSubtype, {}, std::move(line));
  object.layer = session.component<geo::Layers>().work_layer();
  return object.tag;
}

tag_t create_sheet_point(Session &session, tag_t drawing, geo::Vec3 at) {
  auto point = std::make_unique<SheetPointPayload>();
  point->drawing = drawing;
  point->at = at;
  Object &object =
      session.objects().create(kSheetPointType, kSheetPointSubtype, {}, std::move(point));
  object.layer = session.component<geo::Layers>().work_layer();
  return object.tag;
}

const NotePayload *find_note(const Session &session, tag_t tag) {
  return session.objects().payload_as<NotePayload>(tag);
}

const SheetLinePayload *find_sheet_line(const Session &session, tag_t tag) {
  return session.objects().payload_as<SheetLinePayload>(tag);
}

} // namespace sim::drf
