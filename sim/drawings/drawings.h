//===- drawings.h - Drawings and the display state ------------------------===//
//
// Drawings are named objects of the part.  The Drawings component holds
// what the graphics window shows (the model, state 1, or the current
// drawing, state 2), the current drawing, whether member views show their
// borders, and the drawing display settings.  Creating a drawing makes it
// current and shows it, so that notes, lines and template imports that
// follow land on it; geometry created while the model is shown is model
// geometry.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_DRAWINGS_DRAWINGS_H
#define NCSHEET_SIM_DRAWINGS_DRAWINGS_H

#include "host/draw.h"
#include "objects/object.h"
#include "session/session.h"

#include <string_view>
#include <vector>

namespace sim::draw {

// Object types and subtypes.
inline constexpr int kDrawingType = 62;
inline constexpr int kDrawingSubtype = 0;

/// A drawing: its description as created and its member views in the
/// order they were placed.
class DrawingPayload : public PayloadOf<PayloadKind::Drawing> {
public:
  [[nodiscard]] const char *kind() const override { return "drawing"; }
  void dump(nlohmann::json &out) const override;

  UF_DRAW_info_t info{};
  double height = 0; ///< sheet height, millimetres
  double width = 0;  ///< sheet width, millimetres
  std::vector<tag_t> views;
};

class Drawings : public Component {
public:
  explicit Drawings(Session &session);
  [[nodiscard]] std::string_view name() const override { return "drawings"; }
  void dump(nlohmann::json &out) const override;

  int display_state = UF_DRAW_MODEL_DISPLAY;
  tag_t current = NULL_TAG;
  bool border_display = true;
  UF_DISP_drawing_display_t drawing_display{};
};

/// The drawing that geometry and notes created now land on: the current
/// drawing while it is shown, else the null tag (the model).
[[nodiscard]] tag_t shown_drawing(Session &session);

/// The payload of a drawing, or null.
[[nodiscard]] DrawingPayload *find_drawing(Session &session, tag_t tag);
[[nodiscard]] const DrawingPayload *find_drawing(const Session &session, tag_t tag);

/// The sheet size of a description in millimetres; false when the size
/// state or code is unknown or the size is not positive.
[[nodiscard]] bool sheet_size(const UF_DRAW_info_t &info, double &height, double &width);

// The operations behind the C entries; each returns a host status.
[[nodiscard]] int create_drawing(Session &session, const char *name, const UF_DRAW_info_t &info,
                                 tag_t &drawing);
[[nodiscard]] int open_drawing(Session &session, tag_t drawing);
[[nodiscard]] int set_display_state(Session &session, int state);

} // namespace sim::draw

#endif
