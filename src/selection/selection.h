/*
** selection.h: program collection and the machining coordinate system
** check.
**
** select_all turns the groups selected in the operation navigator into the
** program list and makes the machining coordinate system shared by all
** their operations the work coordinate system.  check_mcs tests one
** operation's machining coordinate system against that reference.
*/
#ifndef NCSHEET_SELECTION_H
#define NCSHEET_SELECTION_H

#include "command/command.h"
#include "host/defs.h"

/* Most navigator nodes one run accepts. */
#define SELECT_MAX_NODES 50
/* Deepest group level that may hold program groups. */
#define SELECT_MAX_LEVEL 3
/* Names of groups while walking them. */
#define SELECT_NAME_BUFSIZE 80

int select_all(prog_entry **list_out, int *count_out, tag_t *mcs_out);
int check_mcs(tag_t oper_tag, tag_t *prev_oper_mcs);

#endif
