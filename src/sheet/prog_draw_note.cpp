/*
** prog_draw_note.cpp: the operation table and its pagination.
**
** Entry: prog_draw_note, the sheet stage of the command.  It reads the
** table layout, has the model views and the origin point made, opens the
** sheet pages as the table grows (the first one with the workpiece views),
** and writes one row per program group, grouped under header rows naming
** the parent group, each group closed by a total-time row.
*/
#include "sheet/sheet.h"

#include "command/command.h"
#include "command/report.h"
#include "host/host.h"
#include "my_func/message_keys.h"
#include "my_func/my_func.h"
#include "post/post.h"
#include "views/views.h"

#include <string.h>

/* Messages "prog_d_not_01:" to "prog_d_not_34:". */
#define TABLE_MESSAGE_COUNT PROG_D_NOT_KEY_COUNT
/* A column warning: two messages, the definition file's path and two more. */
#define COLUMN_WARNING_BUFSIZE (3 * MESSAGE_BUFSIZE + 64)
#define SEQUENCE_TEXT_BUFSIZE 16

/* Message indexes (key number minus one). */
enum {
  MSG_COLUMN_WARNING = 0, /* opens every column warning */
  MSG_TOTAL_LABEL = 33    /* label of the total-time row */
};

/* The columns of the table, in the order their keys are read. */
enum {
  COL_SEQUENCE = 0,
  COL_PROG_NAME,
  COL_TOOL,
  COL_TOOL_NUMBER,
  COL_TOOL_LEN,
  COL_SIDE_STOCK,
  COL_FLOOR_STOCK,
  COL_MACH_DESC,
  COL_MAX_DEPTH,
  COL_TIME,
  COL_MIN_SPEED,
  COL_MAX_SPEED,
  COL_MIN_FEED,
  COL_MAX_FEED,
  COL_REMARK,
  COL_PROG_GROUP,
  COLUMN_COUNT
};

/* Positions of the values of a summary line. */
enum {
  VAL_PROG_NAME = 0,
  VAL_TOOL = 1,
  VAL_MACH_DESC = 2,
  VAL_SIDE_STOCK = 3,
  VAL_DEPTH = 4,
  VAL_TIME = 5,
  VAL_TOOL_NUMBER = 6,
  VAL_MIN_SPEED = 7,
  VAL_MAX_SPEED = 8,
  VAL_MIN_FEED = 9,
  VAL_MAX_FEED = 10,
  VAL_FLOOR_STOCK = 11
};

/* How a column is configured.  Its warning texts are the messages
** 2 + 2 * column and 3 + 2 * column (key numbers). */
typedef struct column_def {
  const char *switch_key; /* null: always on */
  const char *start_key;  /* x of the left edge of its cells */
  const char *end_key;    /* x of the right edge */
  int align;              /* alignment of its texts in operation rows */
} column_def;

static const column_def column_defs[COLUMN_COUNT] = {
    {"require_sequence:", "sequence_x_start_site:", "sequence_x_end_site:", CELL_ALIGN_RIGHT},
    {NULL, "prog_name_x_start_site:", "prog_name_x_end_site:", CELL_ALIGN_RIGHT},
    {NULL, "tool_x_start_site:", "tool_x_end_site:", CELL_ALIGN_RIGHT},
    {"require_tool_number:", "tool_number_x_start_site:", "tool_number_x_end_site:",
     CELL_ALIGN_RIGHT},
    {"require_tool_len:", "tool_len_x_start_site:", "tool_len_x_end_site:", CELL_ALIGN_RIGHT},
    {"require_side_stock:", "side_stock_x_start_site:", "side_stock_x_end_site:",
     CELL_ALIGN_RIGHT},
    {"require_floor_stock:", "floor_stock_x_start_site:", "floor_stock_x_end_site:",
     CELL_ALIGN_RIGHT},
    {NULL, "mach_desc_x_start_site:", "mach_desc_x_end_site:", CELL_ALIGN_CENTER},
    {"require_max_depth:", "max_depth_x_start_site:", "max_depth_x_end_site:", CELL_ALIGN_RIGHT},
    {"require_time:", "time_x_start_site:", "time_x_end_site:", CELL_ALIGN_RIGHT},
    {"require_min_speed:", "min_speed_x_start_site:", "min_speed_x_end_site:", CELL_ALIGN_RIGHT},
    {"require_max_speed:", "max_speed_x_start_site:", "max_speed_x_end_site:", CELL_ALIGN_RIGHT},
    {"require_min_feed:", "min_feed_x_start_site:", "min_feed_x_end_site:", CELL_ALIGN_RIGHT},
    {"require_max_feed:", "max_feed_x_start_site:", "max_feed_x_end_site:", CELL_ALIGN_RIGHT},
    {"require_remark:", "remark_x_start_site:", "remark_x_end_site:", CELL_ALIGN_RIGHT},
    {NULL, "prog_group_x_start_site:", "prog_group_x_end_site:", CELL_ALIGN_LEFT}};

