/*
** text.cpp: bounded text helpers and the GBK-aware character walks.
**
** Entries: text_copy, text_append, text_format (every fixed buffer of the
** system is filled through these three), gbk_prefix_len, gbk_upper,
** gbk_last_backslash and number_value.
**
** Numbers in texts are read by one grammar of our own, so that every C
** runtime reads a word alike: leading blanks, an optional sign, digits with
** an optional point and digits, an optional exponent; no hexadecimal, no
** infinity, no NaN.
**
** The texts of the system are in the GBK code page: a byte from 0x81 to
** 0xFE followed by a byte from 0x40 to 0xFE (0x7F excepted) is one
** double-byte character, whose second byte may look like an ASCII letter or
** a backslash.  Every other byte is a character of its own.
*/
#include "my_func/my_func.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The Windows build formats and reads numbers with MinGW-w64's own C99
** printf and strtod (__USE_MINGW_ANSI_STDIO=1, set by its build), not the
** Windows C runtime's, which prints exponents with three digits and long
** fixed-point values with made-up digits: both modules print alike. */
#if defined(__MINGW32__) && !__USE_MINGW_ANSI_STDIO
#error "the Windows build formats with __USE_MINGW_ANSI_STDIO=1"
#endif

/* The number at the start of a word: texts the system reads are shorter. */
#define NUMBER_TEXT_BUFSIZE 320

/* Tells whether text[0] and text[1] form one double-byte GBK character. */
static int gbk_pair_at(const char *text)
{
  unsigned char lead = (unsigned char)text[0];
  unsigned char trail = (unsigned char)text[1];

  if (lead < 0x81 || lead > 0xFE) {
    return 0;
  }
  return trail >= 0x40 && trail <= 0xFE && trail != 0x7F;
}

/* Copies src into dst of size bytes.  Returns 1 when src fitted whole, 0
** when it was cut (dst then holds its first size - 1 bytes).  dst is always
** terminated when size > 0; a null src counts as the empty text. */
int text_copy(char *dst, size_t size, const char *src)
{
  size_t len;

  if (size == 0) {
    return 0;
  }
  if (src == NULL) {
    src = "";
  }
  len = strlen(src);
  if (len >= size) {
    memmove(dst, src, size - 1);
    dst[size - 1] = '\0';
    return 0;
  }
  memmove(dst, src, len + 1);
  return 1;
}

/* Appends src to the text in dst of size bytes.  Returns 1 when src fitted
** whole, 0 when it was cut or dst held no terminator within size bytes (it
** is then terminated at its last byte). */
int text_append(char *dst, size_t size, const char *src)
{
  size_t used;

  if (size == 0) {
    return 0;
  }
  used = strnlen(dst, size);
  if (used == size) {
    dst[size - 1] = '\0';
    return 0;
  }
  return text_copy(dst + used, size - used, src);
}

/* Formats into dst of size bytes as snprintf does.  Returns 1 when the
** whole text fitted, 0 when it was cut or could not be formatted (dst is
** then the cut text, or empty). */
int text_format(char *dst, size_t size, const char *format, ...)
{
  va_list args;
  int needed;

  if (size == 0) {
    return 0;
  }
  va_start(args, format);
  needed = vsnprintf(dst, size, format, args);
  va_end(args);
  if (needed < 0) {
    dst[0] = '\0';
    return 0;
  }
  return (size_t)needed < size;
}

/* Length of the longest prefix of text, at most max bytes, that does not
** end inside a double-byte character. */
size_t gbk_prefix_len(const char *text, size_t max)
{
  size_t at = 0;

  while (at < max && text[at] != '\0') {
    size_t width = gbk_pair_at(text + at) ? 2 : 1;
    if (at + width > max) {
      break;
    }
    at += width;
  }
  return at;
}

/* Turns the single-byte letters a to z of text into A to Z, in place;
** both bytes of a double-byte character stay as they are. */
void gbk_upper(char *text)
{
  while (*text != '\0') {
    if (gbk_pair_at(text)) {
      text += 2;
      continue;
    }
    if (*text >= 'a' && *text <= 'z') {
      *text = (char)(*text - 'a' + 'A');
    }
    text++;
  }
}

/* The last backslash of text that is a character of its own, or a null
** pointer when there is none. */
char *gbk_last_backslash(char *text)
{
  char *last = NULL;

  while (*text != '\0') {
    if (gbk_pair_at(text)) {
      text += 2;
      continue;
    }
    if (*text == '\\') {
      last = text;
    }
    text++;
  }
  return last;
}

/* Length of the run of decimal digits at the start of text. */
static size_t digit_run(const char *text)
{
  size_t n = 0;

  while (text[n] >= '0' && text[n] <= '9') {
    n++;
  }
  return n;
}

/* The number at the start of text: leading blanks, an optional sign,
** digits with an optional point and digits (at least one digit in all),
** an optional exponent (e or E, an optional sign, digits); the reading
** stops at the first character that does not fit.  A text without a
** leading number, or whose number is longer than the system ever reads,
** gives 0.  A magnitude beyond the range of a double gives an infinity. */
double number_value(const char *text)
{
  char number[NUMBER_TEXT_BUFSIZE];
  size_t start;
  size_t len;
  size_t integer_digits;
  size_t fraction_digits = 0;

  start = 0;
  while (text[start] == ' ' || (text[start] >= '\t' && text[start] <= '\r')) {
    start++;
  }
  len = 0;
  if (text[start] == '+' || text[start] == '-') {
    len++;
  }
  integer_digits = digit_run(text + start + len);
  len += integer_digits;
  if (text[start + len] == '.') {
    fraction_digits = digit_run(text + start + len + 1);
    if (integer_digits > 0 || fraction_digits > 0) {
      len += 1 + fraction_digits;
    }
  }
  if (integer_digits == 0 && fraction_digits == 0) {
    return 0.0;
  }
  if (text[start + len] == 'e' || text[start + len] == 'E') {
    size_t sign = text[start + len + 1] == '+' || text[start + len + 1] == '-';
    size_t exponent_digits = digit_run(text + start + len + 1 + sign);

    if (exponent_digits > 0) {
      len += 1 + sign + exponent_digits;
    }
  }
  if (len >= sizeof number) {
    return 0.0;
  }
  /* Only the text matched above is converted: nothing the runtime would
  ** read beyond it (hexadecimal, inf, nan) reaches it. */
  memcpy(number, text + start, len);
  number[len] = '\0';
  return strtod(number, NULL);
}
