/*
** drf.h: drafting preferences, lettering preferences and notes.
*/
#ifndef NCSHEET_HOST_DRF_H
#define NCSHEET_HOST_DRF_H

#include "defs.h"

#ifdef __cplusplus
#include <stddef.h>
extern "C" {
#endif

/* ---- Drafting preferences ----------------------------------------------- */

/* Sizes of the two preference arrays and of the symbol texts. */
#define UF_DRF_INT_PREFS 100
#define UF_DRF_REAL_PREFS 70
#define UF_DRF_SYMBOL_BUFSIZE 28 /* radius and diameter symbols: 27 bytes */

/* The current drafting preferences: an integer array of 100 and a real
** array of 70 (zero-based indices as the host documents them) and the
** texts of the radius and diameter symbols. */
int UF_DRF_ask_preferences(int int_prefs[UF_DRF_INT_PREFS], double real_prefs[UF_DRF_REAL_PREFS],
                           char radius_symbol[UF_DRF_SYMBOL_BUFSIZE],
                           char diameter_symbol[UF_DRF_SYMBOL_BUFSIZE]);
/* Makes the given preferences current; texts longer than 27 bytes are
** refused. */
int UF_DRF_set_preferences(int int_prefs[UF_DRF_INT_PREFS], double real_prefs[UF_DRF_REAL_PREFS],
                           char radius_symbol[UF_DRF_SYMBOL_BUFSIZE],
                           char diameter_symbol[UF_DRF_SYMBOL_BUFSIZE]);

/* ---- Lettering preferences ---------------------------------------------- */

/* Alignment positions: where a note's origin lies on its text. */
#define UF_DRF_TOP_LEFT 1
#define UF_DRF_TOP_CENTER 2
#define UF_DRF_TOP_RIGHT 3
#define UF_DRF_MID_LEFT 4
#define UF_DRF_MID_CENTER 5
#define UF_DRF_MID_RIGHT 6
#define UF_DRF_BOTTOM_LEFT 7
#define UF_DRF_BOTTOM_CENTER 8
#define UF_DRF_BOTTOM_RIGHT 9

/* Justification of the lines of a text block. */
#define UF_DRF_JUSTIFY_LEFT 1
#define UF_DRF_JUSTIFY_CENTER 2
#define UF_DRF_JUSTIFY_RIGHT 3

/* The lettering of one kind of text (56 bytes). */
typedef struct UF_DRF_lettering_s {
  double size;              /*  0 character height, drawing units */
  double char_space_factor; /*  8 gap between characters, in character heights */
  double aspect_ratio;      /* 16 character height to width */
  int color;                /* 24 */
  int font;                 /* 28 */
  int width;                /* 32 stroke width: 0 thin, 1 normal, 2 thick */
  int italic;               /* 36 non-zero: slanted by italic_angle */
  double italic_angle;      /* 40 degrees from upright */
  double line_space_factor; /* 48 gap between the lines of a text, in character heights */
} UF_DRF_lettering_t;

/* The lettering preferences: four kinds of text, then the placement of
** notes.  The layout (byte offsets in the comments) is the host's and
** must not change: the general text's size, character space factor,
** aspect ratio and line space factor lie at bytes 168, 176, 184 and 216. */
typedef struct UF_DRF_lettering_preferences_s {
  UF_DRF_lettering_t dimension_text; /*   0 */
  UF_DRF_lettering_t appended_text;  /*  56 */
  UF_DRF_lettering_t tolerance_text; /* 112 */
  UF_DRF_lettering_t general_text;   /* 168 notes */
  int align_position;                /* 224 UF_DRF_TOP_LEFT .. UF_DRF_BOTTOM_RIGHT */
  int horiz_text_just;               /* 228 UF_DRF_JUSTIFY_* */
} UF_DRF_lettering_preferences_t;

int UF_DRF_ask_lettering_preferences(UF_DRF_lettering_preferences_t *lettering);
/* Makes the given lettering current for the notes and dimensions created
** after it; refuses a size, aspect ratio or line space factor not greater
** than 0, a negative character space factor and an alignment position
** outside 1..9. */
int UF_DRF_set_lettering_preferences(UF_DRF_lettering_preferences_t *lettering);

/* ---- Notes -------------------------------------------------------------- */

/* Creates a note of num_lines lines of text (GBK bytes) on the shown
** drawing (else in the model), with the current lettering: its alignment
** position lies on origin; orientation 0 is horizontal. */
int UF_DRF_create_note(int num_lines, char *text[], double origin[3], int orientation,
                       tag_t *note);

/* ---- Ordinate dimensions ------------------------------------------------ */

/* How a drafting object attaches to its object: at an end of an edge or a
** line (chosen by the modifier), or at a point. */
#define UF_DRF_ASSOC_END_POINT 1

/* Association modifiers: the first or second vertex of an edge, in the
** order UF_MODL_ask_edge_verts gives them (start or end of a line). */
#define UF_DRF_FIRST_END 1
#define UF_DRF_SECOND_END 2

/* The object a drafting object attaches to, seen in a member view. */
typedef struct UF_DRF_object_s {
  tag_t object_tag;          /* an edge, a model line or a model point */
  tag_t object_view_tag;     /* the member view it is seen in */
  int object_assoc_type;     /* UF_DRF_ASSOC_END_POINT */
  int object_assoc_modifier; /* edges and lines: UF_DRF_FIRST_END or UF_DRF_SECOND_END */
} UF_DRF_object_t, *UF_DRF_object_p_t;

/* Sets every member of object to its default: no object, no view, end
** point association, no modifier (0). */
int UF_DRF_init_object_structure(UF_DRF_object_p_t object);

/* The arguments of an ordinate origin: associated to its object, its
** symbol shown, its name not shown.  No other combination is known. */
#define UF_DRF_ORIGIN_ASSOCIATIVE 1
#define UF_DRF_ORIGIN_SYMBOL_SHOWN 1
#define UF_DRF_ORIGIN_NAME_HIDDEN 2

/* Creates an ordinate origin in the member view of object, at the drawing
** position of its object; name (at most 30 bytes) may be empty. */
int UF_DRF_create_ordorigin(UF_DRF_object_p_t object, int origin_type, int symbol_display,
                            int name_display, const char *name, tag_t *origin);

/* Margin types: a horizontal margin carries the dimensions of horizontal
** distances, a vertical margin those of vertical distances. */
#define UF_DRF_MARGIN_HORIZONTAL 1
#define UF_DRF_MARGIN_VERTICAL 2

/* Creates a margin of origin: a line on the sheet through the drawing
** position of object (horizontal: its y, vertical: its x), moved by
** offset sheet millimetres (negative: down or left).  point and direction
** all 0 place the margin by its object; this host knows no other way. */
int UF_DRF_create_ordmargin(int margin_type, tag_t origin, UF_DRF_object_p_t object,
                            double point[3], double direction[2], double offset,
                            tag_t *margin);

/* Dimension texts: a user text and lines_app_text lines of appended text,
** each line in its own block of UF_DRF_TEXT_BUFSIZE bytes holding a
** terminator.  The host keeps them with the dimension; the text it
** prints is the measured value. */
#define UF_DRF_TEXT_BUFSIZE 30
typedef struct UF_DRF_text_s {
  char *user_dim_text; /* null or a text of at most 29 bytes */
  int lines_app_text;  /* 0 or more */
  char *appended_text; /* lines_app_text blocks of UF_DRF_TEXT_BUFSIZE bytes */
} UF_DRF_text_t, *UF_DRF_text_p_t;

/* The kind of an ordinate dimension (a point measured from the origin of
** its margin) and its text placement (automatic: at the margin, the
** origin argument is not used). */
#define UF_DRF_ORDINATE_POINT 2
#define UF_DRF_TEXT_AUTOMATIC 1

/* Creates an ordinate dimension of object on margin: its value is the
** model distance of the object's point from the margin's origin, along
** the work coordinate system axis that runs along the margin on the
** sheet.  Dogleg angle (degrees) and distance 0 make no dogleg. */
int UF_DRF_create_orddimension(tag_t margin, int dimension_type, UF_DRF_object_p_t object,
                               double dogleg_angle, double dogleg_distance,
                               UF_DRF_text_p_t text, int text_placement, double origin[3],
                               tag_t *dimension);

#ifdef __cplusplus
}

static_assert(sizeof(UF_DRF_lettering_t) == 56, "lettering layout");
static_assert(offsetof(UF_DRF_lettering_preferences_t, general_text.size) == 168,
              "lettering preferences layout");
static_assert(offsetof(UF_DRF_lettering_preferences_t, general_text.char_space_factor) == 176,
              "lettering preferences layout");
static_assert(offsetof(UF_DRF_lettering_preferences_t, general_text.aspect_ratio) == 184,
              "lettering preferences layout");
static_assert(offsetof(UF_DRF_lettering_preferences_t, general_text.line_space_factor) == 216,
              "lettering preferences layout");
static_assert(offsetof(UF_DRF_lettering_preferences_t, align_position) == 224,
              "lettering preferences layout");
#endif
#endif
