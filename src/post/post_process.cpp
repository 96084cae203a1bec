/*
** post_process.cpp: the post run.
**
** Entries: post_process, set_nc_ext and post_reset_state.  The user
** picks a postprocessor from a menu, confirms the post dialog and picks the
** output folder; every existing NC file is replaced only after the user
** agrees.  Each program group is posted into a temporary file, its summary
** line is read into the program list, and the temporary file then takes
** the final name.  An existing NC file steps aside under a side name
** while its replacement takes the final name, and is removed only then,
** so a run that stops or fails loses no file.
*/
#include "post/post.h"

#include "command/command.h"
#include "command/report.h"
#include "host/host.h"
#include "my_func/message_keys.h"
#include "my_func/my_func.h"

#include <stdlib.h>
#include <string.h>

/* Messages "post_pro_01:" to "post_pro_15:"; "post_pro_16:" is loaded only
** when a folder or file name is too long. */
#define POST_MESSAGE_COUNT (POST_PRO_KEY_COUNT - 1)
#define POST_KEY_BUFSIZE 24
/* The postprocessor menu. */
#define POST_MENU_ITEMS 5
#define POST_NAME_MAX (UC1603_ITEM_BUFSIZE - 1)
/* Menu title and file dialog prompt: a message cut to 40 bytes and the
** banner. */
#define POST_TITLE_CUT 40
#define POST_TITLE_BUFSIZE (POST_TITLE_CUT + sizeof POST_BANNER)
/* Composed messages: a few messages and names. */
#define POST_COMPOSED_BUFSIZE 1536
/* A summary line: 131 characters with its line feed, and a terminator. */
#define SUMMARY_READ_SIZE (POST_INFO_BUFSIZE - 1)
#define SUMMARY_PATH_FORMAT "D:\\kv_conf\\temp\\%s.xl"
/* Menu responses. */
#define MENU_FIRST_ITEM 5
#define MENU_LAST_ITEM (MENU_FIRST_ITEM + POST_MENU_ITEMS - 1)
/* Overwrite question: YES and NO buttons. */
#define ANSWER_YES 1
#define ANSWER_BACK 2
#define ANSWER_NO 3

/* Extension of the NC files with its dot, set by every run that gets past
** the dialog; kept while the module stays loaded. */
char nc_ext[NC_EXT_BUFSIZE] = "";
/* Output folder, ending with a backslash: the folder of the last file
** dialog, kept while the module stays loaded. */
char post_dir[POST_DIR_BUFSIZE] = "";

/* Message indexes (key number minus one). */
enum {
  MSG_NAME_TOO_LONG_1 = 0,
  MSG_NAME_TOO_LONG_2 = 1,
  MSG_NAME_TOO_LONG_3 = 2,
  MSG_NAME_TOO_LONG_4 = 3,
  MSG_MENU_TITLE = 4,
  MSG_NOT_A_POST = 5,
  MSG_NOT_A_POST_CHOSEN = 6,
  MSG_REPLACE_QUESTION = 7,
  MSG_CANNOT_REMOVE_NC = 8,
  MSG_NO_SUMMARY = 9,
  MSG_EMPTY_SUMMARY = 10,
  MSG_CANNOT_REMOVE_SUMMARY = 11,
  MSG_CANNOT_RENAME = 12,
  MSG_FILE_PROMPT = 13,
  MSG_FILE_TITLE = 14
};

/* What one post run carries from step to step. */
typedef struct post_run {
  char messages[POST_MESSAGE_COUNT][MESSAGE_BUFSIZE];
  char items[POST_MENU_ITEMS][UC1603_ITEM_BUFSIZE]; /* postprocessor names */
  char post_name[UC1603_ITEM_BUFSIZE];              /* the one chosen */
  int default_item;                                 /* menu default */
  int menu_item;                                    /* 1..5, the item chosen */
} post_run;

/* The NC file names of one program. */
typedef struct nc_names {
  char final_name[POST_FILE_NAME_BUFSIZE]; /* folder, program name, extension */
  char temp_name[POST_FILE_NAME_BUFSIZE];  /* folder, program name, _kv.nc */
  char side_name[POST_FILE_NAME_BUFSIZE];  /* folder, program name, _kv.bak */
} nc_names;

