/*
** solid_box.cpp: the workpiece bodies and their box.
**
** Entries: MY_select_screen_view_solid, MY_solids_box, MY_solid_box_iso.
** The box of a body is found from its own geometry: the vertices of its
** edges, the boxes of its closed edges, and the boxes of the silhouette
** (isocline) curves of its curved faces along Z, Y and X.  A failed host
** query is reported and never widens the box.
*/
#include "my_func/solid_box.h"

#include "command/report.h"
#include "host/host.h"
#include "my_func/message_keys.h"
#include "my_func/my_func.h"

#include <stdlib.h>

/* Path of the library's own language file. */
#define MY_FUNC_LANG_BUFSIZE 260
/* The isocline request of every curved face. */
#define ISOCLINE_ANGLE 0.0
#define ISOCLINE_TOLERANCE 0.005
#define ISOCLINE_DIRECTIONS 3

/* A box being built: its corners and whether it has a point yet. */
typedef struct solid_box {
  double min[3];
  double max[3];
  int has_point;
} solid_box;

/* Widens box by the box lo..hi (a point when lo and hi are the same). */
static void box_widen(solid_box *box, const double lo[3], const double hi[3])
{
  int i;

  for (i = 0; i < 3; i++) {
    double a = lo[i] < hi[i] ? lo[i] : hi[i];
    double b = lo[i] < hi[i] ? hi[i] : lo[i];
    if (!box->has_point || a < box->min[i]) {
      box->min[i] = a;
    }
    if (!box->has_point || b > box->max[i]) {
      box->max[i] = b;
    }
  }
  box->has_point = 1;
}

/* Tells whether object is a body of type 70, subtype 0 (0 also when the
** host cannot say). */
static int is_body_object(tag_t object)
{
  int type = 0;
  int subtype = -1;

  if (UF_CALL_TEXT("UF_OBJ_ask_type_and_subtype( object, &type, &subtype )",
                   UF_OBJ_ask_type_and_subtype(object, &type, &subtype)) != 0) {
    return 0;
  }
  return type == UF_solid_type && subtype == UF_solid_body_subtype;
}

/* Tells whether body is a solid body, not a sheet body. */
static int is_solid_body(tag_t body)
{
  int body_type = 0;

  if (UF_CALL_TEXT("UF_MODL_ask_body_type( body, &body_type )",
                   UF_MODL_ask_body_type(body, &body_type)) != 0) {
    return 0;
  }
  return body_type == UF_MODL_SOLID_BODY;
}

/* Tells whether body belongs to the workpiece: a solid body, not blanked,
** on the work layer or a selectable layer. */
static int qualifies(tag_t body)
{
  UF_OBJ_disp_props_t obj_disp_prop = {0, 0, 0, 0, 0, FALSE};
  int layer_status = 0;

  if (!is_body_object(body) || !is_solid_body(body)) {
    return 0;
  }
  if (UF_CALL_TEXT("UF_OBJ_ask_display_properties( body, &obj_disp_prop )",
                   UF_OBJ_ask_display_properties(body, &obj_disp_prop)) != 0) {
    return 0;
  }
  if (obj_disp_prop.blank_status != UF_OBJ_NOT_BLANKED) {
    return 0;
  }
  if (UF_CALL_TEXT("UF_LAYER_ask_status( obj_disp_prop.layer, &layer_status )",
                   UF_LAYER_ask_status(obj_disp_prop.layer, &layer_status)) != 0) {
    return 0;
  }
  return layer_status == UF_LAYER_WORK_LAYER || layer_status == UF_LAYER_ACTIVE_LAYER;
}

/* Shows message "MY_select_screen_view_soli_01:" of the library's language
** file when it can be read.  The message box is not reported: its failure has no one to tell. */
static void show_grow_failure(void)
{
  char my_func_lang[MY_FUNC_LANG_BUFSIZE] = "";
  char message[MESSAGE_BUFSIZE] = "";

  (void)text_format(my_func_lang, sizeof my_func_lang, "%s\\" MY_FUNC_LANG_NAME, LANG_FOLDER);
  if (read_lang_message("MY_select_screen_view_soli_01:", message, my_func_lang)) {
    (void)uc1601(message, 1);
  }
}

