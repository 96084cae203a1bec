/*
** view_dims.cpp: the ordinate dimensions of the sheet's views.
**
** Entries: create_top_view_dims, create_front_view_dims and
** create_side_view_dims.  Each puts an ordinate origin on the model point
** at the machining origin, one or two margins along the lower or left
** side of the workpiece outline, and the dimensions of the origin and of
** the outline's sides, attached to the edges its edge analysis chose or,
** where none fits, to short construction lines and construction points.
** The three differ only in their recipe: the edge analysis, the margins
** and the sides, with the slots, anchor rules and construction geometry
** of each.
*/
#include "dims/dims.h"

#include "command/report.h"
#include "dims/model_display.h"
#include "host/host.h"
#include "my_func/my_func.h"

#include <string.h>

/* Decimals of the drawing coordinates compared. */
#define DRAWING_PLACES 2
/* Where the margins lie: outside the lower or left side, sheet mm. */
#define MARGIN_OFFSET (-5.0)
/* Length of a construction line, WCS millimetres. */
#define CONSTRUCTION_LINE_LENGTH 0.3
/* The texts every dimension carries: user text and one appended line. */
#define DRF_TEXT_BUFSIZE 30
#define MAX_MARGINS 2
#define MAX_DIM_STEPS 6
#define SIDE_SLOT_COUNT 4
#define MARGIN_SLOT_COUNT 3

/* Drafting preferences the dimensions are made with (zero-based). */
#define PREF_INT_3 3
#define PREF_INT_7 7
#define PREF_INT_9 9
#define PREF_INT_16 16
#define PREF_INT_90 90
#define PREF_REAL_32 32
#define PREF_REAL_33 33
#define PREF_REAL_34 34

/* Where one WCS coordinate of a construction point or line start lies on
** the workpiece box. */
#define AT_MIN 0
#define AT_MAX 1
#define AT_MID 2

/* Drawing axes. */
#define DRAWING_X 0
#define DRAWING_Y 1

/* A margin: its type, the slots of its object in order and, when they
** are all null, the construction line from the box point line_from along
** the WCS axis line_axis. */
typedef struct margin_recipe {
  int margin_type;
  int slots[MARGIN_SLOT_COUNT];
  int line_from[3];
  int line_axis;
  const char *create_text;    /* the margin call's text */
  const char *dimension_text; /* the text of a dimension on it */
} margin_recipe;

/* A side of the outline: its margin, the drawing coordinate judged
** against the origin (of map_elec_min or map_elec_max), its slots in
** order, the anchor rules and the construction point. */
typedef struct side_recipe {
  int margin;
  int compare_max;  /* 1: map_elec_max, 0: map_elec_min */
  int compare_axis; /* DRAWING_X or DRAWING_Y */
  int slots[SIDE_SLOT_COUNT];
  int parallel_axis;   /* anchor on the first three slots: smaller value */
  int touch_axis;      /* anchor on the fourth slot */
  int touch_larger;    /* 1: the larger value there, 0: the smaller */
  int point_at[3];
} side_recipe;

/* One dimension: the origin (side null) or a side, on a margin. */
typedef struct dim_step {
  int margin;
  const side_recipe *side;
} dim_step;

/* The call texts that name the view. */
typedef struct view_texts {
  const char *map_edm;
  const char *map_min;
  const char *map_max;
  const char *map_first;
  const char *map_end;
} view_texts;

typedef int (*edge_analysis)(const tag_t *, int, const double[3], const double[3],
                             tag_t[VIEW_EDGE_SLOT_COUNT]);

/* Everything that makes one view's dimensions its own. */
typedef struct view_recipe {
  const char *null_message;
  edge_analysis analyse;
  view_texts texts;
  int margin_count;
  margin_recipe margins[MAX_MARGINS];
  int step_count;
  dim_step steps[MAX_DIM_STEPS];
} view_recipe;

