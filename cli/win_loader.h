/*
** win_loader.h: the few Windows loader calls the winelib runner makes.
**
** win_loader.c is the one file compiled against wine's Windows headers.
** Those headers define _WIN32, which changes the C++ runtime's own types
** (std::filesystem::path becomes wide), so no C++ file may include them:
** the module loader calls these plain C functions instead.
*/
#ifndef NCSHEET_CLI_WIN_LOADER_H
#define NCSHEET_CLI_WIN_LOADER_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

/* LoadLibrary of path (a Unix path, or a Windows one); returns the module
** handle, or a null pointer with the reason written into error. */
void *win_load_library(const char *path, char *error, size_t error_size);
/* The address of the export name of module, or a null pointer. */
void *win_find_export(void *module, const char *name);
/* FreeLibrary; returns 1 when it succeeded, else 0 with the reason. */
int win_free_library(void *module, char *error, size_t error_size);
/* 1 when a module loaded from path is still mapped in the process. */
int win_is_loaded(const char *path);

#ifdef __cplusplus
}
#endif
#endif
