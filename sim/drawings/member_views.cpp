//===- member_views.cpp - Member views on drawings ------------------------===//
#include "drawings/member_views.h"

#include "drawings/drawings.h"
#include "geometry/model.h"
#include "objects/object_store.h"
#include "session/status.h"
#include "modelviews/model_views.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <string>

namespace sim::draw {
namespace {

nlohmann::json vec_json(geo::Vec3 v) { return nlohmann::json::array({v.x, v.y, v.z}); }

bool is_switch(int value) { return value == UF_DRAW_YES || value == UF_DRAW_NO; }
bool is_font(int value) { return value >= UF_DRAW_FONT_ORIGINAL && value <= UF_DRAW_FONT_DASHED; }
bool is_width(int value) { return value >= UF_DRAW_WIDTH_ORIGINAL && value <= UF_DRAW_WIDTH_THICK; }

// The centre of the workpiece bodies' box in the view's axes; false when
// there is no workpiece body (the centre is then the origin).
bool body_centre(Session &session, const geo::Mat3 &axes, geo::Vec3 &centre) {
  geo::Box box;
  for (tag_t tag : geo::visible_bodies(session)) {
    const geo::BodyPayload *body = geo::find_body(session, tag);
    if (body && body->shape.is_solid())
      box.add(body->shape.box_in(axes));
  }
  if (box.empty) {
    centre = {};
    return false;
  }
  centre = 0.5 * (box.min + box.max);
  return true;
}

// A member view name not yet used in the part: stem@n.
std::string free_view_name(Session &session, const std::string &stem) {
  int n = 1;
  session.objects().for_each([&](const Object &object) {
    if (object.type == views::kViewType && object.subtype == kMemberViewSubtype)
      ++n;
  });
  for (;; ++n) {
    std::string suffix = "@" + std::to_string(n);
    std::string name =
        stem.substr(0, kMaxNameLength - std::min(kMaxNameLength, suffix.size())) + suffix;
    if (session.objects().next_by_name(name, NULL_TAG) == NULL_TAG)
      return name;
  }
}

tag_t place_view(Session &session, DrawingPayload &drawing, tag_t drawing_tag,
                 std::unique_ptr<MemberViewPayload> view, const std::string &stem) {
  view->drawing = drawing_tag;
  view->has_bodies = body_centre(session, view->axes, view->centre);
  const std::string name = free_view_name(session, stem);
  const tag_t tag =
      session.objects().create(views::kViewType, kMemberViewSubtype, name, std::move(view)).tag;
  drawing.views.push_back(tag);
  return tag;
}

// Checks that drawing (null: the view's own drawing) holds view.
int check_member(Session &session, tag_t drawing, tag_t view, MemberViewPayload *&member) {
  member = find_member_view(session, view);
  if (!member)
    return session.objects().find(view) ? status::kWrongType : status::kBadTag;
  if (drawing != NULL_TAG && drawing != member->drawing)
    return find_drawing(session, drawing)    ? status::kNotOnDrawing
           : session.objects().find(drawing) ? status::kWrongType
                                             : status::kBadTag;
  return status::kOk;
}

} // namespace

void MemberViewPayload::dump(nlohmann::json &out) const {
  out["drawing"] = drawing;
  out["model_view"] = model_view;
  out["parent"] = parent;
  out["proj_dir"] = proj_dir;
  out["view_status"] = view_status;
  out["axes"] = {{"right", vec_json(axes.row[0])},
                 {"up", vec_json(axes.row[1])},
                 {"out", vec_json(axes.row[2])}};
  out["scale"] = scale;
  out["reference_point"] = ref;
  out["centre_in_view"] = vec_json(centre);
  out["has_bodies"] = has_bodies;
  out["updates"] = updates;
  out["display"] = {{"hidden_line", display.hidden_line},
                    {"hidden_line_font", display.hidden_line_font},
                    {"hidden_line_width", display.hidden_line_width},
                    {"silhouettes", display.silhouettes},
                    {"smooth_edges", display.smooth_edges},
                    {"smooth_edge_gaps", display.smooth_edge_gaps},
                    {"referenced_edges_only", display.referenced_edges_only != 0}};
}

UF_DRAW_view_display_t default_view_display() {
  UF_DRAW_view_display_t d{};
  d.hidden_line = UF_DRAW_YES;
  d.hidden_line_color = 0;
  d.hidden_line_font = UF_DRAW_FONT_DASHED;
  d.hidden_line_width = UF_DRAW_WIDTH_THIN;
  d.silhouettes = UF_DRAW_NO;
  d.edges_hidden_by_own_solid = UF_DRAW_YES;
  d.visible_lines = UF_DRAW_YES;
  d.visible_line_font = UF_DRAW_FONT_ORIGINAL;
  d.visible_line_width = UF_DRAW_WIDTH_ORIGINAL;
  d.silhouette_font = UF_DRAW_FONT_ORIGINAL;
  d.silhouette_width = UF_DRAW_WIDTH_ORIGINAL;
  d.uv_hatch = UF_DRAW_NO;
  d.virtual_intersections = UF_DRAW_NO;
  d.tolerance = 0.01;
  d.smooth_edge_gap_size = 1.0;
  d.tracelines = UF_DRAW_NO;
  d.traceline_font = UF_DRAW_FONT_ORIGINAL;
  d.traceline_width = UF_DRAW_WIDTH_ORIGINAL;
  d.threads = UF_DRAW_NO;
  d.section_line_display = UF_DRAW_NO;
  d.smooth_edges = UF_DRAW_NO;
  d.smooth_edge_gaps = UF_DRAW_YES;
  d.auto_update = 1;
  d.extracted_edges = 0;
  d.referenced_edges_only = 1;
  return d;
}

bool view_display_valid(const UF_DRAW_view_display_t &d) {
  return is_switch(d.hidden_line) && is_font(d.hidden_line_font) && is_width(d.hidden_line_width) &&
         is_switch(d.silhouettes) && is_switch(d.edges_hidden_by_own_solid) &&
         is_switch(d.visible_lines) && is_font(d.visible_line_font) &&
         is_width(d.visible_line_width) && is_font(d.silhouette_font) &&
         is_width(d.silhouette_width) && is_switch(d.uv_hatch) &&
         is_switch(d.virtual_intersections) && d.tolerance > 0 && d.smooth_edge_gap_size >= 0 &&
         is_switch(d.tracelines) && is_font(d.traceline_font) && is_width(d.traceline_width) &&
         is_switch(d.threads) && is_switch(d.section_line_display) && is_switch(d.smooth_edges) &&
         is_switch(d.smooth_edge_gaps);
}

geo::Mat3 projected_axes(const geo::Mat3 &parent, int proj_dir, bool first_angle) {
  if (first_angle) {
    static constexpr int kSwapped[] = {0, UF_DRAW_PROJ_BELOW, UF_DRAW_PROJ_LEFT, UF_DRAW_PROJ_ABOVE,
                                       UF_DRAW_PROJ_RIGHT};
    proj_dir = kSwapped[proj_dir];
  }
  const geo::Vec3 r = parent.row[0], u = parent.row[1], n = parent.row[2];
  geo::Mat3 child;
  switch (proj_dir) {
  case UF_DRAW_PROJ_BELOW: // seen from the parent's bottom edge: its out points up
    child.row = {r, n, -1.0 * u};
    break;
  case UF_DRAW_PROJ_RIGHT: // seen from its right edge: its out points left
    child.row = {-1.0 * n, u, r};
    break;
  case UF_DRAW_PROJ_ABOVE: child.row = {r, -1.0 * n, u}; break;
  default: // UF_DRAW_PROJ_LEFT
    child.row = {n, u, -1.0 * r};
    break;
  }
  return child;
}

MemberViewPayload *find_member_view(Session &session, tag_t tag) {
  return session.objects().payload_as<MemberViewPayload>(tag);
}

const MemberViewPayload *find_member_view(const Session &session, tag_t tag) {
  return session.objects().payload_as<MemberViewPayload>(tag);
}

std::array<double, 2> model_to_drawing(const MemberViewPayload &view, geo::Vec3 p) {
  const geo::Vec3 v = view.axes.to_frame(p);
  return {view.ref[0] + view.scale * (v.x - view.centre.x),
          view.ref[1] + view.scale * (v.y - view.centre.y)};
}

int import_view(Session &session, tag_t drawing, tag_t model_view, const double ref_point[2],
                const UF_DRAW_view_info_t &info, tag_t &view) {
  DrawingPayload *sheet = find_drawing(session, drawing);
  if (!sheet)
    return session.objects().find(drawing) ? status::kWrongType : status::kBadTag;
  const views::SavedView *saved = views::find_view(session, model_view);
  if (!saved)
    return session.objects().find(model_view) ? status::kWrongType : status::kBadTag;
  if (!(info.view_scale > 0) ||
      (info.view_status != UF_DRAW_ACTIVE_VIEW && info.view_status != UF_DRAW_REFERENCE_VIEW))
    return status::kBadArgument;
  auto member = std::make_unique<MemberViewPayload>();
  member->model_view = model_view;
  member->view_status = info.view_status;
  member->axes = saved->matrix;
  member->scale = info.view_scale;
  member->ref = {ref_point[0], ref_point[1]};
  member->display = default_view_display();
  view = place_view(session, *sheet, drawing, std::move(member),
                    session.objects().find(model_view)->name);
  return status::kOk;
}

int add_orthographic_view(Session &session, tag_t drawing, tag_t parent, int proj_dir,
                          const double ref_point[2], tag_t &view) {
  DrawingPayload *sheet = find_drawing(session, drawing);
  if (!sheet)
    return session.objects().find(drawing) ? status::kWrongType : status::kBadTag;
  MemberViewPayload *from = nullptr;
  if (const int rc = check_member(session, drawing, parent, from); rc != status::kOk)
    return rc;
  if (proj_dir < UF_DRAW_PROJ_ABOVE || proj_dir > UF_DRAW_PROJ_LEFT)
    return status::kBadArgument;
  auto member = std::make_unique<MemberViewPayload>();
  member->parent = parent;
  member->proj_dir = proj_dir;
  member->scale_from_parent = true;
  member->view_status = from->view_status;
  member->axes = projected_axes(from->axes, proj_dir,
                                sheet->info.projection_angle == UF_DRAW_FIRST_ANGLE_PROJECTION);
  member->scale = from->scale;
  member->ref = {ref_point[0], ref_point[1]};
  member->display = from->display;
  view = place_view(session, *sheet, drawing, std::move(member), "ORTHO");
  return status::kOk;
}

// A view's scale changes about its reference point; views projected from
// it that have not been given a scale of their own follow it.
int set_view_scale(Session &session, tag_t view, double scale) {
  MemberViewPayload *member = nullptr;
  if (const int rc = check_member(session, NULL_TAG, view, member); rc != status::kOk)
    return rc;
  if (!(scale > 0))
    return status::kBadArgument;
  member->scale = scale;
  member->scale_from_parent = false;
  std::vector<tag_t> parents{view};
  while (!parents.empty()) {
    const tag_t parent = parents.back();
    parents.pop_back();
    session.objects().for_each([&](Object &object) {
      auto *child = payload_cast<MemberViewPayload>(object.payload.get());
      if (child && child->parent == parent && child->scale_from_parent) {
        child->scale = scale;
        parents.push_back(object.tag);
      }
    });
  }
  return status::kOk;
}

int set_reference_point(Session &session, tag_t drawing, tag_t view, const double ref_point[2]) {
  MemberViewPayload *member = nullptr;
  if (const int rc = check_member(session, drawing, view, member); rc != status::kOk)
    return rc;
  member->ref = {ref_point[0], ref_point[1]};
  return status::kOk;
}

int update_view(Session &session, tag_t drawing, tag_t view) {
  MemberViewPayload *member = nullptr;
  if (const int rc = check_member(session, drawing, view, member); rc != status::kOk)
    return rc;
  member->has_bodies = body_centre(session, member->axes, member->centre);
  ++member->updates;
  return status::kOk;
}

int set_view_display(Session &session, tag_t view, const UF_DRAW_view_display_t &display) {
  MemberViewPayload *member = nullptr;
  if (const int rc = check_member(session, NULL_TAG, view, member); rc != status::kOk)
    return rc;
  if (!view_display_valid(display))
    return status::kBadArgument;
  member->display = display;
  return status::kOk;
}

} // namespace sim::draw