/* The drafting preferences as found and as the dimensions want them. */
typedef struct dims_prefs {
  int saved_int[UF_DRF_INT_PREFS];
  double saved_real[UF_DRF_REAL_PREFS];
  char saved_radius[UF_DRF_SYMBOL_BUFSIZE];
  char saved_diameter[UF_DRF_SYMBOL_BUFSIZE];
  int dims_int[UF_DRF_INT_PREFS];
  double dims_real[UF_DRF_REAL_PREFS];
  char dims_radius[UF_DRF_SYMBOL_BUFSIZE];
  char dims_diameter[UF_DRF_SYMBOL_BUFSIZE];
  int changed; /* 1: the dimensions' values are current; the saved copy goes back */
} dims_prefs;

/* The work of one view. */
typedef struct view_work {
  const view_recipe *recipe;
  tag_t view_tag;
  tag_t mcs_point;
  double box_min[3]; /* WCS, per axis */
  double box_max[3];
  tag_t view_edge_slots[VIEW_EDGE_SLOT_COUNT];
  double map_edm_point[2];
  double map_elec_min[2]; /* left, lower */
  double map_elec_max[2]; /* right, upper */
  UF_DRF_object_t drf_object_tag;
  UF_DRF_text_t drf_text;
  char user_text[DRF_TEXT_BUFSIZE];
  char appended_text[DRF_TEXT_BUFSIZE];
  tag_t origin_tag;
  tag_t margin_tags[MAX_MARGINS];
} view_work;

/* The sides of the top view. */
static const side_recipe top_lower = {1, 0, DRAWING_Y, {0, 2, 4, 6}, DRAWING_X, DRAWING_Y, 0,
                                      {AT_MID, AT_MIN, AT_MIN}};
static const side_recipe top_upper = {1, 1, DRAWING_Y, {1, 3, 5, 7}, DRAWING_X, DRAWING_Y, 1,
                                      {AT_MID, AT_MAX, AT_MIN}};
static const side_recipe top_left = {0, 0, DRAWING_X, {8, 10, 12, 14}, DRAWING_Y, DRAWING_X, 0,
                                     {AT_MIN, AT_MID, AT_MIN}};
static const side_recipe top_right = {0, 1, DRAWING_X, {9, 11, 13, 15}, DRAWING_Y, DRAWING_X, 1,
                                      {AT_MAX, AT_MID, AT_MIN}};

/* The Zmin and Zmax sides of the front view (lower and upper) and of the
** side view (right and left). */
static const side_recipe front_zmin = {0, 0, DRAWING_Y, {0, 2, 4, 6}, DRAWING_X, DRAWING_Y, 0,
                                       {AT_MID, AT_MIN, AT_MIN}};
static const side_recipe front_zmax = {0, 1, DRAWING_Y, {1, 3, 5, 7}, DRAWING_X, DRAWING_Y, 1,
                                       {AT_MID, AT_MID, AT_MAX}};
static const side_recipe side_zmin = {0, 1, DRAWING_X, {0, 2, 4, 6}, DRAWING_Y, DRAWING_X, 1,
                                      {AT_MID, AT_MID, AT_MIN}};
static const side_recipe side_zmax = {0, 0, DRAWING_X, {1, 3, 5, 7}, DRAWING_Y, DRAWING_X, 0,
                                      {AT_MID, AT_MID, AT_MAX}};

static const view_recipe top_recipe = {
    "t_view_tag is null,  err!",
    analy_elec_top_wc,
    {"UF_VIEW_map_model_to_drawing( t_view_tag, edm_point_coord, map_edm_point )",
     "UF_VIEW_map_model_to_drawing( t_view_tag, view_min, map_min )",
     "UF_VIEW_map_model_to_drawing( t_view_tag, view_max, map_max )",
     "UF_VIEW_map_model_to_drawing( t_view_tag, first_point, map_first_point )",
     "UF_VIEW_map_model_to_drawing( t_view_tag, end_point, map_end_point )"},
    2,
    {{UF_DRF_MARGIN_HORIZONTAL,
      {0, 2, 4},
      {AT_MIN, AT_MIN, AT_MIN},
      0,
      "UF_DRF_create_ordmargin( 1, origin_tag, &drf_object_tag, margin_xy_point, "
      "margin_xy_direction, margin_offset, &x_margin_tag )",
      "UF_DRF_create_orddimension( x_margin_tag, 2, &drf_object_tag, dogleg_angle, "
      "dogleg_distance, &drf_text, 1, dim_3d, &dim_tag )"},
     {UF_DRF_MARGIN_VERTICAL,
      {8, 10, 12},
      {AT_MIN, AT_MIN, AT_MIN},
      1,
      "UF_DRF_create_ordmargin( 2, origin_tag, &drf_object_tag, margin_xy_point, "
      "margin_xy_direction, margin_offset, &y_margin_tag )",
      "UF_DRF_create_orddimension( y_margin_tag, 2, &drf_object_tag, dogleg_angle, "
      "dogleg_distance, &drf_text, 1, dim_3d, &dim_tag )"}},
    6,
    {{1, NULL}, {1, &top_lower}, {1, &top_upper}, {0, NULL}, {0, &top_left}, {0, &top_right}},
};

