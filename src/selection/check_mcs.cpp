/*
** check_mcs.cpp: the machining coordinate system check.
**
** Entry: check_mcs.  The first operation's coordinate system becomes the
** reference; every later one must be the same object or have the same
** origin and axes once each value is rounded to three decimals.
*/
#include "selection/selection.h"

#include "command/command.h"
#include "command/report.h"
#include "host/host.h"
#include "my_func/my_func.h"

#include <string.h>

/* Decimals kept when origins and axes are compared. */
#define MCS_COMPARE_PLACES 3
/* The refusal: two messages and an operation name. */
#define MCS_REFUSAL_BUFSIZE (2 * MESSAGE_BUFSIZE + UF_OPER_MAX_NAME_LEN + 8)

/* Tells whether the n value pairs of a and b are equal once rounded. */
static int values_match(const double *a, const double *b, int n)
{
  int i;

  for (i = 0; i < n; i++) {
    if (round_places(a[i], MCS_COMPARE_PLACES) != round_places(b[i], MCS_COMPARE_PLACES)) {
      return 0;
    }
  }
  return 1;
}

/* Tells whether coordinate system oper_mcs has the origin and axes of the
** reference *prev_oper_mcs.  Failed host calls are reported and leave
** zeros in the values they should have filled. */
static int same_placement(tag_t oper_mcs, const tag_t *prev_oper_mcs)
{
  tag_t matrix_id = NULL_TAG;
  tag_t prev_matrix_id = NULL_TAG;
  double origin[3] = {0.0, 0.0, 0.0};
  double prev_origin[3] = {0.0, 0.0, 0.0};
  double matrix_values[9] = {0.0};
  double prev_matrix_values[9] = {0.0};

  (void)UF_CALL_TEXT("UF_CSYS_ask_csys_info( oper_mcs, &matrix_id, origin )",
                     UF_CSYS_ask_csys_info(oper_mcs, &matrix_id, origin));
  (void)UF_CALL_TEXT("UF_CSYS_ask_csys_info( *prev_oper_mcs, &prev_matrix_id, prev_origin )",
                     UF_CSYS_ask_csys_info(*prev_oper_mcs, &prev_matrix_id, prev_origin));
  if (!values_match(origin, prev_origin, 3)) {
    return 0;
  }
  (void)UF_CALL_TEXT("UF_CSYS_ask_matrix_values( matrix_id, matrix_values )",
                     UF_CSYS_ask_matrix_values(matrix_id, matrix_values));
  (void)UF_CALL_TEXT("UF_CSYS_ask_matrix_values( prev_matrix_id, prev_matrix_values )",
                     UF_CSYS_ask_matrix_values(prev_matrix_id, prev_matrix_values));
  return values_match(matrix_values, prev_matrix_values, 9);
}

/* Checks the machining coordinate system of operation oper_tag against
** *prev_oper_mcs, setting the reference when it is still null.  Returns 1
** when it matches (or became the reference); 0 after a message: a
** mismatch, an operation without a coordinate system, or a missing
** message text.  The message box is not reported: its failure has no one to tell. */
int check_mcs(tag_t oper_tag, tag_t *prev_oper_mcs)
{
  char message_01[MESSAGE_BUFSIZE] = "";
  char message_02[MESSAGE_BUFSIZE] = "";
  char oper_name[UF_OPER_MAX_NAME_LEN + 1] = "";
  char refusal[MCS_REFUSAL_BUFSIZE] = "";
  tag_t oper_mcs = NULL_TAG;

  if (!read_lang_message("check_mc_01:", message_01, lang_file)) {
    return 0;
  }
  if (!read_lang_message("check_mc_02:", message_02, lang_file)) {
    return 0;
  }
  (void)UF_CALL_TEXT("UF_OPER_ask_name_from_tag( oper_tag, oper_name )",
                     UF_OPER_ask_name_from_tag(oper_tag, oper_name));
  (void)UF_CALL_TEXT("UF_PARAM_ask_tag_value( oper_tag, UF_PARAM_MCS, &oper_mcs )",
                     UF_PARAM_ask_tag_value(oper_tag, UF_PARAM_MCS, &oper_mcs));

  /* An operation without a coordinate system can neither set nor match
  ** the reference. */
  if (oper_mcs != NULL_TAG) {
    if (*prev_oper_mcs == NULL_TAG) {
      *prev_oper_mcs = oper_mcs;
      return 1;
    }
    if (oper_mcs == *prev_oper_mcs || same_placement(oper_mcs, prev_oper_mcs)) {
      return 1;
    }
  }

  (void)text_format(refusal, sizeof refusal, "%s %s %s", message_01, oper_name, message_02);
  (void)uc1601(refusal, 1);
  return 0;
}
