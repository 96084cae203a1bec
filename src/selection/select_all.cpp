/*
** select_all.cpp: program collection.
**
** Entry: select_all.  Walks the groups selected in the operation navigator
** (three levels of groups at most), checks every operation's machining
** coordinate system, and builds the program list: one record for every
** group whose members are operations, in walking order.
*/
#include "selection/selection.h"

#include "command/command.h"
#include "command/report.h"
#include "host/host.h"
#include "my_func/message_keys.h"
#include "my_func/my_func.h"

#include <stdlib.h>
#include <string.h>

/* Messages "select_al_01:" to "select_al_11:". */
#define SELECT_MESSAGE_COUNT SELECT_AL_KEY_COUNT
/* A composed refusal: two messages and a group name. */
#define SELECT_REFUSAL_BUFSIZE (2 * MESSAGE_BUFSIZE + SELECT_NAME_BUFSIZE + 8)

/* Message indexes (key number minus one). */
enum {
  MSG_NO_SETUP = 0,
  MSG_NO_ROOT = 1,
  MSG_NOTHING_SELECTED = 2,
  MSG_TOO_MANY_NODES = 3,
  MSG_NOT_A_GROUP = 4,
  MSG_MIXED_BEFORE = 5,
  MSG_MIXED_AFTER = 6,
  MSG_TOO_DEEP_BEFORE = 7,
  MSG_TOO_DEEP_AFTER = 8,
  MSG_NO_OPERATION = 9,
  MSG_EMPTY_LIST = 10
};

/* What one collection carries through its walk. */
typedef struct select_walk {
  char messages[SELECT_MESSAGE_COUNT][MESSAGE_BUFSIZE];
  tag_t prev_oper_mcs; /* coordinate system of the first operation met */
  prog_entry *list;    /* the program list grown so far, owned here */
  int count;
} select_walk;

static int walk_group(select_walk *walk, const tag_t *members, int member_count, int level,
                      const char *name, const char *parent_name);

/* Shows message number index of the walk in a message box.  The message box is not reported: its
** failure has no one to tell. */
static void show_message(const select_walk *walk, int index)
{
  (void)uc1601(walk->messages[index], 1);
}

/* Shows a refusal composed of two messages around a group name.  The message box is not reported:
** its failure has no one to tell. */
static void show_refusal(const select_walk *walk, const char *format, int before,
                         const char *name, int after)
{
  char text[SELECT_REFUSAL_BUFSIZE] = "";

  (void)text_format(text, sizeof text, format, walk->messages[before], name, walk->messages[after]);
  (void)uc1601(text, 1);
}

/* Adds a record for program group name inside parent_name (empty for a
** selected group).  1 on success; 0 when memory ran out. */
static int add_record(select_walk *walk, const char *name, const char *parent_name)
{
  prog_entry *grown;
  prog_entry *entry;

  grown = (prog_entry *)realloc(walk->list, (size_t)(walk->count + 1) * sizeof *grown);
  if (grown == NULL) {
    return 0;
  }
  walk->list = grown;
  entry = &grown[walk->count];
  memset(entry, 0, sizeof *entry);
  (void)text_copy(entry->parent_name, sizeof entry->parent_name, parent_name);
  (void)text_copy(entry->prog_name, sizeof entry->prog_name, name);
  walk->count++;
  return 1;
}

/* Walks group member (a member of the group parent_name at level) one
** level deeper, or refuses it when level is the deepest allowed.  1 to go
** on; 0 after a message.  UF_OBJ_ask_name, UF_NCGROUP_ask_member_list and UF_free are not reported:
** a failed ask leaves an empty name or a group without members, which the walk takes as they are,
** and UF_free gives no status. */
static int walk_subgroup(select_walk *walk, tag_t member, int level, const char *parent_name)
{
  char name[SELECT_NAME_BUFSIZE] = "";
  tag_t *members = NULL;
  int member_count = 0;
  int result;

  (void)UF_OBJ_ask_name(member, name);
  if (level >= SELECT_MAX_LEVEL) {
    show_refusal(walk, "%s%s%s", MSG_TOO_DEEP_BEFORE, name, MSG_TOO_DEEP_AFTER);
    return 0;
  }
  (void)UF_NCGROUP_ask_member_list(member, &member_count, &members);
  result = walk_group(walk, members, member_count, level + 1, name, parent_name);
  UF_free(members);
  return result;
}

/* Walks the members of group name at level (1 for a selected group),
** whose parent is parent_name.  A group holding only operations gets a
** record when its last member has been seen.  1 to go on; 0 after a
** message (mixed members, too deep, coordinate system mismatch).  UF_NCGROUP_is_group is reported
** only for the members of a selected group: deeper down a member that cannot be asked is taken for
** an operation, whose coordinate system check then fails and says so. */
static int walk_group(select_walk *walk, const tag_t *members, int member_count, int level,
                      const char *name, const char *parent_name)
{
  int has_groups = 0;
  int has_operations = 0;
  int loop2;

  for (loop2 = 0; loop2 < member_count; loop2++) {
    logical is = FALSE;

    if (level == 1) {
      (void)UF_CALL_TEXT("UF_NCGROUP_is_group( list2[loop2],&is )",
                         UF_NCGROUP_is_group(members[loop2], &is));
    } else {
      (void)UF_NCGROUP_is_group(members[loop2], &is);
    }
    if (is) {
      has_groups = 1;
    } else {
      has_operations = 1;
      if (!check_mcs(members[loop2], &walk->prev_oper_mcs)) {
        return 0;
      }
    }
    if (has_groups && has_operations) {
      show_refusal(walk, "%s %s%s", MSG_MIXED_BEFORE, name, MSG_MIXED_AFTER);
      return 0;
    }
    if (has_groups) {
      if (!walk_subgroup(walk, members[loop2], level, name)) {
        return 0;
      }
    } else if (loop2 == member_count - 1) {
      if (!add_record(walk, name, parent_name)) {
        return 0;
      }
    }
  }
  return 1;
}