/* Puts nc_ext and post_dir, and the dialog values, back to their state at
** module load. */
void post_reset_state(void)
{
  nc_ext[0] = '\0';
  post_dir[0] = '\0';
  post_dialog_reset();
}

/* Shows message number index of the run in a message box.  The message box is not reported: its
** failure has no one to tell. */
static void show_message(const post_run *run, int index)
{
  (void)uc1601(run->messages[index], 1);
}

/* Refuses a folder or file name that does not fit its buffer: shows the
** message of "post_pro_16:" followed by the name, given in up to three
** pieces.  The message is loaded only here.  The message box is not reported: its failure has no
** one to tell. */
static void show_too_long(const char *piece1, const char *piece2, const char *piece3)
{
  char message[MESSAGE_BUFSIZE] = "";
  char text[POST_COMPOSED_BUFSIZE] = "";

  if (!read_lang_message("post_pro_16:", message, lang_file)) {
    return;
  }
  (void)text_format(text, sizeof text, "%s %s%s%s", message, piece1, piece2, piece3);
  (void)uc1601(text, 1);
}

/* The menu default: the number with its fraction dropped; 0 when it is
** not a number or lies beyond the int range. */
static int default_item_of(double value)
{
  if (!(value > -2147483648.0 && value < 2147483648.0)) {
    return 0;
  }
  return (int)value;
}

/* Reads the menu default and the five postprocessor names.  A name longer
** than an item is told to the user and leaves its item empty.  1 to go
** on; 0 when a key cannot be read (the reader has told the user).  The message box is not reported:
** its failure has no one to tell. */
static int read_menu(post_run *run)
{
  double default_value = 0.0;
  int i;

  if (!read_config_value("post_category_default:", &default_value, CONFIG_PATH)) {
    return 0;
  }
  run->default_item = default_item_of(default_value);
  for (i = 0; i < POST_MENU_ITEMS; i++) {
    char key[POST_KEY_BUFSIZE] = "";
    char name[MESSAGE_BUFSIZE] = "";
    char text[POST_COMPOSED_BUFSIZE] = "";

    (void)text_format(key, sizeof key, "post_category_%d:", i + 1);
    if (!read_config_value_char(key, name, CONFIG_PATH)) {
      return 0;
    }
    if (strlen(name) > POST_NAME_MAX) {
      (void)text_format(text, sizeof text, "%s %s %s\n%s %s %s",
                        run->messages[MSG_NAME_TOO_LONG_1], name,
                        run->messages[MSG_NAME_TOO_LONG_2], run->messages[MSG_NAME_TOO_LONG_3],
                        CONFIG_PATH, run->messages[MSG_NAME_TOO_LONG_4]);
      (void)uc1601(text, 1);
      run->items[i][0] = '\0';
      continue;
    }
    (void)text_copy(run->items[i], sizeof run->items[i], name);
  }
  return 1;
}

/* Builds a title from message index cut to 40 bytes and the banner. */
static void banner_title(const post_run *run, int index, char title[POST_TITLE_BUFSIZE])
{
  text_copy_cut(title, POST_TITLE_BUFSIZE, run->messages[index], POST_TITLE_CUT);
  (void)text_append(title, POST_TITLE_BUFSIZE, POST_BANNER);
}

/* Shows the postprocessor menu.  1 with the chosen name and item in run;
** 0 on Back or Cancel, or after a message when the item chosen is the
** text of "post_pro_06:".  The menu is not reported: uc1603 answers the user's choice, not a
** status. */
static int choose_postprocessor(post_run *run)
{
  char title[POST_TITLE_BUFSIZE] = "";
  int response;

  banner_title(run, MSG_MENU_TITLE, title);
  response = uc1603(title, run->default_item, run->items, POST_MENU_ITEMS);
  if (response < MENU_FIRST_ITEM || response > MENU_LAST_ITEM) {
    return 0;
  }
  run->menu_item = response - MENU_FIRST_ITEM + 1;
  (void)text_copy(run->post_name, sizeof run->post_name, run->items[response - MENU_FIRST_ITEM]);
  if (strcmp(run->post_name, run->messages[MSG_NOT_A_POST]) == 0) {
    show_message(run, MSG_NOT_A_POST_CHOSEN);
    return 0;
  }
  return 1;
}

