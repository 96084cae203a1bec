/*
** command.h: the command driver's shared values: the program list record,
** the path of the command's language file and the module-state reset.
*/
#ifndef NCSHEET_COMMAND_H
#define NCSHEET_COMMAND_H

#include "host/defs.h"

#define LANG_FILE_BUFSIZE 260
#define PARENT_NAME_BUFSIZE 80
#define PROG_NAME_BUFSIZE 133
#define POST_INFO_BUFSIZE 133

/* One program group to post, in collection order. */
typedef struct prog_entry {
  char parent_name[PARENT_NAME_BUFSIZE]; /* group holding it; empty when selected itself */
  char prog_name[PROG_NAME_BUFSIZE];     /* program group name, stem of its files */
  char post_info[POST_INFO_BUFSIZE];     /* first line of its summary file */
} prog_entry;

/* Path of the command's language file, built by ufusr on every run. */
extern char lang_file[LANG_FILE_BUFSIZE];

/* The command. */
#ifdef __cplusplus
extern "C"
#endif
    void
    ufusr(char *param, int *retcode, int param_len);

/* Puts every value that lives as long as the module back to its state at
** load time.  A loaded module never needs it; tests that link the system
** directly call it between cases. */
void reset_module_state(void);

/* Puts the driver's own module-level values (the language file path, the
** tips flag) back to their load-time state.  Every subsystem with
** module-level values offers such a <subsystem>_reset_state routine, and
** reset_module_state calls them all. */
void command_reset_state(void);

#endif
