/*
** model_display.h: the model display around work on model geometry while
** a drawing may be shown (internal to src/dims).
*/
#ifndef NCSHEET_DIMS_MODEL_DISPLAY_H
#define NCSHEET_DIMS_MODEL_DISPLAY_H

#include "host/defs.h"

/* What show_model changed, for show_drawing_again. */
typedef struct model_display {
  int switched;       /* 1: a drawing was shown and the model display was set */
  tag_t current_draw; /* the drawing that was shown; null when it could not be asked */
} model_display;

void show_model(model_display *display);
void show_drawing_again(const model_display *display);

#endif
