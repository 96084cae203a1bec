/*
** ui.h: message boxes, the menu, the file dialog, the listing window,
** the status and prompt lines and the operation navigator's selection.
*/
#ifndef NCSHEET_HOST_UI_H
#define NCSHEET_HOST_UI_H

#include "defs.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Modal message box; mode 1 shows an OK button.  Returns the response. */
int uc1601(const char *message, int mode);

/* Menu of up to 14 items of 38 characters.  Returns 1 Back, 2 Cancel, or
** 5 + i for item i (0-based). */
#define UC1603_ITEM_BUFSIZE 38
int uc1603(const char *title, int default_item, char items[][UC1603_ITEM_BUFSIZE], int count);

/* Message dialog. */
#define UF_UI_MESSAGE_ERROR 0
#define UF_UI_MESSAGE_WARNING 1
#define UF_UI_MESSAGE_INFORMATION 2
#define UF_UI_MESSAGE_QUESTION 3
typedef struct UF_UI_message_buttons_s {
  logical button1; /* shown? */
  logical button2;
  logical button3;
  const char *label1;
  const char *label2;
  const char *label3;
  int response1; /* returned when the button is pressed */
  int response2;
  int response3;
} UF_UI_message_buttons_t, *UF_UI_message_buttons_p_t;
int UF_UI_message_dialog(const char *title, int dialog_type, char **messages, int num_messages,
                         logical translate, UF_UI_message_buttons_p_t buttons, int *response);

/* File dialog: filename (256 bytes) receives the chosen full file name.
** *response is 2 for OK, 3 for Cancel. */
#define UF_UI_OK 2
#define UF_UI_CANCEL 3
int UF_UI_create_filebox(const char *prompt, const char *title, const char *filter,
                         const char *default_name, char filename[UF_UI_FILENAME_BUFSIZE],
                         int *response);

/* Listing window, status line, prompt line. */
int UF_UI_open_listing_window(void);
int UF_UI_write_listing_window(const char *text);
int UF_UI_set_status(const char *text);
int UF_UI_set_prompt(const char *text);

/* The nodes selected in the operation navigator; the array is released
** with UF_free. */
int UF_UI_ONT_ask_selected_nodes(int *count, tag_t **objects);

#ifdef __cplusplus
}
#endif
#endif
