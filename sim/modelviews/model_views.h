// model_views.h: model views: the work view of the current layout, the standard
// views, rotation about an absolute axis and saved views (objects of type
// 60, subtype 7).
//
// A view's matrix has three rows in absolute coordinates: the direction
// that points right on the screen, the one that points up, and the one
// that points out of the screen toward the viewer.  The standard views
// show, as (right, up): TOP (X, Y), BOTTOM (X, -Y), FRONT (X, Z),
// BACK (-X, Z), RIGHT (Y, Z), LEFT (-Y, Z); "tfr-iso" looks from the +X,
// -Y, +Z side with Z up.  Turning a view about an axis by an angle shows the
// model turned by that angle (right-hand rule).
#ifndef NCSHEET_SIM_MODELVIEWS_MODEL_VIEWS_H
#define NCSHEET_SIM_MODELVIEWS_MODEL_VIEWS_H

#include "geometry/types.h"
#include "objects/object.h"
#include "session/session.h"

#include <optional>
#include <string>
#include <string_view>

namespace sim::views {

inline constexpr int kViewType = 60;
inline constexpr int kModelViewSubtype = 7;

// The matrix of a standard view by name (any letter case), if it is one.
[[nodiscard]] std::optional<geo::Mat3> standard_view(std::string_view name);

// The matrix turned so that the model appears turned by angle degrees
// about axis.
[[nodiscard]] geo::Mat3 turned(const geo::Mat3 &view, geo::Vec3 axis, double angle_deg);

// A saved model view.
class SavedView : public PayloadOf<PayloadKind::SavedView> {
public:
  SavedView(geo::Mat3 matrix, double scale, std::string from)
      : matrix(matrix), scale(scale), from(std::move(from)) {}
  [[nodiscard]] const char *kind() const override { return "model_view"; }
  void dump(nlohmann::json &out) const override;

  geo::Mat3 matrix;
  double scale = 1;
  std::string from; ///< the view it was last replaced by ("TOP", "tfr-iso", ...)
};

// The work view of the current layout.
class ModelViews : public Component {
public:
  explicit ModelViews(Session &) {}
  [[nodiscard]] std::string_view name() const override { return "work_view"; }
  void dump(nlohmann::json &out) const override;

  [[nodiscard]] const geo::Mat3 &work() const { return work_; }
  [[nodiscard]] const std::string &work_name() const { return work_name_; }
  void set_work(const geo::Mat3 &m, std::string name) {
    work_ = m;
    work_name_ = std::move(name);
  }
  void turn_work(geo::Vec3 axis, double angle_deg) { work_ = turned(work_, axis, angle_deg); }

private:
  geo::Mat3 work_;
  std::string work_name_ = "TOP";
  double scale_ = 1;
};

// The saved model view of a tag, or null.
[[nodiscard]] SavedView *find_view(Session &s, tag_t tag);
// The first saved model view named name (any letter case), or null tag.
[[nodiscard]] tag_t find_view_by_name(Session &s, std::string_view name);
// The matrix of a view by name for uc6464: a standard or a saved view.
[[nodiscard]] std::optional<geo::Mat3> view_matrix_by_name(Session &s, std::string_view name);
// Saves matrix as a new view object; the null tag when the name is empty,
// too long, or already a view's.
[[nodiscard]] tag_t save_view(Session &s, std::string_view name, const geo::Mat3 &matrix,
                              std::string from);

} // namespace sim::views

#endif
