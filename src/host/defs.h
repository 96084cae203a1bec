/*
** defs.h: the basic types and constants of the host interface.
**
** Every host operation the system calls is declared in one of the uf_*.h
** headers of this folder, with C linkage, as the host offers it.  The
** simulated host implements them on Linux; on the real host they come from
** its libraries.
*/
#ifndef NCSHEET_HOST_DEFS_H
#define NCSHEET_HOST_DEFS_H

typedef unsigned int tag_t; /* object handle; 0 is the null tag */
typedef tag_t *tag_p_t;
typedef int logical;        /* host boolean */

#define NULL_TAG ((tag_t)0)
#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

/* Buffer sizes the host fills. */
#define UF_OBJ_NAME_BUFSIZE 31      /* object names: 30 characters */
#define UF_OPER_MAX_NAME_LEN 30     /* operation names */
#define MAX_FSPEC_BUFSIZE 256       /* full file names */
#define UF_FAIL_MESSAGE_BUFSIZE 133 /* text of a status code */
#define UF_UI_FILENAME_BUFSIZE 256  /* file dialog result */

/* Application modules. */
#define UF_APP_CAM 16
#define UF_APP_DRAFTING 1

/* Object types and subtypes. */
#define UF_machining_ncgroup_type 121
#define UF_machining_program_grp_subtype 160
#define UF_solid_type 70
#define UF_solid_body_subtype 0
#define UF_view_type 60
#define UF_view_modeling_subtype 7

#endif
