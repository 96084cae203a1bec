/*
** edge_analysis.cpp: the edges a view's ordinate margins and dimensions
** attach to.
**
** Entries: analy_elec_top_wc, analy_elec_front_wc, analy_elec_right_wc
** and dims_reset_state.  Each analysis scans the straight edges of the
** workpiece bodies in WCS coordinates and fills the sixteen slots of one
** view (see dims.h); the three differ only in their view frame: the two
** WCS axes in the view's plane, the depth axis and the back face.  All
** coordinates compared are rounded to three decimals first, and rounded
** values are compared for exact equality.
*/
#include "dims/dims.h"

#include "command/command.h"
#include "command/report.h"
#include "dims/model_display.h"
#include "host/host.h"
#include "my_func/my_func.h"

/* Decimals of every model coordinate compared. */
#define MODEL_PLACES 3

/* The frame of one view: WCS axis indices (0 X, 1 Y, 2 Z). */
typedef struct view_frame {
  int a1;          /* first axis in the view's plane */
  int a2;          /* second axis in the view's plane */
  int depth;       /* the viewing direction */
  int back_at_max; /* 1: the back face lies at the depth maximum */
  const char *key_01;
  const char *key_02;
} view_frame;

static const view_frame top_frame = {0, 1, 2, 0, "analy_elec_top_wc_01:",
                                     "analy_elec_top_wc_02:"};
static const view_frame front_frame = {0, 2, 1, 1, "analy_elec_front_wc_01:",
                                       "analy_elec_front_wc_02:"};
static const view_frame right_frame = {1, 2, 0, 0, "analy_elec_right_wc_01:",
                                       "analy_elec_right_wc_02:"};

/* The two messages of one analysis; only the first is ever shown. */
typedef struct analysis_messages {
  char first[MESSAGE_BUFSIZE];
  char second[MESSAGE_BUFSIZE];
  int loaded; /* 1 once both were read */
} analysis_messages;

/* Module state: the message texts of each analysis, loaded on its first
** call and kept while the module stays loaded. */
static analysis_messages top_messages;
static analysis_messages front_messages;
static analysis_messages right_messages;

/* A point in the view frame: along A1, along A2 and in depth. */
typedef struct frame_point {
  double a1;
  double a2;
  double depth;
} frame_point;

/* The work of one scan. */
typedef struct edge_scan {
  const view_frame *frame;
  double a1_min, a1_max, a2_min, a2_max, back; /* the rounded box */
  tag_t slots[VIEW_EDGE_SLOT_COUNT];
  int first_edge[VIEW_EDGE_SLOT_COUNT]; /* used by the longest-edge slots */
} edge_scan;

/* Puts the messages of every analysis back to unloaded. */
void dims_reset_state(void)
{
  top_messages.first[0] = '\0';
  top_messages.second[0] = '\0';
  top_messages.loaded = 0;
  front_messages.first[0] = '\0';
  front_messages.second[0] = '\0';
  front_messages.loaded = 0;
  right_messages.first[0] = '\0';
  right_messages.second[0] = '\0';
  right_messages.loaded = 0;
}

/* Loads both messages of an analysis once per module load.  Returns 1 when
** they are loaded; 0 when a key is missing (the lookup told the user), and
** the next call tries again. */
static int load_messages(const view_frame *frame, analysis_messages *messages)
{
  if (messages->loaded) {
    return 1;
  }
  if (!read_lang_message(frame->key_01, messages->first, lang_file)) {
    return 0;
  }
  if (!read_lang_message(frame->key_02, messages->second, lang_file)) {
    return 0;
  }
  messages->loaded = 1;
  return 1;
}

/* The call texts of one vertex read: of the scanned edge, or of a stored
** edge read again. */
typedef struct vertex_texts {
  const char *ask;
  const char *map1;
  const char *map2;
} vertex_texts;

static const vertex_texts scan_texts = {
    "UF_MODL_ask_edge_verts( mr_edge_tag, edge_point1, edge_point2, &vertex_count )",
    "UF_CSYS_map_point( UF_CSYS_WORK_COORDS, edge_point1, UF_CSYS_ROOT_WCS_COORDS, "
    "edge_point1 )",
    "UF_CSYS_map_point( UF_CSYS_WORK_COORDS, edge_point2, UF_CSYS_ROOT_WCS_COORDS, "
    "edge_point2 )"};
