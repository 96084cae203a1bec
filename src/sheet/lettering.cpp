/*
** lettering.cpp: the lettering bracket of the sheet's routines.
**
** Entries: lettering_open asks the current lettering preferences twice,
** into a kept copy and a working copy; lettering_apply makes the working
** copy current; lettering_close puts the kept copy back.  When either copy
** could not be read, apply and close do nothing, so that a routine never
** changes lettering it could not put back.
*/
#include "sheet/sheet.h"

#include "command/report.h"
#include "host/drf.h"

#include <string.h>

/* Reads the current lettering into the kept and the working copy.  The
** bracket is open when both were read. */
void lettering_open(lettering_bracket *bracket)
{
  memset(bracket, 0, sizeof *bracket);
  bracket->open = UF_CALL(UF_DRF_ask_lettering_preferences(&bracket->kept)) == 0;
  if (UF_CALL(UF_DRF_ask_lettering_preferences(&bracket->working)) != 0) {
    bracket->open = 0;
  }
}

/* Makes the working copy current when the bracket is open. */
void lettering_apply(lettering_bracket *bracket)
{
  if (bracket->open) {
    UF_CALL(UF_DRF_set_lettering_preferences(&bracket->working));
  }
}

/* Puts the kept copy back when the bracket is open. */
void lettering_close(lettering_bracket *bracket)
{
  if (bracket->open) {
    UF_CALL(UF_DRF_set_lettering_preferences(&bracket->kept));
  }
}
