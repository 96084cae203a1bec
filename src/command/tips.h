/*
** tips.h: the tips box shown on the first run after the module is loaded.
*/
#ifndef NCSHEET_COMMAND_TIPS_H
#define NCSHEET_COMMAND_TIPS_H

/* Tells whether the tips box is still to be shown in this module load. */
int tips_are_due(void);

/* Shows the tips box and marks it shown; when one of its messages is
** missing, shows nothing and leaves it due. */
void did_you_know(void);

/* Makes the tips box due again, as at module load. */
void tips_reset_state(void);

#endif
