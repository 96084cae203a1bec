/*
** word_scan.h: the word scanner shared by the language and definition file
** readers (private to my_func).
**
** A file is a stream of words separated by blanks, commas and line feeds;
** a word holds at most WORD_MAX_LEN characters, and the character that
** would make it longer empties it instead, as a separator does.  The file
** is opened in text mode, so a carriage return before a line feed is never
** seen.
*/
#ifndef NCSHEET_MY_FUNC_WORD_SCAN_H
#define NCSHEET_MY_FUNC_WORD_SCAN_H

#include "host/host_runtime.h"

#define WORD_MAX_LEN 255
#define WORD_BUFSIZE (WORD_MAX_LEN + 1)

/* Reads file until the current word equals key, comparing after every
** character.  Returns 1 with the file positioned right after the key's
** last character, 0 when the file ended first. */
int scan_find_key(host_file *file, const char *key);

/* Reads a message: the rest of the current line, or the next line that is
** not empty when the rest is empty, cut after WORD_MAX_LEN characters.
** Returns 1 with the text in out (WORD_BUFSIZE bytes), 0 when the file
** ended before the message did (out is then left as it was). */
int scan_read_message(host_file *file, char *out);

/* Reads the next word, skipping separators before it.  With stop_at_eof
** set, a word that reads "EOF" ends the scan at once and sets *eof_met.
** Returns 1 with the word in out (WORD_BUFSIZE bytes), 0 when the file
** ended before the word did (out is then left as it was). */
int scan_read_value(host_file *file, char *out, int stop_at_eof, int *eof_met);

#endif
