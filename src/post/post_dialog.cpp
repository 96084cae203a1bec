/*
** post_dialog.cpp: the post dialog.
**
** Entries: show_post_dialog, its five callbacks (post_dialog_constructor,
** post_dialog_destructor, post_dialog_ok, post_dialog_apply,
** post_dialog_cancel) and post_dialog_reset.  The dialog offers the saved
** settings; OK stores the user's values in the module-level settings and
** in the settings file.
*/
#include "post/post.h"

#include "command/command.h"
#include "host/host.h"
#include "my_func/my_func.h"

#include <string.h>

/* Text shown on the prompt line while the dialog is open. */
#define POST_DIALOG_PROMPT "ncsheet: NC files and program sheet"
/* Longest text a dialog string keeps: the record's field less its
** terminator. */
#define DIALOG_TEXT_MAX (DIALOG_SETTINGS_TEXT_SIZE - 1)
/* The callback table: five callbacks and the terminating entry. */
#define POST_DIALOG_CALLBACK_COUNT 6
/* A status text and its line feed. */
#define STATUS_PRINT_BUFSIZE (UF_FAIL_MESSAGE_BUFSIZE + 2)

/* Dialog values confirmed by the last OK, read by the sheet; they keep
** their values while the module stays loaded. */
char mold_no[MOLD_NO_BUFSIZE] = "";
char part_no[PART_NO_BUFSIZE] = "";
int aix_choice = 0;
int save_aix_layer = AIX_LAYER_DEFAULT;
int part_type_choice = 0;
int desc_choice = 0;
int nc_ext_choice = 0;
int show_ext = 0;

/* The settings record as last read from the settings file (or the
** defaults) and changed by OK; its reserved fields are written back as
** they were read. */
static dialog_settings settings_record = {"", "", 0, AIX_LAYER_DEFAULT, 0, 0, 0, 0, 0, 1};

/* Puts the dialog values and the settings record back to their state at
** module load. */
void post_dialog_reset(void)
{
  mold_no[0] = '\0';
  part_no[0] = '\0';
  aix_choice = 0;
  save_aix_layer = AIX_LAYER_DEFAULT;
  part_type_choice = 0;
  desc_choice = 0;
  nc_ext_choice = 0;
  show_ext = 0;
  settings_defaults(&settings_record);
}

/* Prepares value to address the value of item_id. */
static void value_for(UF_STYLER_item_value_type_t *value, const char *item_id)
{
  memset(value, 0, sizeof *value);
  value->item_id = item_id;
  value->item_attr = UF_STYLER_VALUE;
}

/* Sets the text of string item item_id.  UF_STYLER_set_value is not reported: a control that cannot
** be set stays as it was, in front of the user, who can still change it before OK. */
static void set_text(int dialog_id, const char *item_id, char *text)
{
  UF_STYLER_item_value_type_t value;

  value_for(&value, item_id);
  value.count = 1;
  value.value.string = text;
  (void)UF_STYLER_set_value(dialog_id, &value);
}

/* Sets the value of integer item item_id.  UF_STYLER_set_value is not reported: a control that
** cannot be set stays as it was, in front of the user, who can still change it before OK. */
static void set_integer(int dialog_id, const char *item_id, int number)
{
  UF_STYLER_item_value_type_t value;

  value_for(&value, item_id);
  value.value.integer = number;
  (void)UF_STYLER_set_value(dialog_id, &value);
}

/* Asks the value of item item_id into value; the caller releases it with
** UF_STYLER_free_value.  A failed ask leaves a null text and 0.  UF_STYLER_ask_value is not
** reported: what a failed ask leaves is stored as an empty text or 0, and a layer of 0 brings its
** message. */
static void ask_value(int dialog_id, const char *item_id, UF_STYLER_item_value_type_t *value)
{
  value_for(value, item_id);
  (void)UF_STYLER_ask_value(dialog_id, value);
}

/* Asks and releases the value of integer item item_id; 0 when it cannot
** be asked.  UF_STYLER_free_value is not reported: it gives no status. */
static int ask_integer(int dialog_id, const char *item_id)
{
  UF_STYLER_item_value_type_t value;
  int number;

  ask_value(dialog_id, item_id, &value);
  number = value.value.integer;
  UF_STYLER_free_value(&value);
  return number;
}

