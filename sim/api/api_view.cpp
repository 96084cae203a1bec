//===- api_view.cpp - view.h: the work view, standard and saved views -----===//
#include "host/view.h"

#include "api/entry.h"
#include "objects/object_store.h"
#include "modelviews/model_views.h"

#include <cstring>
#include <string_view>

using sim::Call;
using sim::Session;
namespace geo = sim::geo;
namespace status = sim::status;
namespace views = sim::views;

namespace {

bool empty_text(const char *text) { return text == nullptr || text[0] == '\0'; }

} // namespace

// Only the work view of the current layout can be replaced (empty layout
// and view names, or the name of the view it shows).
extern "C" int uc6464(const char *layout_name, const char *view_name, const char *new_view_name) {
  return sim::api::call(Call::uc6464, [&](Session &s) {
    if (!empty_text(layout_name) || empty_text(new_view_name))
      return status::kBadArgument;
    auto &work = s.component<views::ModelViews>();
    if (!empty_text(view_name) && std::string_view(view_name) != work.work_name())
      return status::kNotFound;
    auto m = views::view_matrix_by_name(s, new_view_name);
    if (!m)
      return status::kNotFound;
    work.set_work(*m, new_view_name);
    return status::kOk;
  });
}

extern "C" int uc6450(const char *view_name, const char *new_view_name, int save_orientation,
                      int save_scale) {
  return sim::api::call(Call::uc6450, [&](Session &s) {
    if (!empty_text(view_name) || empty_text(new_view_name))
      return status::kBadArgument;
    if (std::strlen(new_view_name) > UF_VIEW_NAME_BUFSIZE - 1)
      return status::kBadArgument;
    auto &work = s.component<views::ModelViews>();
    tag_t saved = views::save_view(s, new_view_name, work.work(), work.work_name());
    return saved != NULL_TAG ? status::kOk : status::kBadArgument;
  });
}

extern "C" int UF_VIEW_rotate_view_abs_csys(tag_t view, double center[3], double axis[3],
                                            double angle, int update_flag) {
  return sim::api::call(Call::UF_VIEW_rotate_view_abs_csys, [&](Session &s) {
    if (!center || !axis)
      return status::kBadArgument;
    geo::Vec3 k{axis[0], axis[1], axis[2]};
    if (geo::norm(k) < 1e-12)
      return status::kBadArgument;
    if (view == NULL_TAG) {
      s.component<views::ModelViews>().turn_work(k, angle);
      return status::kOk;
    }
    views::SavedView *v = views::find_view(s, view);
    if (!v)
      return sim::api::wrong_kind_status(s, view);
    v->matrix = views::turned(v->matrix, k, angle);
    return status::kOk;
  });
}

extern "C" int UF_VIEW_ask_view_matrix(tag_t view, double matrix[9]) {
  return sim::api::call(Call::UF_VIEW_ask_view_matrix, [&](Session &s) {
    if (!matrix)
      return status::kBadArgument;
    const geo::Mat3 *m = nullptr;
    if (view == NULL_TAG) {
      m = &s.component<views::ModelViews>().work();
    } else if (views::SavedView *v = views::find_view(s, view)) {
      m = &v->matrix;
    } else {
      return sim::api::wrong_kind_status(s, view);
    }
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c)
        matrix[3 * r + c] = m->row[r][c];
    return status::kOk;
  });
}
