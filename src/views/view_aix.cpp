/*
** view_aix.cpp: the axis markers of the sheet views.
**
** Entry: create_view_aix.  The machining coordinate system is shown as
** three arrows from its origin with the letters X, Y and Z drawn as
** outline strokes at their tips: 43 model lines on the axis marker layer,
** built in WCS coordinates (the WCS is the MCS during the sheet) and sized
** by the view scale, so that every view imported afterwards shows them at
** a fixed size on the sheet.
*/
#include "views/views.h"

#include "command/report.h"
#include "host/host.h"
#include "my_func/my_func.h"
#include "post/post.h"

#include <math.h>

#define AXIS_LINE_COUNT 12
#define LETTER_X_STROKES 12
#define LETTER_Y_STROKES 9
#define LETTER_Z_STROKES 10
#define MARKER_LINE_COUNT \
  (AXIS_LINE_COUNT + LETTER_X_STROKES + LETTER_Y_STROKES + LETTER_Z_STROKES)
/* Letter height and the gap between a letter and its axis, sheet mm. */
#define MARKER_LETTER_HEIGHT 3.0
#define MARKER_LETTER_GAP 3.0
/* The projection direction that shows the front view. */
#define FRONT_PROJ_DIR 3

/* A stroke of a letter: start (u, v) and end (u, v) in letter heights
** from the letter's centre. */
typedef struct letter_stroke {
  double u0, v0, u1, v1;
} letter_stroke;

static const letter_stroke letter_x[LETTER_X_STROKES] = {
    {-0.4237, -0.4776, -0.2778, -0.4776}, {-0.0035, -0.092, -0.2778, -0.4776},
    {-0.0035, -0.092, 0.2675, -0.4776},   {0.4179, -0.4776, 0.2675, -0.4776},
    {0.4179, -0.4776, 0.0702, 0.0033},    {0.3927, 0.4323, 0.0702, 0.0033},
    {0.3927, 0.4323, 0.2608, 0.4323},     {0.0034, 0.0872, 0.2608, 0.4323},
    {0.0034, 0.0872, -0.2369, 0.4323},    {-0.3817, 0.4323, -0.2369, 0.4323},
    {-0.3817, 0.4323, -0.0686, -0.0032},  {-0.4237, -0.4776, -0.0686, -0.0032}};

static const letter_stroke letter_y[LETTER_Y_STROKES] = {
    {-0.0671, -0.46, 0.0542, -0.46},   {0.0542, -0.0743, 0.0542, -0.46},
    {0.0542, -0.0743, 0.4208, 0.45},   {0.2791, 0.45, 0.4208, 0.45},
    {0.2791, 0.45, 0.001, 0.0217},     {-0.2732, 0.45, 0.001, 0.0217},
    {-0.2732, 0.45, -0.4208, 0.45},    {-0.0671, -0.0743, -0.4208, 0.45},
    {-0.0671, -0.0743, -0.0671, -0.46}};

static const letter_stroke letter_z[LETTER_Z_STROKES] = {
    {-0.3629, -0.46, 0.3629, -0.46},    {0.3629, -0.3524, 0.3629, -0.46},
    {0.3629, -0.3524, -0.223, -0.3524}, {0.3479, 0.3424, -0.223, -0.3524},
    {0.3479, 0.3424, 0.3479, 0.45},     {-0.3094, 0.45, 0.3479, 0.45},
    {-0.3094, 0.45, -0.3094, 0.3424},   {0.2027, 0.3424, -0.3094, 0.3424},
    {0.2027, 0.3424, -0.3629, -0.3483}, {-0.3629, -0.46, -0.3629, -0.3483}};

/* The marker sizes in model millimetres and the axis tips. */
typedef struct marker_sizes {
  double a;      /* arrowhead length and width */
  double k;      /* letter height */
  double g;      /* distance of a letter's centre from its axis */
  double tip[3]; /* TX.x, TY.y, TZ.z: where each axis line ends */
} marker_sizes;

/* One marker line in WCS coordinates. */
typedef struct marker_line {
  double start[3];
  double end[3];
} marker_line;

/* Sets p to (x, y, z). */
static void set_point(double p[3], double x, double y, double z)
{
  p[0] = x;
  p[1] = y;
  p[2] = z;
}

/* Writes the four lines of the arrow along WCS axis: the axis line from
** the origin to the tip and the closed arrowhead, whose base lies a
** behind the tip, across along axis across, starting on side sign. */
static void arrow_lines(const marker_sizes *m, int axis, int across, double sign,
                        marker_line out[4])
{
  double tip[3] = {0.0, 0.0, 0.0};
  double base1[3] = {0.0, 0.0, 0.0};
  double base2[3] = {0.0, 0.0, 0.0};
  int i;

  tip[axis] = m->tip[axis];
  base1[axis] = m->tip[axis] - m->a;
  base2[axis] = m->tip[axis] - m->a;
  base1[across] = sign * m->a / 2.0;
  base2[across] = -sign * m->a / 2.0;
  for (i = 0; i < 3; i++) {
    out[0].start[i] = 0.0;
    out[0].end[i] = tip[i];
    out[1].start[i] = base1[i];
    out[1].end[i] = tip[i];
    out[2].start[i] = base1[i];
    out[2].end[i] = base2[i];
    out[3].start[i] = tip[i];
    out[3].end[i] = base2[i];
  }
}

