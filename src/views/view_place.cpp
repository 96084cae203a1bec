/*
** view_place.cpp: the workpiece views on the first sheet page.
**
** Entry: import_view.  It finds the workpiece bodies and their box, hands
** back the top of the box in WCS coordinates for the operation table,
** draws the axis markers, and places the top view, a front view below it
** or a side view right of it, and the isometric view, each scaled so that
** the top and projected views together fill one configured rectangle and
** the isometric view another.  Last comes the size note.
**
** The top view shows MCS X to the right and MCS Y upwards, the front view
** MCS X and Z, the side view MCS Z and Y: so the layout takes the box's
** lengths along the MCS axes (mcs_box_lengths) as the top view's width W
** and height Ht and the depth D that the projected view adds.
*/
#include "views/views.h"

#include "command/command.h"
#include "command/report.h"
#include "dims/dims.h"
#include "host/host.h"
#include "my_func/my_func.h"
#include "my_func/solid_box.h"
#include "post/post.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

/* The layout settings, in the order they are read. */
enum {
  KEY_BOUND_X = 0,  /* width of the top and projected views' rectangle */
  KEY_BOUND_Y,      /* its height */
  KEY_POINT_X,      /* its centre */
  KEY_POINT_Y,
  KEY_SPACE,        /* gap between the two views */
  KEY_ISO_BOUND_X,  /* the isometric view's rectangle */
  KEY_ISO_BOUND_Y,
  KEY_ISO_POINT_X,  /* the isometric view's centre */
  KEY_ISO_POINT_Y,
  KEY_ISO_FLAG,     /* non-zero integer part: place the isometric view */
  KEY_VIEW_SELECT,  /* non-zero integer part: front view below, else side view right */
  KEY_SHEET_HIGH,
  KEY_SHEET_WIDTH,
  LAYOUT_KEY_COUNT
};

static const char *const layout_keys[LAYOUT_KEY_COUNT] = {
    "nc_prog_elec_top_and_front_view_bound_x:",
    "nc_prog_elec_top_and_front_view_bound_y:",
    "nc_prog_elec_top_and_front_view_point_x:",
    "nc_prog_elec_top_and_front_view_point_y:",
    "nc_prog_elec_top_and_front_view_space:",
    "nc_prog_elec_iso_view_bound_x:",
    "nc_prog_elec_iso_view_bound_y:",
    "nc_prog_elec_iso_view_point_x:",
    "nc_prog_elec_iso_view_point_y:",
    "require_nc_prog_elec_iso_view:",
    "nc_prog_elec_view_select:",
    "prog_sheet_high:",
    "prog_sheet_width:"};

/* Projection directions of the projected view. */
#define PROJ_FRONT_BELOW 3
#define PROJ_SIDE_RIGHT 2
/* The scale views are imported at before they are fitted. */
#define IMPORT_VIEW_SCALE 0.01
#define VIEW_DIR_ERROR "analy elec body dir err"

/* Where and how large the views come out. */
typedef struct view_fit {
  double view_scale;          /* top view; the projected view follows it */
  double top_refer_point[2];  /* centre of the top view */
  double side_refer_point[2]; /* centre of the projected view */
  int ortho_proj_dir;         /* PROJ_FRONT_BELOW or PROJ_SIDE_RIGHT */
  double iso_view_scale;
  double iso_refer_point[2];
} view_fit;

/* What every placed view is given. */
typedef struct view_setup {
  tag_t current_draw;
  double sheet_centre[2];
  UF_DRAW_view_info_t elec_view_info;
  UF_DRAW_view_display_t view_disp; /* read from the top view, then changed */
  int have_view_disp;               /* non-zero once view_disp was read */
} view_setup;

/* Tells whether a setting truncated toward zero is non-zero (also false
** for a value that is not a number). */
static int truncates_to_nonzero(double value)
{
  return value >= 1.0 || value <= -1.0;
}

/* Tells whether scale can be given to a view. */
static int usable_scale(double scale)
{
  return scale > 0.0 && isfinite(scale);
}

/* Reads the layout settings in order, each starting at 0.  1 when all
** were read; 0 when one is missing (the reader has told the user). */
static int read_layout(double values[LAYOUT_KEY_COUNT])
{
  int i;

  for (i = 0; i < LAYOUT_KEY_COUNT; i++) {
    values[i] = 0.0;
    if (!read_config_value(layout_keys[i], &values[i], CONFIG_PATH)) {
      return 0;
    }
  }
  return 1;
}