static const vertex_texts stored_texts = {
    "UF_MODL_ask_edge_verts( view_edge_slots[k], temp_edge_point1, temp_edge_point2, "
    "&vertex_count )",
    "UF_CSYS_map_point( UF_CSYS_WORK_COORDS, temp_edge_point1, UF_CSYS_ROOT_WCS_COORDS, "
    "temp_edge_point1 )",
    "UF_CSYS_map_point( UF_CSYS_WORK_COORDS, temp_edge_point2, UF_CSYS_ROOT_WCS_COORDS, "
    "temp_edge_point2 )"};

/* Reads the two vertices of edge in WCS coordinates, rounded to three
** decimals, into p1 and p2 (in the order the host gives them); texts are
** the call texts to report.  Returns 1 when the edge has two vertices and
** both were read and mapped; 0 otherwise, p1 and p2 then meaning
** nothing. */
static int read_edge_points(tag_t edge, const vertex_texts *texts, double p1[3], double p2[3])
{
  int vertex_count = 0;
  int i;

  for (i = 0; i < 3; i++) {
    p1[i] = 0.0;
    p2[i] = 0.0;
  }
  if (UF_CALL_TEXT(texts->ask, UF_MODL_ask_edge_verts(edge, p1, p2, &vertex_count)) != 0) {
    return 0;
  }
  if (vertex_count != 2) {
    return 0;
  }
  if (UF_CALL_TEXT(texts->map1, UF_CSYS_map_point(UF_CSYS_WORK_COORDS, p1,
                                                  UF_CSYS_ROOT_WCS_COORDS, p1)) != 0) {
    return 0;
  }
  if (UF_CALL_TEXT(texts->map2, UF_CSYS_map_point(UF_CSYS_WORK_COORDS, p2,
                                                  UF_CSYS_ROOT_WCS_COORDS, p2)) != 0) {
    return 0;
  }
  for (i = 0; i < 3; i++) {
    p1[i] = round_places(p1[i], MODEL_PLACES);
    p2[i] = round_places(p2[i], MODEL_PLACES);
  }
  return 1;
}

/* The WCS point p in the view frame. */
static frame_point in_frame(const view_frame *frame, const double p[3])
{
  frame_point q;

  q.a1 = p[frame->a1];
  q.a2 = p[frame->a2];
  q.depth = p[frame->depth];
  return q;
}

/* Tells whether q equals (a1, a2) and, with use_depth, the back value. */
static int point_is(const edge_scan *scan, frame_point q, double a1, double a2, int use_depth)
{
  return q.a1 == a1 && q.a2 == a2 && (!use_depth || q.depth == scan->back);
}

/* Tells whether the edge q1 q2 runs from (a1_from, a2_from) to (a1_to,
** a2_to), either way round, on the back face when use_depth is set. */
static int edge_is(const edge_scan *scan, frame_point q1, frame_point q2, double a1_from,
                   double a2_from, double a1_to, double a2_to, int use_depth)
{
  return (point_is(scan, q1, a1_from, a2_from, use_depth) &&
          point_is(scan, q2, a1_to, a2_to, use_depth)) ||
         (point_is(scan, q1, a1_to, a2_to, use_depth) &&
          point_is(scan, q2, a1_from, a2_from, use_depth));
}

/* Tests 1 and 2: the whole box edges of the four sides, on the back face
** (slots 0, 1, 8, 9; use_depth set) or at any depth (slots 2, 3, 10, 11). */
static void test_box_edges(edge_scan *scan, tag_t edge, frame_point q1, frame_point q2,
                           int use_depth)
{
  int base = use_depth ? 0 : 2;

  if (edge_is(scan, q1, q2, scan->a1_min, scan->a2_min, scan->a1_max, scan->a2_min, use_depth)) {
    scan->slots[base] = edge;
  }
  if (edge_is(scan, q1, q2, scan->a1_min, scan->a2_max, scan->a1_max, scan->a2_max, use_depth)) {
    scan->slots[base + 1] = edge;
  }
  if (edge_is(scan, q1, q2, scan->a1_min, scan->a2_min, scan->a1_min, scan->a2_max, use_depth)) {
    scan->slots[base + 8] = edge;
  }
  if (edge_is(scan, q1, q2, scan->a1_max, scan->a2_min, scan->a1_max, scan->a2_max, use_depth)) {
    scan->slots[base + 9] = edge;
  }
}

/* The length of q1 q2 along A1 (slots 4, 5) or A2 (slots 12, 13). */
static double side_length(int slot, frame_point q1, frame_point q2)
{
  if (slot == EDGE_X_ONE_MIN_SLOT || slot == EDGE_X_ONE_MAX_SLOT) {
    return abs_value(q1.a1 - q2.a1);
  }
  return abs_value(q1.a2 - q2.a2);
}

