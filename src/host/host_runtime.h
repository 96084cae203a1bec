/*
** host_runtime.h: the standard runtime as the system sees it.
**
** The system names files by Windows paths such as D:\kv_conf\temp\x.xl.
** On Windows these entries are the C runtime's own; on other systems the
** simulated host maps a drive-letter path onto a folder of its session and
** gives the files the Windows behaviour: text-mode reads drop a carriage
** return before a line feed and stop at a Ctrl-Z byte, text-mode writes
** turn a line feed into CR LF, binary mode is raw bytes, names are
** case-insensitive, rename fails when the target exists.
*/
#ifndef NCSHEET_HOST_RUNTIME_H
#define NCSHEET_HOST_RUNTIME_H

#include <stddef.h>
#include <time.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct host_file host_file; /* an open file */

#define HOST_EOF (-1)

/* Opens a file; mode as for fopen ("r", "rb", "w", "wb", ...).  Returns a
** null pointer when it cannot be opened. */
host_file *host_fopen(const char *path, const char *mode);
int host_fclose(host_file *file);
/* The next character as an unsigned char, or HOST_EOF. */
int host_fgetc(host_file *file);
/* Reads at most n - 1 characters up to and including a line feed;
** returns buf, or a null pointer when nothing could be read. */
char *host_fgets(char *buf, int n, host_file *file);
size_t host_fread(void *buf, size_t size, size_t count, host_file *file);
size_t host_fwrite(const void *buf, size_t size, size_t count, host_file *file);
/* 0 on success, as the C runtime. */
int host_remove(const char *path);
int host_rename(const char *old_path, const char *new_path);

/* The local time now. */
void host_localtime(struct tm *out);

/* Writes text to the module's standard output or standard error. */
void host_print_stdout(const char *text);
void host_print_stderr(const char *text);

#ifdef __cplusplus
}
#endif
#endif
