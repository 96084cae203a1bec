/*
** post.h: the post dialog with its saved settings, and the post run.
**
** post_process posts every record of the program list through the
** postprocessor the user picks, into the folder the user picks.  The post
** dialog (show_post_dialog and its five callbacks) sets the dialog values
** below, which the sheet reads; post_process sets nc_ext and post_dir.
** All of them keep their values while the module stays loaded.
*/
#ifndef NCSHEET_POST_H
#define NCSHEET_POST_H

#include "command/command.h"
#include "host/defs.h"
#include "host/styler.h"

#include <stddef.h>

/* Buffer sizes of the module-level settings. */
#define MOLD_NO_BUFSIZE 80
#define PART_NO_BUFSIZE 80
#define NC_EXT_BUFSIZE 32
#define POST_DIR_BUFSIZE 140
/* The folder taken from the file dialog: 135 characters and a terminator. */
#define POST_FOLDER_BUFSIZE 136
/* Full names of the NC, temporary and summary files, and the filter. */
#define POST_FILE_NAME_BUFSIZE 256

/* Number of entries of each dialog choice list; a choice is 0 to count-1. */
#define AIX_CHOICE_COUNT 2       /* 0 axis markers, 1 none */
#define PART_TYPE_CHOICE_COUNT 8
#define DESC_CHOICE_COUNT 5
#define NC_EXT_CHOICE_COUNT 7
#define SHOW_EXT_CHOICE_COUNT 2  /* toggle off, on */
#define AIX_LAYER_MIN 1
#define AIX_LAYER_MAX 256
#define AIX_LAYER_DEFAULT 253

/* Dialog values confirmed by the last OK of the post dialog. */
extern char mold_no[MOLD_NO_BUFSIZE]; /* mould number (STR_0) */
extern char part_no[PART_NO_BUFSIZE]; /* part number (STR_1) */
extern int aix_choice;                /* 0 = axis markers on the views (RADIO_4) */
extern int save_aix_layer;            /* layer of the axis markers, 1..256 (INT_3) */
extern int part_type_choice;          /* part type text 0..7 (OPTION_6) */
extern int desc_choice;               /* description text 0..4 (RADIO_7) */
extern int nc_ext_choice;             /* NC extension choice 0..6 (OPTION_9) */
extern int show_ext;                  /* non-zero: table names carry nc_ext (TOGGLE_8) */

/* Set by the post run. */
extern char nc_ext[NC_EXT_BUFSIZE];     /* extension of the NC files, with its dot */
extern char post_dir[POST_DIR_BUFSIZE]; /* output folder, ending with a backslash */

/* The saved dialog settings: one record of 192 bytes, integers 32-bit
** little-endian, in D:\kv_conf\temp\mr_prog_sheet.dat. */
#define DIALOG_SETTINGS_SIZE 192
#define DIALOG_SETTINGS_TEXT_SIZE 80
#define DIALOG_SETTINGS_FILE "D:\\kv_conf\\temp\\mr_prog_sheet.dat"

typedef struct dialog_settings {
  char str_0[DIALOG_SETTINGS_TEXT_SIZE]; /* bytes 0..79: mould number */
  char str_1[DIALOG_SETTINGS_TEXT_SIZE]; /* bytes 80..159: part number */
  int radio_4;                           /* 160: axis marker choice */
  int int_3;                             /* 164: axis marker layer */
  int option_6;                          /* 168: part type */
  int reserved_172;                      /* 172: kept as read */
  int radio_7;                           /* 176: description */
  int option_9;                          /* 180: extension choice */
  int toggle_8;                          /* 184: extension in the table */
  int reserved_188;                      /* 188: kept as read */
} dialog_settings;

/* post_settings.cpp */
void settings_defaults(dialog_settings *record);
void settings_pack(const dialog_settings *record, unsigned char bytes[DIALOG_SETTINGS_SIZE]);
void settings_unpack(const unsigned char bytes[DIALOG_SETTINGS_SIZE], dialog_settings *record);
int settings_load(const char *path, dialog_settings *record);
int settings_save(const char *path, const dialog_settings *record, int *opened);
void text_copy_cut(char *dst, size_t size, const char *src, size_t max);

/* post_dialog.cpp */
#define POST_DIALOG_FILE "post_sheet_mr_dlg.dlg"
#define POST_BANNER " [ncsheet]"
int show_post_dialog(void);
int post_dialog_constructor(int dialog_id, void *client_data, UF_STYLER_item_value_type_p_t data);
int post_dialog_destructor(int dialog_id, void *client_data, UF_STYLER_item_value_type_p_t data);
int post_dialog_ok(int dialog_id, void *client_data, UF_STYLER_item_value_type_p_t data);
int post_dialog_apply(int dialog_id, void *client_data, UF_STYLER_item_value_type_p_t data);
int post_dialog_cancel(int dialog_id, void *client_data, UF_STYLER_item_value_type_p_t data);
void post_dialog_reset(void);

/* post_process.cpp */
int post_process(prog_entry *list, int count, tag_t setup);
void set_nc_ext(int choice, int menu_item);
void post_reset_state(void);

#endif
