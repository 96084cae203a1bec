/*
** draw.h: drawings (sheet pages), the display state, template import,
** member views on a drawing and their display settings, and the mapping
** of model points into a member view.
*/
#ifndef NCSHEET_HOST_DRAW_H
#define NCSHEET_HOST_DRAW_H

#include "defs.h"

#ifdef __cplusplus
#include <stddef.h>
extern "C" {
#endif

/* ---- Display state ------------------------------------------------------ */

/* What the graphics window shows: the model or the current drawing. */
#define UF_DRAW_MODEL_DISPLAY 1
#define UF_DRAW_DRAWING_DISPLAY 2

int UF_DRAW_ask_display_state(int *state);
/* Setting 2 shows the current drawing (fails when there is none). */
int UF_DRAW_set_display_state(int state);

/* ---- Drawings ----------------------------------------------------------- */

/* Size states. */
#define UF_DRAW_METRIC_SIZE 0  /* a standard metric size by code */
#define UF_DRAW_ENGLISH_SIZE 1 /* a standard inch size by code */
#define UF_DRAW_CUSTOM_SIZE 2  /* height and length given */

/* Units. */
#define UF_PART_METRIC 1
#define UF_PART_ENGLISH 2

/* Projection angles. */
#define UF_DRAW_THIRD_ANGLE_PROJECTION 1
#define UF_DRAW_FIRST_ANGLE_PROJECTION 2

typedef struct UF_DRAW_custom_size_s {
  double height; /* sheet height, drawing units */
  double length; /* sheet width, drawing units */
} UF_DRAW_custom_size_t;

typedef union UF_DRAW_size_u {
  int metric_size_code;  /* with UF_DRAW_METRIC_SIZE */
  int english_size_code; /* with UF_DRAW_ENGLISH_SIZE */
  UF_DRAW_custom_size_t custom_size; /* with UF_DRAW_CUSTOM_SIZE */
} UF_DRAW_size_t;

/* The description of a drawing. */
typedef struct UF_DRAW_info_s {
  int size_state;        /* UF_DRAW_METRIC_SIZE, UF_DRAW_ENGLISH_SIZE, UF_DRAW_CUSTOM_SIZE */
  UF_DRAW_size_t size;
  double drawing_scale;  /* 1.0: full size */
  int units;             /* UF_PART_METRIC or UF_PART_ENGLISH */
  int projection_angle;  /* UF_DRAW_THIRD_ANGLE_PROJECTION or UF_DRAW_FIRST_ANGLE_PROJECTION */
} UF_DRAW_info_t;

/* Creates a drawing named name (at most 30 characters; fails when any
** object of the part already has that name) and makes it the current
** drawing, shown in the drawing display (state 2): notes, lines and a
** template import that follow land on it. */
int UF_DRAW_create_drawing(const char *name, UF_DRAW_info_t *info, tag_t *drawing);
/* The current drawing; the null tag when there is none. */
int UF_DRAW_ask_current_drawing(tag_t *drawing);
/* Makes drawing current and shows it (display state 2). */
int UF_DRAW_open_drawing(tag_t drawing);
/* Whether member views show their borders on every drawing. */
int UF_DRAW_set_border_display(logical display);

/* ---- Template import ---------------------------------------------------- */

/* How objects of an imported part are placed; every field 0 (or false)
** keeps them on their layers, makes no named group for them, takes over
** no coordinate systems, expressions or views and no CAM data. */
typedef struct UF_import_part_modes_s {
  int layer_mode;          /* 0: objects keep their layers */
  int group_mode;          /* 0: no named group */
  int csys_mode;           /* 0: coordinate systems are not imported */
  int plist_mode;          /* 0: no part attributes */
  int view_mode;           /* 0: views are not imported */
  logical cam_mode;        /* false: no CAM objects */
  logical use_search_dirs; /* false: part_name is a full file name */
} UF_import_part_modes_t, *UF_import_part_modes_p_t;

/* Copies the objects of the part file part_name into the work part: onto
** the current drawing when one is shown (drawing-space lines and notes,
** frame, title block, headings), else into the model.  dest_csys holds
** the destination X direction (0..2) and Y direction (3..5); dest_point is
** where the source origin goes; scale multiplies every length.  *group
** receives a group of the imported objects (the null tag when none). */
int UF_PART_import(const char *part_name, UF_import_part_modes_p_t modes,
                   double dest_csys[6], double dest_point[3], double scale, tag_t *group);

/* ---- Member views ------------------------------------------------------- */

/* View status. */
#define UF_DRAW_ACTIVE_VIEW 1
#define UF_DRAW_REFERENCE_VIEW 2

/* How a saved model view is brought onto a drawing. */
typedef struct UF_DRAW_view_info_s {
  int view_status;          /* UF_DRAW_ACTIVE_VIEW (default) or UF_DRAW_REFERENCE_VIEW */
  double view_scale;        /* model length to drawing length; default 1.0 */
  logical inherit_boundary; /* false (default): the boundary fits the view's contents */
} UF_DRAW_view_info_t;

/* Fills view_info with the defaults. */
int UF_DRAW_initialize_view_info(UF_DRAW_view_info_t *view_info);

/* Places the saved model view model_view on drawing as a new member view
** centred on ref_point (drawing coordinates).  The reference point of a
** member view is the centre of its view: the centre of the workpiece
** bodies' box as the view shows it. */
int UF_DRAW_import_view(tag_t drawing, tag_t model_view, double ref_point[2],
                        UF_DRAW_view_info_t *view_info, tag_t *view);

/* Projection directions of an orthographic view, seen from its parent. */
#define UF_DRAW_PROJ_ABOVE 1
#define UF_DRAW_PROJ_RIGHT 2
#define UF_DRAW_PROJ_BELOW 3
#define UF_DRAW_PROJ_LEFT 4

/* Adds a member view projected from parent_view in direction proj_dir
** (drawings of third angle projection: 3 shows the parent seen from its
** bottom edge, placed below it; 2 the parent seen from its right edge,
** placed right of it), centred on ref_point; it takes the parent's scale
** and view display settings. */
int UF_DRAW_add_orthographic_view(tag_t drawing, tag_t parent_view, int proj_dir,
                                  double ref_point[2], tag_t *view);

int UF_DRAW_set_view_scale(tag_t view, double scale);
/* Moves the view so that its reference point (centre) lies on ref_point;
** the scale does not move it. */
int UF_DRAW_set_drawing_ref_pt(tag_t drawing, tag_t view, double ref_point[2]);
/* Brings the member view up to date with the model. */
int UF_DRAW_update_one_view(tag_t drawing, tag_t view);

/* Switch values and line fonts of the view display settings. */
#define UF_DRAW_YES 1
#define UF_DRAW_NO 2
#define UF_DRAW_FONT_ORIGINAL 0 /* as the object */
#define UF_DRAW_FONT_SOLID 1
#define UF_DRAW_FONT_INVISIBLE 2
#define UF_DRAW_FONT_DASHED 3
#define UF_DRAW_WIDTH_ORIGINAL 0 /* as the object */
#define UF_DRAW_WIDTH_THIN 1
#define UF_DRAW_WIDTH_NORMAL 2
#define UF_DRAW_WIDTH_THICK 3

/* How a member view shows its edges.  The layout (byte offsets in the
** comments) is the host's and must not change.  The sheet's views set
** hidden_line UF_DRAW_YES, hidden_line_font UF_DRAW_FONT_INVISIBLE,
** hidden_line_width UF_DRAW_WIDTH_NORMAL, silhouettes UF_DRAW_YES,
** smooth_edges UF_DRAW_YES, smooth_edge_gaps UF_DRAW_NO and
** referenced_edges_only false. */
typedef struct UF_DRAW_view_display_s {
  int hidden_line;               /*   0 UF_DRAW_YES: hidden edges are processed */
  int hidden_line_color;         /*   4 0: as the object */
  int hidden_line_font;          /*   8 UF_DRAW_FONT_* of hidden edges */
  int hidden_line_width;         /*  12 UF_DRAW_WIDTH_* of hidden edges */
  int silhouettes;               /*  16 UF_DRAW_YES: outlines of curved faces */
  int edges_hidden_by_own_solid; /*  20 UF_DRAW_YES: a body hides its own edges */
  int visible_lines;             /*  24 UF_DRAW_YES */
  int visible_line_color;        /*  28 */
  int visible_line_font;         /*  32 */
  int visible_line_width;        /*  36 */
  int silhouette_color;          /*  40 */
  int silhouette_font;           /*  44 */
  int silhouette_width;          /*  48 */
  int uv_hatch;                  /*  52 UF_DRAW_NO */
  int uv_hatch_color;            /*  56 */
  int virtual_intersections;     /*  60 UF_DRAW_NO */
  double tolerance;              /*  64 chord tolerance of curved edges, model units */
  double smooth_edge_gap_size;   /*  72 */
  int tracelines;                /*  80 UF_DRAW_NO */
  int traceline_color;           /*  84 */
  int traceline_font;            /*  88 */
  int traceline_width;           /*  92 */
  int threads;                   /*  96 UF_DRAW_NO */
  int section_line_display;      /* 100 UF_DRAW_NO */
  int smooth_edges;              /* 104 UF_DRAW_YES: edges between tangent faces */
  int smooth_edge_gaps;          /* 108 UF_DRAW_YES: gaps at the ends of smooth edges */
  unsigned char auto_update;     /* 112 */
  unsigned char extracted_edges; /* 113 */
  unsigned char referenced_edges_only; /* 114 true: only edges that dimensions use */
  unsigned char reserved;        /* 115 */
} UF_DRAW_view_display_t;

int UF_DRAW_ask_view_display(tag_t view, UF_DRAW_view_display_t *view_display);
int UF_DRAW_set_view_display(tag_t view, UF_DRAW_view_display_t *view_display);

/* The drawing position (x, y, drawing coordinates) of the model point
** model_point (absolute coordinates) in member view view, from its
** orientation, scale and reference point. */
int UF_VIEW_map_model_to_drawing(tag_t view, const double model_point[3], double map_point[2]);

/* ---- Drawing display ---------------------------------------------------- */

/* How drawings are shown.  The layout is the host's. */
typedef struct UF_DISP_drawing_display_s {
  int background_color;        /*  0 */
  int foreground_color;        /*  4 */
  int grid_display;            /*  8 UF_DRAW_YES / UF_DRAW_NO */
  int preselection_color;      /* 12 */
  int selection_color;         /* 16 */
  unsigned char monochrome;    /* 20 true: everything in the foreground colour */
  unsigned char show_widths;   /* 21 true: line widths shown */
  unsigned char reserved[2];   /* 22 */
} UF_DISP_drawing_display_t;

int UF_DISP_ask_drawing_display(UF_DISP_drawing_display_t *display);
int UF_DISP_set_drawing_display(UF_DISP_drawing_display_t *display);

#ifdef __cplusplus
}

static_assert(offsetof(UF_DRAW_view_display_t, hidden_line) == 0, "view display layout");
static_assert(offsetof(UF_DRAW_view_display_t, hidden_line_font) == 8, "view display layout");
static_assert(offsetof(UF_DRAW_view_display_t, hidden_line_width) == 12, "view display layout");
static_assert(offsetof(UF_DRAW_view_display_t, silhouettes) == 16, "view display layout");
static_assert(offsetof(UF_DRAW_view_display_t, tolerance) == 64, "view display layout");
static_assert(offsetof(UF_DRAW_view_display_t, smooth_edges) == 104, "view display layout");
static_assert(offsetof(UF_DRAW_view_display_t, smooth_edge_gaps) == 108, "view display layout");
static_assert(offsetof(UF_DRAW_view_display_t, referenced_edges_only) == 114,
              "view display layout");
static_assert(offsetof(UF_DISP_drawing_display_t, monochrome) == 20, "drawing display layout");
#endif
#endif
