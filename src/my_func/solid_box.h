/*
** solid_box.h: the workpiece: the visible solid bodies of the displayed
** part and the box that encloses them (absolute coordinates).
*/
#ifndef NCSHEET_MY_FUNC_SOLID_BOX_H
#define NCSHEET_MY_FUNC_SOLID_BOX_H

#include "host/defs.h"

/* Collects the solid bodies that are shown and lie on the work layer or a
** selectable layer into a new array (*workpiece_solids, released by the
** caller with free; null when none) and their number.  Returns 1, also
** with no body; 0 when the array cannot be grown (nothing is handed out). */
int MY_select_screen_view_solid(tag_t **workpiece_solids, int *count);

/* The box of count bodies: view_min and view_max receive the smallest and
** largest coordinates.  Returns 1, or 0 after a message when a body fails
** a check or its box cannot be made. */
int MY_solids_box(const tag_t *workpiece_solids, int count, double view_min[3],
                  double view_max[3]);

/* The box of one solid body from its vertices, closed edges and the
** silhouettes of its curved faces.  Returns 1, or 0 after a message. */
int MY_solid_box_iso(tag_t solid, double box_min[3], double box_max[3]);

#endif