/* A column as read. */
typedef struct table_column {
  int on;         /* non-zero: the column has cells */
  double start_x; /* left edge */
  double end_x;   /* right edge */
} table_column;

/* Everything one writing of the table carries. */
typedef struct table_run {
  char messages[TABLE_MESSAGE_COUNT][MESSAGE_BUFSIZE];
  double row_height;     /* "prog_sheet_note_space:" */
  double text_size;      /* "prog_sheet_note_high:" */
  double first_start_y;  /* "one_page_space_y_start_site:" */
  double next_start_y;   /* "two_page_space_y_start_site:" */
  double end_y;          /* "page_space_y_end_site:" */
  double tool_allowance; /* "tool_len_than_max_depth_size:" */
  table_column columns[COLUMN_COUNT];
  double y;              /* top of the next row */
  int page_number;       /* number of the next page; 1 while none is open */
  int name_counter;      /* number of the next page name to try */
  int row_number;        /* number of the last row within its group */
  int time_total;        /* running time total over the whole table */
  double box_top_z;      /* top of the workpiece box, WCS */
  tag_t modl_view;
  tag_t modl_iso_view;
  int view_dir_code;
  tag_t mcs_ori_point;
} table_run;

/* Reads number key into *value, which starts at 0.  1 when read; 0 when
** missing (the reader has told the user). */
static int read_number(const char *key, double *value)
{
  *value = 0.0;
  return read_config_value(key, value, CONFIG_PATH);
}

/* Reads column index: its switch (a value that truncates to 0 turns it
** off) and, when it is on, its edges, warning when the start is not left
** of the end.  1 when read; 0 when a key is missing.  The message box is not reported: its failure
** has no one to tell. */
static int read_column(table_run *run, int index)
{
  const column_def *def = &column_defs[index];
  table_column *column = &run->columns[index];
  char warning[COLUMN_WARNING_BUFSIZE] = "";
  double on = 1.0;

  column->on = 0;
  column->start_x = 0.0;
  column->end_x = 0.0;
  if (def->switch_key != NULL && !read_number(def->switch_key, &on)) {
    return 0;
  }
  /* Truncation toward zero gives 0 exactly for -1 < on < 1 (and NaN). */
  if (!(on >= 1.0 || on <= -1.0)) {
    return 1;
  }
  column->on = 1;
  if (!read_number(def->start_key, &column->start_x)) {
    return 0;
  }
  if (!read_number(def->end_key, &column->end_x)) {
    return 0;
  }
  if (!(column->start_x < column->end_x)) {
    (void)text_format(warning, sizeof warning, "%s %s %s\n%s", run->messages[MSG_COLUMN_WARNING],
                      CONFIG_PATH, run->messages[1 + 2 * index], run->messages[2 + 2 * index]);
    uc1601(warning, 1);
  }
  return 1;
}

/* Reads the table layout in key order.  1 when every key was read; 0 when
** one is missing. */
static int read_layout(table_run *run)
{
  int i;

  if (!read_number("prog_sheet_note_space:", &run->row_height) ||
      !read_number("prog_sheet_note_high:", &run->text_size) ||
      !read_number("one_page_space_y_start_site:", &run->first_start_y) ||
      !read_number("two_page_space_y_start_site:", &run->next_start_y) ||
      !read_number("page_space_y_end_site:", &run->end_y)) {
    return 0;
  }
  for (i = 0; i < COLUMN_COUNT; i++) {
    if (!read_column(run, i)) {
      return 0;
    }
    if (i == COL_TOOL_LEN && !read_number("tool_len_than_max_depth_size:", &run->tool_allowance)) {
      return 0;
    }
  }
  return 1;
}

