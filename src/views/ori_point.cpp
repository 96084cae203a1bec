/*
** ori_point.cpp: the model point at the machining origin.
**
** Entry: create_mcs_ori_point.  The point marks the MCS origin in the
** sheet views and is the origin of the ordinate dimensions.
*/
#include "views/views.h"

#include "command/command.h"
#include "command/report.h"
#include "host/host.h"
#include "my_func/my_func.h"

/* See views.h.  Returns 1 with *mcs_ori_point set; 0 when the message is
** missing, or after message 01 when the origin cannot be read or the point
** cannot be made (a point at a guessed origin would mislead every
** dimension measured from it).  The message boxes are not reported: their failure has no one to
** tell. */
int create_mcs_ori_point(tag_t mcs_tag, tag_t *mcs_ori_point)
{
  char message_01[MESSAGE_BUFSIZE] = "";
  int module_id = 0;
  int disp_state = 0;
  tag_t matrix_id = NULL_TAG;
  double csys_origin[3] = {0.0, 0.0, 0.0};
  tag_t point = NULL_TAG;

  if (!read_lang_message("create_mcs_ori_poin_01:", message_01, lang_file)) {
    return 0;
  }
  (void)UF_CALL_TEXT("UF_ask_application_module( &module_id )",
                     UF_ask_application_module(&module_id));
  if (module_id == UF_APP_DRAFTING) {
    (void)UF_CALL_TEXT("UF_DRAW_ask_display_state( &disp_state )",
                       UF_DRAW_ask_display_state(&disp_state));
    if (disp_state == UF_DRAW_DRAWING_DISPLAY) {
      (void)UF_CALL_TEXT("UF_DRAW_set_display_state( 1 )", UF_DRAW_set_display_state(1));
    }
  }
  if (UF_CALL_TEXT("UF_CSYS_ask_csys_info( mcs_tag, &matrix_id, csys_origin )",
                   UF_CSYS_ask_csys_info(mcs_tag, &matrix_id, csys_origin)) != 0) {
    (void)uc1601(message_01, 1);
    return 0;
  }
  if (UF_CALL_TEXT("UF_CURVE_create_point( csys_origin, &mcs_ori_point )",
                   UF_CURVE_create_point(csys_origin, &point)) != 0) {
    (void)uc1601(message_01, 1);
    return 0;
  }
  *mcs_ori_point = point;
  return 1;
}
