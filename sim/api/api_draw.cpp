//===- api_draw.cpp - draw.h: drawings, display, import, member views -----===//
#include "host/draw.h"

#include "api/entry.h"
#include "drawings/drawings.h"
#include "drawings/member_views.h"
#include "drawings/template_import.h"
#include "geometry/types.h"
#include "objects/object_store.h"

using sim::Call;
using sim::Session;
namespace draw = sim::draw;
namespace status = sim::status;

extern "C" int UF_DRAW_ask_display_state(int *state) {
  return sim::api::call(
      Call::UF_DRAW_ask_display_state,
      [&](Session &s) {
        if (!state)
          return status::kBadArgument;
        *state = s.component<draw::Drawings>().display_state;
        return status::kOk;
      },
      [&] {
        if (state)
          sim::api::poison(*state);
      });
}

extern "C" int UF_DRAW_set_display_state(int state) {
  return sim::api::call(Call::UF_DRAW_set_display_state,
                        [&](Session &s) { return draw::set_display_state(s, state); });
}

extern "C" int UF_DRAW_create_drawing(const char *name, UF_DRAW_info_t *info, tag_t *drawing) {
  return sim::api::call(
      Call::UF_DRAW_create_drawing,
      [&](Session &s) {
        if (!info || !drawing)
          return status::kBadArgument;
        tag_t made = NULL_TAG;
        const int rc = draw::create_drawing(s, name, *info, made);
        if (rc == status::kOk)
          *drawing = made;
        return rc;
      },
      [&] {
        if (drawing)
          sim::api::poison(*drawing);
      });
}

extern "C" int UF_DRAW_ask_current_drawing(tag_t *drawing) {
  return sim::api::call(
      Call::UF_DRAW_ask_current_drawing,
      [&](Session &s) {
        if (!drawing)
          return status::kBadArgument;
        *drawing = s.component<draw::Drawings>().current;
        return status::kOk;
      },
      [&] {
        if (drawing)
          sim::api::poison(*drawing);
      });
}

extern "C" int UF_DRAW_open_drawing(tag_t drawing) {
  return sim::api::call(Call::UF_DRAW_open_drawing,
                        [&](Session &s) { return draw::open_drawing(s, drawing); });
}

extern "C" int UF_DRAW_set_border_display(logical display) {
  return sim::api::call(Call::UF_DRAW_set_border_display, [&](Session &s) {
    s.component<draw::Drawings>().border_display = display != 0;
    return status::kOk;
  });
}

extern "C" int UF_PART_import(const char *part_name, UF_import_part_modes_p_t modes,
                              double dest_csys[6], double dest_point[3], double scale,
                              tag_t *group) {
  return sim::api::call(
      Call::UF_PART_import,
      [&](Session &s) {
        if (!modes || !dest_csys || !dest_point || !group)
          return status::kBadArgument;
        tag_t made = NULL_TAG;
        const int rc = draw::import_part(s, part_name, *modes, dest_csys, dest_point, scale, made);
        if (rc == status::kOk)
          *group = made;
        return rc;
      },
      [&] {
        if (group)
          sim::api::poison(*group);
      });
}

// The defaults: an active view at full scale whose boundary fits its
// contents.
extern "C" int UF_DRAW_initialize_view_info(UF_DRAW_view_info_t *view_info) {
  return sim::api::call(
      Call::UF_DRAW_initialize_view_info,
      [&](Session &) {
        if (!view_info)
          return status::kBadArgument;
        view_info->view_status = UF_DRAW_ACTIVE_VIEW;
        view_info->view_scale = 1.0;
        view_info->inherit_boundary = FALSE;
        return status::kOk;
      },
      [&] {
        if (view_info) {
          sim::api::poison(view_info->view_status);
          sim::api::poison(view_info->view_scale);
          sim::api::poison(view_info->inherit_boundary);
        }
      });
}

extern "C" int UF_DRAW_import_view(tag_t drawing, tag_t model_view, double ref_point[2],
                                   UF_DRAW_view_info_t *view_info, tag_t *view) {
  return sim::api::call(
      Call::UF_DRAW_import_view,
      [&](Session &s) {
        if (!ref_point || !view_info || !view)
          return status::kBadArgument;
        tag_t made = NULL_TAG;
        const int rc = draw::import_view(s, drawing, model_view, ref_point, *view_info, made);
        if (rc == status::kOk)
          *view = made;
        return rc;
      },
      [&] {
        if (view)
          sim::api::poison(*view);
      });
}

