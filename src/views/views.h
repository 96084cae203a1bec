/*
** views.h: the sheet's views of the workpiece: the model views aligned to
** the machining coordinate system, their placement on the first page, the
** axis markers, the origin point and the size note.
*/
#ifndef NCSHEET_VIEWS_H
#define NCSHEET_VIEWS_H

#include "host/defs.h"

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

/* Draws the axis markers of the machining coordinate system as model
** lines on the axis marker layer, sized for views of scale view_scale
** around the workpiece box view_min..view_max (absolute coordinates);
** ortho_proj_dir 3 puts the Z arrowhead and letter in the XZ plane, any
** other value in the YZ plane. */
int create_view_aix(int ortho_proj_dir, double view_scale, const double view_min[3],
                    const double view_max[3]);

/* Writes the size note of the workpiece box on the shown drawing. */
void create_elec_size_note(int view_dir_code, const double view_min[3],
                           const double view_max[3]);

/* The lengths of the box view_min..view_max along the MCS X, Y and Z axes
** for the direction code view_dir_code.  1 when the code is one of the 24
** aligned orientations; 0 (lengths 0) otherwise. */
int mcs_box_lengths(int view_dir_code, const double view_min[3], const double view_max[3],
                    double lengths[3]);

#endif
