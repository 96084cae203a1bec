/*
** ufusr.cpp: the command driver.
**
** Entry: ufusr, the module's only export.  It opens the API bracket, loads
** the driver's messages, checks that a part is displayed in the CAM or
** Drafting application, sets an undo mark, asks for the CAM setup, shows
** the tips box on the first run, and then runs the stages in order; the
** first stage that stops ends the command.  The bracket is closed exactly
** once on every way out.
*/
#include "command/command.h"

#include "command/drafting_prefs.h"
#include "command/report.h"
#include "command/tips.h"
#include "host/cam.h"
#include "host/core.h"
#include "host/ui.h"
#include "my_func/message_keys.h"
#include "my_func/my_func.h"
#include "post/post.h"
#include "selection/selection.h"
#include "sheet/sheet.h"

#include <stdlib.h>

/* Path of the command's language file, built by ufusr on every run. */
char lang_file[LANG_FILE_BUFSIZE];

/* The driver's three messages. */
typedef struct driver_messages {
  char no_part[MESSAGE_BUFSIZE];    /* no part is displayed */
  char bad_module[MESSAGE_BUFSIZE]; /* neither CAM nor Drafting */
  char no_setup[MESSAGE_BUFSIZE];   /* the CAM setup cannot be had */
} driver_messages;

/* Builds the path of the command's language file into lang_file. */
static void build_lang_file(void)
{
  /* The folder and name are fixed and fit. */
  (void)text_format(lang_file, sizeof lang_file, "%s\\" COMMAND_LANG_NAME, LANG_FOLDER);
}

/* Loads the driver's messages.  Returns 1 when all three were found; 0 at
** the first one missing (the lookup has told the user). */
static int load_driver_messages(driver_messages *m)
{
  m->no_part[0] = '\0';
  m->bad_module[0] = '\0';
  m->no_setup[0] = '\0';
  if (!read_lang_message("ufusr_01:", m->no_part, lang_file)) {
    return 0;
  }
  if (!read_lang_message("ufusr_02:", m->bad_module, lang_file)) {
    return 0;
  }
  return read_lang_message("ufusr_03:", m->no_setup, lang_file);
}

/* Checks that a part is displayed.  Returns 1 when one is; 0 after showing
** the message.  UF_PART_ask_display_part and the message box are not reported: the one answers a
** tag, not a status, and the other's failure has no one to tell. */
static int check_display_part(const driver_messages *m)
{
  if (UF_PART_ask_display_part() == NULL_TAG) {
    (void)uc1601(m->no_part, 1);
    return 0;
  }
  return 1;
}

/* Checks that the current application is CAM or Drafting.  Returns 1 when
** it is; 0 after showing the message.  UF_ask_application_module and the message box are not
** reported: a failed ask counts as the wrong application, which the message tells, and the box's
** failure has no one to tell. */
static int check_application(const driver_messages *m)
{
  int module_id = 0;

  if (UF_ask_application_module(&module_id) != 0) {
    module_id = 0;
  }
  if (module_id != UF_APP_CAM && module_id != UF_APP_DRAFTING) {
    (void)uc1601(m->bad_module, 1);
    return 0;
  }
  return 1;
}

/* Sets a visible undo mark without a name, so that the user can take back
** what the command does to the part.  A failure is reported only. */
static void set_undo_mark(void)
{
  UF_UNDO_mark_id_t mark_id = 0;

  UF_CALL_TEXT("UF_UNDO_set_mark( UF_UNDO_visible, NULL, &mark_id )",
               UF_UNDO_set_mark(UF_UNDO_visible, NULL, &mark_id));
}

/* Asks the CAM setup of the displayed part into *setup.  Returns 1 when
** the host gave an answer (a null setup included); 0 after showing the
** message.  UF_SETUP_ask_setup and the message box are not reported: a failed ask is what the
** message tells, and the box's failure has no one to tell. */
static int ask_setup(const driver_messages *m, tag_t *setup)
{
  *setup = NULL_TAG;
  if (UF_SETUP_ask_setup(setup) != 0) {
    (void)uc1601(m->no_setup, 1);
    return 0;
  }
  return 1;
}

/* Steps before the stages: the language file, the driver's messages, a
** displayed part in the CAM or Drafting application, the undo mark and the
** CAM setup, stored in *setup.  Returns 1 to go on; 0 when a check failed
** (the user has been told). */
static int run_checks(tag_t *setup)
{
  driver_messages messages;

  build_lang_file();
  if (!load_driver_messages(&messages)) {
    return 0;
  }
  if (!check_display_part(&messages)) {
    return 0;
  }
  if (!check_application(&messages)) {
    return 0;
  }
  set_undo_mark();
  return ask_setup(&messages, setup);
}

/* Builds the program sheet of the count records of list with the sheet's
** drafting and lettering preferences, and puts the user's back afterwards
** whether the sheet was completed or not (drafting preferences 3, 13 and
** 16 keep the sheet's values).  1 when the sheet is complete; 0 when it
** stopped (the user has been told). */
static int run_sheet(prog_entry *list, int count, tag_t prev_oper_mcs)
{
  sheet_prefs prefs;
  int result;

  sheet_prefs_apply(&prefs);
  result = prog_draw_note(list, count, prev_oper_mcs);
  sheet_prefs_restore(&prefs);
  return result;
}

/* The stages, in order: the tips box, the program collection, the post
** run and the program sheet.  The program list belongs to this routine
** from its collection to its end.  Returns 1 when every stage went on;
** 0 at the first that stopped (it has told the user). */
static int run_stages(tag_t setup)
{
  prog_entry *prog_list = NULL;
  int prog_count = 0;
  tag_t prev_oper_mcs = NULL_TAG;
  int result = 0;

  if (tips_are_due()) {
    did_you_know();
  }
  if (!select_all(&prog_list, &prog_count, &prev_oper_mcs)) {
    return 0;
  }
  if (!post_process(prog_list, prog_count, setup)) {
    goto out_free_list;
  }
  result = run_sheet(prog_list, prog_count, prev_oper_mcs);

out_free_list:
  free(prog_list);
  return result;
}

/* Runs the command inside the API bracket.  Returns 1 when it came to its
** normal end; 0 when a check or a stage stopped it. */
static int run_command(void)
{
  tag_t setup = NULL_TAG;

  if (!run_checks(&setup)) {
    return 0;
  }
  return run_stages(setup);
}

/* The command.  The host's parameter string, return code and length are
** not used.  UF_initialize and UF_terminate are not reported: outside the bracket there is no
** listing window; their status is shown as the final one, unless a stage stopped and told the
** user. */
extern "C" void ufusr(char *param, int *retcode, int param_len)
{
  int status;

  status = UF_initialize();
  if (status != 0) {
    report_final_status(status);
    return;
  }
  if (run_command()) {
    report_final_status(UF_terminate());
    return;
  }
  (void)UF_terminate();
}

/* Puts the driver's module-level values back to their load-time state. */
void command_reset_state(void)
{
  lang_file[0] = '\0';
  tips_reset_state();
}