extern "C" int UF_DRAW_add_orthographic_view(tag_t drawing, tag_t parent_view, int proj_dir,
                                             double ref_point[2], tag_t *view) {
  return sim::api::call(
      Call::UF_DRAW_add_orthographic_view,
      [&](Session &s) {
        if (!ref_point || !view)
          return status::kBadArgument;
        tag_t made = NULL_TAG;
        const int rc =
            draw::add_orthographic_view(s, drawing, parent_view, proj_dir, ref_point, made);
        if (rc == status::kOk)
          *view = made;
        return rc;
      },
      [&] {
        if (view)
          sim::api::poison(*view);
      });
}

extern "C" int UF_DRAW_set_view_scale(tag_t view, double scale) {
  return sim::api::call(Call::UF_DRAW_set_view_scale,
                        [&](Session &s) { return draw::set_view_scale(s, view, scale); });
}

extern "C" int UF_DRAW_set_drawing_ref_pt(tag_t drawing, tag_t view, double ref_point[2]) {
  return sim::api::call(Call::UF_DRAW_set_drawing_ref_pt, [&](Session &s) {
    if (!ref_point)
      return status::kBadArgument;
    return draw::set_reference_point(s, drawing, view, ref_point);
  });
}

extern "C" int UF_DRAW_update_one_view(tag_t drawing, tag_t view) {
  return sim::api::call(Call::UF_DRAW_update_one_view,
                        [&](Session &s) { return draw::update_view(s, drawing, view); });
}

extern "C" int UF_DRAW_ask_view_display(tag_t view, UF_DRAW_view_display_t *view_display) {
  return sim::api::call(
      Call::UF_DRAW_ask_view_display,
      [&](Session &s) {
        if (!view_display)
          return status::kBadArgument;
        const draw::MemberViewPayload *member = draw::find_member_view(s, view);
        if (!member)
          return sim::api::wrong_kind_status(s, view);
        *view_display = member->display;
        return status::kOk;
      },
      [&] {
        if (view_display) {
          sim::api::poison(view_display->hidden_line);
          sim::api::poison(view_display->hidden_line_font);
          sim::api::poison(view_display->tolerance);
        }
      });
}

extern "C" int UF_DRAW_set_view_display(tag_t view, UF_DRAW_view_display_t *view_display) {
  return sim::api::call(Call::UF_DRAW_set_view_display, [&](Session &s) {
    if (!view_display)
      return status::kBadArgument;
    return draw::set_view_display(s, view, *view_display);
  });
}

extern "C" int UF_VIEW_map_model_to_drawing(tag_t view, const double model_point[3],
                                            double map_point[2]) {
  return sim::api::call(
      Call::UF_VIEW_map_model_to_drawing,
      [&](Session &s) {
        if (!model_point || !map_point)
          return status::kBadArgument;
        const draw::MemberViewPayload *member = draw::find_member_view(s, view);
        if (!member)
          return sim::api::wrong_kind_status(s, view);
        const auto at =
            draw::model_to_drawing(*member, {model_point[0], model_point[1], model_point[2]});
        map_point[0] = at[0];
        map_point[1] = at[1];
        return status::kOk;
      },
      [&] {
        if (map_point) {
          sim::api::poison(map_point[0]);
          sim::api::poison(map_point[1]);
        }
      });
}

extern "C" int UF_DISP_ask_drawing_display(UF_DISP_drawing_display_t *display) {
  return sim::api::call(
      Call::UF_DISP_ask_drawing_display,
      [&](Session &s) {
        if (!display)
          return status::kBadArgument;
        *display = s.component<draw::Drawings>().drawing_display;
        return status::kOk;
      },
      [&] {
        if (display) {
          sim::api::poison(display->background_color);
          display->monochrome = 0xA5;
        }
      });
}

extern "C" int UF_DISP_set_drawing_display(UF_DISP_drawing_display_t *display) {
  return sim::api::call(Call::UF_DISP_set_drawing_display, [&](Session &s) {
    if (!display || (display->grid_display != UF_DRAW_YES && display->grid_display != UF_DRAW_NO))
      return status::kBadArgument;
    s.component<draw::Drawings>().drawing_display = *display;
    return status::kOk;
  });
}
