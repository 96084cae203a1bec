//===- ordinate.h - Ordinate origins, margins and dimensions --------------===//
//
// Ordinate dimensioning in a member view.  An ordinate origin sits at the
// drawing position of its object; a margin is a horizontal or vertical
// line on the sheet through the drawing position of its object, moved by
// an offset in sheet millimetres; an ordinate dimension on a margin
// measures its object's point from the margin's origin.
//
// Every drafting object attaches to a model object seen in a member view:
// an edge of a body (at its first or second vertex, by the association
// modifier), a model line (its start or end) or a model point (the
// modifier is not used).  Lines and points that lie on a drawing are
// refused.  Margins are placed by the middle of their object, so their
// modifier is not used either.
//
// The value of a dimension is the model distance from the origin's point
// to the dimension's point along the work coordinate system axis that
// runs along the margin on the sheet (horizontal margins: the view's
// right direction; vertical margins: its up direction), with that axis's
// own sign, whichever way it points on the sheet.  When no WCS axis runs
// along the margin, the distance is taken along the sheet direction.  The
// printed text is the value with at most three decimals, trailing zeros
// dropped, and never "-0".  A dimension keeps the drafting preferences
// and the lettering that were current when it was made.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_DRAFTING_ORDINATE_H
#define NCSHEET_SIM_DRAFTING_ORDINATE_H

#include "geometry/types.h"
#include "host/drf.h"
#include "objects/object.h"
#include "session/session.h"

#include <array>
#include <string>
#include <vector>

namespace sim::drf {

// Object type and subtypes of ordinate drafting objects.
inline constexpr int kOrdinateType = 26;
inline constexpr int kOrdOriginSubtype = 1;
inline constexpr int kOrdMarginSubtype = 2;
inline constexpr int kOrdDimensionSubtype = 3;

/// What a drafting object was asked to attach to.
struct AttachRequest {
  tag_t object = NULL_TAG;
  tag_t view = NULL_TAG;
  int assoc_type = 0;
  int modifier = 0;
};

/// An attachment as the host resolved it.
struct Attachment {
  tag_t object = NULL_TAG;
  tag_t view = NULL_TAG;
  int modifier = 0;                  ///< as given (not used for points and margins)
  geo::Vec3 model;                   ///< the attached point, absolute coordinates
  std::array<double, 2> sheet{0, 0}; ///< its drawing position
};

class OrdOriginPayload : public PayloadOf<PayloadKind::OrdOrigin> {
public:
  [[nodiscard]] const char *kind() const override { return "ordinate_origin"; }
  void dump(nlohmann::json &out) const override;

  tag_t drawing = NULL_TAG;
  Attachment at;
  int origin_type = 0;
  int symbol_display = 0;
  int name_display = 0;
  std::string name; ///< host bytes
};

class OrdMarginPayload : public PayloadOf<PayloadKind::OrdMargin> {
public:
  [[nodiscard]] const char *kind() const override { return "ordinate_margin"; }
  void dump(nlohmann::json &out) const override;

  tag_t drawing = NULL_TAG;
  tag_t origin = NULL_TAG;
  int type = 0;      ///< UF_DRF_MARGIN_HORIZONTAL or UF_DRF_MARGIN_VERTICAL
  Attachment at;     ///< the middle of its object
  double offset = 0; ///< sheet millimetres
  double line = 0;   ///< the margin's drawing y (horizontal) or x (vertical)
};

class OrdDimensionPayload : public PayloadOf<PayloadKind::OrdDimension> {
public:
  [[nodiscard]] const char *kind() const override { return "ordinate_dimension"; }
  void dump(nlohmann::json &out) const override;

  tag_t drawing = NULL_TAG;
  tag_t margin = NULL_TAG;
  tag_t origin = NULL_TAG;
  int dimension_type = 0;
  int text_placement = 0;
  Attachment at;
  double dogleg_angle = 0;
  double dogleg_distance = 0;
  geo::Vec3 origin_argument; ///< as passed; automatic placement does not use it
  std::string user_text;     ///< host bytes, kept but not printed
  std::vector<std::string> appended_text;
  double value = 0;                    ///< the measured value, model units
  std::string measured_along;          ///< "X", "Y", "Z" (WCS axes) or "sheet"
  std::string text;                    ///< the printed value
  std::array<double, 2> text_at{0, 0}; ///< where the text stands: on the margin
  std::array<int, UF_DRF_INT_PREFS> int_prefs{};
  std::array<double, UF_DRF_REAL_PREFS> real_prefs{};
  UF_DRF_lettering_t lettering{}; ///< the dimension text's lettering
};

/// The printed text of an ordinate value: at most three decimals, trailing
/// zeros and a bare point dropped, "0" for any value that rounds to zero.
[[nodiscard]] std::string ordinate_text(double value);

// The operations behind the C entries; each returns a host status and
// sets its output only on success.
[[nodiscard]] int create_ordinate_origin(Session &session, const AttachRequest &object,
                                         int origin_type, int symbol_display, int name_display,
                                         std::string name, tag_t &origin);
[[nodiscard]] int create_ordinate_margin(Session &session, int type, tag_t origin,
                                         const AttachRequest &object, const double point[3],
                                         const double direction[2], double offset, tag_t &margin);
struct DimensionRequest {
  tag_t margin = NULL_TAG;
  int dimension_type = 0;
  AttachRequest object;
  double dogleg_angle = 0;
  double dogleg_distance = 0;
  std::string user_text;
  std::vector<std::string> appended_text;
  int text_placement = 0;
  geo::Vec3 origin_argument;
};
[[nodiscard]] int create_ordinate_dimension(Session &session, const DimensionRequest &request,
                                            tag_t &dimension);

/// The ordinate objects of a tag, or null.
[[nodiscard]] const OrdOriginPayload *find_ordinate_origin(const Session &session, tag_t tag);
[[nodiscard]] const OrdMarginPayload *find_ordinate_margin(const Session &session, tag_t tag);
[[nodiscard]] const OrdDimensionPayload *find_ordinate_dimension(const Session &session, tag_t tag);

} // namespace sim::drf

#endif
