//===- drafting.h - Drafting and lettering preferences, notes, sheet lines -===//
//
// The drafting state of the session: the current drafting preferences (an
// integer array of 100, a real array of 70, the radius and diameter symbol
// texts) and the current lettering preferences, which every note takes as
// it is created.  Notes and drawing-space lines are objects of the part;
// each remembers the drawing it lies on (the null tag: the model).
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_DRAFTING_DRAFTING_H
#define NCSHEET_SIM_DRAFTING_DRAFTING_H

#include "geometry/types.h"
#include "host/drf.h"
#include "objects/object.h"
#include "session/session.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace sim::drf {

// Object types and subtypes of drafting objects.
inline constexpr int kNoteType = 25;
inline constexpr int kNoteSubtype = 1;
inline constexpr int kSheetLineType = 3;
inline constexpr int kSheetLineSubtype = 0;
inline constexpr int kSheetPointType = 1;
inline constexpr int kSheetPointSubtype = 0;

/// The current drafting and lettering preferences.
class Drafting : public Component {
public:
  explicit Drafting(Session &session);
  [[nodiscard]] std::string_view name() const override { return "drafting"; }
  void dump(nlohmann::json &out) const override;

  std::array<int, UF_DRF_INT_PREFS> int_prefs{};
  std::array<double, UF_DRF_REAL_PREFS> real_prefs{};
  std::string radius_symbol;   ///< host bytes, at most 27
  std::string diameter_symbol; ///< host bytes, at most 27
  UF_DRF_lettering_preferences_t lettering{};
};

/// The preferences a new session starts with.
[[nodiscard]] UF_DRF_lettering_preferences_t default_lettering();
/// True when the host accepts the lettering: every size, aspect ratio and
/// line space factor greater than 0, no negative character space factor,
/// an alignment position 1..9 and a justification 1..3.
[[nodiscard]] bool lettering_valid(const UF_DRF_lettering_preferences_t &lettering);
/// The lettering record as JSON (dump).
[[nodiscard]] nlohmann::json lettering_json(const UF_DRF_lettering_preferences_t &lettering);

/// A note: lines of text (host bytes), its origin (the point its
/// alignment position lies on), orientation and the lettering it was
/// created with.
class NotePayload : public PayloadOf<PayloadKind::Note> {
public:
  [[nodiscard]] const char *kind() const override { return "note"; }
  void dump(nlohmann::json &out) const override;

  tag_t drawing = NULL_TAG; ///< the drawing it lies on; null: the model
  std::vector<std::string> lines;
  geo::Vec3 origin;
  int orientation = 0; ///< degrees counter-clockwise from horizontal
  UF_DRF_lettering_preferences_t lettering{};
};

/// A line in drawing space (drawing coordinates, millimetres from the
/// sheet's lower-left corner).
class SheetLinePayload : public PayloadOf<PayloadKind::SheetLine> {
public:
  [[nodiscard]] const char *kind() const override { return "sheet_line"; }
  void dump(nlohmann::json &out) const override;

  tag_t drawing = NULL_TAG;
  geo::Vec3 start, end;
};

/// A point in drawing space (drawing coordinates): a point created while
/// a drawing is shown.
class SheetPointPayload : public PayloadOf<PayloadKind::SheetPoint> {
public:
  [[nodiscard]] const char *kind() const override { return "sheet_point"; }
  void dump(nlohmann::json &out) const override;

  tag_t drawing = NULL_TAG;
  geo::Vec3 at;
};

/// Creates a note with the current lettering on drawing (null: the model).
tag_t create_note(Session &session, tag_t drawing, std::vector<std::string> lines, geo::Vec3 origin,
                  int orientation);
/// Creates a note with the given lettering (template import).
tag_t create_note(Session &session, tag_t drawing, std::vector<std::string> lines, geo::Vec3 origin,
                  int orientation, const UF_DRF_lettering_preferences_t &lettering);
/// Creates a line on drawing (drawing coordinates).
tag_t create_sheet_line(Session &session, tag_t drawing, geo::Vec3 start, geo::Vec3 end);
/// Creates a point on drawing (drawing coordinates).
tag_t create_sheet_point(Session &session, tag_t drawing, geo::Vec3 at);

/// The note or sheet line of a tag, or null.
[[nodiscard]] const NotePayload *find_note(const Session &session, tag_t tag);
[[nodiscard]] const SheetLinePayload *find_sheet_line(const Session &session, tag_t tag);

} // namespace sim::drf

#endif
