// model_views.cpp: standard views, turning views, saved model views.
#include "modelviews/model_views.h"

#include "objects/object_store.h"

#include <nlohmann/json.hpp>

#include <array>
#include <cmath>
#include <numbers>

namespace sim::views {

namespace {

using geo::Mat3;
using geo::Vec3;

Mat3 from_right_up(Vec3 right, Vec3 up) {
  Mat3 m;
  m.row = {geo::unit(right), geo::unit(up), geo::unit(geo::cross(right, up))};
  return m;
}

nlohmann::json matrix_json(const Mat3 &m) {
  nlohmann::json rows = nlohmann::json::array();
  for (const Vec3 &r : m.row)
    rows.push_back({r.x, r.y, r.z});
  return rows;
}

} // namespace

std::optional<Mat3> standard_view(std::string_view name) {
  struct Entry {
    std::string_view name;
    Vec3 right, up;
  };
  static constexpr std::array<Entry, 7> kViews{{
      {"TOP", {1, 0, 0}, {0, 1, 0}},
      {"BOTTOM", {1, 0, 0}, {0, -1, 0}},
      {"FRONT", {1, 0, 0}, {0, 0, 1}},
      {"BACK", {-1, 0, 0}, {0, 0, 1}},
      {"RIGHT", {0, 1, 0}, {0, 0, 1}},
      {"LEFT", {0, -1, 0}, {0, 0, 1}},
      // seen from (1, -1, 1): right (1, 1, 0), up (-1, 1, 2)
      {"tfr-iso", {1, 1, 0}, {-1, 1, 2}},
  }};
  for (const Entry &e : kViews)
    if (ObjectStore::same_name(e.name, name))
      return from_right_up(e.right, e.up);
  return std::nullopt;
}

Mat3 turned(const Mat3 &view, Vec3 axis, double angle_deg) {
  // the model turns by +angle, so the screen axes turn by -angle
  double a = -angle_deg * std::numbers::pi / 180.0;
  Mat3 m;
  for (int i = 0; i < 3; ++i)
    m.row[i] = geo::rotate(view.row[i], axis, a);
  return m;
}

void SavedView::dump(nlohmann::json &out) const {
  out["matrix"] = matrix_json(matrix);
  out["scale"] = scale;
  out["from"] = from;
}

void ModelViews::dump(nlohmann::json &out) const {
  out["matrix"] = matrix_json(work_);
  out["from"] = work_name_;
  out["scale"] = scale_;
}

SavedView *find_view(Session &s, tag_t tag) {
  Object *o = s.objects().find(tag);
  if (o == nullptr || o->type != kViewType || o->subtype != kModelViewSubtype)
    return nullptr;
  return payload_cast<SavedView>(o->payload.get());
}

tag_t find_view_by_name(Session &s, std::string_view name) {
  for (tag_t t = s.objects().next_by_name(name, NULL_TAG); t != NULL_TAG;
       t = s.objects().next_by_name(name, t))
    if (find_view(s, t) != nullptr)
      return t;
  return NULL_TAG;
}

std::optional<Mat3> view_matrix_by_name(Session &s, std::string_view name) {
  if (auto m = standard_view(name))
    return m;
  if (tag_t t = find_view_by_name(s, name))
    return find_view(s, t)->matrix;
  return std::nullopt;
}

tag_t save_view(Session &s, std::string_view name, const Mat3 &matrix, std::string from) {
  if (name.empty() || name.size() > kMaxNameLength || find_view_by_name(s, name) != NULL_TAG ||
      standard_view(name))
    return NULL_TAG;
  Object &o = s.objects().create(kViewType, kModelViewSubtype, std::string(name),
                                 std::make_unique<SavedView>(matrix, 1.0, std::move(from)));
  return o.tag;
}

} // namespace sim::views