static const view_recipe front_recipe = {
    "f_view_tag is null,err!",
    analy_elec_front_wc,
    {"UF_VIEW_map_model_to_drawing( f_view_tag, edm_point_coord, map_edm_point )",
     "UF_VIEW_map_model_to_drawing( f_view_tag, view_min, map_min )",
     "UF_VIEW_map_model_to_drawing( f_view_tag, view_max, map_max )",
     "UF_VIEW_map_model_to_drawing( f_view_tag, first_point, map_first_point )",
     "UF_VIEW_map_model_to_drawing( f_view_tag, end_point, map_end_point )"},
    1,
    {{UF_DRF_MARGIN_VERTICAL,
      {8, 10, 12},
      {AT_MIN, AT_MIN, AT_MIN},
      2,
      "UF_DRF_create_ordmargin( 2, origin_tag, &drf_object_tag, margin_xy_point, "
      "margin_xy_direction, margin_offset, &y_margin_tag )",
      "UF_DRF_create_orddimension( y_margin_tag, 2, &drf_object_tag, dogleg_angle, "
      "dogleg_distance, &drf_text, 1, dim_3d, &dim_tag )"}},
    3,
    {{0, NULL}, {0, &front_zmin}, {0, &front_zmax}},
};

static const view_recipe side_recipe_of_view = {
    "s_view_tag is null,err!",
    analy_elec_right_wc,
    {"UF_VIEW_map_model_to_drawing( s_view_tag, edm_point_coord, map_edm_point )",
     "UF_VIEW_map_model_to_drawing( s_view_tag, view_min, map_min )",
     "UF_VIEW_map_model_to_drawing( s_view_tag, view_max, map_max )",
     "UF_VIEW_map_model_to_drawing( s_view_tag, first_point, map_first_point )",
     "UF_VIEW_map_model_to_drawing( s_view_tag, end_point, map_end_point )"},
    1,
    {{UF_DRF_MARGIN_HORIZONTAL,
      {8, 10, 12},
      {AT_MID, AT_MIN, AT_MIN},
      2,
      "UF_DRF_create_ordmargin( 1, origin_tag, &drf_object_tag, margin_xy_point, "
      "margin_xy_direction, margin_offset, &y_margin_tag )",
      "UF_DRF_create_orddimension( y_margin_tag, 2, &drf_object_tag, dogleg_angle, "
      "dogleg_distance, &drf_text, 1, dim_3d, &dim_tag )"}},
    3,
    {{0, NULL}, {0, &side_zmin}, {0, &side_zmax}},
};

/* Asks the drafting preferences twice and makes the second copy, with the
** dimensions' values, current.  Only when both asks succeed is anything
** changed, so that the copy put back afterwards is one really read.
** UF_DRF_ask_preferences and UF_DRF_set_preferences are not reported: a failure leaves the
** preferences as they were, and the dimensions are made with them. */
static void apply_dims_prefs(dims_prefs *prefs)
{
  memset(prefs, 0, sizeof *prefs);
  if (UF_DRF_ask_preferences(prefs->saved_int, prefs->saved_real, prefs->saved_radius,
                             prefs->saved_diameter) != 0) {
    return;
  }
  if (UF_DRF_ask_preferences(prefs->dims_int, prefs->dims_real, prefs->dims_radius,
                             prefs->dims_diameter) != 0) {
    return;
  }
  prefs->dims_int[PREF_INT_3] = 2;
  prefs->dims_int[PREF_INT_7] = 1;
  prefs->dims_int[PREF_INT_9] = 3;
  prefs->dims_int[PREF_INT_16] = 1;
  prefs->dims_int[PREF_INT_90] = 1;
  prefs->dims_real[PREF_REAL_32] = 2.8;
  prefs->dims_real[PREF_REAL_33] = 0.75;
  prefs->dims_real[PREF_REAL_34] = 0.2;
  if (UF_DRF_set_preferences(prefs->dims_int, prefs->dims_real, prefs->dims_radius,
                             prefs->dims_diameter) != 0) {
    return;
  }
  prefs->changed = 1;
}

