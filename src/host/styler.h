/*
** styler.h: dialogs made with the host's dialog designer.
*/
#ifndef NCSHEET_HOST_STYLER_H
#define NCSHEET_HOST_STYLER_H

#include "defs.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Callback reasons. */
#define UF_STYLER_OK_REASON 4
#define UF_STYLER_APPLY_REASON 6
#define UF_STYLER_CANCEL_REASON 7
#define UF_STYLER_CONSTRUCTOR_REASON 8
#define UF_STYLER_DESTRUCTOR_REASON 9
#define UF_STYLER_NO_REASON (-1)

/* Item ids of the dialog itself and of the end of a callback table. */
#define UF_STYLER_DIALOG_INDEX "UF_STYLER_DIALOG_INDEX"
#define UF_STYLER_NULL_OBJECT "UF_STYLER_NULL_OBJECT"

/* Item attribute: the item's value. */
#define UF_STYLER_VALUE 0

/* What an asked value holds (the indicator field). */
#define UF_STYLER_NO_VALUE 0
#define UF_STYLER_INTEGER_VALUE 1
#define UF_STYLER_REAL_VALUE 2
#define UF_STYLER_STRING_VALUE 3

/* A callback returns 0 to keep the dialog open, 1 to close it. */
#define UF_UI_CB_CONTINUE_DIALOG 0
#define UF_UI_CB_EXIT_DIALOG 1

typedef struct UF_STYLER_item_value_type_s {
  int reason;
  const char *item_id;
  int item_attr;
  int subitem_index;
  int count;
  int indicator;
  union {
    char *string;
    int integer;
    double real;
  } value;
} UF_STYLER_item_value_type_t, *UF_STYLER_item_value_type_p_t;

typedef int (*UF_STYLER_cb_t)(int dialog_id, void *client_data,
                              UF_STYLER_item_value_type_p_t callback_data);

typedef struct UF_STYLER_callback_info_s {
  const char *object_id;
  int reason;
  int index;
  UF_STYLER_cb_t callback;
} UF_STYLER_callback_info_t, *UF_STYLER_callback_info_p_t;

/* Creates and runs a dialog modally; *response is 2 when it was closed by
** OK. */
int UF_STYLER_create_dialog(const char *dialog_name, UF_STYLER_callback_info_p_t callbacks,
                            int count, void *client_data, int *response);
/* Asks an item's value: item_id and item_attr in, value out.  A string
** value is released with UF_STYLER_free_value. */
int UF_STYLER_ask_value(int dialog_id, UF_STYLER_item_value_type_p_t value);
int UF_STYLER_set_value(int dialog_id, UF_STYLER_item_value_type_p_t value);
void UF_STYLER_free_value(UF_STYLER_item_value_type_p_t value);

#ifdef __cplusplus
}
#endif
#endif