/* Fits the top view of width W and height Ht and the projected view of
** depth D (lengths[0..2]) into the rectangle: stacked, the front view
** below; side by side, the side view right. */
static void fit_ortho_views(const double v[LAYOUT_KEY_COUNT], const double lengths[3],
                            view_fit *fit)
{
  double w = lengths[0];
  double ht = lengths[1];
  double d = lengths[2];
  double s;
  double t;

  if (truncates_to_nonzero(v[KEY_VIEW_SELECT])) {
    s = v[KEY_BOUND_X] / w;
    if ((v[KEY_BOUND_Y] - v[KEY_SPACE]) / (ht + d) < s) {
      s = (v[KEY_BOUND_Y] - v[KEY_SPACE]) / (ht + d);
    }
    t = (ht + d) * s + v[KEY_SPACE];
    fit->top_refer_point[0] = v[KEY_POINT_X];
    fit->top_refer_point[1] = v[KEY_POINT_Y] + t / 2.0 - s * ht / 2.0;
    fit->side_refer_point[0] = v[KEY_POINT_X];
    fit->side_refer_point[1] = v[KEY_POINT_Y] - t / 2.0 + s * d / 2.0;
    fit->ortho_proj_dir = PROJ_FRONT_BELOW;
  } else {
    s = v[KEY_BOUND_Y] / ht;
    if ((v[KEY_BOUND_X] - v[KEY_SPACE]) / (w + d) < s) {
      s = (v[KEY_BOUND_X] - v[KEY_SPACE]) / (w + d);
    }
    t = (w + d) * s + v[KEY_SPACE];
    fit->top_refer_point[0] = v[KEY_POINT_X] - t / 2.0 + s * w / 2.0;
    fit->top_refer_point[1] = v[KEY_POINT_Y];
    fit->side_refer_point[0] = v[KEY_POINT_X] + t / 2.0 - s * d / 2.0;
    fit->side_refer_point[1] = v[KEY_POINT_Y];
    fit->ortho_proj_dir = PROJ_SIDE_RIGHT;
  }
  fit->view_scale = s;
}

/* Fits the isometric view into its rectangle by a diagonal of the box:
** the lengths a, b, c are the box's extents ordered by the hundreds digit
** of view_dir_code (the height last). */
static void fit_iso_view(const double v[LAYOUT_KEY_COUNT], int view_dir_code,
                         const double extents[3], view_fit *fit)
{
  int hundreds = view_dir_code / 100;
  double a = extents[0];
  double b = extents[1];
  double c = extents[2];
  double r;

  if (hundreds == 3 || hundreds == 4) {
    b = extents[2];
    c = extents[1];
  } else if (hundreds == 5 || hundreds == 6) {
    a = extents[1];
    b = extents[2];
    c = extents[0];
  }
  if ((a >= b && a >= c) || (b >= a && b >= c)) {
    r = sqrt(a * a + b * b);
  } else {
    r = sqrt(a * a + c * c);
  }
  fit->iso_view_scale = v[KEY_ISO_BOUND_X] / r;
  if (v[KEY_ISO_BOUND_Y] / r < fit->iso_view_scale) {
    fit->iso_view_scale = v[KEY_ISO_BOUND_Y] / r;
  }
  fit->iso_refer_point[0] = v[KEY_ISO_POINT_X];
  fit->iso_refer_point[1] = v[KEY_ISO_POINT_Y];
}