/* Finds the first free page name from the page-name counter on: a name
** that no object of the part carries.  The counter keeps its value. */
static void free_page_name(table_run *run, char name[PAGE_NAME_BUFSIZE])
{
  for (;;) {
    tag_t object = NULL_TAG;

    (void)text_format(name, PAGE_NAME_BUFSIZE, "%s%d", PAGE_NAME_PREFIX, run->name_counter);
    if (UF_CALL(UF_OBJ_cycle_by_name(name, &object)) != 0) {
      object = NULL_TAG; /* unknown: try the name */
    }
    if (object == NULL_TAG) {
      return;
    }
    run->name_counter++;
  }
}

/* Opens the next page: the first with its header notes and the workpiece
** views, which give box_top_z; every further one with its page note; y
** goes to the page's first row.  1 when the page exists; 0 when the sheet
** must stop. */
static int open_page(table_run *run)
{
  char name[PAGE_NAME_BUFSIZE] = "";
  tag_t drawing = NULL_TAG;

  free_page_name(run, name);
  if (run->page_number == 1) {
    if (!import_prog_drawing(name, &drawing, 1)) {
      return 0;
    }
    if (!import_view(run->modl_view, run->modl_iso_view, run->view_dir_code,
                     run->mcs_ori_point, &run->box_top_z)) {
      return 0;
    }
    run->y = run->first_start_y;
  } else {
    if (!import_prog_drawing_1(name, &drawing, run->page_number)) {
      return 0;
    }
    run->y = run->next_start_y;
  }
  run->page_number++;
  return 1;
}

/* Opens a page when none is open yet or the next row's top would be at or
** below the end line.  1 to go on; 0 when the sheet must stop. */
static int page_check(table_run *run)
{
  if (run->page_number == 1 || run->y <= run->end_y) {
    return open_page(run);
  }
  return 1;
}

/* Writes text into the cell of column at the current row, aligned by
** align.  1 when written; 0 when the sheet must stop. */
static int write_cell(const table_run *run, int column, const char *text, int align)
{
  const table_column *c = &run->columns[column];

  return create_cell_note(run->row_height, run->y, c->start_x, c->end_x, text, align);
}

/* Writes the value cell of column when the column is on.  1 to go on; 0
** when the sheet must stop. */
static int write_value_cell(const table_run *run, int column, const char *text)
{
  if (!run->columns[column].on) {
    return 1;
  }
  return write_cell(run, column, text, column_defs[column].align);
}

/* Writes a header row naming parent_name over the program group range and
** lowers y by a row.  1 to go on; 0 when the sheet must stop. */
static int write_header_row(table_run *run, const char *parent_name)
{
  if (!write_cell(run, COL_PROG_GROUP, parent_name, CELL_ALIGN_LEFT)) {
    return 0;
  }
  run->y -= run->row_height;
  return 1;
}

/* Writes the operation row of entry at y: its cells in their order, and
** counts its time into the running total.  1 to go on; 0 when the sheet
** must stop. */
static int write_operation_row(table_run *run, const prog_entry *entry)
{
  row_values values;
  char prog_name[ROW_VALUE_BUFSIZE] = "";
  char sequence[SEQUENCE_TEXT_BUFSIZE] = "";
  char max_depth[FORMAT_BUFSIZE] = "";
  char tool_len[FORMAT_BUFSIZE] = "";
  char time[ROW_VALUE_BUFSIZE] = "";
  double depth;
  int counted = 0;

  run->row_number++;
  split_post_info(entry->post_info, &values);
  program_name_text(values.value[VAL_PROG_NAME], show_ext, nc_ext, prog_name);
  (void)text_format(sequence, sizeof sequence, "%d", run->row_number);
  depth = depth_value(values.value[VAL_DEPTH]);
  format_places(depth - run->box_top_z, 1, max_depth);
  format_places(run->box_top_z - depth + run->tool_allowance, 1, tool_len);
  time_cell_text(values.value[VAL_TIME], time, &counted);
  run->time_total = add_saturating(run->time_total, counted);

  return write_value_cell(run, COL_PROG_NAME, prog_name) &&
         write_value_cell(run, COL_SEQUENCE, sequence) &&
         write_value_cell(run, COL_REMARK, "") &&
         write_value_cell(run, COL_TOOL, values.value[VAL_TOOL]) &&
         write_value_cell(run, COL_MACH_DESC, values.value[VAL_MACH_DESC]) &&
         write_value_cell(run, COL_SIDE_STOCK, values.value[VAL_SIDE_STOCK]) &&
         write_value_cell(run, COL_MAX_DEPTH, max_depth) &&
         write_value_cell(run, COL_TOOL_LEN, tool_len) &&
         write_value_cell(run, COL_TIME, time) &&
         write_value_cell(run, COL_TOOL_NUMBER, values.value[VAL_TOOL_NUMBER]) &&
         write_value_cell(run, COL_MIN_SPEED, values.value[VAL_MIN_SPEED]) &&
         write_value_cell(run, COL_MAX_SPEED, values.value[VAL_MAX_SPEED]) &&
         write_value_cell(run, COL_MIN_FEED, values.value[VAL_MIN_FEED]) &&
         write_value_cell(run, COL_MAX_FEED, values.value[VAL_MAX_FEED]) &&
         write_value_cell(run, COL_FLOOR_STOCK, values.value[VAL_FLOOR_STOCK]);
}

