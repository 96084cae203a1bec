/*
** layer.h: layer states, object layers and display properties, and
** object deletion.
*/
#ifndef NCSHEET_HOST_LAYER_H
#define NCSHEET_HOST_LAYER_H

#include "defs.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Layers are numbered 1 to 256. */
#define UF_LAYER_MIN_LAYER 1
#define UF_LAYER_MAX_LAYER 256

/* Layer status. */
#define UF_LAYER_WORK_LAYER 1
#define UF_LAYER_ACTIVE_LAYER 2     /* selectable */
#define UF_LAYER_REFERENCE_LAYER 3  /* visible only */
#define UF_LAYER_INACTIVE_LAYER 4   /* invisible */

int UF_LAYER_ask_status(int layer, int *status);
/* Sets a layer's status; making a layer the work layer turns the former
** work layer selectable; the work layer itself cannot be made anything
** else. */
int UF_LAYER_set_status(int layer, int status);

/* Blank status. */
#define UF_OBJ_NOT_BLANKED 0
#define UF_OBJ_BLANKED 1

typedef struct UF_OBJ_disp_props_s {
  int layer;
  int color;
  int blank_status;
  int line_width;
  int font;
  logical highlight_status;
} UF_OBJ_disp_props_t, *UF_OBJ_disp_props_p_t;

int UF_OBJ_ask_display_properties(tag_t object, UF_OBJ_disp_props_p_t disp_props);
int UF_OBJ_set_layer(tag_t object, int layer);
int UF_OBJ_set_color(tag_t object, int color);
int UF_OBJ_set_blank_status(tag_t object, int blank_status);

/* Deletes one object. */
int UF_OBJ_delete_object(tag_t object);
/* Deletes count objects; *statuses (released with UF_free) receives one
** status per object, 0 where it was deleted. */
int UF_OBJ_delete_array_of_objects(int count, tag_t *objects, int **statuses);

#ifdef __cplusplus
}
#endif
#endif
