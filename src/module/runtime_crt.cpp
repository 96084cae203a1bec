/*
** runtime_crt.cpp: the file layer of host_runtime.h on the Windows C
** runtime, for the module an installation loads.  The C runtime gives the
** files their Windows behaviour itself (text mode, case-insensitive names,
** rename refusing an existing target); a host_file is the runtime's FILE.
*/
#include <stdio.h>
#include <time.h>

#include "host/host_runtime.h"

/* Opens path in mode; returns the file, or a null pointer. */
host_file *host_fopen(const char *path, const char *mode)
{
  return (host_file *)fopen(path, mode);
}

/* Closes file; returns 0 on success. */
int host_fclose(host_file *file)
{
  return fclose((FILE *)file);
}

/* Returns the next character of file, or HOST_EOF. */
int host_fgetc(host_file *file)
{
  int c = fgetc((FILE *)file);
  return c == EOF ? HOST_EOF : c;
}

/* Reads a line of at most n - 1 characters into buf; returns buf, or a null
** pointer when nothing could be read. */
char *host_fgets(char *buf, int n, host_file *file)
{
  return fgets(buf, n, (FILE *)file);
}

/* Reads count items of size bytes; returns the number read. */
size_t host_fread(void *buf, size_t size, size_t count, host_file *file)
{
  return fread(buf, size, count, (FILE *)file);
}

/* Writes count items of size bytes; returns the number written. */
size_t host_fwrite(const void *buf, size_t size, size_t count, host_file *file)
{
  return fwrite(buf, size, count, (FILE *)file);
}

/* Removes path; returns 0 on success. */
int host_remove(const char *path)
{
  return remove(path);
}

/* Renames old_path to new_path, which must not exist; returns 0 on
** success. */
int host_rename(const char *old_path, const char *new_path)
{
  return rename(old_path, new_path);
}

/* Fills out with the local time now (all zero when the runtime cannot
** tell it). */
void host_localtime(struct tm *out)
{
  time_t now = time(NULL);
  struct tm zero = {};

  if (localtime_s(out, &now) != 0) {
    *out = zero;
  }
}

/* Writes text to the standard output. */
void host_print_stdout(const char *text)
{
  (void)fputs(text, stdout);
  (void)fflush(stdout);
}

/* Writes text to the standard error. */
void host_print_stderr(const char *text)
{
  (void)fputs(text, stderr);
  (void)fflush(stderr);
}