/* Puts back the preferences apply_dims_prefs changed.  UF_DRF_set_preferences is not reported: a
** failure leaves the dimensions' values current, and the sheet goes on with them. */
static void restore_dims_prefs(dims_prefs *prefs)
{
  if (!prefs->changed) {
    return;
  }
  (void)UF_DRF_set_preferences(prefs->saved_int, prefs->saved_real, prefs->saved_radius,
                               prefs->saved_diameter);
  prefs->changed = 0;
}

/* The WCS value of a box coordinate: its minimum, maximum or middle. */
static double box_value(const view_work *work, int axis, int at)
{
  if (at == AT_MIN) {
    return work->box_min[axis];
  }
  if (at == AT_MAX) {
    return work->box_max[axis];
  }
  return work->box_max[axis] / 2 + work->box_min[axis] / 2;
}

/* Step 4: the workpiece box in WCS coordinates, per axis smaller and
** larger value. */
static void find_wcs_box(view_work *work, const double view_min[3], const double view_max[3])
{
  double temp_min[3] = {0.0, 0.0, 0.0};
  double temp_max[3] = {0.0, 0.0, 0.0};
  model_display display;
  int i;

  show_model(&display);
  (void)UF_CALL_TEXT(
      "UF_CSYS_map_point( UF_CSYS_WORK_COORDS, view_min, UF_CSYS_ROOT_WCS_COORDS, temp_min )",
      UF_CSYS_map_point(UF_CSYS_WORK_COORDS, view_min, UF_CSYS_ROOT_WCS_COORDS, temp_min));
  (void)UF_CALL_TEXT(
      "UF_CSYS_map_point( UF_CSYS_WORK_COORDS, view_max, UF_CSYS_ROOT_WCS_COORDS, temp_max )",
      UF_CSYS_map_point(UF_CSYS_WORK_COORDS, view_max, UF_CSYS_ROOT_WCS_COORDS, temp_max));
  show_drawing_again(&display);
  for (i = 0; i < 3; i++) {
    work->box_min[i] = temp_min[i] < temp_max[i] ? temp_min[i] : temp_max[i];
    work->box_max[i] = temp_min[i] < temp_max[i] ? temp_max[i] : temp_min[i];
  }
}

/* Step 6: the origin point and the workpiece outline on the sheet. */
static void find_sheet_positions(view_work *work, const double view_min[3],
                                 const double view_max[3])
{
  const view_texts *texts = &work->recipe->texts;
  double edm_point_coord[3] = {0.0, 0.0, 0.0};
  double map_min[2] = {0.0, 0.0};
  double map_max[2] = {0.0, 0.0};
  int i;

  (void)UF_CALL_TEXT("UF_CURVE_ask_point_data( mcs_point, edm_point_coord )",
                     UF_CURVE_ask_point_data(work->mcs_point, edm_point_coord));
  work->map_edm_point[0] = 0.0;
  work->map_edm_point[1] = 0.0;
  (void)UF_CALL_TEXT(texts->map_edm, UF_VIEW_map_model_to_drawing(work->view_tag, edm_point_coord,
                                                                  work->map_edm_point));
  (void)UF_CALL_TEXT(texts->map_min,
                     UF_VIEW_map_model_to_drawing(work->view_tag, view_min, map_min));
  (void)UF_CALL_TEXT(texts->map_max,
                     UF_VIEW_map_model_to_drawing(work->view_tag, view_max, map_max));
  for (i = 0; i < 2; i++) {
    work->map_elec_min[i] = map_min[i] < map_max[i] ? map_min[i] : map_max[i];
    work->map_elec_max[i] = map_min[i] < map_max[i] ? map_max[i] : map_min[i];
  }
}

