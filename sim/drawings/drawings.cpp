//===- drawings.cpp - Drawings and the display state ----------------------===//
#include "drawings/drawings.h"

#include "drafting/drafting.h"
#include "geometry/model.h"
#include "objects/object_store.h"
#include "session/status.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cstring>
#include <optional>
#include <utility>

namespace sim::draw {
namespace {

constexpr double kInch = 25.4;

// Standard sheets, landscape, width by height: metric codes 0..4 are A0 to
// A4 in millimetres, inch codes 0..4 are A to E in inches.
constexpr std::array<std::pair<double, double>, 5> kMetricSheets{
    {{1189, 841}, {841, 594}, {594, 420}, {420, 297}, {297, 210}}};
constexpr std::array<std::pair<double, double>, 5> kInchSheets{
    {{11, 8.5}, {17, 11}, {22, 17}, {34, 22}, {44, 34}}};

const char *size_state_name(int state) {
  switch (state) {
  case UF_DRAW_METRIC_SIZE: return "metric";
  case UF_DRAW_ENGLISH_SIZE: return "english";
  case UF_DRAW_CUSTOM_SIZE: return "custom";
  default: return "unknown";
  }
}

} // namespace

void DrawingPayload::dump(nlohmann::json &out) const {
  out["size_state"] = size_state_name(info.size_state);
  if (info.size_state == UF_DRAW_CUSTOM_SIZE)
    out["custom_size"] = {{"height", info.size.custom_size.height},
                          {"length", info.size.custom_size.length}};
  else
    out["size_code"] = info.size.metric_size_code;
  out["height_mm"] = height;
  out["width_mm"] = width;
  out["drawing_scale"] = info.drawing_scale;
  out["units"] = info.units == UF_PART_METRIC ? "metric" : "english";
  out["projection_angle"] =
      info.projection_angle == UF_DRAW_THIRD_ANGLE_PROJECTION ? "third" : "first";
  out["views"] = views;
}

// A fresh part shows the model; member views show their borders; the
// drawing display is in colour on a white sheet with the grid off.
// It also routes the lines created while a drawing is shown onto that
// drawing.
Drawings::Drawings(Session &session) {
  session.component<geo::LineRouting>().drawing_line = [](Session &s, geo::Vec3 a,
                                                          geo::Vec3 b) -> std::optional<tag_t> {
    const tag_t drawing = shown_drawing(s);
    if (drawing == NULL_TAG)
      return std::nullopt;
    return drf::create_sheet_line(s, drawing, a, b);
  };
  drawing_display.background_color = 1;
  drawing_display.foreground_color = 7;
  drawing_display.grid_display = UF_DRAW_NO;
  drawing_display.preselection_color = 186;
  drawing_display.selection_color = 186;
  drawing_display.monochrome = 1;
  drawing_display.show_widths = 1;
}

void Drawings::dump(nlohmann::json &out) const {
  out["display_state"] = display_state;
  out["current_drawing"] = current;
  out["border_display"] = border_display;
  out["drawing_display"] = {{"background_color", drawing_display.background_color},
                            {"foreground_color", drawing_display.foreground_color},
                            {"grid_display", drawing_display.grid_display},
                            {"monochrome", drawing_display.monochrome != 0},
                            {"show_widths", drawing_display.show_widths != 0}};
}

tag_t shown_drawing(Session &session) {
  const Drawings *drawings = session.find<Drawings>();
  if (!drawings || drawings->display_state != UF_DRAW_DRAWING_DISPLAY)
    return NULL_TAG;
  return drawings->current;
}

DrawingPayload *find_drawing(Session &session, tag_t tag) {
  return session.objects().payload_as<DrawingPayload>(tag);
}

const DrawingPayload *find_drawing(const Session &session, tag_t tag) {
  return session.objects().payload_as<DrawingPayload>(tag);
}

bool sheet_size(const UF_DRAW_info_t &info, double &height, double &width) {
  const double unit = info.units == UF_PART_ENGLISH ? kInch : 1.0;
  switch (info.size_state) {
  case UF_DRAW_CUSTOM_SIZE:
    height = info.size.custom_size.height * unit;
    width = info.size.custom_size.length * unit;
    break;
  case UF_DRAW_METRIC_SIZE: {
    const int code = info.size.metric_size_code;
    if (code < 0 || code >= static_cast<int>(kMetricSheets.size()))
      return false;
    width = kMetricSheets[code].first;
    height = kMetricSheets[code].second;
    break;
  }
  case UF_DRAW_ENGLISH_SIZE: {
    const int code = info.size.english_size_code;
    if (code < 0 || code >= static_cast<int>(kInchSheets.size()))
      return false;
    width = kInchSheets[code].first * kInch;
    height = kInchSheets[code].second * kInch;
    break;
  }
  default: return false;
  }
  return height > 0 && width > 0;
}

int create_drawing(Session &session, const char *name, const UF_DRAW_info_t &info, tag_t &drawing) {
  if (session.display_part() == NULL_TAG)
    return status::kNoPart;
  if (!name || name[0] == '\0' || std::strlen(name) > kMaxNameLength)
    return status::kBadArgument;
  double height = 0, width = 0;
  if (!sheet_size(info, height, width) || !(info.drawing_scale > 0) ||
      (info.units != UF_PART_METRIC && info.units != UF_PART_ENGLISH) ||
      (info.projection_angle != UF_DRAW_THIRD_ANGLE_PROJECTION &&
       info.projection_angle != UF_DRAW_FIRST_ANGLE_PROJECTION))
    return status::kBadArgument;
  // A page name is blocked by any object of that name, whatever its type.
  if (session.objects().next_by_name(name, NULL_TAG) != NULL_TAG)
    return status::kNameInUse;
  auto payload = std::make_unique<DrawingPayload>();
  payload->info = info;
  payload->height = height;
  payload->width = width;
  drawing = session.objects().create(kDrawingType, kDrawingSubtype, name, std::move(payload)).tag;
  Drawings &drawings = session.component<Drawings>();
  drawings.current = drawing;
  drawings.display_state = UF_DRAW_DRAWING_DISPLAY;
  return status::kOk;
}

int open_drawing(Session &session, tag_t drawing) {
  const Object *object = session.objects().find(drawing);
  if (!object)
    return status::kBadTag;
  if (!find_drawing(session, drawing))
    return status::kWrongType;
  Drawings &drawings = session.component<Drawings>();
  drawings.current = drawing;
  drawings.display_state = UF_DRAW_DRAWING_DISPLAY;
  return status::kOk;
}

int set_display_state(Session &session, int state) {
  Drawings &drawings = session.component<Drawings>();
  switch (state) {
  case UF_DRAW_MODEL_DISPLAY: drawings.display_state = state; return status::kOk;
  case UF_DRAW_DRAWING_DISPLAY:
    if (drawings.current == NULL_TAG || !find_drawing(session, drawings.current))
      return status::kNoDrawing;
    drawings.display_state = state;
    return status::kOk;
  default: return status::kBadArgument;
  }
}

} // namespace sim::draw
