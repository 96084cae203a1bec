/*
** model_display.cpp: the model display around work on model geometry.
**
** Entries: show_model switches to the model display when a drawing is
** shown and remembers that drawing; show_drawing_again shows it again.
** While the model is shown neither makes a switching call.
*/
#include "dims/model_display.h"

#include "command/report.h"
#include "host/draw.h"

/* Asks the display state; when a drawing is shown, remembers it and shows
** the model.  Failures are reported; a failed switch counts as none. */
void show_model(model_display *display)
{
  int disp_state = 0;
  tag_t current_draw = NULL_TAG;

  display->switched = 0;
  display->current_draw = NULL_TAG;
  (void)UF_CALL_TEXT("UF_DRAW_ask_display_state( &disp_state )",
                     UF_DRAW_ask_display_state(&disp_state));
  if (disp_state != UF_DRAW_DRAWING_DISPLAY) {
    return;
  }
  (void)UF_CALL_TEXT("UF_DRAW_ask_current_drawing( &current_draw )",
                     UF_DRAW_ask_current_drawing(&current_draw));
  if (UF_CALL_TEXT("UF_DRAW_set_display_state( 1 )", UF_DRAW_set_display_state(1)) != 0) {
    return;
  }
  display->switched = 1;
  display->current_draw = current_draw;
}

/* Shows the drawing that show_model put away: opens it again, or, when it
** could not be asked, shows the current drawing, so that the sheet's later
** notes still land on it. */
void show_drawing_again(const model_display *display)
{
  if (!display->switched) {
    return;
  }
  if (display->current_draw != NULL_TAG) {
    (void)UF_CALL_TEXT("UF_DRAW_open_drawing( current_draw )",
                       UF_DRAW_open_drawing(display->current_draw));
    return;
  }
  (void)UF_CALL_TEXT("UF_DRAW_set_display_state( 2 )", UF_DRAW_set_display_state(2));
}
