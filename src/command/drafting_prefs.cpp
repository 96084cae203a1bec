/*
** drafting_prefs.cpp: the preference bracket around the program sheet.
**
** Entries: sheet_prefs_apply keeps the current drafting and lettering
** preferences and makes the sheet's current; sheet_prefs_restore puts
** the kept ones back, except for three drafting preferences that keep the
** sheet's values.  The driver restores after the sheet whether it
** succeeded or not, so the user's own drafting never inherits the sheet's
** text sizes.
*/
#include "command/drafting_prefs.h"

#include "command/report.h"
#include "host/drf.h"

#include <string.h>

/* Drafting preferences the sheet sets (zero-based indices). */
#define PREF_INT_3 3
#define PREF_INT_9 9
#define PREF_INT_13 13
#define PREF_INT_16 16
#define PREF_INT_30 30
#define PREF_INT_90 90
#define PREF_REAL_32 32
#define PREF_REAL_33 33
#define PREF_REAL_34 34
#define PREF_REAL_44 44
/* One eighth of an inch in millimetres, exactly. */
#define EIGHTH_INCH_MM 3.175

/* Asks the current preferences twice each, into the kept and the sheet's
** copies, puts the sheet's values into its copies and makes them
** current: lettering first, then drafting.  A set whose kept copy could
** not be read is left as it is, since it could not be put back.
** Failures go to the listing window; the sheet goes on. */
void sheet_prefs_apply(sheet_prefs *prefs)
{
  int lettering_read;
  int drafting_read;

  memset(prefs, 0, sizeof *prefs);
  lettering_read = UF_CALL(UF_DRF_ask_lettering_preferences(&prefs->saved_lettering)) == 0;
  if (UF_CALL(UF_DRF_ask_lettering_preferences(&prefs->sheet_lettering)) != 0) {
    lettering_read = 0;
  }
  drafting_read = UF_CALL(UF_DRF_ask_preferences(prefs->saved_int, prefs->saved_real,
                                                 prefs->radius_symbol,
                                                 prefs->diameter_symbol)) == 0;
  if (UF_CALL(UF_DRF_ask_preferences(prefs->sheet_int, prefs->sheet_real, prefs->radius_symbol,
                                     prefs->diameter_symbol)) != 0) {
    drafting_read = 0;
  }

  prefs->sheet_int[PREF_INT_3] = 2;
  prefs->sheet_int[PREF_INT_9] = 2;
  prefs->sheet_int[PREF_INT_13] = 1;
  prefs->sheet_int[PREF_INT_16] = 1;
  prefs->sheet_int[PREF_INT_30] = 5;
  prefs->sheet_int[PREF_INT_90] = 1;
  prefs->sheet_real[PREF_REAL_32] = EIGHTH_INCH_MM;
  prefs->sheet_real[PREF_REAL_33] = 1.0;
  prefs->sheet_real[PREF_REAL_34] = 1.0;
  prefs->sheet_real[PREF_REAL_44] = EIGHTH_INCH_MM;
  prefs->sheet_lettering.general_text.line_space_factor = 0.5;

  if (lettering_read) {
    UF_CALL(UF_DRF_set_lettering_preferences(&prefs->sheet_lettering));
    prefs->lettering_kept = 1;
  }
  if (drafting_read) {
    UF_CALL(UF_DRF_set_preferences(prefs->sheet_int, prefs->sheet_real, prefs->radius_symbol,
                                   prefs->diameter_symbol));
    prefs->drafting_kept = 1;
  }
}

/* Puts the kept preferences back, with drafting preferences 3, 13 and 16
** forced to the sheet's values: drafting first, then lettering.
** Failures go to the listing window. */
void sheet_prefs_restore(sheet_prefs *prefs)
{
  if (prefs->drafting_kept) {
    prefs->saved_int[PREF_INT_3] = 2;
    prefs->saved_int[PREF_INT_13] = 1;
    prefs->saved_int[PREF_INT_16] = 1;
    UF_CALL(UF_DRF_set_preferences(prefs->saved_int, prefs->saved_real, prefs->radius_symbol,
                                   prefs->diameter_symbol));
  }
  if (prefs->lettering_kept) {
    UF_CALL(UF_DRF_set_lettering_preferences(&prefs->saved_lettering));
  }
}
