/*
** win_loader.c: the Windows loader calls of the winelib runner.
*/
#include "win_loader.h"

#include <stdio.h>
#include <string.h>

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

/* Writes the last Windows error, code and text, into error. */
static void last_error_text(char *error, size_t error_size) {
  DWORD code = GetLastError();
  char text[256] = {0};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                                code, 0, text, sizeof text, NULL);

  while (length > 0 && strchr("\r\n .", text[length - 1]) != NULL) {
    text[--length] = '\0';
  }
  if (length > 0) {
    snprintf(error, error_size, "error %lu (%s)", (unsigned long)code, text);
  } else {
    snprintf(error, error_size, "error %lu", (unsigned long)code);
  }
}

void *win_load_library(const char *path, char *error, size_t error_size) {
  HMODULE module = LoadLibraryA(path);

  if (!module) {
    last_error_text(error, error_size);
  }
  return module;
}

void *win_find_export(void *module, const char *name) {
  return (void *)GetProcAddress((HMODULE)module, name);
}

int win_free_library(void *module, char *error, size_t error_size) {
  if (!FreeLibrary((HMODULE)module)) {
    last_error_text(error, error_size);
    return 0;
  }
  return 1;
}

int win_is_loaded(const char *path) { return GetModuleHandleA(path) != NULL; }