/* Maps the box into WCS coordinates, with the model shown while it is
** mapped, and gives the larger of the two mapped Z values.  1 with
** *box_top_z set; 0 when the host could not map the box (its top is then
** unknown, and the table's depths would be wrong).  The display state is
** as on entry. */
static int box_top_in_wcs(const double view_min[3], const double view_max[3],
                          double *box_top_z)
{
  int disp_state = 0;
  tag_t current_draw = NULL_TAG;
  double temp_min[3] = {0.0, 0.0, 0.0};
  double temp_max[3] = {0.0, 0.0, 0.0};
  int mapped;

  (void)UF_CALL_TEXT("UF_DRAW_ask_display_state( &disp_state )",
                     UF_DRAW_ask_display_state(&disp_state));
  /* The drawing is left shown when it is not known: it could not be shown
  ** again, and the mapping does not need the model shown. */
  if (disp_state == UF_DRAW_DRAWING_DISPLAY &&
      UF_CALL_TEXT("UF_DRAW_ask_current_drawing( &current_draw )",
                   UF_DRAW_ask_current_drawing(&current_draw)) == 0 &&
      current_draw != NULL_TAG) {
    (void)UF_CALL_TEXT("UF_DRAW_set_display_state( 1 )", UF_DRAW_set_display_state(1));
  }
  mapped = UF_CALL_TEXT("UF_CSYS_map_point( UF_CSYS_WORK_COORDS, view_min, "
                        "UF_CSYS_ROOT_WCS_COORDS, temp_min )",
                        UF_CSYS_map_point(UF_CSYS_WORK_COORDS, view_min,
                                          UF_CSYS_ROOT_WCS_COORDS, temp_min)) == 0;
  if (mapped && UF_CALL_TEXT("UF_CSYS_map_point( UF_CSYS_WORK_COORDS, view_max, "
                             "UF_CSYS_ROOT_WCS_COORDS, temp_max )",
                             UF_CSYS_map_point(UF_CSYS_WORK_COORDS, view_max,
                                               UF_CSYS_ROOT_WCS_COORDS, temp_max)) != 0) {
    mapped = 0;
  }
  if (current_draw != NULL_TAG) {
    (void)UF_CALL_TEXT("UF_DRAW_open_drawing( current_draw )",
                       UF_DRAW_open_drawing(current_draw));
  }
  if (!mapped) {
    return 0;
  }
  *box_top_z = temp_min[2] > temp_max[2] ? temp_min[2] : temp_max[2];
  return 1;
}

/* Turns view borders off, prepares the import information (scale 0.01),
** turns the drawing display's monochrome switch off, and finds the
** current drawing. */
static void prepare_views(const double v[LAYOUT_KEY_COUNT], view_setup *setup)
{
  UF_DISP_drawing_display_t drawing_disp;

  memset(setup, 0, sizeof *setup);
  memset(&drawing_disp, 0, sizeof drawing_disp);
  (void)UF_CALL_TEXT("UF_DRAW_set_border_display( false )", UF_DRAW_set_border_display(FALSE));
  (void)UF_CALL_TEXT("UF_DRAW_initialize_view_info( &elec_view_info )",
                     UF_DRAW_initialize_view_info(&setup->elec_view_info));
  setup->elec_view_info.view_scale = IMPORT_VIEW_SCALE;
  if (UF_CALL_TEXT("UF_DISP_ask_drawing_display( &drawing_disp )",
                   UF_DISP_ask_drawing_display(&drawing_disp)) == 0 &&
      drawing_disp.monochrome == 1) {
    drawing_disp.monochrome = 0;
    (void)UF_CALL_TEXT("UF_DISP_set_drawing_display( &drawing_disp )",
                       UF_DISP_set_drawing_display(&drawing_disp));
  }
  setup->sheet_centre[0] = v[KEY_SHEET_WIDTH] / 2.0;
  setup->sheet_centre[1] = v[KEY_SHEET_HIGH] / 2.0;
  (void)UF_CALL_TEXT("UF_DRAW_ask_current_drawing( &current_draw )",
                     UF_DRAW_ask_current_drawing(&setup->current_draw));
}

/* Reads the view display of view into setup and changes it to the sheet's
** settings: hidden edges processed and invisible at normal width,
** silhouettes and smooth edges shown without gaps, all edges (not only the
** referenced ones). */
static void read_view_display(tag_t top_view_tag, view_setup *setup)
{
  UF_DRAW_view_display_t *view_disp = &setup->view_disp;

  memset(view_disp, 0, sizeof *view_disp);
  if (UF_CALL_TEXT("UF_DRAW_ask_view_display( top_view_tag, &view_disp )",
                   UF_DRAW_ask_view_display(top_view_tag, view_disp)) != 0) {
    return;
  }
  view_disp->hidden_line = UF_DRAW_YES;
  view_disp->hidden_line_font = UF_DRAW_FONT_INVISIBLE;
  view_disp->hidden_line_width = UF_DRAW_WIDTH_NORMAL;
  view_disp->silhouettes = UF_DRAW_YES;
  view_disp->smooth_edges = UF_DRAW_YES;
  view_disp->smooth_edge_gaps = UF_DRAW_NO;
  view_disp->referenced_edges_only = 0;
  setup->have_view_disp = 1;
}

/* Gives view the sheet's view display settings when they were read. */
static void apply_view_display(tag_t view, view_setup *setup)
{
  if (setup->have_view_disp) {
    (void)UF_CALL_TEXT("UF_DRAW_set_view_display( view_tag, &view_disp )",
                       UF_DRAW_set_view_display(view, &setup->view_disp));
  }
}

