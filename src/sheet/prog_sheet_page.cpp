/*
** prog_sheet_page.cpp: the pages of the program sheet.
**
** Entries: import_prog_drawing makes the first page from the template
** prog_sheet_mr.prt and writes its seven header notes (page, description,
** part type, date, mould number, part number, part file name);
** import_prog_drawing_1 makes a further page from prog_sheet_mr1.prt with
** its page note.  Both leave the new drawing current and the lettering
** preferences as they found them.
*/
#include "sheet/sheet.h"

#include "command/command.h"
#include "command/report.h"
#include "host/host.h"
#include "my_func/message_keys.h"
#include "my_func/my_func.h"
#include "post/post.h"

#include <string.h>
#include <time.h>

/* Messages "import_prog_dra_01:" to "import_prog_dra_16:". */
#define FIRST_PAGE_MESSAGE_COUNT IMPORT_PROG_DRA_KEY_COUNT
/* Messages "import_prog_dra_1_01:" to "import_prog_dra_1_04:". */
#define NEXT_PAGE_MESSAGE_COUNT IMPORT_PROG_DRA_1_KEY_COUNT
/* The page note: two messages around a page number. */
#define PAGE_NOTE_BUFSIZE (2 * MESSAGE_BUFSIZE + 16)
/* The refusal of a page: two messages around a drawing name. */
#define PAGE_REFUSAL_BUFSIZE (2 * MESSAGE_BUFSIZE + PAGE_NAME_BUFSIZE + 8)
/* The refusal of a bad part file name ratio, with the definition file's path. */
#define PATH_RATIO_MESSAGE_BUFSIZE 512
#define DATE_TEXT_BUFSIZE 40

/* Message indexes of the first page (key number minus one). */
enum {
  MSG_WRONG_APPLICATION = 0,
  MSG_PAGE_BEFORE = 1,
  MSG_PAGE_AFTER = 2,
  MSG_DESC_FIRST = 3,  /* descriptions of desc_choice 1..4 */
  MSG_CREATE_BEFORE = 7,
  MSG_CREATE_AFTER = 8,
  MSG_TYPE_FIRST = 9   /* part types of part_type_choice 1..7 */
};

/* Message indexes of a further page. */
enum {
  MSG_1_PAGE_BEFORE = 0,
  MSG_1_PAGE_AFTER = 1,
  MSG_1_CREATE_BEFORE = 2,
  MSG_1_CREATE_AFTER = 3
};

/* Positions of the first page's header notes, in reading order. */
enum {
  NOTE_MOLD_NO = 0,
  NOTE_PART_NO,
  NOTE_PART_TYPE,
  NOTE_DESC,
  NOTE_TIME,
  NOTE_PAGE,
  NOTE_PART_PATH,
  HEADER_NOTE_COUNT
};

/* The position keys of the header notes, in the order they are read. */
static const char *const header_note_keys[HEADER_NOTE_COUNT][2] = {
    {"elec_mold_no_note_point_x:", "elec_mold_no_note_point_y:"},
    {"elec_part_no_note_point_x:", "elec_part_no_note_point_y:"},
    {"elec_part_type_note_point_x:", "elec_part_type_note_point_y:"},
    {"elec_desc_note_point_x:", "elec_desc_note_point_y:"},
    {"elec_time_note_point_x:", "elec_time_note_point_y:"},
    {"elec_page_note_point_x:", "elec_page_note_point_y:"},
    {"elec_part_path_note_point_x:", "elec_part_path_note_point_y:"}};

/* Reads the point of keys x_key and y_key into point (z = 0).  1 when
** both were read; 0 when one is missing. */
static int read_note_point(const char *x_key, const char *y_key, double point[3])
{
  point[0] = 0.0;
  point[1] = 0.0;
  point[2] = 0.0;
  if (!read_config_value(x_key, &point[0], CONFIG_PATH)) {
    return 0;
  }
  return read_config_value(y_key, &point[1], CONFIG_PATH);
}

/* Reads the sheet height and width.  1 when both were read; 0 when one is
** missing. */
static int read_sheet_size(double *height, double *width)
{
  *height = 0.0;
  *width = 0.0;
  if (!read_config_value("prog_sheet_high:", height, CONFIG_PATH)) {
    return 0;
  }
  return read_config_value("prog_sheet_width:", width, CONFIG_PATH);
}

/* Creates drawing drawing_name of height by width and makes it current.
** 1 when it exists; 0 after showing before, the name and after.  UF_DRAW_create_drawing and the
** message box are not reported: the message names the drawing that could not be made, and the box's
** failure has no one to tell. */
static int create_page_drawing(const char *drawing_name, double height, double width,
                               tag_t *drawing, const char *before, const char *after)
{
  char refusal[PAGE_REFUSAL_BUFSIZE] = "";
  UF_DRAW_info_t info;

  memset(&info, 0, sizeof info);
  info.size_state = UF_DRAW_CUSTOM_SIZE;
  info.size.custom_size.height = height;
  info.size.custom_size.length = width;
  info.drawing_scale = 1.0;
  info.units = UF_PART_METRIC;
  info.projection_angle = UF_DRAW_THIRD_ANGLE_PROJECTION;
  *drawing = NULL_TAG;
  if (UF_DRAW_create_drawing(drawing_name, &info, drawing) != 0) {
    *drawing = NULL_TAG;
    (void)text_format(refusal, sizeof refusal, "%s %s %s", before, drawing_name, after);
    uc1601(refusal, 1);
    return 0;
  }
  return 1;
}

