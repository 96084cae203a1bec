/*
** views.h: the sheet's views of the workpiece: the model views aligned to
** the machining coordinate system, their placement on the first page, the
** axis markers, the origin point and the size note.
*/
#ifndef NCSHEET_VIEWS_H
#define NCSHEET_VIEWS_H

#include "host/uf_defs.h"

/* Saves a top and an isometric model view for the machining coordinate
** system mcs_tag and classifies its orientation into *view_dir_code (0:
** not aligned with the absolute axes, no views). */
int create_modl_view(tag_t mcs_tag, tag_t *modl_view, tag_t *modl_iso_view, int *view_dir_code);

/* Creates a model point at the origin of mcs_tag. */
int create_mcs_ori_point(tag_t mcs_tag, tag_t *mcs_ori_point);

/* Places the workpiece views on the current (first) page and gives the top
** of the workpiece box in WCS coordinates. */
int import_view(tag_t modl_top_view, tag_t modl_iso_view, int view_dir_code,
                tag_t mcs_ori_point, double *box_top_z);

#endif
