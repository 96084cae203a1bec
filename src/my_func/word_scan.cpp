/*
** word_scan.cpp: the word scanner of the language and definition files.
**
** Entries: scan_find_key, scan_read_message, scan_read_value.
*/
#include "my_func/word_scan.h"

#include <string.h>

/* Tells whether c separates two words. */
static int is_separator(int c)
{
  return c == ' ' || c == ',' || c == '\n';
}

/* Reads file until the current word equals key.  1 = found, the file
** stands right after it; 0 = end of file. */
int scan_find_key(host_file *file, const char *key)
{
  char word[WORD_BUFSIZE];
  size_t len = 0;
  size_t key_len = strlen(key);

  for (;;) {
    int c = host_fgetc(file);
    if (c == HOST_EOF) {
      return 0;
    }
    if (is_separator(c) || len >= WORD_MAX_LEN) {
      len = 0;
    } else {
      word[len++] = (char)c;
    }
    if (len == key_len && memcmp(word, key, len) == 0) {
      return 1;
    }
  }
}

/* Reads the message that follows a key.  1 = out holds it; 0 = the file
** ended before the message's line feed, out untouched. */
int scan_read_message(host_file *file, char *out)
{
  char text[WORD_BUFSIZE];
  size_t len = 0;

  for (;;) {
    int c = host_fgetc(file);
    if (c == HOST_EOF) {
      return 0;
    }
    if (c == '\n') {
      if (len == 0) {
        continue;
      }
      break;
    }
    if (len >= WORD_MAX_LEN) {
      break;
    }
    text[len++] = (char)c;
  }
  memcpy(out, text, len);
  out[len] = '\0';
  return 1;
}

/* Reads the value word that follows a key.  1 = out holds it (or the EOF
** word was met); 0 = the file ended before the word did, out untouched. */
int scan_read_value(host_file *file, char *out, int stop_at_eof, int *eof_met)
{
  char word[WORD_BUFSIZE];
  size_t len = 0;

  *eof_met = 0;
  for (;;) {
    int c = host_fgetc(file);
    if (c == HOST_EOF) {
      return 0;
    }
    if (is_separator(c)) {
      if (len == 0) {
        continue;
      }
      break;
    }
    if (len >= WORD_MAX_LEN) {
      break;
    }
    word[len++] = (char)c;
    if (stop_at_eof && len == 3 && memcmp(word, "EOF", 3) == 0) {
      *eof_met = 1;
      break;
    }
  }
  memcpy(out, word, len);
  out[len] = '\0';
  return 1;
}