/* Imports template, a sheet template part, into the current drawing at
** its own origin, full size.  A failure goes to the listing window. */
static void import_template(const char *template_part)
{
  UF_import_part_modes_t modes;
  double dest_csys[6] = {1.0, 0.0, 0.0, 0.0, 1.0, 0.0};
  double dest_point[3] = {0.0, 0.0, 0.0};
  tag_t group = NULL_TAG;

  memset(&modes, 0, sizeof modes);
  UF_CALL(UF_PART_import(template_part, &modes, dest_csys, dest_point, 1.0, &group));
}

/* Creates the one-line note text at point with the current lettering.  A
** failure goes to the listing window. */
static void create_header_note(const char *text, double point[3])
{
  char note_text[PAGE_NOTE_BUFSIZE] = "";
  char *note_p[1];
  tag_t note_tag = NULL_TAG;

  (void)text_copy(note_text, sizeof note_text, text);
  note_p[0] = note_text;
  UF_CALL_TEXT("UF_DRF_create_note( 1,note_p,note_point,0,&note_tag )",
               UF_DRF_create_note(1, note_p, point, 0, &note_tag));
}

/* Reads "part_path_note_ratio:" into *ratio.  1 when it is greater than 0;
** 0 when it is missing (the reader has told the user) or not greater than
** 0 (after the fixed message).  The message box is not reported: its failure has no one to tell. */
static int read_path_note_ratio(double *ratio)
{
  char message[PATH_RATIO_MESSAGE_BUFSIZE] = "";

  *ratio = 0.0;
  if (!read_config_value("part_path_note_ratio:", ratio, CONFIG_PATH)) {
    return 0;
  }
  if (*ratio > 0.0) {
    return 1;
  }
  /* "The aspect ratio of the part file name note must be a number greater
  ** than 0; in %s the value of part_path_note_ratio: is wrong, please
  ** correct it!" */
  (void)text_format(message, sizeof message,
                    "\xb3\xcc\xca\xbd\xb5\xa5\xcd\xbc\xb5\xb5\xc2\xb7\xbe\xb6\xd7\xa2"
                    "\xca\xcd\xb5\xc4\xb8\xdf\xbf\xed\xb1\xc8\xd6\xbb\xc4\xdc\xca\xc7"
                    "\xb4\xf3\xd3\xda 0 \xb5\xc4\xca\xfd,\xd4\xda %s \xce\xc4\xbc\xfe"
                    "\xd6\xd0\xb5\xc4/n part_path_note_ratio: \xd6\xb5\xb6\xa8\xd2\xe5"
                    "\xb4\xed\xce\xf3,\xc7\xeb\xd0\xde\xb8\xc4!",
                    CONFIG_PATH);
  uc1601(message, 1);
  return 0;
}

/* Writes today's date as year.month.day without leading zeros. */
static void date_text(char out[DATE_TEXT_BUFSIZE])
{
  struct tm now;

  memset(&now, 0, sizeof now);
  host_localtime(&now);
  (void)text_format(out, DATE_TEXT_BUFSIZE, "%d.%d.%d", now.tm_year + 1900, now.tm_mon + 1,
                    now.tm_mday);
}

/* Writes the display part's full file name, single-byte letters
** upper-cased.  UF_PART_ask_display_part is not reported: it answers a tag, not a status, and a
** null one makes the name ask fail, which is reported. */
static void part_path_text(char out[MAX_FSPEC_BUFSIZE])
{
  tag_t part = UF_PART_ask_display_part();

  out[0] = '\0';
  if (UF_CALL(UF_PART_ask_part_name(part, out)) != 0) {
    out[0] = '\0';
  }
  out[MAX_FSPEC_BUFSIZE - 1] = '\0';
  gbk_upper(out);
}

/* The text of a choice: empty for 0, message first + choice - 1 for 1 to
** count, empty for anything else. */
static const char *choice_text(char messages[][MESSAGE_BUFSIZE], int first, int choice,
                               int count)
{
  if (choice < 1 || choice > count) {
    return "";
  }
  return messages[first + choice - 1];
}

