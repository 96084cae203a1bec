//===- api_curve.cpp - curve.h: model lines and points --------------------===//
#include "host/curve.h"

#include "api/entry.h"
#include "drafting/drafting.h"
#include "drawings/drawings.h"
#include "geometry/model.h"
#include "objects/object_store.h"

using sim::Call;
using sim::Session;
namespace geo = sim::geo;
namespace status = sim::status;

namespace {

geo::Vec3 vec(const double p[3]) { return {p[0], p[1], p[2]}; }

} // namespace

extern "C" int UF_CURVE_create_line(UF_CURVE_line_p_t line_coords, tag_t *line) {
  return sim::api::call(Call::UF_CURVE_create_line, [&](Session &s) {
    if (!line_coords || !line)
      return status::kBadArgument;
    geo::Vec3 a = vec(line_coords->start_point), b = vec(line_coords->end_point);
    // While a drawing is shown the line belongs to the drawing side.
    if (auto *route = s.find<geo::LineRouting>(); route && route->drawing_line) {
      if (auto made = route->drawing_line(s, a, b)) {
        *line = *made;
        return status::kOk;
      }
    }
    *line = geo::add_curve(s, geo::Curve{geo::Line{a, b}});
    return status::kOk;
  });
}

extern "C" int UF_CURVE_ask_line_data(tag_t line, UF_CURVE_line_p_t line_coords) {
  return sim::api::call(Call::UF_CURVE_ask_line_data, [&](Session &s) {
    if (!line_coords)
      return status::kBadArgument;
    auto *c = s.objects().payload_as<geo::CurvePayload>(line);
    if (!c)
      return sim::api::wrong_kind_status(s, line);
    const auto *l = std::get_if<geo::Line>(&c->curve.shape);
    if (!l)
      return status::kWrongType;
    for (int i = 0; i < 3; ++i) {
      line_coords->start_point[i] = l->start[i];
      line_coords->end_point[i] = l->end[i];
    }
    return status::kOk;
  });
}

extern "C" int UF_CURVE_create_point(double point_coords[3], tag_t *point) {
  return sim::api::call(Call::UF_CURVE_create_point, [&](Session &s) {
    if (!point_coords || !point)
      return status::kBadArgument;
    // While a drawing is shown the point belongs to it.
    if (const tag_t drawing = sim::draw::shown_drawing(s); drawing != NULL_TAG) {
      *point = sim::drf::create_sheet_point(s, drawing, vec(point_coords));
      return status::kOk;
    }
    *point = geo::add_point(s, vec(point_coords));
    return status::kOk;
  });
}

extern "C" int UF_CURVE_ask_point_data(tag_t point, double point_coords[3]) {
  return sim::api::call(Call::UF_CURVE_ask_point_data, [&](Session &s) {
    if (!point_coords)
      return status::kBadArgument;
    auto *p = s.objects().payload_as<geo::PointPayload>(point);
    if (!p)
      return sim::api::wrong_kind_status(s, point);
    for (int i = 0; i < 3; ++i)
      point_coords[i] = p->at[i];
    return status::kOk;
  });
}
