/*
** lang.cpp: the language file lookup.
**
** Entry: read_lang_message.  Every user message of the command is looked
** up by key in a language file; the three notices below, for a file or a
** message that cannot be had, are the lookup's only built-in texts.
*/
#include "my_func/my_func.h"

#include "host/host_runtime.h"
#include "host/ui.h"
#include "my_func/word_scan.h"

#include <string.h>

/* A notice names the file and the key twice: room for a long path, two
** whole keys and the fixed text. */
#define LANG_NOTICE_BUFSIZE (1024 + 2 * WORD_BUFSIZE)
#define LANG_KEY_BUFSIZE 32 /* a message key: a prefix, two digits and a colon */

/* "找不到 %s 语言配置文件,请重新安装!" (file) */
#define LANG_NO_FILE_FORMAT                                                                      \
  "\xd5\xd2\xb2\xbb\xb5\xbd %s \xd3\xef\xd1\xd4\xc5\xe4\xd6\xc3\xce\xc4\xbc\xfe,\xc7\xeb\xd6\xd8" \
  "\xd0\xc2\xb0\xb2\xd7\xb0!"
/* "在 %s 文件中找不到 %s 标题,请查看标题否正确!" (file, key) */
#define LANG_NO_KEY_FORMAT                                                                       \
  "\xd4\xda %s \xce\xc4\xbc\xfe\xd6\xd0\xd5\xd2\xb2\xbb\xb5\xbd %s \xb1\xea\xcc\xe2,\xc7\xeb\xb2" \
  "\xe9\xbf\xb4\xb1\xea\xcc\xe2\xb7\xf1\xd5\xfd\xc8\xb7!"
/* "在 %s 文件中读数据错误,找不到 %s 的数据,请查看是否有 %s 的数据!"
** (file, key, key) */
#define LANG_NO_TEXT_FORMAT                                                                      \
  "\xd4\xda %s \xce\xc4\xbc\xfe\xd6\xd0\xb6\xc1\xca\xfd\xbe\xdd\xb4\xed\xce\xf3,\xd5\xd2\xb2\xbb" \
  "\xb5\xbd %s \xb5\xc4\xca\xfd\xbe\xdd,\xc7\xeb\xb2\xe9\xbf\xb4\xca\xc7\xb7\xf1\xd3\xd0 %s "     \
  "\xb5\xc4\xca\xfd\xbe\xdd!"

/* What a failed lookup could not have. */
#define LANG_NO_FILE 1
#define LANG_NO_KEY 2
#define LANG_NO_TEXT 3

/* Shows the notice of a lookup that failed for reason why.  The message box is not reported: its
** failure has no one to tell. */
static void show_lang_notice(int why, const char *file, const char *key)
{
  char notice[LANG_NOTICE_BUFSIZE];

  notice[0] = '\0';
  /* A notice cut to its buffer still tells the user enough. */
  if (why == LANG_NO_FILE) {
    (void)text_format(notice, sizeof notice, LANG_NO_FILE_FORMAT, file);
  } else if (why == LANG_NO_KEY) {
    (void)text_format(notice, sizeof notice, LANG_NO_KEY_FORMAT, file, key);
  } else {
    (void)text_format(notice, sizeof notice, LANG_NO_TEXT_FORMAT, file, key, key);
  }
  (void)uc1601(notice, 1);
}

/* Looks up the message of key in language file file and copies it to out
** (MESSAGE_BUFSIZE bytes).  Returns 1 when found; 0 after telling the user
** why not, out untouched. */
int read_lang_message(const char *key, char *out, const char *file)
{
  char text[WORD_BUFSIZE];
  host_file *fp;
  int found;
  int ended = 0;

  if (file == NULL) {
    file = "";
  }
  if (key == NULL) {
    key = "";
  }
  fp = host_fopen(file, "r");
  if (fp == NULL) {
    show_lang_notice(LANG_NO_FILE, file, key);
    return 0;
  }
  found = scan_find_key(fp, key);
  if (found) {
    ended = scan_read_message(fp, text);
  }
  host_fclose(fp);
  if (!found) {
    show_lang_notice(LANG_NO_KEY, file, key);
    return 0;
  }
  if (!ended) {
    show_lang_notice(LANG_NO_TEXT, file, key);
    return 0;
  }
  (void)text_copy(out, MESSAGE_BUFSIZE, text);
  return 1;
}

/* Loads the count messages "<prefix>01:", "<prefix>02:" ... of language
** file file into messages, in key order.  Returns 1 when all were found; 0
** at the first one missing (the lookup has told the user). */
int load_messages(const char *prefix, char messages[][MESSAGE_BUFSIZE], int count,
                  const char *file)
{
  char key[LANG_KEY_BUFSIZE];
  int i;

  for (i = 0; i < count; i++) {
    (void)text_format(key, sizeof key, "%s%02d:", prefix, i + 1);
    if (!read_lang_message(key, messages[i], file)) {
      return 0;
    }
  }
  return 1;
}
