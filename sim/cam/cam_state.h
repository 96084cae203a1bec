//===- cam_state.h - The CAM setup, the navigator and the WCS -------------===//
//
// The session's CAM component: whether the part has a setup, the setup and
// its program root (made on first use), the operation navigator's
// selection, and the work coordinate system.  It also makes the CAM
// objects, so that scenarios and tests build parts the same way.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_CAM_CAM_STATE_H
#define NCSHEET_SIM_CAM_CAM_STATE_H

#include "cam/cam_objects.h"
#include "geometry/types.h"
#include "session/session.h"

#include <string>
#include <string_view>
#include <vector>

namespace sim::cam {

class CamState final : public Component {
public:
  explicit CamState(Session &session);

  [[nodiscard]] std::string_view name() const override { return "cam"; }
  void dump(nlohmann::json &out) const override;

  /// A part without a CAM setup ("setup": null in a scenario).
  void remove_setup();
  [[nodiscard]] bool has_setup() const noexcept { return has_setup_; }
  /// The setup, made with its program root on first use; null when the part
  /// has none.
  tag_t setup();
  /// The program root group; null when the part has no setup.
  tag_t program_root();

  /// Makes a program group named name in parent (null: the program root).
  tag_t add_group(std::string_view name, tag_t parent = NULL_TAG);
  /// Makes an operation named name in group parent.
  tag_t add_operation(std::string_view name, tag_t parent, tag_t mcs, post::Operation data,
                      std::string moves_source = {});
  /// Makes a coordinate system and its matrix object.
  tag_t add_csys(std::string_view name, const geo::Frame &frame);
  /// Makes a matrix object alone.
  tag_t add_matrix(const geo::Mat3 &axes);
  /// The frame of a coordinate system object; false when tag is none.
  [[nodiscard]] bool csys_frame(tag_t csys, geo::Frame &frame) const;

  /// The operation navigator's selection, in the order it is returned.
  std::vector<tag_t> selected;

  /// The work coordinate system: the frame it was set to and the object it
  /// was taken from (null: the absolute system, as at the start).
  [[nodiscard]] const geo::Frame &wcs() const noexcept { return wcs_; }
  [[nodiscard]] tag_t wcs_csys() const noexcept { return wcs_csys_; }
  /// Makes csys the WCS; false when it is not a coordinate system.
  [[nodiscard]] bool set_wcs(tag_t csys);

private:
  Session &session_;
  bool has_setup_ = true;
  tag_t setup_ = NULL_TAG;
  tag_t root_ = NULL_TAG;
  geo::Frame wcs_;
  tag_t wcs_csys_ = NULL_TAG;
};

/// The work coordinate system of the session (absolute until it is set).
[[nodiscard]] geo::Frame work_frame(Session &session);

} // namespace sim::cam

#endif
