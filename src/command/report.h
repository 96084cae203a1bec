/*
** report.h: reporting of failed host calls.
**
** UF_CALL(call) evaluates call, passes its status with the file, the line
** and the call's text to report_status, and yields that status.  It hides
** no control flow: the caller tests the status where it must.
**
** UF_CALL_TEXT(text, call) does the same with an explicit call text, for
** the places whose listing-window text must read exactly as given.
*/
#ifndef NCSHEET_COMMAND_REPORT_H
#define NCSHEET_COMMAND_REPORT_H

int report_status(const char *file, int line, const char *call_text, int status);
void report_final_status(int status);

#define UF_CALL(call) report_status(__FILE__, __LINE__, #call, (call))
#define UF_CALL_TEXT(text, call) report_status(__FILE__, __LINE__, (text), (call))

#endif
