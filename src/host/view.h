/*
** view.h: model views: the work view of the current layout, standard
** views, rotation about an absolute axis and saved views.
*/
#ifndef NCSHEET_HOST_VIEW_H
#define NCSHEET_HOST_VIEW_H

#include "defs.h"

#ifdef __cplusplus
extern "C" {
#endif

/* View names hold at most 30 characters. */
#define UF_VIEW_NAME_BUFSIZE 31

/* Replaces view_name of layout_name (empty: the work view of the current
** layout) by the view new_view_name, a saved view or a standard view
** ("TOP", "BOTTOM", "FRONT", "BACK", "RIGHT", "LEFT", "tfr-iso",
** "tfr-tri").  Returns 0 on success. */
int uc6464(const char *layout_name, const char *view_name, const char *new_view_name);

/* Saves view_name (empty: the work view) as a new view object named
** new_view_name.  Returns 0 on success. */
int uc6450(const char *view_name, const char *new_view_name, int save_orientation,
           int save_scale);

/* Turns view (null tag: the work view) about the absolute axis through
** center along axis by angle degrees, right-hand rule: the model appears
** turned by angle.  update_flag 1 redraws the view. */
int UF_VIEW_rotate_view_abs_csys(tag_t view, double center[3], double axis[3], double angle,
                                 int update_flag);

/* The view matrix of a view (null tag: the work view): nine values, row
** by row the screen's right, up and out-of-screen directions in absolute
** coordinates. */
int UF_VIEW_ask_view_matrix(tag_t view, double matrix[9]);

#ifdef __cplusplus
}
#endif
#endif
