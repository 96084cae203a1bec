/*
** curve.h: model lines and points.
*/
#ifndef NCSHEET_HOST_CURVE_H
#define NCSHEET_HOST_CURVE_H

#include "defs.h"

#ifdef __cplusplus
extern "C" {
#endif

typedef struct UF_CURVE_line_s {
  double start_point[3];
  double end_point[3];
} UF_CURVE_line_t, *UF_CURVE_line_p_t;

/* Creates a line between two points (absolute coordinates of the work
** part; on a shown drawing, drawing coordinates). */
int UF_CURVE_create_line(UF_CURVE_line_p_t line_coords, tag_t *line);
int UF_CURVE_ask_line_data(tag_t line, UF_CURVE_line_p_t line_coords);

/* Creates a point object at point_coords (absolute coordinates). */
int UF_CURVE_create_point(double point_coords[3], tag_t *point);
int UF_CURVE_ask_point_data(tag_t point, double point_coords[3]);

#ifdef __cplusplus
}
#endif
#endif