/* Tells whether every selected node is a group. */
static int all_groups(const tag_t *list1, int node_count)
{
  int all = 1;
  int loop1;

  for (loop1 = 0; loop1 < node_count; loop1++) {
    logical is = FALSE;

    (void)UF_CALL_TEXT("UF_NCGROUP_is_group( list1[loop1],&is )",
                       UF_NCGROUP_is_group(list1[loop1], &is));
    if (!is) {
      all = 0;
    }
  }
  return all;
}

/* Walks every selected group in navigator order; a selected group named
** NONE is skipped.  1 to go on; 0 after a message.  UF_OBJ_ask_name and UF_free are not reported: a
** group whose name cannot be asked is walked under an empty name, and UF_free gives no status. */
static int walk_selected(select_walk *walk, const tag_t *list1, int node_count)
{
  int loop1;

  for (loop1 = 0; loop1 < node_count; loop1++) {
    char name[SELECT_NAME_BUFSIZE] = "";
    logical is = FALSE;
    tag_t *list2 = NULL;
    int count2 = 0;
    int result;

    (void)UF_CALL_TEXT("UF_NCGROUP_is_group( list1[loop1],&is )",
                       UF_NCGROUP_is_group(list1[loop1], &is));
    if (!is) {
      continue;
    }
    (void)UF_OBJ_ask_name(list1[loop1], name);
    if (strcmp(name, "NONE") == 0) {
      continue;
    }
    (void)UF_CALL_TEXT("UF_NCGROUP_ask_member_list( list1[loop1],&count2,&list2)",
                       UF_NCGROUP_ask_member_list(list1[loop1], &count2, &list2));
    result = walk_group(walk, list2, count2, 1, name, "");
    UF_free(list2);
    if (!result) {
      return 0;
    }
  }
  return 1;
}

/* Builds the program list from the navigator selection and makes the
** operations' shared machining coordinate system the work coordinate
** system.  Returns 1 with *list_out (owned by the caller, released with
** free), *count_out and *mcs_out set; 0 after one message, with the list
** and count untouched and nothing left allocated.  UF_SETUP_ask_setup, UF_SETUP_ask_program_root
** and UF_UI_ONT_ask_selected_nodes are not reported: each failure has its own message (no setup, no
** program root, nothing selected), and UF_free gives no status. */
int select_all(prog_entry **list_out, int *count_out, tag_t *mcs_out)
{
  select_walk walk;
  tag_t setup = NULL_TAG;
  tag_t root = NULL_TAG;
  tag_t *list1 = NULL;
  int node_count = 0;
  int result = 0;

  memset(&walk, 0, sizeof walk);
  if (!load_messages("select_al_", walk.messages, SELECT_MESSAGE_COUNT, lang_file)) {
    return 0;
  }
  if (UF_SETUP_ask_setup(&setup) != 0) {
    show_message(&walk, MSG_NO_SETUP);
    return 0;
  }
  if (UF_SETUP_ask_program_root(setup, &root) != 0) {
    show_message(&walk, MSG_NO_ROOT);
    return 0;
  }

  (void)UF_UI_ONT_ask_selected_nodes(&node_count, &list1);
  if (node_count <= 0) {
    show_message(&walk, MSG_NOTHING_SELECTED);
    goto out_free_nodes;
  }
  if (node_count > SELECT_MAX_NODES) {
    show_message(&walk, MSG_TOO_MANY_NODES);
    goto out_free_nodes;
  }
  if (!all_groups(list1, node_count)) {
    show_message(&walk, MSG_NOT_A_GROUP);
    goto out_free_nodes;
  }
  if (!walk_selected(&walk, list1, node_count)) {
    goto out_free_list;
  }
  if (walk.prev_oper_mcs == NULL_TAG) {
    show_message(&walk, MSG_NO_OPERATION);
    goto out_free_list;
  }
  (void)UF_CALL_TEXT("UF_CSYS_set_wcs( prev_oper_mcs )", UF_CSYS_set_wcs(walk.prev_oper_mcs));
  *mcs_out = walk.prev_oper_mcs;
  if (walk.count == 0) {
    show_message(&walk, MSG_EMPTY_LIST);
    goto out_free_list;
  }

  *list_out = walk.list;
  *count_out = walk.count;
  walk.list = NULL;
  result = 1;

out_free_list:
  free(walk.list);
out_free_nodes:
  UF_free(list1);
  return result;
}
