/*
** drafting_prefs.h: the drafting and lettering preferences of the program
** sheet, switched on before the sheet and put back after it.
*/
#ifndef NCSHEET_COMMAND_DRAFTING_PREFS_H
#define NCSHEET_COMMAND_DRAFTING_PREFS_H

#include "host/drf.h"

/* The preferences before the sheet and the sheet's own. */
typedef struct sheet_prefs {
  UF_DRF_lettering_preferences_t saved_lettering;
  UF_DRF_lettering_preferences_t sheet_lettering;
  int saved_int[UF_DRF_INT_PREFS];
  double saved_real[UF_DRF_REAL_PREFS];
  int sheet_int[UF_DRF_INT_PREFS];
  double sheet_real[UF_DRF_REAL_PREFS];
  char radius_symbol[UF_DRF_SYMBOL_BUFSIZE];   /* shared by both sets */
  char diameter_symbol[UF_DRF_SYMBOL_BUFSIZE]; /* shared by both sets */
  int lettering_kept; /* non-zero: saved_lettering was read and the sheet's applied */
  int drafting_kept;  /* non-zero: saved_int and saved_real were read and the sheet's applied */
} sheet_prefs;

void sheet_prefs_apply(sheet_prefs *prefs);
void sheet_prefs_restore(sheet_prefs *prefs);

#endif