/* See solid_box.h.  The array grows by one tag per body found.  UF_PART_ask_display_part and
** UF_OBJ_cycle_objs_in_part are not reported: they answer tags, not statuses, and the null tag only
** ends the cycle. */
int MY_select_screen_view_solid(tag_t **workpiece_solids, int *count)
{
  tag_t part = UF_PART_ask_display_part();
  tag_t object = NULL_TAG;
  tag_t *solids = NULL;
  int found = 0;

  *workpiece_solids = NULL;
  *count = 0;
  for (object = UF_OBJ_cycle_objs_in_part(part, UF_solid_type, NULL_TAG); object != NULL_TAG;
       object = UF_OBJ_cycle_objs_in_part(part, UF_solid_type, object)) {
    tag_t *grown = NULL;
    if (!qualifies(object)) {
      continue;
    }
    grown = (tag_t *)realloc(solids, (size_t)(found + 1) * sizeof *solids);
    if (grown == NULL) {
      goto out_free_solids;
    }
    solids = grown;
    solids[found++] = object;
  }
  *workpiece_solids = solids;
  *count = found;
  return 1;

out_free_solids:
  free(solids);
  show_grow_failure();
  return 0;
}

/* See solid_box.h.  Every body is checked before any box is made.  The message boxes are not
** reported: their failure has no one to tell. */
int MY_solids_box(const tag_t *workpiece_solids, int count, double view_min[3],
                  double view_max[3])
{
  solid_box all = {{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, 0};
  int i;

  for (i = 0; i < count; i++) {
    if (workpiece_solids[i] == NULL_TAG) {
      (void)uc1601("you post solid is null", 1);
      return 0;
    }
    if (!is_body_object(workpiece_solids[i])) {
      (void)uc1601("you post solid is not body_type", 1);
      return 0;
    }
    if (!is_solid_body(workpiece_solids[i])) {
      (void)uc1601("you post solid is not MODL_SOLID", 1);
      return 0;
    }
  }
  for (i = 0; i < count; i++) {
    double body_min[3] = {0.0, 0.0, 0.0};
    double body_max[3] = {0.0, 0.0, 0.0};
    if (!MY_solid_box_iso(workpiece_solids[i], body_min, body_max)) {
      return 0;
    }
    box_widen(&all, body_min, body_max);
  }
  for (i = 0; i < 3; i++) {
    view_min[i] = all.min[i];
    view_max[i] = all.max[i];
  }
  return 1;
}

/* Widens box by the vertices of every edge of solid, or by the edge's own
** box when it is closed (no vertex).  A list the host could not create is
** made by the edge query itself. */
static void box_of_edges(tag_t solid, solid_box *box)
{
  uf_list_p_t edge_list = NULL;
  int edge_count = 0;
  int i;

  (void)UF_CALL_TEXT("UF_MODL_create_list( &edge_list )", UF_MODL_create_list(&edge_list));
  (void)UF_CALL_TEXT("UF_MODL_ask_body_edges( solid, &edge_list )",
                     UF_MODL_ask_body_edges(solid, &edge_list));
  (void)UF_CALL_TEXT("UF_MODL_ask_list_count( edge_list, &edge_count )",
                     UF_MODL_ask_list_count(edge_list, &edge_count));
  for (i = 0; i < edge_count; i++) {
    tag_t edge = NULL_TAG;
    double point1[3] = {0.0, 0.0, 0.0};
    double point2[3] = {0.0, 0.0, 0.0};
    double edge_box[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    int vertex_count = 0;
    if (UF_CALL_TEXT("UF_MODL_ask_list_item( edge_list, i, &edge )",
                     UF_MODL_ask_list_item(edge_list, i, &edge)) != 0) {
      continue;
    }
    if (UF_CALL_TEXT("UF_MODL_ask_edge_verts( edge, point1, point2, &vertex_count )",
                     UF_MODL_ask_edge_verts(edge, point1, point2, &vertex_count)) != 0) {
      continue;
    }
    if (vertex_count == 1) {
      box_widen(box, point1, point1);
    } else if (vertex_count == 2) {
      box_widen(box, point1, point2);
    } else if (vertex_count <= 0) {
      if (UF_CALL_TEXT("UF_MODL_ask_bounding_box( edge, edge_box )",
                       UF_MODL_ask_bounding_box(edge, edge_box)) == 0) {
        box_widen(box, edge_box, edge_box + 3);
      }
    }
  }
  (void)UF_CALL_TEXT("UF_MODL_delete_list( &edge_list )", UF_MODL_delete_list(&edge_list));
}

/* Widens box by the isocline curves of face along direction, then deletes
** the curves and releases both arrays.  A failed request adds nothing.  UF_free is not reported: it
** gives no status. */
static void box_of_isoclines(tag_t face, double direction[3], solid_box *box)
{
  tag_t *curves = NULL;
  int *statuses = NULL;
  int curve_count = 0;
  int i;

  if (UF_MODL_create_isocline_curves(face, direction, ISOCLINE_ANGLE, ISOCLINE_TOLERANCE,
                                     &curves, &curve_count) != 0) {
    return;
  }
  for (i = 0; i < curve_count; i++) {
    double curve_box[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    if (UF_CALL_TEXT("UF_MODL_ask_bounding_box( curves[i], curve_box )",
                     UF_MODL_ask_bounding_box(curves[i], curve_box)) == 0) {
      box_widen(box, curve_box, curve_box + 3);
    }
  }
  if (curve_count > 0) {
    (void)UF_CALL_TEXT("UF_OBJ_delete_array_of_objects( curve_count, curves, &statuses )",
                       UF_OBJ_delete_array_of_objects(curve_count, curves, &statuses));
  }
  UF_free(statuses);
  UF_free(curves);
}

/* Widens box by the silhouettes of every face of solid that is not planar. */
static void box_of_faces(tag_t solid, solid_box *box)
{
  static const double directions[ISOCLINE_DIRECTIONS][3] = {
      {0.0, 0.0, 1.0}, {0.0, 1.0, 0.0}, {1.0, 0.0, 0.0}};
  uf_list_p_t face_list = NULL;
  int face_count = 0;
  int i;
  int d;

  (void)UF_CALL_TEXT("UF_MODL_create_list( &face_list )", UF_MODL_create_list(&face_list));
  (void)UF_CALL_TEXT("UF_MODL_ask_body_faces( solid, &face_list )",
                     UF_MODL_ask_body_faces(solid, &face_list));
  (void)UF_CALL_TEXT("UF_MODL_ask_list_count( face_list, &face_count )",
                     UF_MODL_ask_list_count(face_list, &face_count));
  for (i = 0; i < face_count; i++) {
    tag_t face = NULL_TAG;
    int face_type = 0;
    if (UF_CALL_TEXT("UF_MODL_ask_list_item( face_list, i, &face )",
                     UF_MODL_ask_list_item(face_list, i, &face)) != 0) {
      continue;
    }
    if (UF_CALL_TEXT("UF_MODL_ask_face_type( face, &face_type )",
                     UF_MODL_ask_face_type(face, &face_type)) != 0) {
      continue;
    }
    if (face_type == UF_MODL_PLANAR_FACE) {
      continue;
    }
    for (d = 0; d < ISOCLINE_DIRECTIONS; d++) {
      double direction[3] = {directions[d][0], directions[d][1], directions[d][2]};
      box_of_isoclines(face, direction, box);
    }
  }
  (void)UF_CALL_TEXT("UF_MODL_delete_list( &face_list )", UF_MODL_delete_list(&face_list));
}

/* See solid_box.h.  A body whose geometry gave no point (every query
** failed) has no box: 0 without a message of its own, the failed calls
** having been reported.  The message boxes are not reported: their failure has no one to tell. */
int MY_solid_box_iso(tag_t solid, double box_min[3], double box_max[3])
{
  solid_box box = {{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, 0};
  int i;

  if (solid == NULL_TAG) {
    (void)uc1601("err! solid is null solid tag.  ( MY_solid_box_iso )", 1);
    return 0;
  }
  if (!is_body_object(solid) || !is_solid_body(solid)) {
    (void)uc1601(" err! solid is not solid type. ( MY_solid_box_edge_box )", 1);
    return 0;
  }
  box_of_edges(solid, &box);
  box_of_faces(solid, &box);
  if (!box.has_point) {
    return 0;
  }
  for (i = 0; i < 3; i++) {
    box_min[i] = box.min[i];
    box_max[i] = box.max[i];
  }
  return 1;
}