/* Writes the count strokes of a letter centred on centre, with u along
** WCS axis u_axis and v along v_axis. */
static void letter_lines(const letter_stroke *strokes, int count, const double centre[3],
                         int u_axis, int v_axis, double k, marker_line *out)
{
  int i;

  for (i = 0; i < count; i++) {
    set_point(out[i].start, centre[0], centre[1], centre[2]);
    set_point(out[i].end, centre[0], centre[1], centre[2]);
    out[i].start[u_axis] += strokes[i].u0 * k;
    out[i].start[v_axis] += strokes[i].v0 * k;
    out[i].end[u_axis] += strokes[i].u1 * k;
    out[i].end[v_axis] += strokes[i].v1 * k;
  }
}

/* Writes the 43 marker lines in drawing order: the X, Y and Z arrows, then
** the letters X, Y and Z.  With front non-zero the Z arrowhead and letter
** lie in the WCS XZ plane, otherwise in the YZ plane. */
static void marker_lines(const marker_sizes *m, int front, marker_line out[MARKER_LINE_COUNT])
{
  double centre[3] = {0.0, 0.0, 0.0};
  marker_line *next = out;

  arrow_lines(m, 0, 1, 1.0, next);
  arrow_lines(m, 1, 0, -1.0, next + 4);
  arrow_lines(m, 2, front ? 0 : 1, -1.0, next + 8);
  next += AXIS_LINE_COUNT;

  set_point(centre, m->tip[0] - m->k / 2.0, -m->g, 0.0);
  letter_lines(letter_x, LETTER_X_STROKES, centre, 0, 1, m->k, next);
  next += LETTER_X_STROKES;
  set_point(centre, m->g, m->tip[1] - m->k / 2.0, 0.0);
  letter_lines(letter_y, LETTER_Y_STROKES, centre, 0, 1, m->k, next);
  next += LETTER_Y_STROKES;
  if (front) {
    set_point(centre, m->g, 0.0, m->tip[2] - m->k / 2.0);
    letter_lines(letter_z, LETTER_Z_STROKES, centre, 0, 2, m->k, next);
  } else {
    set_point(centre, 0.0, m->g, m->tip[2] - m->k / 2.0);
    letter_lines(letter_z, LETTER_Z_STROKES, centre, 1, 2, m->k, next);
  }
}

/* Maps the box into WCS coordinates and takes its largest coordinates
** into wmax.  1 when both corners were mapped; 0 when the host could not
** map them (the box is then unknown in WCS). */
static int wcs_box_max(const double view_min[3], const double view_max[3], double wmax[3])
{
  double wcs_min[3] = {0.0, 0.0, 0.0};
  double wcs_max[3] = {0.0, 0.0, 0.0};
  int i;

  if (UF_CALL_TEXT("UF_CSYS_map_point( UF_CSYS_WORK_COORDS, view_min, "
                   "UF_CSYS_ROOT_WCS_COORDS, wcs_min )",
                   UF_CSYS_map_point(UF_CSYS_WORK_COORDS, view_min, UF_CSYS_ROOT_WCS_COORDS,
                                     wcs_min)) != 0 ||
      UF_CALL_TEXT("UF_CSYS_map_point( UF_CSYS_WORK_COORDS, view_max, "
                   "UF_CSYS_ROOT_WCS_COORDS, wcs_max )",
                   UF_CSYS_map_point(UF_CSYS_WORK_COORDS, view_max, UF_CSYS_ROOT_WCS_COORDS,
                                     wcs_max)) != 0) {
    return 0;
  }
  for (i = 0; i < 3; i++) {
    wmax[i] = wcs_min[i] > wcs_max[i] ? wcs_min[i] : wcs_max[i];
  }
  return 1;
}

