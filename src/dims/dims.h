/*
** dims.h: ordinate dimensioning of the sheet's views: the edge analysis
** per view and the ordinate origin, margins and dimensions of the top view
** and of the projected front or side view.
*/
#ifndef NCSHEET_DIMS_H
#define NCSHEET_DIMS_H

#include "host/defs.h"

/* The edge slots of one view: sixteen edge tags, any of which may be the
** null tag.  Slots 0, 2, 4, 6 describe the side where the view's second
** axis A2 is smallest, 1, 3, 5, 7 where it is largest, 8, 10, 12, 14 the
** side where the first axis A1 is smallest and 9, 11, 13, 15 where it is
** largest; in each group from a whole box edge on the back face to any
** straight edge reaching the side. */
#define VIEW_EDGE_SLOT_COUNT 16
/* The longest straight edges on each side line. */
#define EDGE_X_ONE_MIN_SLOT 4
#define EDGE_X_ONE_MAX_SLOT 5
#define EDGE_Y_ONE_MIN_SLOT 12
#define EDGE_Y_ONE_MAX_SLOT 13

/* Edge analysis of the top view (A1 X, A2 Y, back face Zmin), the front
** view (A1 X, A2 Z, back face Ymax) and the side view (A1 Y, A2 Z, back
** face Xmin).  mr_tag holds count workpiece bodies; box_min and box_max
** are the workpiece box in WCS coordinates.  Returns 1 with the slots
** written, 0 when a message is missing or there is no body. */
int analy_elec_top_wc(const tag_t *mr_tag, int count, const double box_min[3],
                      const double box_max[3], tag_t view_edge_slots[VIEW_EDGE_SLOT_COUNT]);
int analy_elec_front_wc(const tag_t *mr_tag, int count, const double box_min[3],
                        const double box_max[3], tag_t view_edge_slots[VIEW_EDGE_SLOT_COUNT]);
int analy_elec_right_wc(const tag_t *mr_tag, int count, const double box_min[3],
                        const double box_max[3], tag_t view_edge_slots[VIEW_EDGE_SLOT_COUNT]);

/* Ordinate dimensions of the top view t_view_tag, the front view
** f_view_tag and the side view s_view_tag, measured from the model point
** mcs_point at the machining origin.  view_min and view_max are the
** workpiece box in absolute coordinates, mr_tag and count the workpiece
** bodies.  Each returns 1 when the dimensions were made, 0 when nothing
** was made (a null view, or the edge analysis failed). */
int create_top_view_dims(tag_t t_view_tag, tag_t mcs_point, const double view_min[3],
                         const double view_max[3], const tag_t *mr_tag, int count);
int create_front_view_dims(tag_t f_view_tag, tag_t mcs_point, const double view_min[3],
                           const double view_max[3], const tag_t *mr_tag, int count);
int create_side_view_dims(tag_t s_view_tag, tag_t mcs_point, const double view_min[3],
                          const double view_max[3], const tag_t *mr_tag, int count);

/* Forgets the edge analysis messages, so that the next call loads them
** again (see reset_module_state). */
void dims_reset_state(void);

#endif
