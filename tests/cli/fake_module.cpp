// A stand-in module for the runner's tests: it keeps a run counter that
// lives as long as the module is loaded, shows a box on the first run of a
// load only, and misbehaves on request through the part's file name
// ("ask": asks a question; "unbalanced": leaves the bracket open; "open":
// leaves a file open).
#include "host/host_runtime.h"
#include "host/core.h"
#include "host/ui.h"

#include <cstdio>
#include <cstring>

/* Runs since the module was loaded. */
static int runs_this_load = 0;

extern "C" void ufusr(char *param, int *retcode, int param_len) {
  if (UF_initialize() != 0)
    return;
  ++runs_this_load;
  if (runs_this_load == 1)
    uc1601("first run of this load", 1);

  char part[MAX_FSPEC_BUFSIZE] = "";
  (void)UF_PART_ask_part_name(UF_PART_ask_display_part(), part);

  char line[64] = "";
  std::snprintf(line, sizeof line, "run %d of this load\n", runs_this_load);
  (void)UF_UI_open_listing_window();
  (void)UF_UI_write_listing_window(line);
  host_file *file = host_fopen("D:\\kv_conf\\temp\\runs.txt", "a");
  if (file) {
    (void)host_fwrite(line, 1, std::strlen(line), file);
    (void)host_fclose(file);
  }
  host_print_stdout("stdout line\n");

  if (std::strstr(part, "ask")) {
    UF_UI_message_buttons_t buttons{};
    buttons.button1 = TRUE;
    buttons.button3 = TRUE;
    buttons.label1 = "YES";
    buttons.label3 = "NO";
    buttons.response1 = 1;
    buttons.response3 = 3;
    char text[] = "overwrite?";
    char *messages[] = {text};
    int response = 0;
    (void)UF_UI_message_dialog("", UF_UI_MESSAGE_QUESTION, messages, 1, FALSE, &buttons, &response);
  }
  if (std::strstr(part, "open"))
    (void)host_fopen("D:\\kv_conf\\temp\\runs.txt", "r");
  *retcode = runs_this_load;
  if (std::strstr(part, "unbalanced"))
    return;
  (void)UF_terminate();
}
