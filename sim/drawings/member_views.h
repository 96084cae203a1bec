//===- member_views.h - Member views on drawings --------------------------===//
//
// A member view shows the model on a drawing: a saved model view imported
// at a reference point, or an orthographic view projected from a parent
// member view.  Its orientation has the model view's rows (right, up, out
// of the sheet, absolute coordinates).  Its reference point is the centre
// of its view: the centre of the box of the workpiece bodies (the visible
// solid bodies) as the view shows it, taken in the view's own axes when
// the view is made or updated and kept when its scale changes, so that
// lines and points drawn beside the bodies never move the view.  A model
// point p lies on the drawing at
//     ref + scale * ((right . p, up . p) - (right . c, up . c))
// with c the box centre.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_DRAWINGS_MEMBER_VIEWS_H
#define NCSHEET_SIM_DRAWINGS_MEMBER_VIEWS_H

#include "geometry/types.h"
#include "host/draw.h"
#include "objects/object.h"
#include "session/session.h"

#include <array>

namespace sim::draw {

inline constexpr int kMemberViewSubtype = 8; ///< views placed on a drawing (type 60)

class MemberViewPayload : public PayloadOf<PayloadKind::MemberView> {
public:
  [[nodiscard]] const char *kind() const override { return "member_view"; }
  void dump(nlohmann::json &out) const override;

  tag_t drawing = NULL_TAG;
  tag_t model_view = NULL_TAG;    ///< the saved view it was imported from
  tag_t parent = NULL_TAG;        ///< the view it was projected from
  int proj_dir = 0;               ///< UF_DRAW_PROJ_* from the parent; 0 when imported
  bool scale_from_parent = false; ///< follows the parent's scale until set itself
  int view_status = UF_DRAW_ACTIVE_VIEW;
  geo::Mat3 axes;                  ///< rows: right, up, out of the sheet
  double scale = 1.0;              ///< model length to drawing length
  std::array<double, 2> ref{0, 0}; ///< drawing position of the centre
  geo::Vec3 centre;                ///< the centre in view coordinates (right, up, out)
  bool has_bodies = false;         ///< false: no workpiece body; the centre is the origin
  int updates = 0;                 ///< how often it was updated
  UF_DRAW_view_display_t display{};
};

/// The view display settings of a new member view.
[[nodiscard]] UF_DRAW_view_display_t default_view_display();
/// True when every switch, font and width of the settings is one the host
/// knows and the tolerance is positive.
[[nodiscard]] bool view_display_valid(const UF_DRAW_view_display_t &display);

/// The orientation of a view projected from a view of orientation parent
/// in direction proj_dir (UF_DRAW_PROJ_*) on a drawing of third angle
/// projection: below (3) the parent seen from its bottom edge, right (2)
/// from its right edge, above (1) from its top, left (4) from its left.
/// A first angle drawing swaps below with above and right with left.
[[nodiscard]] geo::Mat3 projected_axes(const geo::Mat3 &parent, int proj_dir,
                                       bool first_angle = false);

/// The member view of a tag, or null.
[[nodiscard]] MemberViewPayload *find_member_view(Session &session, tag_t tag);
[[nodiscard]] const MemberViewPayload *find_member_view(const Session &session, tag_t tag);

/// The drawing position of a model point in a member view.
[[nodiscard]] std::array<double, 2> model_to_drawing(const MemberViewPayload &view, geo::Vec3 p);

// The operations behind the C entries; each returns a host status.
[[nodiscard]] int import_view(Session &session, tag_t drawing, tag_t model_view,
                              const double ref_point[2], const UF_DRAW_view_info_t &info,
                              tag_t &view);
[[nodiscard]] int add_orthographic_view(Session &session, tag_t drawing, tag_t parent, int proj_dir,
                                        const double ref_point[2], tag_t &view);
[[nodiscard]] int set_view_scale(Session &session, tag_t view, double scale);
[[nodiscard]] int set_reference_point(Session &session, tag_t drawing, tag_t view,
                                      const double ref_point[2]);
[[nodiscard]] int update_view(Session &session, tag_t drawing, tag_t view);
[[nodiscard]] int set_view_display(Session &session, tag_t view,
                                   const UF_DRAW_view_display_t &display);

} // namespace sim::draw

#endif