/* Step 7: the drafting object structure and the ordinate origin at the
** origin point. */
static void create_origin(view_work *work)
{
  char origin_name[1] = "";

  memset(&work->drf_object_tag, 0, sizeof work->drf_object_tag);
  (void)UF_CALL_TEXT("UF_DRF_init_object_structure( &drf_object_tag )",
                     UF_DRF_init_object_structure(&work->drf_object_tag));
  work->drf_object_tag.object_view_tag = work->view_tag;
  work->drf_object_tag.object_tag = work->mcs_point;
  work->origin_tag = NULL_TAG;
  (void)UF_CALL_TEXT(
      "UF_DRF_create_ordorigin( &drf_object_tag, 1, 1, 2, origin_name, &origin_tag )",
      UF_DRF_create_ordorigin(&work->drf_object_tag, UF_DRF_ORIGIN_ASSOCIATIVE,
                              UF_DRF_ORIGIN_SYMBOL_SHOWN, UF_DRF_ORIGIN_NAME_HIDDEN, origin_name,
                              &work->origin_tag));
}

/* The first non-null of count slots, its index in *index; the null tag
** when all are null. */
static tag_t first_slot(const view_work *work, const int *slots, int count, int *index)
{
  int i;

  for (i = 0; i < count; i++) {
    if (work->view_edge_slots[slots[i]] != NULL_TAG) {
      *index = i;
      return work->view_edge_slots[slots[i]];
    }
  }
  *index = count;
  return NULL_TAG;
}

/* The construction line of a margin: CONSTRUCTION_LINE_LENGTH along its
** axis from its box point, both ends mapped from the WCS to absolute
** coordinates.  Returns the line, or the null tag when it was not made. */
static tag_t create_construction_line(const view_work *work, const margin_recipe *margin)
{
  UF_CURVE_line_t line_coord;
  tag_t line_tag = NULL_TAG;
  int i;

  for (i = 0; i < 3; i++) {
    line_coord.start_point[i] = box_value(work, i, margin->line_from[i]);
    line_coord.end_point[i] = line_coord.start_point[i];
  }
  line_coord.end_point[margin->line_axis] += CONSTRUCTION_LINE_LENGTH;
  (void)UF_CALL_TEXT("UF_CSYS_map_point( UF_CSYS_ROOT_WCS_COORDS, line_coord.start_point, "
                     "UF_CSYS_WORK_COORDS, line_coord.start_point )",
                     UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, line_coord.start_point,
                                       UF_CSYS_WORK_COORDS, line_coord.start_point));
  (void)UF_CALL_TEXT("UF_CSYS_map_point( UF_CSYS_ROOT_WCS_COORDS, line_coord.end_point, "
                     "UF_CSYS_WORK_COORDS, line_coord.end_point )",
                     UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, line_coord.end_point,
                                       UF_CSYS_WORK_COORDS, line_coord.end_point));
  (void)UF_CALL_TEXT("UF_CURVE_create_line( &line_coord, &line_tag )",
                     UF_CURVE_create_line(&line_coord, &line_tag));
  return line_tag;
}

/* Step 8: the margins, each on the first edge of its slots or on a
** construction line. */
static void create_margins(view_work *work)
{
  double margin_xy_point[3] = {0.0, 0.0, 0.0};
  double margin_xy_direction[2] = {0.0, 0.0};
  model_display display;
  int m;

  show_model(&display);
  for (m = 0; m < work->recipe->margin_count; m++) {
    const margin_recipe *margin = &work->recipe->margins[m];
    int index = 0;
    tag_t object = first_slot(work, margin->slots, MARGIN_SLOT_COUNT, &index);
    if (object == NULL_TAG) {
      object = create_construction_line(work, margin);
    }
    work->drf_object_tag.object_tag = object;
    work->margin_tags[m] = NULL_TAG;
    (void)UF_CALL_TEXT(margin->create_text,
                       UF_DRF_create_ordmargin(margin->margin_type, work->origin_tag,
                                               &work->drf_object_tag, margin_xy_point,
                                               margin_xy_direction, MARGIN_OFFSET,
                                               &work->margin_tags[m]));
  }
  show_drawing_again(&display);
}

