// size_note_test.cpp: the size note of the workpiece: its text for every
// group of direction codes, its place and lettering, and the lettering
// preferences around it.
#include "views/views.h"

#include "place_fixture.h"

#include <cstring>
#include <tuple>

namespace place_test {
namespace {

class SizeNote : public PlaceTest {};

bool same(const UF_DRF_lettering_preferences_t &a, const UF_DRF_lettering_preferences_t &b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST_F(SizeNote, LengthsAlongTheMcsAxesByCode) {
  // extents 120 (X) by 80.5 (Y) by 35 (Z); no lengths for a coordinate
  // system not aligned with the absolute axes, nor for codes outside the table
  const double lo[3] = {-20, 10, -35}, hi[3] = {100, 90.5, 0};
  const std::tuple<int, const char *> cases[] = {
      {101, "120x80.5x35"}, {103, "120x80.5x35"}, {201, "120x80.5x35"}, {203, "120x80.5x35"},
      {102, "80.5x120x35"}, {104, "80.5x120x35"}, {202, "80.5x120x35"}, {204, "80.5x120x35"},
      {301, "120x35x80.5"}, {303, "120x35x80.5"}, {401, "120x35x80.5"}, {403, "120x35x80.5"},
      {302, "35x120x80.5"}, {304, "35x120x80.5"}, {402, "35x120x80.5"}, {404, "35x120x80.5"},
      {501, "35x80.5x120"}, {503, "35x80.5x120"}, {601, "35x80.5x120"}, {603, "35x80.5x120"},
      {502, "80.5x35x120"}, {504, "80.5x35x120"}, {602, "80.5x35x120"}, {604, "80.5x35x120"},
      {0, nullptr},         {100, nullptr},       {105, nullptr},       {700, nullptr},
      {-101, nullptr},
  };
  for (const auto &[code, text] : cases) {
    SCOPED_TRACE(code);
    renew();
    page();
    create_elec_size_note(code, lo, hi);
    if (text == nullptr) {
      EXPECT_TRUE(notes().empty());
      EXPECT_EQ(count(sim::Call::UF_DRF_set_lettering_preferences), 0u);
    } else {
      ASSERT_EQ(notes().size(), 1u);
      EXPECT_EQ(notes()[0]->lines, std::vector<std::string>{text});
    }
  }
  // two decimals, trimmed
  renew();
  page();
  const double zero[3] = {0, 0, 0}, odd[3] = {35.004, 12.345, 7.1};
  create_elec_size_note(101, zero, odd);
  ASSERT_EQ(notes().size(), 1u);
  EXPECT_EQ(notes()[0]->lines, std::vector<std::string>{"35x12.35x7.1"});
}

TEST_F(SizeNote, CentredOnItsPointWithItsLettering) {
  configure("elec_size_note_point_x: 300.5\nelec_size_note_point_y: 150\n");
  const tag_t drawing = page();
  const UF_DRF_lettering_preferences_t before = lettering();
  const double lo[3] = {0, 0, 0}, hi[3] = {10, 20, 30};
  create_elec_size_note(101, lo, hi);
  ASSERT_EQ(notes().size(), 1u);
  const sim::drf::NotePayload &note = *notes()[0];
  EXPECT_EQ(note.drawing, drawing);
  EXPECT_EQ(note.origin, (Vec3{300.5, 150, 0}));
  EXPECT_EQ(note.orientation, 0);
  EXPECT_EQ(note.lettering.align_position, UF_DRF_MID_CENTER);
  EXPECT_EQ(note.lettering.general_text.size, 3.175);
  EXPECT_EQ(note.lettering.general_text.char_space_factor, 0.1);
  EXPECT_EQ(note.lettering.general_text.aspect_ratio, 0.65);
  // the rest of the lettering is the user's
  EXPECT_EQ(note.lettering.general_text.font, before.general_text.font);
  EXPECT_EQ(note.lettering.dimension_text.size, before.dimension_text.size);
  EXPECT_TRUE(same(lettering(), before));
}

TEST_F(SizeNote, AMissingKeyOrTheModelShownMakesNoNote) {
  const double lo[3] = {0, 0, 0}, hi[3] = {10, 20, 30};
  // a missing key: no note and the lettering not touched
  page();
  write_file(kConfig, "elec_size_note_point_x: 3\n");
  create_elec_size_note(101, lo, hi);
  EXPECT_TRUE(notes().empty());
  EXPECT_EQ(count(sim::Call::UF_DRF_ask_lettering_preferences), 0u);
  // the model shown: a note would land in the model
  renew();
  page();
  ASSERT_EQ(UF_DRAW_set_display_state(UF_DRAW_MODEL_DISPLAY), 0);
  create_elec_size_note(101, lo, hi);
  EXPECT_TRUE(notes().empty());
}

} // namespace
} // namespace place_test
