/*
** core.h: the API bracket, status texts, host memory, application
** module, undo marks, parts and objects.
*/
#ifndef NCSHEET_HOST_CORE_H
#define NCSHEET_HOST_CORE_H

#include "defs.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Opens and closes the API bracket; both return a status (0 success). */
int UF_initialize(void);
int UF_terminate(void);

/* Writes the text of a status code into message (133 bytes); 0 when the
** host has a text for it. */
int UF_get_fail_message(int fail_code, char message[UF_FAIL_MESSAGE_BUFSIZE]);

/* Releases an array the host handed out; a null pointer is accepted. */
void UF_free(void *data);

/* The current application module (16 CAM, 1 Drafting, ...). */
int UF_ask_application_module(int *module_id);

/* Undo marks. */
typedef int UF_UNDO_mark_id_t;
#define UF_UNDO_invisible 0
#define UF_UNDO_visible 1
int UF_UNDO_set_mark(int visibility, const char *name, UF_UNDO_mark_id_t *mark_id);

/* Parts: the displayed part and its full file name. */
tag_t UF_PART_ask_display_part(void);
int UF_PART_ask_part_name(tag_t part, char part_fspec[MAX_FSPEC_BUFSIZE]);

/* Objects: names, types, cycling. */
int UF_OBJ_ask_name(tag_t object, char name[UF_OBJ_NAME_BUFSIZE]);
int UF_OBJ_ask_type_and_subtype(tag_t object, int *type, int *subtype);
/* Steps through the objects of the work part named name, starting after
** *object (null: from the first); *object is the null tag at the end. */
int UF_OBJ_cycle_by_name(const char *name, tag_t *object);
/* Returns the next object of the type after object in part, or the null
** tag at the end. */
tag_t UF_OBJ_cycle_objs_in_part(tag_t part, int type, tag_t object);

#ifdef __cplusplus
}
#endif
#endif
