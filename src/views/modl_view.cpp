/*
** modl_view.cpp: the model views aligned to the machining coordinate
** system.
**
** Entry: create_modl_view.  The orientation of the MCS is classified into
** the direction code view_dir_code (hundreds: where the MCS Z axis points;
** units: where the second tested axis points), and for each of the 24
** codes a top view and an isometric view are made from a standard view
** turned about an absolute axis, then saved under the first free names
** "MY_ANY_VIEW<k>" and "MY_ISO_TARVI_VIEW<k>".
*/
#include "views/views.h"

#include "command/command.h"
#include "command/report.h"
#include "host/host.h"
#include "my_func/my_func.h"

#include <limits.h>

/* Decimals the matrix values are rounded to before they are tested. */
#define MCS_MATRIX_PLACES 2
/* A saved view name: 30 characters and a terminator. */
#define VIEW_NAME_BUFSIZE 31
#define TOP_VIEW_PREFIX "MY_ANY_VIEW"
#define ISO_VIEW_PREFIX "MY_ISO_TARVI_VIEW"
#define ISO_STANDARD_VIEW "tfr-iso"

/* The view recipe of one code: the standard view, the absolute axis
** (0 X, 1 Y, 2 Z) and the angle in degrees. */
typedef struct view_recipe {
  int code;
  const char *standard_view;
  int axis;
  double angle;
} view_recipe;

/* Top view recipes of the 24 direction codes. */
static const view_recipe top_recipes[] = {
    {101, "TOP", 2, 0.0},      {102, "TOP", 2, -90.0},    {103, "TOP", 2, -180.0},
    {104, "TOP", 2, -270.0},   {201, "BOTTOM", 2, 0.0},   {202, "BOTTOM", 2, -90.0},
    {203, "BOTTOM", 2, -180.0}, {204, "BOTTOM", 2, -270.0}, {301, "BACK", 1, 180.0},
    {302, "BACK", 1, 270.0},   {303, "BACK", 1, 0.0},     {304, "BACK", 1, 90.0},
    {401, "FRONT", 1, 0.0},    {402, "FRONT", 1, 90.0},   {403, "FRONT", 1, 180.0},
    {404, "FRONT", 1, 270.0},  {501, "RIGHT", 0, 90.0},   {502, "RIGHT", 0, 0.0},
    {503, "RIGHT", 0, 270.0},  {504, "RIGHT", 0, 180.0},  {601, "LEFT", 0, 90.0},
    {602, "LEFT", 0, 0.0},     {603, "LEFT", 0, 270.0},   {604, "LEFT", 0, 180.0},
};

/* Isometric view recipes by hundreds digit (code field unused). */
static const view_recipe iso_recipes[] = {
    {1, ISO_STANDARD_VIEW, 2, 0.0},   {2, ISO_STANDARD_VIEW, 1, 180.0},
    {3, ISO_STANDARD_VIEW, 0, 90.0},  {4, ISO_STANDARD_VIEW, 0, 270.0},
    {5, ISO_STANDARD_VIEW, 1, 270.0}, {6, ISO_STANDARD_VIEW, 1, 90.0},
};

/* The Z axis (row 3) of each hundreds digit, and the row (0 X, 1 Y) and
** component tested for the units digits 1 to 4 with their signs. */
typedef struct direction_row {
  double z[3];
  int second_row;
  int component[4];
  double sign[4];
} direction_row;

static const direction_row direction_rows[6] = {
    {{0.0, 0.0, 1.0}, 0, {0, 1, 0, 1}, {1.0, 1.0, -1.0, -1.0}},
    {{0.0, 0.0, -1.0}, 0, {0, 1, 0, 1}, {1.0, 1.0, -1.0, -1.0}},
    {{0.0, 1.0, 0.0}, 0, {0, 2, 0, 2}, {1.0, 1.0, -1.0, -1.0}},
    {{0.0, -1.0, 0.0}, 0, {0, 2, 0, 2}, {1.0, 1.0, -1.0, -1.0}},
    {{1.0, 0.0, 0.0}, 1, {1, 2, 1, 2}, {1.0, 1.0, -1.0, -1.0}},
    {{-1.0, 0.0, 0.0}, 1, {1, 2, 1, 2}, {1.0, 1.0, -1.0, -1.0}},
};

/* The direction code of the rounded matrix m_v (rows X, Y, Z), or 0 when
** no row of the table matches. */
static int classify_mcs(const double m_v[9])
{
  int h;
  int u;

  for (h = 0; h < 6; h++) {
    const direction_row *row = &direction_rows[h];
    if (m_v[6] != row->z[0] || m_v[7] != row->z[1] || m_v[8] != row->z[2]) {
      continue;
    }
    for (u = 0; u < 4; u++) {
      if (m_v[3 * row->second_row + row->component[u]] == row->sign[u]) {
        return (h + 1) * 100 + u + 1;
      }
    }
    return 0;
  }
  return 0;
}

/* The top view recipe of code, or a null pointer. */
static const view_recipe *top_recipe(int code)
{
  size_t i;

  for (i = 0; i < sizeof top_recipes / sizeof top_recipes[0]; i++) {
    if (top_recipes[i].code == code) {
      return &top_recipes[i];
    }
  }
  return NULL;
}

