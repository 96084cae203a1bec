/*
** csys.h: coordinate systems, matrices, the work coordinate system and
** point mapping between coordinate frames.
*/
#ifndef NCSHEET_HOST_CSYS_H
#define NCSHEET_HOST_CSYS_H

#include "defs.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Absolute coordinates of the work part, and coordinates of the WCS. */
#define UF_CSYS_WORK_COORDS 2
#define UF_CSYS_ROOT_WCS_COORDS 3

int UF_CSYS_ask_csys_info(tag_t csys, tag_t *matrix, double origin[3]);
/* Nine values, row-major; the rows are the X, Y and Z axes in absolute
** coordinates. */
int UF_CSYS_ask_matrix_values(tag_t matrix, double values[9]);
/* The matrix object of a coordinate system. */
int UF_CSYS_ask_matrix_of_object(tag_t object, tag_t *matrix);
int UF_CSYS_set_wcs(tag_t csys);
/* Maps a point between frames; input and output may be the same array. */
int UF_CSYS_map_point(int input_csys, const double input_point[3], int output_csys,
                      double output_point[3]);

#ifdef __cplusplus
}
#endif
#endif