/* Creates one marker line from its WCS end points and puts it on the axis
** marker layer.  A line whose ends cannot be mapped is left out (a line
** at an unmapped point would be a wrong marker); failures are reported. */
static void draw_marker_line(const marker_line *line)
{
  UF_CURVE_line_t line_coord;
  tag_t line_tag = NULL_TAG;

  set_point(line_coord.start_point, 0.0, 0.0, 0.0);
  set_point(line_coord.end_point, 0.0, 0.0, 0.0);
  if (UF_CALL_TEXT("UF_CSYS_map_point( UF_CSYS_ROOT_WCS_COORDS, line_wcs_point1, "
                   "UF_CSYS_WORK_COORDS, line_abs_point1 )",
                   UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, line->start, UF_CSYS_WORK_COORDS,
                                     line_coord.start_point)) != 0 ||
      UF_CALL_TEXT("UF_CSYS_map_point( UF_CSYS_ROOT_WCS_COORDS, line_wcs_point2, "
                   "UF_CSYS_WORK_COORDS, line_abs_point2 )",
                   UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, line->end, UF_CSYS_WORK_COORDS,
                                     line_coord.end_point)) != 0) {
    return;
  }
  if (UF_CALL_TEXT("UF_CURVE_create_line( &line_coord, &line_tag )",
                   UF_CURVE_create_line(&line_coord, &line_tag)) != 0 ||
      line_tag == NULL_TAG) {
    return;
  }
  (void)UF_CALL_TEXT("UF_OBJ_set_layer( line_tag, save_aix_layer )",
                     UF_OBJ_set_layer(line_tag, save_aix_layer));
}

/* Reads the arrowhead size and the extension beyond the box, each
** starting at 0.  1 when both were read and are finite; 0 otherwise. */
static int read_marker_config(double *aix_size, double *extend_len)
{
  *aix_size = 0.0;
  *extend_len = 0.0;
  if (!read_config_value("nc_prog_elec_view_aix_size:", aix_size, CONFIG_PATH) ||
      !read_config_value("nc_prog_elec_view_aix_extend_len:", extend_len, CONFIG_PATH)) {
    return 0;
  }
  return isfinite(*aix_size) && isfinite(*extend_len);
}

/* Switches from a shown drawing to the model display, remembering the
** drawing in *drawing (null when the model was shown).  1 when the model
** is shown; 0 when it could not be shown, or the shown drawing is not
** known and could not be shown again afterwards (lines made now would
** land on the drawing). */
static int show_model(tag_t *drawing)
{
  int disp_state = 0;
  tag_t current_draw = NULL_TAG;

  *drawing = NULL_TAG;
  if (UF_CALL_TEXT("UF_DRAW_ask_display_state( &disp_state )",
                   UF_DRAW_ask_display_state(&disp_state)) != 0) {
    return 0;
  }
  if (disp_state != UF_DRAW_DRAWING_DISPLAY) {
    return 1;
  }
  if (UF_CALL_TEXT("UF_DRAW_ask_current_drawing( &current_draw )",
                   UF_DRAW_ask_current_drawing(&current_draw)) != 0 ||
      current_draw == NULL_TAG) {
    return 0;
  }
  if (UF_CALL_TEXT("UF_DRAW_set_display_state( 1 )", UF_DRAW_set_display_state(1)) != 0) {
    return 0;
  }
  *drawing = current_draw;
  return 1;
}

/* See views.h.  Returns 1 when the markers were drawn (a line whose host
** calls fail is reported and left out); 0 with nothing drawn when a key is
** missing, a size or the scale is not a usable number, the model cannot be
** shown or the box cannot be mapped into WCS.  The display state is as on
** entry. */
int create_view_aix(int ortho_proj_dir, double view_scale, const double view_min[3],
                    const double view_max[3])
{
  marker_line lines[MARKER_LINE_COUNT];
  marker_sizes sizes;
  double aix_size = 0.0;
  double extend_len = 0.0;
  double e = 0.0;
  double wmax[3] = {0.0, 0.0, 0.0};
  tag_t drawing = NULL_TAG;
  int result = 0;
  int i;

  if (!read_marker_config(&aix_size, &extend_len)) {
    return 0;
  }
  if (!(view_scale > 0.0) || !isfinite(view_scale)) {
    return 0;
  }
  if (!show_model(&drawing)) {
    return 0;
  }
  if (!wcs_box_max(view_min, view_max, wmax)) {
    goto out_reopen_drawing;
  }

  e = extend_len / view_scale;
  sizes.a = aix_size / view_scale;
  sizes.k = MARKER_LETTER_HEIGHT / view_scale;
  sizes.g = (aix_size / 2.0 + MARKER_LETTER_HEIGHT / 2.0 + MARKER_LETTER_GAP) / view_scale;
  for (i = 0; i < 3; i++) {
    sizes.tip[i] = wmax[i] + e;
  }
  marker_lines(&sizes, ortho_proj_dir == FRONT_PROJ_DIR, lines);

  (void)UF_CALL_TEXT("UF_LAYER_set_status( save_aix_layer, UF_LAYER_ACTIVE_LAYER )",
                     UF_LAYER_set_status(save_aix_layer, UF_LAYER_ACTIVE_LAYER));
  for (i = 0; i < MARKER_LINE_COUNT; i++) {
    draw_marker_line(&lines[i]);
  }
  result = 1;

out_reopen_drawing:
  if (drawing != NULL_TAG) {
    (void)UF_CALL_TEXT("UF_DRAW_open_drawing( current_draw )", UF_DRAW_open_drawing(drawing));
  }
  return result;
}