/* Offers edge to a longest-edge slot: the first edge takes it; a later one
** replaces the stored edge only when it is strictly longer along the side
** line.  The stored edge's length comes from its vertices read again;
** when they cannot be read the stored edge stays. */
static void offer_longest(edge_scan *scan, int slot, tag_t edge, frame_point q1, frame_point q2)
{
  double temp_edge_point1[3];
  double temp_edge_point2[3];
  frame_point t1;
  frame_point t2;

  if (scan->first_edge[slot]) {
    scan->slots[slot] = edge;
    scan->first_edge[slot] = 0;
    return;
  }
  if (!read_edge_points(scan->slots[slot], &stored_texts, temp_edge_point1,
                        temp_edge_point2)) {
    return;
  }
  t1 = in_frame(scan->frame, temp_edge_point1);
  t2 = in_frame(scan->frame, temp_edge_point2);
  if (side_length(slot, q1, q2) > side_length(slot, t1, t2)) {
    scan->slots[slot] = edge;
  }
}

/* Test 3: the longest straight edges on each side line. */
static void test_longest_edges(edge_scan *scan, tag_t edge, frame_point q1, frame_point q2)
{
  if (q1.a2 == scan->a2_min && q1.a1 != q2.a1 && q1.a2 == q2.a2) {
    offer_longest(scan, EDGE_X_ONE_MIN_SLOT, edge, q1, q2);
  }
  if (q1.a2 == scan->a2_max && q1.a1 != q2.a1 && q1.a2 == q2.a2) {
    offer_longest(scan, EDGE_X_ONE_MAX_SLOT, edge, q1, q2);
  }
  if (q1.a1 == scan->a1_min && q1.a2 != q2.a2 && q1.a1 == q2.a1) {
    offer_longest(scan, EDGE_Y_ONE_MIN_SLOT, edge, q1, q2);
  }
  if (q1.a1 == scan->a1_max && q1.a2 != q2.a2 && q1.a1 == q2.a1) {
    offer_longest(scan, EDGE_Y_ONE_MAX_SLOT, edge, q1, q2);
  }
}

/* Test 4: straight edges that reach a side line and are not seen as a
** point. */
static void test_touching_edges(edge_scan *scan, tag_t edge, frame_point q1, frame_point q2)
{
  if (q1.a1 == q2.a1 && q1.a2 == q2.a2) {
    return;
  }
  if (q1.a2 == scan->a2_min || q2.a2 == scan->a2_min) {
    scan->slots[6] = edge;
  }
  if (q1.a2 == scan->a2_max || q2.a2 == scan->a2_max) {
    scan->slots[7] = edge;
  }
  if (q1.a1 == scan->a1_min || q2.a1 == scan->a1_min) {
    scan->slots[14] = edge;
  }
  if (q1.a1 == scan->a1_max || q2.a1 == scan->a1_max) {
    scan->slots[15] = edge;
  }
}

/* Reads one edge and, when it is a straight edge with two vertices, puts
** it through the four tests.  An edge whose type or vertices cannot be
** read is no candidate. */
static void scan_edge(edge_scan *scan, tag_t edge)
{
  int edge_type = 0;
  double edge_point1[3];
  double edge_point2[3];
  frame_point q1;
  frame_point q2;
  int two_points;

  if (UF_CALL_TEXT("UF_MODL_ask_edge_type( mr_edge_tag, &edge_type )",
                   UF_MODL_ask_edge_type(edge, &edge_type)) != 0) {
    return;
  }
  two_points = read_edge_points(edge, &scan_texts, edge_point1, edge_point2);
  if (edge_type != UF_MODL_LINEAR_EDGE || !two_points) {
    return;
  }
  q1 = in_frame(scan->frame, edge_point1);
  q2 = in_frame(scan->frame, edge_point2);
  test_box_edges(scan, edge, q1, q2, 1);
  test_box_edges(scan, edge, q1, q2, 0);
  test_longest_edges(scan, edge, q1, q2);
  test_touching_edges(scan, edge, q1, q2);
}

