/*
** cell_note.cpp: the writer of one table cell.
**
** Entry: create_cell_note draws a cell's four border lines on the current
** page and places its one-line text inside, aligned left, centred or
** right.  The cell text's aspect ratio is read from the definition file
** on the first call and kept while the module stays loaded;
** sheet_reset_state forgets it.
*/
#include "sheet/sheet.h"

#include "command/report.h"
#include "host/host.h"
#include "my_func/my_func.h"


/* The value of cell_aspect_ratio that stands for "not read yet". */
#define CELL_RATIO_UNREAD (-1.0)
/* A cell text: a message or a value, with room to spare. */
#define CELL_TEXT_BUFSIZE (MESSAGE_BUFSIZE + 32)
/* The refusal of a bad ratio, with the definition file's path. */
#define CELL_RATIO_MESSAGE_BUFSIZE 512

/* Cell text aspect ratio from "prog_sheet_note_ratio:"; CELL_RATIO_UNREAD
** until a call has read a value greater than 0. */
static double cell_aspect_ratio = CELL_RATIO_UNREAD;

/* Forgets the cell aspect ratio, as a freshly loaded module has it. */
void sheet_reset_state(void)
{
  cell_aspect_ratio = CELL_RATIO_UNREAD;
}

/* Makes sure the cell aspect ratio is known: reads and checks it when it
** is not.  1 when it is known; 0 when the key is missing (the reader has
** told the user) or its value is not greater than 0 (after the fixed
** message; the ratio stays unread, so the next call checks the file
** again).  The message box is not reported: its failure has no one to tell. */
static int load_cell_ratio(void)
{
  char message[CELL_RATIO_MESSAGE_BUFSIZE] = "";
  double ratio = 0.0;

  if (cell_aspect_ratio != CELL_RATIO_UNREAD) {
    return 1;
  }
  if (!read_config_value("prog_sheet_note_ratio:", &ratio, CONFIG_PATH)) {
    return 0;
  }
  if (!(ratio > 0.0)) {
    /* "The aspect ratio of the table cell notes must be a number greater
    ** than 0; in %s the value of prog_sheet_note_ratio: is wrong, please
    ** correct it!" */
    (void)text_format(message, sizeof message,
                      "\xb3\xcc\xca\xbd\xb5\xa5\xb8\xf1\xd7\xd3\xd7\xa2\xca\xcd\xb5\xc4\xb8\xdf"
                      "\xbf\xed\xb1\xc8\xd6\xbb\xc4\xdc\xca\xc7\xb4\xf3\xd3\xda 0 \xb5\xc4\xca\xfd,"
                      "\xd4\xda %s \xce\xc4\xbc\xfe\xd6\xd0\xb5\xc4/n prog_sheet_note_ratio: "
                      "\xd6\xb5\xb6\xa8\xd2\xe5\xb4\xed\xce\xf3,\xc7\xeb\xd0\xde\xb8\xc4!",
                      CONFIG_PATH);
    uc1601(message, 1);
    return 0;
  }
  cell_aspect_ratio = ratio;
  return 1;
}

/* Draws the line from (x1, y1) to (x2, y2) on the current page. */
static void draw_border_line(double x1, double y1, double x2, double y2)
{
  UF_CURVE_line_t line_data;
  tag_t line_tag = NULL_TAG;

  line_data.start_point[0] = x1;
  line_data.start_point[1] = y1;
  line_data.start_point[2] = 0.0;
  line_data.end_point[0] = x2;
  line_data.end_point[1] = y2;
  line_data.end_point[2] = 0.0;
  UF_CALL_TEXT("UF_CURVE_create_line( &line_data, &line_tag )",
               UF_CURVE_create_line(&line_data, &line_tag));
}

/* Writes one table cell: the rectangle from (left_x, top_y) to (right_x,
** top_y - row_height) and text at the alignment position align_position
** (4 middle left, 5 middle centre, 6 middle right), with the caller's
** character size.  The lettering preferences are as before on return.
** 1 when the cell was written, whatever the host reported for its lines
** and note; 0 when the cell aspect ratio cannot be had. */
int create_cell_note(double row_height, double top_y, double left_x, double right_x,
                     const char *text, int align_position)
{
  lettering_bracket lettering;
  char note_text[CELL_TEXT_BUFSIZE] = "";
  char *note_p[1];
  double note_point[3];
  double bottom_y = top_y - row_height;
  tag_t note_tag = NULL_TAG;

  if (!load_cell_ratio()) {
    return 0;
  }
  lettering_open(&lettering);
  lettering.working.general_text.char_space_factor = 0.2;
  lettering.working.general_text.aspect_ratio = cell_aspect_ratio;
  lettering.working.align_position = align_position;
  lettering_apply(&lettering);

  draw_border_line(left_x, top_y, right_x, top_y);
  draw_border_line(right_x, top_y, right_x, bottom_y);
  draw_border_line(right_x, bottom_y, left_x, bottom_y);
  draw_border_line(left_x, bottom_y, left_x, top_y);

  note_point[1] = top_y - row_height / 2.0 - 0.5;
  note_point[2] = 0.0;
  if (align_position == CELL_ALIGN_RIGHT) {
    note_point[0] = right_x - 2.0;
  } else if (align_position == CELL_ALIGN_CENTER) {
    note_point[0] = left_x / 2.0 + right_x / 2.0;
  } else {
    note_point[0] = left_x + 5.0;
  }
  (void)text_copy(note_text, sizeof note_text, text);
  note_p[0] = note_text;
  UF_CALL_TEXT("UF_DRF_create_note( 1, note_p, note_point, 0, &note_tag )",
               UF_DRF_create_note(1, note_p, note_point, 0, &note_tag));

  lettering_close(&lettering);
  return 1;
}