/* Makes the first page of the sheet: drawing drawing_name (its tag into
** *drawing) from the first template, with the seven header notes; page
** number page_number goes into the page note.  1 when the page exists; 0
** when the caller must stop (the user has been told why; nothing was
** created).  The message box is not reported: its failure has no one to tell. */
int import_prog_drawing(const char *drawing_name, tag_t *drawing, int page_number)
{
  char messages[FIRST_PAGE_MESSAGE_COUNT][MESSAGE_BUFSIZE];
  double points[HEADER_NOTE_COUNT][3];
  char page_note[PAGE_NOTE_BUFSIZE] = "";
  char date_note[DATE_TEXT_BUFSIZE] = "";
  char path_note[MAX_FSPEC_BUFSIZE] = "";
  lettering_bracket lettering;
  double path_ratio = 0.0;
  double height = 0.0;
  double width = 0.0;
  int module_id = 0;
  int i;

  *drawing = NULL_TAG;
  if (!load_messages("import_prog_dra_", messages, FIRST_PAGE_MESSAGE_COUNT, lang_file)) {
    return 0;
  }
  if (!read_path_note_ratio(&path_ratio)) {
    return 0;
  }
  if (UF_CALL(UF_ask_application_module(&module_id)) != 0) {
    module_id = 0;
  }
  if (module_id != UF_APP_CAM && module_id != UF_APP_DRAFTING) {
    uc1601(messages[MSG_WRONG_APPLICATION], 1);
    return 0;
  }
  for (i = 0; i < HEADER_NOTE_COUNT; i++) {
    if (!read_note_point(header_note_keys[i][0], header_note_keys[i][1], points[i])) {
      return 0;
    }
  }
  if (!read_sheet_size(&height, &width)) {
    return 0;
  }

  date_text(date_note);
  (void)text_format(page_note, sizeof page_note, "%s %d %s", messages[MSG_PAGE_BEFORE],
                    page_number, messages[MSG_PAGE_AFTER]);
  part_path_text(path_note);

  if (!create_page_drawing(drawing_name, height, width, drawing, messages[MSG_CREATE_BEFORE],
                           messages[MSG_CREATE_AFTER])) {
    return 0;
  }
  import_template(PROG_SHEET_TEMPLATE);

  lettering_open(&lettering);
  lettering.working.general_text.size = 4.0;
  lettering.working.general_text.char_space_factor = 1.0;
  lettering.working.general_text.aspect_ratio = 1.0;
  lettering.working.align_position = UF_DRF_MID_CENTER;
  lettering_apply(&lettering);

  create_header_note(page_note, points[NOTE_PAGE]);
  create_header_note(choice_text(messages, MSG_DESC_FIRST, desc_choice, DESC_CHOICE_COUNT - 1),
                     points[NOTE_DESC]);
  create_header_note(
      choice_text(messages, MSG_TYPE_FIRST, part_type_choice, PART_TYPE_CHOICE_COUNT - 1),
      points[NOTE_PART_TYPE]);

  lettering.working.general_text.size = 3.175;
  lettering.working.general_text.aspect_ratio = 0.8;
  lettering_apply(&lettering);
  create_header_note(date_note, points[NOTE_TIME]);
  create_header_note(mold_no, points[NOTE_MOLD_NO]);
  create_header_note(part_no, points[NOTE_PART_NO]);

  lettering.working.general_text.aspect_ratio = path_ratio;
  lettering.working.align_position = UF_DRF_MID_LEFT;
  lettering_apply(&lettering);
  create_header_note(path_note, points[NOTE_PART_PATH]);

  lettering_close(&lettering);
  return 1;
}

/* Makes a further page of the sheet: drawing drawing_name (its tag into
** *drawing) from the second template, with its page note for page
** page_number, written with the caller's alignment position.  1 when the
** page exists; 0 when the caller must stop (the user has been told why;
** nothing was created). */
int import_prog_drawing_1(const char *drawing_name, tag_t *drawing, int page_number)
{
  char messages[NEXT_PAGE_MESSAGE_COUNT][MESSAGE_BUFSIZE];
  char page_text[PAGE_NOTE_BUFSIZE] = "";
  char *page_note[1];
  double elec_page_note_point[3];
  lettering_bracket lettering;
  double height = 0.0;
  double width = 0.0;
  tag_t page_tag = NULL_TAG;

  *drawing = NULL_TAG;
  if (!load_messages("import_prog_dra_1_", messages, NEXT_PAGE_MESSAGE_COUNT, lang_file)) {
    return 0;
  }
  if (!read_note_point("elec_page_note_point_x:", "elec_page_note_point_y:",
                       elec_page_note_point)) {
    return 0;
  }
  if (!read_sheet_size(&height, &width)) {
    return 0;
  }
  (void)text_format(page_text, sizeof page_text, "%s %d %s", messages[MSG_1_PAGE_BEFORE],
                    page_number, messages[MSG_1_PAGE_AFTER]);

  if (!create_page_drawing(drawing_name, height, width, drawing, messages[MSG_1_CREATE_BEFORE],
                           messages[MSG_1_CREATE_AFTER])) {
    return 0;
  }
  import_template(PROG_SHEET_TEMPLATE_1);

  lettering_open(&lettering);
  lettering.working.general_text.size = 3.175;
  lettering.working.general_text.char_space_factor = 1.0;
  lettering.working.general_text.aspect_ratio = 0.8;
  lettering_apply(&lettering);

  page_note[0] = page_text;
  UF_CALL_TEXT("UF_DRF_create_note( 1,page_note,elec_page_note_point,0,&page_tag )",
               UF_DRF_create_note(1, page_note, elec_page_note_point, 0, &page_tag));

  lettering_close(&lettering);
  return 1;
}
