/*
** config.cpp: the definition file lookups.
**
** Entries: read_config_value (a number) and read_config_value_char (one
** word of text).  Both find the key with the word scanner of the language
** files and take the next word as its value.  Their failure notices are
** composed from messages of the utility library's own language file,
** my_func.txt, loaded only when a notice is due.
*/
#include "my_func/my_func.h"

#include "host/host_runtime.h"
#include "host/ui.h"
#include "my_func/message_keys.h"
#include "my_func/word_scan.h"

#include <stdlib.h>
#include <string.h>

/* Path of my_func.txt. */
#define MY_FUNC_LANG_BUFSIZE 260
/* A notice joins up to four messages, the file and the key twice. */
#define CONFIG_NOTICE_BUFSIZE (4 * MESSAGE_BUFSIZE + 1024 + 2 * WORD_BUFSIZE)
/* Most messages one notice joins. */
#define CONFIG_NOTICE_TEXTS 4

/* How a lookup ended. */
#define CONFIG_FOUND 1
#define CONFIG_NO_FILE 2
#define CONFIG_NO_KEY 3
#define CONFIG_NO_VALUE 4

/* Finds key in file and reads the word after it into word
** (WORD_BUFSIZE bytes).  With numeric set, a value word "EOF" ends the
** scan and sets *eof_met.  Returns one of the CONFIG_ outcomes; the file
** is closed on every way out. */
static int config_lookup(const char *key, const char *file, int numeric, char *word,
                         int *eof_met)
{
  host_file *fp;
  int outcome = CONFIG_NO_KEY;

  *eof_met = 0;
  fp = host_fopen(file, "r");
  if (fp == NULL) {
    return CONFIG_NO_FILE;
  }
  if (scan_find_key(fp, key)) {
    outcome = scan_read_value(fp, word, numeric, eof_met) ? CONFIG_FOUND : CONFIG_NO_VALUE;
  }
  host_fclose(fp);
  return outcome;
}

/* Loads the count messages of keys from my_func.txt into texts, in order.
** Returns 1 when all were found; 0 at the first one missing (the language
** lookup has told the user). */
static int load_notice_texts(const char *const *keys, int count,
                             char texts[CONFIG_NOTICE_TEXTS][MESSAGE_BUFSIZE])
{
  char lang_path[MY_FUNC_LANG_BUFSIZE];
  int i;

  (void)text_format(lang_path, sizeof lang_path, "%s\\" MY_FUNC_LANG_NAME, LANG_FOLDER);
  for (i = 0; i < count; i++) {
    texts[i][0] = '\0';
    if (!read_lang_message(keys[i], texts[i], lang_path)) {
      return 0;
    }
  }
  return 1;
}

/* Tells the user why the number of key could not be read from file.  The message box is not
** reported: its failure has no one to tell. */
static void show_value_notice(int outcome, const char *key, const char *file)
{
  static const char *const no_file_keys[] = {"read_config_value_01:", "read_config_value_02:"};
  static const char *const no_key_keys[] = {"read_config_value_03:", "read_config_value_04:",
                                            "read_config_value_05:", "read_config_value_06:"};
  static const char *const no_value_keys[] = {
      "read_config_value_07:", "read_config_value_08:", "read_config_value_09:"};
  char t[CONFIG_NOTICE_TEXTS][MESSAGE_BUFSIZE];
  char notice[CONFIG_NOTICE_BUFSIZE];

  notice[0] = '\0';
  /* Notices cut to their buffer still tell the user enough. */
  if (outcome == CONFIG_NO_FILE) {
    if (!load_notice_texts(no_file_keys, 2, t)) {
      return;
    }
    (void)text_format(notice, sizeof notice, "%s %s %s", t[0], file, t[1]);
  } else if (outcome == CONFIG_NO_KEY) {
    if (!load_notice_texts(no_key_keys, 4, t)) {
      return;
    }
    (void)text_format(notice, sizeof notice, "%s %s %s %s %s %s %s", t[0], file, t[1], key, t[2],
                      key, t[3]);
  } else {
    if (!load_notice_texts(no_value_keys, 3, t)) {
      return;
    }
    (void)text_format(notice, sizeof notice, "%s %s %s %s %s", t[0], file, t[1], key, t[2]);
  }
  (void)uc1601(notice, 1);
}

/* Tells the user why the word of key could not be read from file.  The message box is not reported:
** its failure has no one to tell. */
static void show_word_notice(int outcome, const char *key, const char *file)
{
  static const char *const no_file_keys[] = {"read_config_value_char_01:",
                                             "read_config_value_char_02:"};
  static const char *const no_key_keys[] = {
      "read_config_value_char_03:", "read_config_value_char_04:", "read_config_value_char_05:"};
  static const char *const no_value_keys[] = {
      "read_config_value_char_06:", "read_config_value_char_07:", "read_config_value_char_08:",
      "read_config_value_char_09:"};
  char t[CONFIG_NOTICE_TEXTS][MESSAGE_BUFSIZE];
  char notice[CONFIG_NOTICE_BUFSIZE];

  notice[0] = '\0';
  /* Notices cut to their buffer still tell the user enough. */
  if (outcome == CONFIG_NO_FILE) {
    if (!load_notice_texts(no_file_keys, 2, t)) {
      return;
    }
    (void)text_format(notice, sizeof notice, "%s %s %s", t[0], file, t[1]);
  } else if (outcome == CONFIG_NO_KEY) {
    if (!load_notice_texts(no_key_keys, 3, t)) {
      return;
    }
    (void)text_format(notice, sizeof notice, "%s %s %s %s %s", t[0], file, t[1], key, t[2]);
  } else {
    if (!load_notice_texts(no_value_keys, 4, t)) {
      return;
    }
    (void)text_format(notice, sizeof notice, "%s %s %s %s %s %s %s", t[0], file, t[1], key, t[2],
                      key, t[3]);
  }
  (void)uc1601(notice, 1);
}

/* Reads the number of key from definition file file into *value.  Returns
** 1 when it was read, or when its value word is EOF (then *value is left
** as the caller set it); 0 after telling the user why not. */
int read_config_value(const char *key, double *value, const char *file)
{
  char word[WORD_BUFSIZE];
  int eof_met = 0;
  int outcome;

  if (file == NULL) {
    file = "";
  }
  if (key == NULL) {
    key = "";
  }
  outcome = config_lookup(key, file, 1, word, &eof_met);
  if (outcome != CONFIG_FOUND) {
    show_value_notice(outcome, key, file);
    return 0;
  }
  if (!eof_met) {
    *value = number_value(word);
  }
  return 1;
}

/* Reads the word of key from definition file file into out (at least
** MESSAGE_BUFSIZE bytes).  Returns 1 when it was read; 0 after telling the
** user why not, out untouched. */
int read_config_value_char(const char *key, char *out, const char *file)
{
  char word[WORD_BUFSIZE];
  int eof_met = 0;
  int outcome;

  if (file == NULL) {
    file = "";
  }
  if (key == NULL) {
    key = "";
  }
  outcome = config_lookup(key, file, 0, word, &eof_met);
  if (outcome != CONFIG_FOUND) {
    show_word_notice(outcome, key, file);
    return 0;
  }
  (void)text_copy(out, MESSAGE_BUFSIZE, word);
  return 1;
}
