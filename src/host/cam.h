/*
** cam.h: the CAM setup, program groups, operations, their parameters
** and the postprocessor run.
*/
#ifndef NCSHEET_HOST_CAM_H
#define NCSHEET_HOST_CAM_H

#include "defs.h"

#ifdef __cplusplus
extern "C" {
#endif

int UF_SETUP_ask_setup(tag_t *setup);
int UF_SETUP_ask_program_root(tag_t setup, tag_t *root);
/* Runs postprocessor post_name on program, writing output_file; units 1 is
** metric output. */
int UF_SETUP_generate_program(tag_t setup, tag_t program, const char *post_name,
                              const char *output_file, int units);

int UF_NCGROUP_is_group(tag_t object, logical *answer);
/* Members of a group in order; the array is released with UF_free. */
int UF_NCGROUP_ask_member_list(tag_t group, int *count, tag_t **list);

int UF_OPER_ask_name_from_tag(tag_t oper, char name[UF_OPER_MAX_NAME_LEN + 1]);

#define UF_PARAM_MCS 59
int UF_PARAM_ask_tag_value(tag_t object, int param, tag_t *value);

#ifdef __cplusplus
}
#endif
#endif