/* Sets nc_ext from the dialog's extension choice; with choice 0 the
** extension follows menu_item (1 to 5), the chosen postprocessor's place.
** Any other choice leaves nc_ext as it was. */
void set_nc_ext(int choice, int menu_item)
{
  static const char *const by_item[POST_MENU_ITEMS] = {".mpf", ".nc", ".nc", ".pim", ".h"};
  static const char *const by_choice[NC_EXT_CHOICE_COUNT] = {"",    ".mpf", ".nc", ".pim",
                                                             ".ptp", ".h",   ".i"};

  if (choice == 0) {
    if (menu_item >= 1 && menu_item <= POST_MENU_ITEMS) {
      (void)text_copy(nc_ext, sizeof nc_ext, by_item[menu_item - 1]);
    }
    return;
  }
  if (choice > 0 && choice < NC_EXT_CHOICE_COUNT) {
    (void)text_copy(nc_ext, sizeof nc_ext, by_choice[choice]);
  }
}

/* Fills post_dir from "post_folder:" when it is still empty.  1 to go on;
** 0 when the key cannot be read or the folder does not fit (post_dir is
** then unchanged). */
static int offer_configured_folder(void)
{
  char folder[MESSAGE_BUFSIZE] = "";

  if (post_dir[0] != '\0') {
    return 1;
  }
  if (!read_config_value_char("post_folder:", folder, CONFIG_PATH)) {
    return 0;
  }
  if (strlen(folder) >= sizeof post_dir) {
    show_too_long(folder, "", "");
    return 0;
  }
  (void)text_copy(post_dir, sizeof post_dir, folder);
  return 1;
}

/* Shows the file dialog on post_dir with the first program's NC file name
** and takes the folder of the user's answer into post_dir.  1 to go on; 0
** on Cancel, an answer without a folder, or a name that does not fit
** (after a message); post_dir is then as it was before the run. */
static int choose_folder(const post_run *run, const char *first_name)
{
  char kept_dir[POST_DIR_BUFSIZE] = "";
  char filter[POST_FILE_NAME_BUFSIZE] = "";
  char prompt[POST_TITLE_BUFSIZE] = "";
  char default_name[1] = "";
  char filename[UF_UI_FILENAME_BUFSIZE] = "";
  char folder[POST_FOLDER_BUFSIZE] = "";
  const char *title = run->messages[MSG_FILE_TITLE];
  char *last_backslash;
  size_t folder_len;
  int resp = 0;

  (void)text_copy(kept_dir, sizeof kept_dir, post_dir);
  if (!offer_configured_folder()) {
    return 0;
  }
  if (!text_format(filter, sizeof filter, "%s%s%s", post_dir, first_name, nc_ext)) {
    show_too_long(post_dir, first_name, nc_ext);
    goto out_restore;
  }

  banner_title(run, MSG_FILE_PROMPT, prompt);
  (void)UF_CALL_TEXT("UF_UI_create_filebox(prompt, title, post_dir, default_name, filename, &resp)",
                     UF_UI_create_filebox(prompt, title, filter, default_name, filename, &resp));
  if (resp == UF_UI_CANCEL) {
    goto out_restore;
  }
  last_backslash = gbk_last_backslash(filename);
  if (last_backslash == NULL) {
    goto out_restore;
  }
  folder_len = (size_t)(last_backslash - filename) + 1;
  if (folder_len >= sizeof folder) {
    show_too_long(filename, "", "");
    goto out_restore;
  }
  memcpy(folder, filename, folder_len);
  folder[folder_len] = '\0';
  (void)text_copy(post_dir, sizeof post_dir, folder);
  return 1;

out_restore:
  (void)text_copy(post_dir, sizeof post_dir, kept_dir);
  return 0;
}

