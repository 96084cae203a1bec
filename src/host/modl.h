/*
** modl.h: solid bodies and their topology: body types, edge and face
** lists, edge vertices and types, face types, bounding boxes and the
** isocline curves of a face.
*/
#ifndef NCSHEET_HOST_MODL_H
#define NCSHEET_HOST_MODL_H

#include "defs.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Subtypes of the solid type (UF_solid_type, 70). */
#define UF_solid_face_subtype 2
#define UF_solid_edge_subtype 3

/* Body types. */
#define UF_MODL_SOLID_BODY 5601
#define UF_MODL_SHEET_BODY 5602

/* Edge types. */
#define UF_MODL_LINEAR_EDGE 3001
#define UF_MODL_CIRCULAR_EDGE 3002
#define UF_MODL_ELLIPTICAL_EDGE 3003
#define UF_MODL_INTERSECTION_EDGE 3004
#define UF_MODL_SPLINE_EDGE 3005

/* Face types. */
#define UF_MODL_CYLINDRICAL_FACE 16
#define UF_MODL_CONICAL_FACE 17
#define UF_MODL_SPHERICAL_FACE 18
#define UF_MODL_TOROIDAL_FACE 19
#define UF_MODL_SWEPT_FACE 20
#define UF_MODL_PLANAR_FACE 22
#define UF_MODL_BLENDING_FACE 23
#define UF_MODL_PARAMETRIC_FACE 43

/* A host list of tags (edges or faces of a body). */
typedef struct uf_list_s *uf_list_p_t;

/* Makes an empty list; delete it with UF_MODL_delete_list. */
int UF_MODL_create_list(uf_list_p_t *list);
/* Deletes a list and sets *list to null; a null list is accepted. */
int UF_MODL_delete_list(uf_list_p_t *list);
int UF_MODL_ask_list_count(uf_list_p_t list, int *count);
/* The item at index (0-based). */
int UF_MODL_ask_list_item(uf_list_p_t list, int index, tag_t *object);

/* Appends the edges or faces of a body, in the host's stable order, to
** *list; a null *list is created first. */
int UF_MODL_ask_body_edges(tag_t body, uf_list_p_t *edge_list);
int UF_MODL_ask_body_faces(tag_t body, uf_list_p_t *face_list);

int UF_MODL_ask_body_type(tag_t body, int *body_type);
int UF_MODL_ask_edge_type(tag_t edge, int *edge_type);
int UF_MODL_ask_face_type(tag_t face, int *face_type);

/* The vertices of an edge in the direction of its curve: count 2 for an
** open edge, 0 for a closed edge (a full circle has no vertex). */
int UF_MODL_ask_edge_verts(tag_t edge, double point1[3], double point2[3], int *vertex_count);

/* The box of a body, face, edge or curve, absolute coordinates:
** minimum x, y, z then maximum x, y, z. */
int UF_MODL_ask_bounding_box(tag_t object, double bounding_box[6]);

/* Creates the curves on face where the angle between the face normal and
** the plane normal to direction is angle (degrees; 0 gives the silhouette
** seen along direction), within tolerance.  *curves (released with
** UF_free) holds *curve_count new curve objects; with no curve both are
** null and 0. */
int UF_MODL_create_isocline_curves(tag_t face, double direction[3], double angle,
                                   double tolerance, tag_t **curves, int *curve_count);

#ifdef __cplusplus
}
#endif
#endif