/* Imports the top model view at the sheet centre, gives it the sheet's
** display settings and its fitted scale, updates it and moves it to its
** place.  Returns the member view, or the null tag when it could not be
** imported. */
static tag_t place_top_view(tag_t modl_top_view, const view_fit *fit, view_setup *setup)
{
  double refer_point[2] = {setup->sheet_centre[0], setup->sheet_centre[1]};
  double top_refer_point[2] = {fit->top_refer_point[0], fit->top_refer_point[1]};
  tag_t top_view_tag = NULL_TAG;

  if (UF_CALL_TEXT("UF_DRAW_import_view( current_draw, modl_top_view, refer_point, "
                   "&elec_view_info, &top_view_tag )",
                   UF_DRAW_import_view(setup->current_draw, modl_top_view, refer_point,
                                       &setup->elec_view_info, &top_view_tag)) != 0 ||
      top_view_tag == NULL_TAG) {
    return NULL_TAG;
  }
  read_view_display(top_view_tag, setup);
  apply_view_display(top_view_tag, setup);
  if (usable_scale(fit->view_scale)) {
    (void)UF_CALL_TEXT("UF_DRAW_set_view_scale( top_view_tag, view_scale )",
                       UF_DRAW_set_view_scale(top_view_tag, fit->view_scale));
  }
  (void)UF_CALL_TEXT("UF_DRAW_update_one_view( current_draw, top_view_tag )",
                     UF_DRAW_update_one_view(setup->current_draw, top_view_tag));
  if (usable_scale(fit->view_scale)) {
    (void)UF_CALL_TEXT("UF_DRAW_set_drawing_ref_pt( current_draw, top_view_tag, "
                       "top_refer_point )",
                       UF_DRAW_set_drawing_ref_pt(setup->current_draw, top_view_tag,
                                                  top_refer_point));
  }
  return top_view_tag;
}

/* Adds the view projected from the top view (it takes the top view's
** scale), gives it the sheet's display settings, updates it and moves it
** to its place.  Returns the member view, or the null tag. */
static tag_t place_projected_view(tag_t top_view_tag, const view_fit *fit, view_setup *setup)
{
  double refer_point[2] = {setup->sheet_centre[0], setup->sheet_centre[1]};
  double side_refer_point[2] = {fit->side_refer_point[0], fit->side_refer_point[1]};
  tag_t side_view_tag = NULL_TAG;

  if (UF_CALL_TEXT("UF_DRAW_add_orthographic_view( current_draw, top_view_tag, "
                   "ortho_proj_dir, refer_point, &side_view_tag )",
                   UF_DRAW_add_orthographic_view(setup->current_draw, top_view_tag,
                                                 fit->ortho_proj_dir, refer_point,
                                                 &side_view_tag)) != 0 ||
      side_view_tag == NULL_TAG) {
    return NULL_TAG;
  }
  apply_view_display(side_view_tag, setup);
  (void)UF_CALL_TEXT("UF_DRAW_update_one_view( current_draw, side_view_tag )",
                     UF_DRAW_update_one_view(setup->current_draw, side_view_tag));
  if (usable_scale(fit->view_scale)) {
    (void)UF_CALL_TEXT("UF_DRAW_set_drawing_ref_pt( current_draw, side_view_tag, "
                       "side_refer_point )",
                       UF_DRAW_set_drawing_ref_pt(setup->current_draw, side_view_tag,
                                                  side_refer_point));
  }
  return side_view_tag;
}

/* Imports the isometric model view at the sheet centre, gives it the
** sheet's display settings and its scale, updates it and moves it to its
** place.  Returns the member view, or the null tag. */
static tag_t place_iso_view(tag_t modl_iso_view, const view_fit *fit, view_setup *setup)
{
  double refer_point[2] = {setup->sheet_centre[0], setup->sheet_centre[1]};
  double iso_refer_point[2] = {fit->iso_refer_point[0], fit->iso_refer_point[1]};
  tag_t iso_view_tag = NULL_TAG;

  if (UF_CALL_TEXT("UF_DRAW_import_view( current_draw, modl_iso_view, refer_point, "
                   "&elec_view_info, &iso_view_tag )",
                   UF_DRAW_import_view(setup->current_draw, modl_iso_view, refer_point,
                                       &setup->elec_view_info, &iso_view_tag)) != 0 ||
      iso_view_tag == NULL_TAG) {
    return NULL_TAG;
  }
  apply_view_display(iso_view_tag, setup);
  if (usable_scale(fit->iso_view_scale)) {
    (void)UF_CALL_TEXT("UF_DRAW_set_view_scale( iso_view_tag, iso_view_scale )",
                       UF_DRAW_set_view_scale(iso_view_tag, fit->iso_view_scale));
  }
  (void)UF_CALL_TEXT("UF_DRAW_update_one_view( current_draw, iso_view_tag )",
                     UF_DRAW_update_one_view(setup->current_draw, iso_view_tag));
  if (usable_scale(fit->iso_view_scale)) {
    (void)UF_CALL_TEXT("UF_DRAW_set_drawing_ref_pt( current_draw, iso_view_tag, "
                       "iso_refer_point )",
                       UF_DRAW_set_drawing_ref_pt(setup->current_draw, iso_view_tag,
                                                  iso_refer_point));
  }
  return iso_view_tag;
}