/* Stores a dialog text (null for none) in a module-level setting and in a
** record field, both cut to 79 bytes on a character boundary; the field's
** bytes after the text are cleared. */
static void store_text(const char *text, char *setting, size_t setting_size, char *field)
{
  if (text == NULL) {
    text = "";
  }
  text_copy_cut(setting, setting_size, text, DIALOG_TEXT_MAX);
  memset(field, 0, DIALOG_SETTINGS_TEXT_SIZE);
  text_copy_cut(field, DIALOG_SETTINGS_TEXT_SIZE, text, DIALOG_TEXT_MAX);
}

/* Shows the post dialog and runs it until the user closes it.  Returns 1
** when the user confirmed it with valid values (response OK); 0 for Apply,
** Cancel, or a dialog that could not be created (its reason then goes to
** the status line and standard output).  Its host calls are not reported: the bracket's have no
** listing window outside it, and a dialog that cannot be created is told on the status line
** instead. */
int show_post_dialog(void)
{
  UF_STYLER_callback_info_t callbacks[POST_DIALOG_CALLBACK_COUNT] = {
      {UF_STYLER_DIALOG_INDEX, UF_STYLER_CONSTRUCTOR_REASON, 0, post_dialog_constructor},
      {UF_STYLER_DIALOG_INDEX, UF_STYLER_DESTRUCTOR_REASON, 0, post_dialog_destructor},
      {UF_STYLER_DIALOG_INDEX, UF_STYLER_OK_REASON, 0, post_dialog_ok},
      {UF_STYLER_DIALOG_INDEX, UF_STYLER_APPLY_REASON, 0, post_dialog_apply},
      {UF_STYLER_DIALOG_INDEX, UF_STYLER_CANCEL_REASON, 0, post_dialog_cancel},
      {UF_STYLER_NULL_OBJECT, UF_STYLER_NO_REASON, 0, NULL}};
  char message[UF_FAIL_MESSAGE_BUFSIZE] = "";
  char line[STATUS_PRINT_BUFSIZE] = "";
  int response = 0;
  int status;

  if (UF_initialize() != 0) {
    return 0;
  }
  status = UF_STYLER_create_dialog(POST_DIALOG_FILE, callbacks, POST_DIALOG_CALLBACK_COUNT,
                                   NULL, &response);
  if (status != 0) {
    (void)UF_get_fail_message(status, message);
    (void)UF_UI_set_status(message);
    (void)text_format(line, sizeof line, "%s\n", message);
    host_print_stdout(line);
  }
  (void)UF_terminate();
  return response == UF_UI_OK;
}

/* Fills the controls when the dialog opens: the saved settings, except the
** part number, which is the display part's name.  Returns 0 (the dialog
** stays open).  UF_initialize, UF_terminate and UF_UI_set_prompt are not reported: the bracket's
** calls have no listing window outside it, and a prompt not shown changes nothing in the dialog. */
int post_dialog_constructor(int dialog_id, void *client_data, UF_STYLER_item_value_type_p_t data)
{
  char stem[FORMAT_BUFSIZE] = "";

  if (UF_initialize() != 0) {
    return UF_UI_CB_CONTINUE_DIALOG;
  }
  (void)settings_load(DIALOG_SETTINGS_FILE, &settings_record);
  set_text(dialog_id, "STR_0", settings_record.str_0);
  set_text(dialog_id, "STR_1", display_part_stem(stem));
  set_integer(dialog_id, "RADIO_4", settings_record.radio_4);
  set_integer(dialog_id, "INT_3", settings_record.int_3);
  set_integer(dialog_id, "OPTION_6", settings_record.option_6);
  set_integer(dialog_id, "OPTION_9", settings_record.option_9);
  set_integer(dialog_id, "RADIO_7", settings_record.radio_7);
  set_integer(dialog_id, "TOGGLE_8", settings_record.toggle_8);
  (void)UF_UI_set_prompt(POST_DIALOG_PROMPT);
  (void)UF_terminate();
  return UF_UI_CB_CONTINUE_DIALOG;
}