/* Creates a dimension of the current object on margin m. */
static void create_dimension(view_work *work, int m)
{
  double dim_3d[3] = {0.0, 0.0, 0.0};
  tag_t dim_tag = NULL_TAG;

  (void)UF_CALL_TEXT(work->recipe->margins[m].dimension_text,
                     UF_DRF_create_orddimension(work->margin_tags[m], UF_DRF_ORDINATE_POINT,
                                                &work->drf_object_tag, 0.0, 0.0, &work->drf_text,
                                                UF_DRF_TEXT_AUTOMATIC, dim_3d, &dim_tag));
}

/* The association modifier of an edge from the drawing values of its two
** vertices, rounded: the vertex with the smaller value, or with the larger
** when larger is set; equal values give the second vertex. */
static int anchor_modifier(double first_value, double end_value, int larger)
{
  double v1 = round_places(first_value, DRAWING_PLACES);
  double v2 = round_places(end_value, DRAWING_PLACES);

  if (larger) {
    return v2 >= v1 ? UF_DRF_SECOND_END : UF_DRF_FIRST_END;
  }
  return v2 <= v1 ? UF_DRF_SECOND_END : UF_DRF_FIRST_END;
}

/* Attaches the drafting object to edge temp_tag, the slot at index of its
** side, at the vertex the side's anchor rule picks. */
static void attach_to_edge(view_work *work, const side_recipe *side, tag_t temp_tag, int index)
{
  const view_texts *texts = &work->recipe->texts;
  double first_point[3] = {0.0, 0.0, 0.0};
  double end_point[3] = {0.0, 0.0, 0.0};
  double map_first_point[2] = {0.0, 0.0};
  double map_end_point[2] = {0.0, 0.0};
  int vertex_count = 0;
  int axis;

  (void)UF_CALL_TEXT("UF_MODL_ask_edge_verts( temp_tag, first_point, end_point, &vertex_count )",
                     UF_MODL_ask_edge_verts(temp_tag, first_point, end_point, &vertex_count));
  (void)UF_CALL_TEXT(texts->map_first, UF_VIEW_map_model_to_drawing(work->view_tag, first_point,
                                                                    map_first_point));
  (void)UF_CALL_TEXT(texts->map_end,
                     UF_VIEW_map_model_to_drawing(work->view_tag, end_point, map_end_point));
  work->drf_object_tag.object_tag = temp_tag;
  if (index < SIDE_SLOT_COUNT - 1) {
    axis = side->parallel_axis;
    work->drf_object_tag.object_assoc_modifier =
        anchor_modifier(map_first_point[axis], map_end_point[axis], 0);
  } else {
    axis = side->touch_axis;
    work->drf_object_tag.object_assoc_modifier =
        anchor_modifier(map_first_point[axis], map_end_point[axis], side->touch_larger);
  }
}

/* Attaches the drafting object to a new construction point at the side's
** box position, mapped from the WCS to absolute coordinates. */
static void attach_to_point(view_work *work, const side_recipe *side)
{
  double point_coord[3];
  tag_t point_tag = NULL_TAG;
  int i;

  for (i = 0; i < 3; i++) {
    point_coord[i] = box_value(work, i, side->point_at[i]);
  }
  (void)UF_CALL_TEXT(
      "UF_CSYS_map_point( UF_CSYS_ROOT_WCS_COORDS, point_coord, UF_CSYS_WORK_COORDS, "
      "point_coord )",
      UF_CSYS_map_point(UF_CSYS_ROOT_WCS_COORDS, point_coord, UF_CSYS_WORK_COORDS, point_coord));
  (void)UF_CALL_TEXT("UF_CURVE_create_point( point_coord, &point_tag )",
                     UF_CURVE_create_point(point_coord, &point_tag));
  work->drf_object_tag.object_tag = point_tag;
}

