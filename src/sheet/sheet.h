/*
** sheet.h: the program sheet: its pages with their header notes, the
** operation table with its pagination, and the writer of one table cell.
**
** prog_draw_note is the sheet stage of the command; it opens pages with
** import_prog_drawing (the first) and import_prog_drawing_1 (every
** further one) and writes every cell with create_cell_note.  The value
** helpers of the table are declared here too so that they can be checked
** on their own.
*/
#ifndef NCSHEET_SHEET_H
#define NCSHEET_SHEET_H

#include "command/command.h"
#include "host/defs.h"
#include "host/drf.h"
#include "my_func/my_func.h"

/* The two sheet templates. */
#define PROG_SHEET_TEMPLATE "D:\\kv_conf\\prog_sheet_mr.prt"
#define PROG_SHEET_TEMPLATE_1 "D:\\kv_conf\\prog_sheet_mr1.prt"

/* Page names: "prog_sheet" and a number, at most 30 characters. */
#define PAGE_NAME_PREFIX "prog_sheet"
#define PAGE_NAME_BUFSIZE 31

/* Alignment positions of cell texts. */
#define CELL_ALIGN_LEFT 4
#define CELL_ALIGN_CENTER 5
#define CELL_ALIGN_RIGHT 6

/* prog_sheet_page.cpp */
int import_prog_drawing(const char *drawing_name, tag_t *drawing, int page_number);
int import_prog_drawing_1(const char *drawing_name, tag_t *drawing, int page_number);

/* cell_note.cpp */
int create_cell_note(double row_height, double top_y, double left_x, double right_x,
                     const char *text, int align_position);
void sheet_reset_state(void);

/* lettering.cpp: a routine's change of the lettering preferences. */
typedef struct lettering_bracket {
  UF_DRF_lettering_preferences_t kept;    /* as the routine found them */
  UF_DRF_lettering_preferences_t working; /* the routine's own */
  int open; /* non-zero: both copies were read */
} lettering_bracket;

void lettering_open(lettering_bracket *bracket);
void lettering_apply(lettering_bracket *bracket);
void lettering_close(lettering_bracket *bracket);

/* prog_draw_note.cpp */
int prog_draw_note(prog_entry *list, int count, tag_t prev_oper_mcs);

/* table_values.cpp: the values of one summary line. */
#define ROW_VALUE_COUNT 12
#define ROW_VALUE_BUFSIZE 80 /* a value: 79 bytes and a terminator */
/* The largest depth, in millimetres, that counts as a number. */
#define ROW_DEPTH_LIMIT 1e9

typedef struct row_values {
  char value[ROW_VALUE_COUNT][ROW_VALUE_BUFSIZE];
} row_values;

void split_post_info(const char *post_info, row_values *values);
void program_name_text(const char *name, int show_ext, const char *nc_ext,
                       char out[ROW_VALUE_BUFSIZE]);
double depth_value(const char *text);
int time_value(const char *text);
int add_saturating(int total, int amount);
void time_cell_text(const char *text, char out[ROW_VALUE_BUFSIZE], int *counted);
/* A total row's text: a label of up to 255 bytes, padding and the total. */
#define TOTAL_TEXT_BUFSIZE (MESSAGE_BUFSIZE + 16)
void total_text(const char *label, int total, char out[TOTAL_TEXT_BUFSIZE]);

#endif
