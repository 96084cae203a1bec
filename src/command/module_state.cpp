/*
** module_state.cpp: the reset of everything that lives as long as the
** module.
**
** Entry: reset_module_state.  Each subsystem that keeps module-level
** values offers `void <subsystem>_reset_state(void)` in its header, which
** puts them back to their load-time state; this routine calls them all.
*/
#include "command/command.h"
#include "dims/dims.h"
#include "post/post.h"
#include "sheet/sheet.h"

/* Puts every module-level value of the system back to its load-time
** state. */
void reset_module_state(void)
{
  command_reset_state();
  dims_reset_state();
  post_reset_state();
  sheet_reset_state();
}
