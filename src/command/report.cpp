/*
** report.cpp: reporting of failed host calls.
**
** Entries: report_status, which writes two lines to the listing window for
** every failed host call, and report_final_status, which shows the
** command's final status on the status line and standard error.
*/
#include "command/report.h"

#include "host/host_runtime.h"
#include "host/core.h"
#include "host/ui.h"
#include "my_func/my_func.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* The first line of a report for the usual file names and call texts;
** longer lines are built in memory of their own size. */
#define REPORT_LINE_BUFSIZE 512
/* The second line: the code and the host's text of it. */
#define REPORT_ERROR_BUFSIZE (UF_FAIL_MESSAGE_BUFSIZE + 32)
/* The final status and its line feed. */
#define FINAL_STATUS_BUFSIZE (UF_FAIL_MESSAGE_BUFSIZE + 2)

/* Writes "FILE, line LINE:  CALL\n" to the listing window, whole whatever
** its length.  UF_UI_write_listing_window is not reported: these writes are the report, and a
** failed one has nowhere else to go. */
static void write_call_line(const char *file, int line, const char *call_text)
{
  static const char *const format = "%s, line %d:  %s\n";
  char fixed[REPORT_LINE_BUFSIZE];
  char *text = fixed;
  int needed;

  needed = snprintf(NULL, 0, format, file, line, call_text);
  if (needed < 0) {
    return;
  }
  if ((size_t)needed >= sizeof fixed) {
    text = (char *)malloc((size_t)needed + 1);
    if (text == NULL) {
      /* Out of memory: the same bytes, in three writes. */
      (void)UF_UI_write_listing_window(file);
      (void)text_format(fixed, sizeof fixed, ", line %d:  ", line);
      (void)UF_UI_write_listing_window(fixed);
      (void)UF_UI_write_listing_window(call_text);
      (void)UF_UI_write_listing_window("\n");
      return;
    }
  }
  (void)text_format(text, (size_t)needed + 1, format, file, line, call_text);
  (void)UF_UI_write_listing_window(text);
  if (text != fixed) {
    free(text);
  }
}

/* When status is non-zero, writes the call's file, line and text and the
** status with the host's text for it to the listing window.  Returns
** status unchanged, so that a host call can be wrapped in one expression.
** UF_UI_open_listing_window, UF_get_fail_message and UF_UI_write_listing_window are not reported:
** they are the report, and a report of them would only come back here. */
int report_status(const char *file, int line, const char *call_text, int status)
{
  char message[UF_FAIL_MESSAGE_BUFSIZE];
  char error_line[REPORT_ERROR_BUFSIZE];

  if (status == 0) {
    return 0;
  }
  if (file == NULL) {
    file = "";
  }
  if (call_text == NULL) {
    call_text = "";
  }
  (void)UF_UI_open_listing_window();
  write_call_line(file, line, call_text);
  message[0] = '\0';
  if (UF_get_fail_message(status, message) == 0) {
    message[UF_FAIL_MESSAGE_BUFSIZE - 1] = '\0';
    (void)text_format(error_line, sizeof error_line, "    error %d:  %s\n", status, message);
  } else {
    (void)text_format(error_line, sizeof error_line, "    error %d\n", status);
  }
  (void)UF_UI_write_listing_window(error_line);
  return status;
}

/* When status is non-zero, shows the host's text for it on the status
** line and prints it with a line feed to standard error.  UF_get_fail_message and UF_UI_set_status
** are not reported: the bracket is already closed, and the text still goes to standard error. */
void report_final_status(int status)
{
  char message[UF_FAIL_MESSAGE_BUFSIZE];
  char printed[FINAL_STATUS_BUFSIZE];

  if (status == 0) {
    return;
  }
  message[0] = '\0';
  /* Without a text from the host an empty one is shown. */
  if (UF_get_fail_message(status, message) != 0) {
    message[0] = '\0';
  }
  message[UF_FAIL_MESSAGE_BUFSIZE - 1] = '\0';
  (void)UF_UI_set_status(message);
  (void)text_format(printed, sizeof printed, "%s\n", message);
  host_print_stderr(printed);
}
