/*
** format.cpp: rounding and writing of numbers, and the display part's bare
** name.
**
** Entries: abs_value, round_places, format_places, format_places_trim and
** display_part_stem.  The rounding works on the decimal text of a number:
** the half unit of the last kept place is added away from zero, the sum is
** written with six decimals and the text is cut after the kept places, so
** that a value that prints as 2.345 rounds to 2.35.  A value that is not
** finite is written as 0, whatever the runtime would print for it.  Nothing
** here touches the C locale; the text always has a decimal point.
*/
#include "my_func/my_func.h"

#include "host/core.h"

#include <math.h>
#include <stdlib.h>
#include <string.h>

/* Places used for a place count outside 0 to 3. */
#define DEFAULT_PLACES 4
/* Bare file name of the display part: 79 characters. */
#define STEM_BUFSIZE 80

/* The place count the rounding uses for places. */
static int effective_places(int places)
{
  if (places < 0 || places > 3) {
    return DEFAULT_PLACES;
  }
  return places;
}

/* Writes into work (FORMAT_BUFSIZE bytes) the text of value rounded half
** away from zero, cut after the point and places digits; the point stays
** even with 0 places. */
static void round_text(double value, int places, char *work)
{
  static const double half_unit[DEFAULT_PLACES + 1] = {0.5, 0.05, 0.005, 0.0005, 0.00005};
  double half = half_unit[places];
  char *point;

  if (!isfinite(value)) {
    value = 0.0;
  }
  /* Values of 1e72 and more are outside the range; their text is cut. */
  (void)text_format(work, FORMAT_BUFSIZE, "%f", value < 0 ? value - half : value + half);
  point = strchr(work, '.');
  if (point != NULL && strlen(point + 1) > (size_t)places) {
    point[1 + places] = '\0';
  }
}

/* The absolute value of value. */
double abs_value(double value)
{
  return value < 0 ? -value : value;
}

/* value rounded half away from zero to places decimals (0 to 3; any other
** count means 4). */
double round_places(double value, int places)
{
  char work[FORMAT_BUFSIZE];

  round_text(value, effective_places(places), work);
  return number_value(work);
}

/* Writes value rounded to places decimals into out (FORMAT_BUFSIZE bytes),
** with exactly that many decimals; with 0 places the integer part alone.
** Returns out. */
char *format_places(double value, int places, char *out)
{
  char work[FORMAT_BUFSIZE];
  size_t len;

  places = effective_places(places);
  round_text(value, places, work);
  len = strlen(work);
  if (places == 0 && len > 0 && work[len - 1] == '.') {
    work[len - 1] = '\0';
  }
  (void)text_copy(out, FORMAT_BUFSIZE, work);
  return out;
}

/* As format_places, then, unless places is 0, drops trailing zeros after
** the point and a trailing point; a text left empty, or a negative zero
** ("-0"), becomes 0.  Returns out. */
char *format_places_trim(double value, int places, char *out)
{
  char work[FORMAT_BUFSIZE];
  size_t len;

  places = effective_places(places);
  format_places(value, places, work);
  if (places == 0) {
    (void)text_copy(out, FORMAT_BUFSIZE, work);
    return out;
  }
  len = strlen(work);
  if (strchr(work, '.') != NULL) {
    while (len > 0 && work[len - 1] == '0') {
      work[--len] = '\0';
    }
    if (len > 0 && work[len - 1] == '.') {
      work[--len] = '\0';
    }
  }
  if (len == 0 || strcmp(work, "-0") == 0) {
    (void)text_copy(work, sizeof work, "0");
  }
  (void)text_copy(out, FORMAT_BUFSIZE, work);
  return out;
}

/* Writes into out (FORMAT_BUFSIZE bytes) the display part's file name
** without its folder and extension.  When the host cannot give the name,
** out is empty.  Returns out.  UF_PART_ask_display_part and UF_PART_ask_part_name are not reported:
** the one answers a tag, not a status, and the other's failure is answered by the empty stem, which
** the user sees. */
char *display_part_stem(char *out)
{
  char part_fspec[MAX_FSPEC_BUFSIZE];
  char stem[STEM_BUFSIZE];
  char *name;
  char *dot;
  size_t len;
  tag_t part;

  part_fspec[0] = '\0';
  part = UF_PART_ask_display_part();
  if (UF_PART_ask_part_name(part, part_fspec) != 0) {
    part_fspec[0] = '\0';
  }
  part_fspec[MAX_FSPEC_BUFSIZE - 1] = '\0';
  name = gbk_last_backslash(part_fspec);
  name = name == NULL ? part_fspec : name + 1;
  dot = strrchr(name, '.');
  len = dot == NULL ? strlen(name) : (size_t)(dot - name);
  /* A stem longer than a record holds is cut to it, between characters. */
  len = gbk_prefix_len(name, len < STEM_BUFSIZE - 1 ? len : STEM_BUFSIZE - 1);
  memcpy(stem, name, len);
  stem[len] = '\0';
  (void)text_copy(out, FORMAT_BUFSIZE, stem);
  return out;
}
