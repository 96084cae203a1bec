/*
** size_note.cpp: the size note of the workpiece on the first sheet page.
**
** Entries: create_elec_size_note writes the workpiece's lengths along the
** MCS X, Y and Z axes as one note "<x>x<y>x<z>"; mcs_box_lengths gives
** those lengths from the absolute box and the direction code, and also
** serves the view placement, whose top view shows MCS X to the right and
** MCS Y upwards.
*/
#include "views/views.h"

#include "command/report.h"
#include "host/host.h"
#include "my_func/my_func.h"

#include <string.h>

/* A size note: three lengths of at most FORMAT_BUFSIZE bytes each. */
#define SIZE_NOTE_BUFSIZE 80
#define SIZE_NOTE_PLACES 2
/* The lettering of the size note. */
#define SIZE_NOTE_CHAR_SIZE 3.175
#define SIZE_NOTE_CHAR_SPACE 0.1
#define SIZE_NOTE_ASPECT 0.65

/* For each pair of hundreds digits (1-2, 3-4, 5-6) and for odd and even
** units digits: the absolute axis (0 X, 1 Y, 2 Z) that the MCS X, Y and Z
** axes lie along. */
static const int mcs_axis_of[3][2][3] = {
    {{0, 1, 2}, {1, 0, 2}},
    {{0, 2, 1}, {2, 0, 1}},
    {{2, 1, 0}, {1, 2, 0}},
};

/* See views.h. */
int mcs_box_lengths(int view_dir_code, const double view_min[3], const double view_max[3],
                    double lengths[3])
{
  int hundreds = view_dir_code / 100;
  int units = view_dir_code % 100;
  const int *axis;
  int i;

  lengths[0] = 0.0;
  lengths[1] = 0.0;
  lengths[2] = 0.0;
  if (hundreds < 1 || hundreds > 6 || units < 1 || units > 4) {
    return 0;
  }
  axis = mcs_axis_of[(hundreds - 1) / 2][(units - 1) % 2];
  for (i = 0; i < 3; i++) {
    lengths[i] = view_max[axis[i]] - view_min[axis[i]];
  }
  return 1;
}

/* Tells whether a drawing is shown, so that a note lands on it and not in
** the model. */
static int drawing_shown(void)
{
  int disp_state = 0;

  if (UF_CALL_TEXT("UF_DRAW_ask_display_state( &disp_state )",
                   UF_DRAW_ask_display_state(&disp_state)) != 0) {
    return 0;
  }
  return disp_state == UF_DRAW_DRAWING_DISPLAY;
}

/* Creates the one-line note text at point with the size note's lettering
** and puts the lettering back.  The lettering is changed only when both
** copies could be read, so that it can always be put back. */
static void create_note_lettered(char *text, double point[3])
{
  UF_DRF_lettering_preferences_t kept;
  UF_DRF_lettering_preferences_t working;
  char *note_p[1];
  tag_t note_tag = NULL_TAG;
  int have_kept;

  memset(&kept, 0, sizeof kept);
  memset(&working, 0, sizeof working);
  note_p[0] = text;
  have_kept = UF_CALL_TEXT("UF_DRF_ask_lettering_preferences( &letter_pref_keep )",
                           UF_DRF_ask_lettering_preferences(&kept)) == 0;
  if (have_kept && UF_CALL_TEXT("UF_DRF_ask_lettering_preferences( &letter_pref )",
                                UF_DRF_ask_lettering_preferences(&working)) == 0) {
    working.align_position = UF_DRF_MID_CENTER;
    working.general_text.size = SIZE_NOTE_CHAR_SIZE;
    working.general_text.char_space_factor = SIZE_NOTE_CHAR_SPACE;
    working.general_text.aspect_ratio = SIZE_NOTE_ASPECT;
    (void)UF_CALL_TEXT("UF_DRF_set_lettering_preferences( &letter_pref )",
                       UF_DRF_set_lettering_preferences(&working));
  }
  (void)UF_CALL_TEXT("UF_DRF_create_note( 1,note_p,elec_size_note_point,0,&note_tag )",
                     UF_DRF_create_note(1, note_p, point, 0, &note_tag));
  if (have_kept) {
    (void)UF_CALL_TEXT("UF_DRF_set_lettering_preferences( &letter_pref_keep )",
                       UF_DRF_set_lettering_preferences(&kept));
  }
}

/* Writes the note of the box's lengths along the MCS axes, each with at
** most two decimals, centred on the configured point.  No note when a key
** is missing, when the code is not one of the aligned orientations (no
** lengths are known) or when no drawing is shown.  The lettering
** preferences are as before on every way out. */
void create_elec_size_note(int view_dir_code, const double view_min[3],
                           const double view_max[3])
{
  double elec_size_note_point[3] = {0.0, 0.0, 0.0};
  double lengths[3] = {0.0, 0.0, 0.0};
  char first[FORMAT_BUFSIZE] = "";
  char second[FORMAT_BUFSIZE] = "";
  char third[FORMAT_BUFSIZE] = "";
  char text[SIZE_NOTE_BUFSIZE] = "";

  if (!read_config_value("elec_size_note_point_x:", &elec_size_note_point[0], CONFIG_PATH) ||
      !read_config_value("elec_size_note_point_y:", &elec_size_note_point[1], CONFIG_PATH)) {
    return;
  }
  if (!mcs_box_lengths(view_dir_code, view_min, view_max, lengths)) {
    return;
  }
  (void)format_places_trim(lengths[0], SIZE_NOTE_PLACES, first);
  (void)format_places_trim(lengths[1], SIZE_NOTE_PLACES, second);
  (void)format_places_trim(lengths[2], SIZE_NOTE_PLACES, third);
  (void)text_format(text, sizeof text, "%sx%sx%s", first, second, third);
  if (!drawing_shown()) {
    return;
  }
  create_note_lettered(text, elec_size_note_point);
}