/* Runs when the dialog goes away.  Returns 0.  UF_initialize and UF_terminate are not reported:
** outside the bracket there is no listing window to write. */
int post_dialog_destructor(int dialog_id, void *client_data, UF_STYLER_item_value_type_p_t data)
{
  if (UF_initialize() != 0) {
    return UF_UI_CB_CONTINUE_DIALOG;
  }
  (void)UF_terminate();
  return UF_UI_CB_CONTINUE_DIALOG;
}

/* Stores the dialog's values in the module-level settings and the
** settings file.  Returns 1 to close the dialog with OK; 0 to keep it open:
** a layer outside 1..256 (after a message), a missing message text, or no
** API bracket.  Its host calls are not reported: the bracket's have no listing window outside it,
** UF_STYLER_free_value gives no status, and the message boxes' failure has no one to tell. */
int post_dialog_ok(int dialog_id, void *client_data, UF_STYLER_item_value_type_p_t data)
{
  char message_01[MESSAGE_BUFSIZE] = "";
  char message_02[MESSAGE_BUFSIZE] = "";
  UF_STYLER_item_value_type_t str_0;
  UF_STYLER_item_value_type_t str_1;
  int result = UF_UI_CB_CONTINUE_DIALOG;
  int opened = 0;

  if (UF_initialize() != 0) {
    return UF_UI_CB_CONTINUE_DIALOG;
  }
  if (!read_lang_message("ok_cb_01:", message_01, lang_file)) {
    goto out_terminate;
  }
  if (!read_lang_message("ok_cb_02:", message_02, lang_file)) {
    goto out_terminate;
  }

  ask_value(dialog_id, "STR_0", &str_0);
  ask_value(dialog_id, "STR_1", &str_1);
  store_text(str_0.value.string, mold_no, sizeof mold_no, settings_record.str_0);
  store_text(str_1.value.string, part_no, sizeof part_no, settings_record.str_1);
  aix_choice = settings_record.radio_4 = ask_integer(dialog_id, "RADIO_4");
  save_aix_layer = settings_record.int_3 = ask_integer(dialog_id, "INT_3");
  if (save_aix_layer < AIX_LAYER_MIN || save_aix_layer > AIX_LAYER_MAX) {
    (void)uc1601(message_01, 1);
    goto out_free_values;
  }
  part_type_choice = settings_record.option_6 = ask_integer(dialog_id, "OPTION_6");
  nc_ext_choice = settings_record.option_9 = ask_integer(dialog_id, "OPTION_9");
  desc_choice = settings_record.radio_7 = ask_integer(dialog_id, "RADIO_7");
  show_ext = settings_record.toggle_8 = ask_integer(dialog_id, "TOGGLE_8");

  if (!settings_save(DIALOG_SETTINGS_FILE, &settings_record, &opened) && opened) {
    (void)uc1601(message_02, 1);
  }
  result = UF_UI_CB_EXIT_DIALOG;

out_free_values:
  UF_STYLER_free_value(&str_1);
  UF_STYLER_free_value(&str_0);
out_terminate:
  (void)UF_terminate();
  return result;
}

/* Apply: closes the dialog without storing anything.  Returns 1.  UF_initialize and UF_terminate
** are not reported: outside the bracket there is no listing window to write. */
int post_dialog_apply(int dialog_id, void *client_data, UF_STYLER_item_value_type_p_t data)
{
  if (UF_initialize() != 0) {
    return UF_UI_CB_CONTINUE_DIALOG;
  }
  (void)UF_terminate();
  return UF_UI_CB_EXIT_DIALOG;
}

/* Cancel: closes the dialog without storing anything.  Returns 1.  UF_initialize and UF_terminate
** are not reported: outside the bracket there is no listing window to write. */
int post_dialog_cancel(int dialog_id, void *client_data, UF_STYLER_item_value_type_p_t data)
{
  if (UF_initialize() != 0) {
    return UF_UI_CB_CONTINUE_DIALOG;
  }
  (void)UF_terminate();
  return UF_UI_CB_EXIT_DIALOG;
}