/* See views.h.  mcs_ori_point is the origin of the views' ordinate
** dimensions.  Returns 1 to go on, with *box_top_z set: also when
** view_dir_code is not one of the aligned orientations, after the
** message, with no views, markers or note (no layout is known for it).
** Returns 0 when the sheet must stop: a message or setting is missing, no
** workpiece body is shown (after message 01), a body fails its checks, or
** the box cannot be mapped into WCS.  A view call that fails is reported
** and leaves out what depends on it.  Owns the body array and frees it on
** every way out.  The message boxes are not reported: their failure has no one to tell. */
int import_view(tag_t modl_top_view, tag_t modl_iso_view, int view_dir_code,
                tag_t mcs_ori_point, double *box_top_z)
{
  char message_01[MESSAGE_BUFSIZE] = "";
  double layout[LAYOUT_KEY_COUNT];
  tag_t *workpiece_solids = NULL;
  int solid_count = 0;
  double view_min[3] = {0.0, 0.0, 0.0};
  double view_max[3] = {0.0, 0.0, 0.0};
  double extents[3] = {0.0, 0.0, 0.0};
  double lengths[3] = {0.0, 0.0, 0.0};
  view_fit fit;
  view_setup setup;
  tag_t top_view_tag = NULL_TAG;
  tag_t side_view_tag = NULL_TAG;
  int result = 0;
  int i;

  memset(&fit, 0, sizeof fit);
  if (!read_lang_message("import_vie_01:", message_01, lang_file)) {
    return 0;
  }
  if (!read_layout(layout)) {
    return 0;
  }
  if (!MY_select_screen_view_solid(&workpiece_solids, &solid_count)) {
    return 0;
  }
  if (solid_count <= 0) {
    (void)uc1601(message_01, 1);
    goto out_free_solids;
  }
  if (!MY_solids_box(workpiece_solids, solid_count, view_min, view_max)) {
    goto out_free_solids;
  }
  if (!box_top_in_wcs(view_min, view_max, box_top_z)) {
    goto out_free_solids;
  }
  if (!mcs_box_lengths(view_dir_code, view_min, view_max, lengths)) {
    (void)uc1601(VIEW_DIR_ERROR, 1);
    result = 1;
    goto out_free_solids;
  }

  for (i = 0; i < 3; i++) {
    extents[i] = view_max[i] - view_min[i];
  }
  fit_ortho_views(layout, lengths, &fit);
  fit_iso_view(layout, view_dir_code, extents, &fit);
  if (aix_choice == 0) {
    (void)create_view_aix(fit.ortho_proj_dir, fit.view_scale, view_min, view_max);
  }

  prepare_views(layout, &setup);
  if (setup.current_draw != NULL_TAG) {
    top_view_tag = place_top_view(modl_top_view, &fit, &setup);
    if (top_view_tag != NULL_TAG) {
      side_view_tag = place_projected_view(top_view_tag, &fit, &setup);
    }
    if (truncates_to_nonzero(layout[KEY_ISO_FLAG])) {
      (void)place_iso_view(modl_iso_view, &fit, &setup);
    }
  }
  /* The ordinate dimensions of the top view and of the projected view,
  ** from mcs_ori_point over the bodies and their box. */
  (void)create_top_view_dims(top_view_tag, mcs_ori_point, view_min, view_max, workpiece_solids,
                             solid_count);
  if (fit.ortho_proj_dir == PROJ_FRONT_BELOW) {
    (void)create_front_view_dims(side_view_tag, mcs_ori_point, view_min, view_max,
                                 workpiece_solids, solid_count);
  } else {
    (void)create_side_view_dims(side_view_tag, mcs_ori_point, view_min, view_max,
                                workpiece_solids, solid_count);
  }

  create_elec_size_note(view_dir_code, view_min, view_max);
  result = 1;

out_free_solids:
  free(workpiece_solids);
  return result;
}
