/*
** my_func.h: the utility library: language and definition file readers,
** number and text formatting, bounded text helpers, and the workpiece
** bodies and box.
*/
#ifndef NCSHEET_MY_FUNC_H
#define NCSHEET_MY_FUNC_H

#include <stddef.h>

/* Language and definition files (lang.cpp, config.cpp). */
#define MESSAGE_BUFSIZE 256 /* a message: 255 characters and a terminator */
#define CONFIG_PATH "D:\\kv_conf\\config_prog_sheet_mr.def"
#define LANG_FOLDER "D:\\kv_conf\\lang"

int read_lang_message(const char *key, char *out, const char *file);
int load_messages(const char *prefix, char messages[][MESSAGE_BUFSIZE], int count,
                  const char *file);
int read_config_value(const char *key, double *value, const char *file);
int read_config_value_char(const char *key, char *out, const char *file);

/* Number and text formatting (format.cpp).  Output buffers hold at least
** FORMAT_BUFSIZE bytes. */
#define FORMAT_BUFSIZE 80
double abs_value(double value);
double round_places(double value, int places);
char *format_places(double value, int places, char *out);
char *format_places_trim(double value, int places, char *out);
char *display_part_stem(char *out);

/* Bounded text helpers (text.cpp).  Each writes at most size bytes into
** dst, always terminates it when size > 0, and returns 1 when the whole
** text fitted, 0 when it was cut. */
int text_copy(char *dst, size_t size, const char *src);
int text_append(char *dst, size_t size, const char *src);
int text_format(char *dst, size_t size, const char *format, ...)
#if defined(__MINGW32__)
    __attribute__((format(gnu_printf, 3, 4)))
#elif defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
/* Length of the longest prefix of text of at most max bytes that does not
** end inside a double-byte GBK character. */
size_t gbk_prefix_len(const char *text, size_t max);
/* Upper-cases the single-byte letters a to z in place, leaving both bytes
** of every double-byte GBK character alone. */
void gbk_upper(char *text);
/* The last backslash of text that is a character of its own (not the
** second byte of a GBK character), or a null pointer. */
char *gbk_last_backslash(char *text);
/* The number at the start of text (leading blanks, an optional sign,
** digits with an optional point, an optional exponent), 0 when there is
** none; the same on every C runtime. */
double number_value(const char *text);

#endif