/* Scans the edges of one body in the host's list order; a blanked body is
** skipped.  The edge list is deleted on every way out. */
static void scan_body(edge_scan *scan, tag_t body)
{
  UF_OBJ_disp_props_t mr_disp_prop = {0, 0, 0, 0, 0, 0};
  uf_list_p_t mr_edge_list = NULL;
  int edge_count = 0;
  int i;

  (void)UF_CALL_TEXT("UF_OBJ_ask_display_properties( mr_tag[i], &mr_disp_prop )",
                     UF_OBJ_ask_display_properties(body, &mr_disp_prop));
  if (mr_disp_prop.blank_status != UF_OBJ_NOT_BLANKED) {
    return;
  }
  (void)UF_CALL_TEXT("UF_MODL_create_list( &mr_edge_list )", UF_MODL_create_list(&mr_edge_list));
  (void)UF_CALL_TEXT("UF_MODL_ask_body_edges( mr_tag[i], &mr_edge_list )",
                     UF_MODL_ask_body_edges(body, &mr_edge_list));
  (void)UF_CALL_TEXT("UF_MODL_ask_list_count( mr_edge_list, &edge_count )",
                     UF_MODL_ask_list_count(mr_edge_list, &edge_count));
  for (i = 0; i < edge_count; i++) {
    tag_t mr_edge_tag = NULL_TAG;
    if (UF_CALL_TEXT("UF_MODL_ask_list_item( mr_edge_list, j, &mr_edge_tag )",
                     UF_MODL_ask_list_item(mr_edge_list, i, &mr_edge_tag)) != 0) {
      continue;
    }
    scan_edge(scan, mr_edge_tag);
  }
  (void)UF_CALL_TEXT("UF_MODL_delete_list( &mr_edge_list )", UF_MODL_delete_list(&mr_edge_list));
}

/* Sets up a scan: the rounded box, all slots null, the longest-edge slots
** waiting for their first edge. */
static void start_scan(edge_scan *scan, const view_frame *frame, const double box_min[3],
                       const double box_max[3])
{
  int i;

  scan->frame = frame;
  scan->a1_min = round_places(box_min[frame->a1], MODEL_PLACES);
  scan->a1_max = round_places(box_max[frame->a1], MODEL_PLACES);
  scan->a2_min = round_places(box_min[frame->a2], MODEL_PLACES);
  scan->a2_max = round_places(box_max[frame->a2], MODEL_PLACES);
  scan->back = round_places(frame->back_at_max ? box_max[frame->depth] : box_min[frame->depth],
                            MODEL_PLACES);
  for (i = 0; i < VIEW_EDGE_SLOT_COUNT; i++) {
    scan->slots[i] = NULL_TAG;
    scan->first_edge[i] = 0;
  }
  scan->first_edge[EDGE_X_ONE_MIN_SLOT] = 1;
  scan->first_edge[EDGE_X_ONE_MAX_SLOT] = 1;
  scan->first_edge[EDGE_Y_ONE_MIN_SLOT] = 1;
  scan->first_edge[EDGE_Y_ONE_MAX_SLOT] = 1;
}

/* The analysis of one view frame.  Returns 1 with the slots written; 0
** when a message is missing, or after the first message when there is no
** body.  The message box is not reported: its failure has no one to tell. */
static int analyse_view(const view_frame *frame, analysis_messages *messages,
                        const tag_t *mr_tag, int count, const double box_min[3],
                        const double box_max[3], tag_t view_edge_slots[VIEW_EDGE_SLOT_COUNT])
{
  edge_scan scan;
  model_display display;
  int i;

  if (!load_messages(frame, messages)) {
    return 0;
  }
  if (count < 1 || mr_tag == NULL) {
    (void)uc1601(messages->first, 1);
    return 0;
  }
  show_model(&display);
  start_scan(&scan, frame, box_min, box_max);
  for (i = 0; i < count; i++) {
    scan_body(&scan, mr_tag[i]);
  }
  show_drawing_again(&display);
  for (i = 0; i < VIEW_EDGE_SLOT_COUNT; i++) {
    view_edge_slots[i] = scan.slots[i];
  }
  return 1;
}

/* See dims.h. */
int analy_elec_top_wc(const tag_t *mr_tag, int count, const double box_min[3],
                      const double box_max[3], tag_t view_edge_slots[VIEW_EDGE_SLOT_COUNT])
{
  return analyse_view(&top_frame, &top_messages, mr_tag, count, box_min, box_max,
                      view_edge_slots);
}

/* See dims.h. */
int analy_elec_front_wc(const tag_t *mr_tag, int count, const double box_min[3],
                        const double box_max[3], tag_t view_edge_slots[VIEW_EDGE_SLOT_COUNT])
{
  return analyse_view(&front_frame, &front_messages, mr_tag, count, box_min, box_max,
                      view_edge_slots);
}

/* See dims.h. */
int analy_elec_right_wc(const tag_t *mr_tag, int count, const double box_min[3],
                        const double box_max[3], tag_t view_edge_slots[VIEW_EDGE_SLOT_COUNT])
{
  return analyse_view(&right_frame, &right_messages, mr_tag, count, box_min, box_max,
                      view_edge_slots);
}