/* Forms the final and temporary NC file names of entry in post_dir.  1
** when both fit; 0 after the too-long message. */
static int form_nc_names(const prog_entry *entry, nc_names *names)
{
  if (!text_format(names->final_name, sizeof names->final_name, "%s%s%s", post_dir,
                   entry->prog_name, nc_ext) ||
      !text_format(names->temp_name, sizeof names->temp_name, "%s%s_kv.nc", post_dir,
                   entry->prog_name) ||
      !text_format(names->side_name, sizeof names->side_name, "%s%s_kv.bak", post_dir,
                   entry->prog_name)) {
    show_too_long(post_dir, entry->prog_name, nc_ext);
    return 0;
  }
  return 1;
}

/* Tells whether a file of that name can be opened for reading. */
static int file_exists(const char *path)
{
  host_file *file = host_fopen(path, "rb");

  if (file == NULL) {
    return 0;
  }
  (void)host_fclose(file);
  return 1;
}

/* Asks whether existing NC file final_name may be replaced.  1 for YES;
** 0 for NO or any other answer.  The message dialog is not reported: a failed one answers no YES,
** so the file is kept and the run stops, as for NO. */
static int ask_replace(const post_run *run, const char *final_name)
{
  char line[POST_COMPOSED_BUFSIZE] = "";
  char *messages[1];
  UF_UI_message_buttons_t buttons;
  int response = 0;

  (void)text_format(line, sizeof line, "%s  %s", final_name, run->messages[MSG_REPLACE_QUESTION]);
  messages[0] = line;
  memset(&buttons, 0, sizeof buttons);
  buttons.button1 = TRUE;
  buttons.button2 = FALSE;
  buttons.button3 = TRUE;
  buttons.label1 = "YES";
  buttons.label2 = "BACK";
  buttons.label3 = "NO";
  buttons.response1 = ANSWER_YES;
  buttons.response2 = ANSWER_BACK;
  buttons.response3 = ANSWER_NO;
  (void)UF_UI_message_dialog("", UF_UI_MESSAGE_WARNING, messages, 1, FALSE, &buttons, &response);
  return response == ANSWER_YES;
}

/* Asks, in list order, before each existing NC file is replaced, and marks
** approved[i] for the files the user agreed to replace; nothing is removed
** here.  1 to go on; 0 on NO or a name that does not fit. */
static int confirm_overwrites(const post_run *run, const prog_entry *list, int count,
                              unsigned char *approved)
{
  nc_names names;
  int i;

  for (i = 0; i < count; i++) {
    if (!form_nc_names(&list[i], &names)) {
      return 0;
    }
    if (!file_exists(names.final_name)) {
      continue;
    }
    if (!ask_replace(run, names.final_name)) {
      return 0;
    }
    approved[i] = 1;
  }
  return 1;
}

/* The program group named name, or the null tag when no object of that
** name is a program group.  UF_OBJ_cycle_by_name is not reported: a failed cycle ends the search as
** its end does, and the record is skipped. */
static tag_t find_program_group(const char *name)
{
  tag_t object = NULL_TAG;

  for (;;) {
    int type = 0;
    int subtype = 0;

    if (UF_OBJ_cycle_by_name(name, &object) != 0 || object == NULL_TAG) {
      return NULL_TAG;
    }
    (void)UF_OBJ_ask_type_and_subtype(object, &type, &subtype);
    if (type == UF_machining_ncgroup_type && subtype == UF_machining_program_grp_subtype) {
      return object;
    }
  }
}

/* Reads the first line of entry's summary file into its post_info and
** removes the file.  1 to go on (also when the file cannot be removed,
** after a message); 0 after a message when the file is missing or
** empty. */
static int read_summary(const post_run *run, prog_entry *entry)
{
  char path[POST_FILE_NAME_BUFSIZE] = "";
  char line[POST_INFO_BUFSIZE] = "";
  host_file *file;

  (void)text_format(path, sizeof path, SUMMARY_PATH_FORMAT, entry->prog_name);
  file = host_fopen(path, "r");
  if (file == NULL) {
    show_message(run, MSG_NO_SUMMARY);
    return 0;
  }
  if (host_fgets(line, SUMMARY_READ_SIZE, file) == NULL) {
    (void)host_fclose(file);
    show_message(run, MSG_EMPTY_SUMMARY);
    return 0;
  }
  (void)text_copy(entry->post_info, sizeof entry->post_info, line);
  (void)host_fclose(file);
  if (host_remove(path) != 0) {
    show_message(run, MSG_CANNOT_REMOVE_SUMMARY);
  }
  return 1;
}

