//===- api_drf_ord.cpp - drf.h: ordinate origins, margins, dimensions -----===//
#include "host/drf.h"

#include "api/entry.h"
#include "drafting/ordinate.h"

#include <cstring>
#include <string>
#include <vector>

using sim::Call;
using sim::Session;
namespace drf = sim::drf;
namespace status = sim::status;

namespace {

drf::AttachRequest request_of(const UF_DRF_object_t &object) {
  return {object.object_tag, object.object_view_tag, object.object_assoc_type,
          object.object_assoc_modifier};
}

// A text of at most UF_DRF_TEXT_BUFSIZE - 1 bytes ending within its block;
// false when it does not end there.
bool read_text(const char *text, std::string &out) {
  const std::size_t length = strnlen(text, UF_DRF_TEXT_BUFSIZE);
  if (length == UF_DRF_TEXT_BUFSIZE)
    return false;
  out.assign(text, length);
  return true;
}

} // namespace

extern "C" int UF_DRF_init_object_structure(UF_DRF_object_p_t object) {
  return sim::api::call(
      Call::UF_DRF_init_object_structure,
      [&](Session &) {
        if (!object)
          return status::kBadArgument;
        object->object_tag = NULL_TAG;
        object->object_view_tag = NULL_TAG;
        object->object_assoc_type = UF_DRF_ASSOC_END_POINT;
        object->object_assoc_modifier = 0;
        return status::kOk;
      },
      [&] {
        if (object) {
          sim::api::poison(object->object_tag);
          sim::api::poison(object->object_view_tag);
          sim::api::poison(object->object_assoc_type);
          sim::api::poison(object->object_assoc_modifier);
        }
      });
}

extern "C" int UF_DRF_create_ordorigin(UF_DRF_object_p_t object, int origin_type,
                                       int symbol_display, int name_display, const char *name,
                                       tag_t *origin) {
  return sim::api::call(
      Call::UF_DRF_create_ordorigin,
      [&](Session &s) {
        if (!object || !name || !origin)
          return status::kBadArgument;
        tag_t made = NULL_TAG;
        const int rc = drf::create_ordinate_origin(s, request_of(*object), origin_type,
                                                   symbol_display, name_display, name, made);
        if (rc == status::kOk)
          *origin = made;
        return rc;
      },
      [&] {
        if (origin)
          sim::api::poison(*origin);
      });
}

extern "C" int UF_DRF_create_ordmargin(int margin_type, tag_t origin, UF_DRF_object_p_t object,
                                       double point[3], double direction[2], double offset,
                                       tag_t *margin) {
  return sim::api::call(
      Call::UF_DRF_create_ordmargin,
      [&](Session &s) {
        if (!object || !point || !direction || !margin)
          return status::kBadArgument;
        tag_t made = NULL_TAG;
        const int rc = drf::create_ordinate_margin(s, margin_type, origin, request_of(*object),
                                                   point, direction, offset, made);
        if (rc == status::kOk)
          *margin = made;
        return rc;
      },
      [&] {
        if (margin)
          sim::api::poison(*margin);
      });
}

extern "C" int UF_DRF_create_orddimension(tag_t margin, int dimension_type,
                                          UF_DRF_object_p_t object, double dogleg_angle,
                                          double dogleg_distance, UF_DRF_text_p_t text,
                                          int text_placement, double origin[3], tag_t *dimension) {
  return sim::api::call(
      Call::UF_DRF_create_orddimension,
      [&](Session &s) {
        if (!object || !text || !origin || !dimension || text->lines_app_text < 0 ||
            (text->lines_app_text > 0 && !text->appended_text))
          return status::kBadArgument;
        drf::DimensionRequest request;
        if (text->user_dim_text && !read_text(text->user_dim_text, request.user_text))
          return status::kBadArgument;
        for (int i = 0; i < text->lines_app_text; ++i) {
          std::string line;
          if (!read_text(text->appended_text + static_cast<std::size_t>(i) * UF_DRF_TEXT_BUFSIZE,
                         line))
            return status::kBadArgument;
          request.appended_text.push_back(std::move(line));
        }
        request.margin = margin;
        request.dimension_type = dimension_type;
        request.object = request_of(*object);
        request.dogleg_angle = dogleg_angle;
        request.dogleg_distance = dogleg_distance;
        request.text_placement = text_placement;
        request.origin_argument = {origin[0], origin[1], origin[2]};
        tag_t made = NULL_TAG;
        const int rc = drf::create_ordinate_dimension(s, request, made);
        if (rc == status::kOk)
          *dimension = made;
        return rc;
      },
      [&] {
        if (dimension)
          sim::api::poison(*dimension);
      });
}
