/*
** tips.cpp: the tips box.
**
** Entries: did_you_know, tips_are_due, tips_reset_state.  Eleven texts of
** the language file, joined into one message box, shown once per module
** load.
*/
#include "command/tips.h"

#include "command/command.h"
#include "host/ui.h"
#include "my_func/message_keys.h"
#include "my_func/my_func.h"

#define TIP_COUNT DID_YOU_KNO_KEY_COUNT
/* Eleven whole messages and the line feeds between them. */
#define TIPS_TEXT_BUFSIZE (TIP_COUNT * MESSAGE_BUFSIZE + 16)
/* The message dialog's type for the tips box. */
#define TIPS_DIALOG_TYPE 1

/* Set at load; cleared once the tips box has been shown. */
static unsigned char tips_flag = 1;

/* Tells whether the tips box is still to be shown. */
int tips_are_due(void)
{
  return tips_flag != 0;
}

/* Makes the tips box due again. */
void tips_reset_state(void)
{
  tips_flag = 1;
}

/* Loads the eleven tip texts in key order.  Returns 1 when all were
** found; 0 at the first one missing (the lookup has told the user). */
static int load_tips(char tips[TIP_COUNT][MESSAGE_BUFSIZE])
{
  static const char *const keys[TIP_COUNT] = {
      "did_you_kno_01:", "did_you_kno_02:", "did_you_kno_03:", "did_you_kno_04:",
      "did_you_kno_05:", "did_you_kno_06:", "did_you_kno_07:", "did_you_kno_08:",
      "did_you_kno_09:", "did_you_kno_10:", "did_you_kno_11:"};
  int i;

  for (i = 0; i < TIP_COUNT; i++) {
    tips[i][0] = '\0';
    if (!read_lang_message(keys[i], tips[i], lang_file)) {
      return 0;
    }
  }
  return 1;
}

/* Joins the tips into text (TIPS_TEXT_BUFSIZE bytes): an empty line after
** tips 1, 7 and 9, a line feed after every other one but the last. */
static void join_tips(char tips[TIP_COUNT][MESSAGE_BUFSIZE], char *text)
{
  /* What follows each tip. */
  static const char *const after[TIP_COUNT] = {"\n\n", "\n", "\n", "\n", "\n", "\n",
                                               "\n\n", "\n", "\n\n", "\n", ""};
  int i;

  text[0] = '\0';
  /* The buffer holds eleven whole tips: nothing is ever cut. */
  for (i = 0; i < TIP_COUNT; i++) {
    (void)text_append(text, TIPS_TEXT_BUFSIZE, tips[i]);
    (void)text_append(text, TIPS_TEXT_BUFSIZE, after[i]);
  }
}

/* Shows the tips box once per module load.  When a tip text is missing,
** nothing is shown and the box stays due for the next run.  The message dialog is not reported: the
** box only informs, and its failure has no one to tell. */
void did_you_know(void)
{
  char tips[TIP_COUNT][MESSAGE_BUFSIZE];
  char text[TIPS_TEXT_BUFSIZE];
  char *messages[1];
  UF_UI_message_buttons_t buttons;
  int response = 0;

  if (!load_tips(tips)) {
    return;
  }
  join_tips(tips, text);
  messages[0] = text;
  buttons.button1 = TRUE;
  buttons.button2 = FALSE;
  buttons.button3 = FALSE;
  buttons.label1 = "OK";
  buttons.label2 = "BACK";
  buttons.label3 = "NO";
  buttons.response1 = 1;
  buttons.response2 = 2;
  buttons.response3 = 3;
  /* The answer does not matter: the box only informs. */
  (void)UF_UI_message_dialog("", TIPS_DIALOG_TYPE, messages, 1, FALSE, &buttons, &response);
  tips_flag = 0;
}
