/*
** table_values.cpp: the values of one operation row.
**
** Entries: split_post_info (a summary line into its twelve values),
** program_name_text, depth_value, time_value, add_saturating,
** time_cell_text and total_text.  The summary line comes from a
** postprocessor outside the system, so every value is cut to its buffer
** without splitting a double-byte character, numbers that are out of any
** sensible range count as 0, and integers saturate instead of overflowing.
*/
#include "sheet/sheet.h"

#include "my_func/my_func.h"

#include <ctype.h>
#include <limits.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

/* Tells whether c separates two values of a summary line. */
static int is_value_separator(char c)
{
  return c == ' ' || c == '\n';
}

/* Copies the first len bytes of src into out (ROW_VALUE_BUFSIZE bytes),
** cut before a double-byte character that would not fit whole. */
static void copy_value(const char *src, size_t len, char out[ROW_VALUE_BUFSIZE])
{
  size_t keep = len < ROW_VALUE_BUFSIZE - 1 ? len : ROW_VALUE_BUFSIZE - 1;

  keep = gbk_prefix_len(src, keep);
  memcpy(out, src, keep);
  out[keep] = '\0';
}

/* Splits post_info into exactly twelve values, left to right.  A value is
** a run of bytes other than blank and line feed; any number of separators
** count as one; values missing at the end are empty and whatever follows
** the twelfth value is ignored. */
void split_post_info(const char *post_info, row_values *values)
{
  const char *at = post_info != NULL ? post_info : "";
  int i;

  for (i = 0; i < ROW_VALUE_COUNT; i++) {
    size_t len = 0;

    while (*at != '\0' && is_value_separator(*at)) {
      at++;
    }
    while (at[len] != '\0' && !is_value_separator(at[len])) {
      len++;
    }
    copy_value(at, len, values->value[i]);
    at += len;
  }
}

/* Writes the program name cell: name as it is, or, when show_ext is
** non-zero, name with nc_ext appended and the single-byte letters
** upper-cased.  The text is cut to 79 bytes. */
void program_name_text(const char *name, int show_ext, const char *nc_ext,
                       char out[ROW_VALUE_BUFSIZE])
{
  char joined[2 * ROW_VALUE_BUFSIZE];

  (void)text_copy(joined, sizeof joined, name);
  if (show_ext) {
    (void)text_append(joined, sizeof joined, nc_ext);
  }
  copy_value(joined, strlen(joined), out);
  if (show_ext) {
    gbk_upper(out);
  }
}

/* Reads a depth as the definition file's numbers are read; a text that is
** no number and a magnitude beyond ROW_DEPTH_LIMIT read as 0. */
double depth_value(const char *text)
{
  double value = number_value(text);

  if (!isfinite(value) || fabs(value) > ROW_DEPTH_LIMIT) {
    return 0.0;
  }
  return value;
}

/* Reads a whole number as atoi does (leading white space, an optional
** sign and the leading digits; no digits give 0), saturating at INT_MAX
** and INT_MIN instead of overflowing. */
int time_value(const char *text)
{
  int negative = 0;
  long long value = 0;

  while (isspace((unsigned char)*text)) {
    text++;
  }
  if (*text == '+' || *text == '-') {
    negative = *text == '-';
    text++;
  }
  while (*text >= '0' && *text <= '9') {
    if (value <= (long long)INT_MAX + 1) {
      value = value * 10 + (*text - '0');
    }
    text++;
  }
  if (negative) {
    value = -value;
  }
  if (value > INT_MAX) {
    return INT_MAX;
  }
  if (value < INT_MIN) {
    return INT_MIN;
  }
  return (int)value;
}

/* total + amount, held within INT_MIN and INT_MAX. */
int add_saturating(int total, int amount)
{
  long long sum = (long long)total + amount;

  if (sum > INT_MAX) {
    return INT_MAX;
  }
  if (sum < INT_MIN) {
    return INT_MIN;
  }
  return (int)sum;
}

/* Writes the time cell of value text and gives in *counted what it adds
** to the running total: a time that reads as 0 shows and counts 1, any
** other shows as it stands and counts its whole number. */
void time_cell_text(const char *text, char out[ROW_VALUE_BUFSIZE], int *counted)
{
  int value = time_value(text);

  if (value == 0) {
    (void)text_copy(out, ROW_VALUE_BUFSIZE, "1");
    *counted = 1;
    return;
  }
  copy_value(text, strlen(text), out);
  *counted = value;
}

/* Writes a total row's text: a blank, the label and the total, padded so
** that totals of up to five characters end in the same column. */
void total_text(const char *label, int total, char out[TOTAL_TEXT_BUFSIZE])
{
  char digits[16] = "";
  size_t len;

  (void)text_format(digits, sizeof digits, "%d", total);
  len = strlen(digits);
  if (len <= 1) {
    (void)text_format(out, TOTAL_TEXT_BUFSIZE, " %s    %d", label, total);
  } else if (len == 2) {
    (void)text_format(out, TOTAL_TEXT_BUFSIZE, " %s   %d", label, total);
  } else if (len == 3) {
    (void)text_format(out, TOTAL_TEXT_BUFSIZE, " %s  %d", label, total);
  } else if (len == 4) {
    (void)text_format(out, TOTAL_TEXT_BUFSIZE, " %s %d", label, total);
  } else {
    (void)text_format(out, TOTAL_TEXT_BUFSIZE, " %s%d", label, total);
  }
}