/* Step 10: one side's dimension, unless the side coincides with the origin
** on the sheet. */
static void dimension_side(view_work *work, int m, const side_recipe *side)
{
  const double *corner = side->compare_max ? work->map_elec_max : work->map_elec_min;
  model_display display;
  int index = 0;
  tag_t temp_tag;

  if (round_places(corner[side->compare_axis], DRAWING_PLACES) ==
      round_places(work->map_edm_point[side->compare_axis], DRAWING_PLACES)) {
    return;
  }
  temp_tag = first_slot(work, side->slots, SIDE_SLOT_COUNT, &index);
  show_model(&display);
  if (temp_tag != NULL_TAG) {
    attach_to_edge(work, side, temp_tag, index);
  } else {
    attach_to_point(work, side);
  }
  create_dimension(work, m);
  show_drawing_again(&display);
}

/* Step 9: the dimensions in the recipe's order. */
static void create_dimensions(view_work *work)
{
  int s;

  work->user_text[0] = '\0';
  work->appended_text[0] = '\0';
  (void)text_copy(work->user_text, sizeof work->user_text, "a");
  (void)text_copy(work->appended_text, sizeof work->appended_text, "b");
  work->drf_text.user_dim_text = work->user_text;
  work->drf_text.lines_app_text = 1;
  work->drf_text.appended_text = work->appended_text;
  for (s = 0; s < work->recipe->step_count; s++) {
    const dim_step *step = &work->recipe->steps[s];
    if (step->side == NULL) {
      work->drf_object_tag.object_tag = work->mcs_point;
      create_dimension(work, step->margin);
    } else {
      dimension_side(work, step->margin, step->side);
    }
  }
}

/* Steps 4 to 10 of one view.  Returns 1 when the dimensions were made, 0
** when the edge analysis failed and nothing was made. */
static int dimension_view(view_work *work, const double view_min[3], const double view_max[3],
                          const tag_t *mr_tag, int count)
{
  find_wcs_box(work, view_min, view_max);
  if (!work->recipe->analyse(mr_tag, count, work->box_min, work->box_max,
                             work->view_edge_slots)) {
    return 0;
  }
  find_sheet_positions(work, view_min, view_max);
  create_origin(work);
  create_margins(work);
  create_dimensions(work);
  return 1;
}

/* The dimensions of one view by its recipe, inside the preference
** bracket.  Returns 1 when they were made; 0 on a null view (after its
** message, nothing touched) or a failed edge analysis.  The message box is not reported: its
** failure has no one to tell. */
static int create_view_dims(const view_recipe *recipe, tag_t view_tag, tag_t mcs_point,
                            const double view_min[3], const double view_max[3],
                            const tag_t *mr_tag, int count)
{
  view_work work;
  dims_prefs prefs;
  int result;

  if (view_tag == NULL_TAG) {
    (void)uc1601(recipe->null_message, 1);
    return 0;
  }
  memset(&work, 0, sizeof work);
  work.recipe = recipe;
  work.view_tag = view_tag;
  work.mcs_point = mcs_point;
  apply_dims_prefs(&prefs);
  result = dimension_view(&work, view_min, view_max, mr_tag, count);
  restore_dims_prefs(&prefs);
  return result;
}

/* See dims.h. */
int create_top_view_dims(tag_t t_view_tag, tag_t mcs_point, const double view_min[3],
                         const double view_max[3], const tag_t *mr_tag, int count)
{
  return create_view_dims(&top_recipe, t_view_tag, mcs_point, view_min, view_max, mr_tag,
                          count);
}

/* See dims.h. */
int create_front_view_dims(tag_t f_view_tag, tag_t mcs_point, const double view_min[3],
                           const double view_max[3], const tag_t *mr_tag, int count)
{
  return create_view_dims(&front_recipe, f_view_tag, mcs_point, view_min, view_max, mr_tag,
                          count);
}

/* See dims.h. */
int create_side_view_dims(tag_t s_view_tag, tag_t mcs_point, const double view_min[3],
                          const double view_max[3], const tag_t *mr_tag, int count)
{
  return create_view_dims(&side_recipe_of_view, s_view_tag, mcs_point, view_min, view_max,
                          mr_tag, count);
}