/* Writes the total row of a group at y when the time column is on (the
** running total in the time column, an empty cell over the program group
** range) and lowers y by a row.  1 to go on; 0 when the sheet must
** stop. */
static int write_total_row(table_run *run)
{
  char text[TOTAL_TEXT_BUFSIZE] = "";

  if (!run->columns[COL_TIME].on) {
    return 1;
  }
  total_text(run->messages[MSG_TOTAL_LABEL], run->time_total, text);
  if (!write_cell(run, COL_TIME, text, CELL_ALIGN_RIGHT) ||
      !write_cell(run, COL_PROG_GROUP, "", CELL_ALIGN_LEFT)) {
    return 0;
  }
  run->y -= run->row_height;
  return 1;
}

/* Tells whether two records belong to different groups. */
static int parents_differ(const prog_entry *a, const prog_entry *b)
{
  return strncmp(a->parent_name, b->parent_name, sizeof a->parent_name) != 0;
}

/* Writes the rows of the whole list, opening pages as they are needed.
** 1 when every row was written; 0 when the sheet must stop. */
static int write_table(table_run *run, const prog_entry *list, int count)
{
  int i;

  for (i = 0; i < count; i++) {
    const prog_entry *next = i + 1 < count ? &list[i + 1] : NULL;

    if (!page_check(run)) {
      return 0;
    }
    if (i == 0 && list[0].parent_name[0] != '\0' &&
        !write_header_row(run, list[0].parent_name)) {
      return 0;
    }
    if (!write_operation_row(run, &list[i])) {
      return 0;
    }
    run->y -= run->row_height;
    if (!page_check(run)) {
      return 0;
    }
    if ((next == NULL || parents_differ(&list[i], next)) && !write_total_row(run)) {
      return 0;
    }
    if (!page_check(run)) {
      return 0;
    }
    if (next != NULL && parents_differ(&list[i], next)) {
      run->row_number = 0;
      if (next->parent_name[0] != '\0' && !write_header_row(run, next->parent_name)) {
        return 0;
      }
    }
  }
  return 1;
}

/* Writes the program sheet of the count records of list: the model views
** and the origin point for the machining coordinate system
** prev_oper_mcs, the pages, the workpiece views on the first page, and
** the table.  The lettering preferences are as before on every way out.
** 1 when the sheet is complete; 0 when the command must stop (the user
** has been told why; what was made stays in the part). */
int prog_draw_note(prog_entry *list, int count, tag_t prev_oper_mcs)
{
  table_run table;
  table_run *run = &table;
  lettering_bracket lettering;
  int result = 0;

  memset(run, 0, sizeof *run);
  run->page_number = 1;
  run->name_counter = 1;
  if (!load_messages("prog_d_not_", run->messages, TABLE_MESSAGE_COUNT, lang_file) ||
      !read_layout(run)) {
    return 0;
  }

  lettering_open(&lettering);
  lettering.working.general_text.size = run->text_size;
  lettering.working.general_text.char_space_factor = 1.0;
  lettering.working.general_text.aspect_ratio = 0.8;
  lettering.working.align_position = UF_DRF_MID_LEFT;
  lettering_apply(&lettering);

  if (!create_modl_view(prev_oper_mcs, &run->modl_view, &run->modl_iso_view,
                        &run->view_dir_code)) {
    goto out_restore_lettering;
  }
  if (!create_mcs_ori_point(prev_oper_mcs, &run->mcs_ori_point)) {
    goto out_restore_lettering;
  }
  run->y = 0.0;
  result = write_table(run, list, count);

out_restore_lettering:
  lettering_close(&lettering);
  return result;
}