/* Tells whether the part holds a model view (type 60, subtype 7) named
** name; when view is not null it receives the first such view.  A failed
** cycle ends the search as if nothing more were found. */
static int find_named_view(const char *name, tag_t *view)
{
  tag_t object = NULL_TAG;

  for (;;) {
    int type = 0;
    int subtype = 0;
    if (UF_CALL_TEXT("UF_OBJ_cycle_by_name( view_name, &object )",
                     UF_OBJ_cycle_by_name(name, &object)) != 0 ||
        object == NULL_TAG) {
      return 0;
    }
    if (UF_CALL_TEXT("UF_OBJ_ask_type_and_subtype( object, &type, &subtype )",
                     UF_OBJ_ask_type_and_subtype(object, &type, &subtype)) != 0) {
      continue;
    }
    if (type == UF_view_type && subtype == UF_view_modeling_subtype) {
      if (view != NULL) {
        *view = object;
      }
      return 1;
    }
  }
}

/* Writes into name the first prefix<k> (k = 1, 2, ...) that no model view
** has.  Returns 1, or 0 when no such name fits in 30 characters. */
static int free_view_name(const char *prefix, char name[VIEW_NAME_BUFSIZE])
{
  int k;

  for (k = 1; k < INT_MAX; k++) {
    if (!text_format(name, VIEW_NAME_BUFSIZE, "%s%d", prefix, k)) {
      return 0;
    }
    if (!find_named_view(name, NULL)) {
      return 1;
    }
  }
  return 0;
}

/* Replaces the work view by recipe's standard view, turns it, saves it
** under the first free name of prefix and finds the saved view.  Returns 1
** with *view set; 0 after save_error or missing_message is shown.  The message boxes are not
** reported: their failure has no one to tell. */
static int make_view(const view_recipe *recipe, const char *prefix, const char *save_error,
                     const char *missing_message, tag_t *view)
{
  char view_name[VIEW_NAME_BUFSIZE] = "";
  double center_point[3] = {0.0, 0.0, 0.0};
  double axi[3] = {0.0, 0.0, 0.0};
  double rot_ang = recipe->angle;

  (void)UF_CALL_TEXT("uc6464( \"\",\"\",std_view_name )",
                     uc6464("", "", recipe->standard_view));
  axi[recipe->axis] = 1.0;
  if (!free_view_name(prefix, view_name)) {
    (void)uc1601(save_error, 1);
    return 0;
  }
  (void)UF_CALL_TEXT("UF_VIEW_rotate_view_abs_csys ( NULL_TAG,center_point,axi,rot_ang,1 )",
                     UF_VIEW_rotate_view_abs_csys(NULL_TAG, center_point, axi, rot_ang, 1));
  if (UF_CALL_TEXT("uc6450( \"\",modl_view_name,1,1 )", uc6450("", view_name, 1, 1)) != 0) {
    (void)uc1601(save_error, 1);
    return 0;
  }
  if (!find_named_view(view_name, view)) {
    (void)uc1601(missing_message, 1);
    return 0;
  }
  return 1;
}

/* Switches to the model display when a drawing is shown; the state is not
** set back. */
static void show_model(void)
{
  int disp_state = 0;

  (void)UF_CALL_TEXT("UF_DRAW_ask_display_state( &disp_state )",
                     UF_DRAW_ask_display_state(&disp_state));
  if (disp_state == UF_DRAW_DRAWING_DISPLAY) {
    (void)UF_CALL_TEXT("UF_DRAW_set_display_state( 1 )", UF_DRAW_set_display_state(1));
  }
}

/* See views.h.  Returns 1 to go on (also with code 0 and no views, after
** message 01); 0 after a message when a view cannot be saved or found, or
** when a message is missing from the language file.  The message box is not reported: its failure
** has no one to tell. */
int create_modl_view(tag_t mcs_tag, tag_t *modl_view, tag_t *modl_iso_view, int *view_dir_code)
{
  char message_01[MESSAGE_BUFSIZE] = "";
  char message_02[MESSAGE_BUFSIZE] = "";
  char message_03[MESSAGE_BUFSIZE] = "";
  tag_t matrix_id = NULL_TAG;
  double m_v[9] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  const view_recipe *recipe = NULL;
  int i;

  if (!read_lang_message("create_modl_vie_01:", message_01, lang_file) ||
      !read_lang_message("create_modl_vie_02:", message_02, lang_file) ||
      !read_lang_message("create_modl_vie_03:", message_03, lang_file)) {
    return 0;
  }
  show_model();
  (void)UF_CALL_TEXT("UF_CSYS_ask_matrix_of_object( mcs_tag, &matrix_id )",
                     UF_CSYS_ask_matrix_of_object(mcs_tag, &matrix_id));
  (void)UF_CALL_TEXT("UF_CSYS_ask_matrix_values( matrix_id, m_v )",
                     UF_CSYS_ask_matrix_values(matrix_id, m_v));
  for (i = 0; i < 9; i++) {
    m_v[i] = round_places(m_v[i], MCS_MATRIX_PLACES);
  }
  *view_dir_code = classify_mcs(m_v);
  *modl_view = NULL_TAG;
  *modl_iso_view = NULL_TAG;
  recipe = top_recipe(*view_dir_code);
  if (recipe == NULL) {
    (void)uc1601(message_01, 1);
    return 1;
  }
  if (!make_view(recipe, TOP_VIEW_PREFIX, "Save modl_view_name View err", message_02, modl_view)) {
    return 0;
  }
  if (!make_view(&iso_recipes[*view_dir_code / 100 - 1], ISO_VIEW_PREFIX,
                 "Save modl_view_name ISO View err", message_03, modl_iso_view)) {
    return 0;
  }
  (void)UF_CALL_TEXT("uc6464( \"\",\"\",\"tfr-iso\" )", uc6464("", "", ISO_STANDARD_VIEW));
  return 1;
}