/* Gives the temporary NC file its final name.  An existing file the user
** agreed to replace first steps aside under the side name and is removed
** once its replacement has the final name.  1 on success, also when the
** old file cannot be removed at the end (after a message; it stays under
** the side name).  0 after a message when the old file cannot step aside
** (both files stay as they were) or the final rename fails (the old file
** is put back). */
static int install_nc_file(const post_run *run, const nc_names *names, int approved)
{
  int old_aside = 0;

  if (!file_exists(names->temp_name)) {
    show_message(run, MSG_CANNOT_RENAME);
    return 0;
  }
  if (approved && file_exists(names->final_name)) {
    (void)host_remove(names->side_name);
    if (host_rename(names->final_name, names->side_name) != 0) {
      show_message(run, MSG_CANNOT_REMOVE_NC);
      return 0;
    }
    old_aside = 1;
  }
  if (host_rename(names->temp_name, names->final_name) != 0) {
    if (old_aside) {
      (void)host_rename(names->side_name, names->final_name);
    }
    show_message(run, MSG_CANNOT_RENAME);
    return 0;
  }
  if (old_aside && host_remove(names->side_name) != 0) {
    show_message(run, MSG_CANNOT_REMOVE_NC);
  }
  return 1;
}

/* Posts one program: runs the postprocessor into the temporary file, reads
** the summary and installs the NC file.  A record whose name is no
** program group is skipped.  1 to go on; 0 after a message.  UF_SETUP_generate_program is not
** reported: a run that fails leaves no summary file, and the message for a missing summary tells
** the user. */
static int post_program(const post_run *run, prog_entry *entry, tag_t setup, int approved)
{
  nc_names names;
  tag_t group;

  group = find_program_group(entry->prog_name);
  if (group == NULL_TAG) {
    return 1;
  }
  if (!form_nc_names(entry, &names)) {
    return 0;
  }
  (void)host_remove(names.temp_name);
  (void)UF_SETUP_generate_program(setup, group, run->post_name, names.temp_name, 1);
  if (!read_summary(run, entry)) {
    return 0;
  }
  return install_nc_file(run, &names, approved);
}

/* Posts every record of list (count records) with setup.  Returns 1 when
** every program was posted or skipped; 0 after a message, or when the
** user stopped (menu Back or Cancel, dialog not confirmed, file dialog
** cancelled, NO to a replacement).  Fills each posted record's post_info;
** sets nc_ext and post_dir.  The message box is not reported: its failure has no one to tell. */
int post_process(prog_entry *list, int count, tag_t setup)
{
  post_run run;
  unsigned char *approved = NULL;
  int result = 0;
  int i;

  memset(&run, 0, sizeof run);
  if (count < 0) {
    count = 0;
  }
  if (!load_messages("post_pro_", run.messages, POST_MESSAGE_COUNT, lang_file)) {
    return 0;
  }
  if (setup == NULL_TAG) {
    (void)uc1601("setup is null", 1);
    return 0;
  }
  if (!read_menu(&run)) {
    return 0;
  }
  if (!choose_postprocessor(&run)) {
    return 0;
  }
  if (!show_post_dialog()) {
    return 0;
  }
  set_nc_ext(nc_ext_choice, run.menu_item);
  if (!choose_folder(&run, count > 0 ? list[0].prog_name : "")) {
    return 0;
  }

  approved = (unsigned char *)calloc((size_t)count + 1, 1);
  if (approved == NULL) {
    return 0;
  }
  if (!confirm_overwrites(&run, list, count, approved)) {
    goto out_free_approved;
  }
  for (i = 0; i < count; i++) {
    if (!post_program(&run, &list[i], setup, approved[i])) {
      goto out_free_approved;
    }
  }
  result = 1;

out_free_approved:
  free(approved);
  return result;
}
