//===- api_layer.cpp - layer.h: layers, display properties, deletion ------===//
#include "host/layer.h"

#include "api/entry.h"
#include "geometry/model.h"
#include "objects/object_store.h"

using sim::Call;
using sim::Session;
namespace geo = sim::geo;
namespace status = sim::status;

namespace {

// Applies set to an object and, for a body, to its faces and edges.
template <class F> int change_object(Session &s, tag_t tag, F &&set) {
  sim::Object *o = s.objects().find(tag);
  if (!o)
    return status::kBadTag;
  set(*o);
  if (auto *body = payload_cast<geo::BodyPayload>(o->payload.get())) {
    for (const auto *list : {&body->faces, &body->edges})
      for (tag_t t : *list)
        if (sim::Object *item = s.objects().find(t))
          set(*item);
  }
  return status::kOk;
}

} // namespace

extern "C" int UF_LAYER_ask_status(int layer, int *layer_status) {
  return sim::api::call(
      Call::UF_LAYER_ask_status,
      [&](Session &s) {
        if (!layer_status || !geo::Layers::valid(layer))
          return status::kBadArgument;
        *layer_status = s.component<geo::Layers>().status(layer);
        return status::kOk;
      },
      [&] {
        if (layer_status)
          sim::api::poison(*layer_status);
      });
}

extern "C" int UF_LAYER_set_status(int layer, int layer_status) {
  return sim::api::call(Call::UF_LAYER_set_status, [&](Session &s) {
    return s.component<geo::Layers>().set(layer, layer_status) ? status::kOk : status::kBadArgument;
  });
}

extern "C" int UF_OBJ_ask_display_properties(tag_t object, UF_OBJ_disp_props_p_t disp_props) {
  return sim::api::call(
      Call::UF_OBJ_ask_display_properties,
      [&](Session &s) {
        if (!disp_props)
          return status::kBadArgument;
        const sim::Object *o = s.objects().find(object);
        if (!o)
          return status::kBadTag;
        disp_props->layer = o->layer;
        disp_props->color = o->color;
        disp_props->blank_status = o->blanked ? UF_OBJ_BLANKED : UF_OBJ_NOT_BLANKED;
        disp_props->line_width = 0;
        disp_props->font = 1;
        disp_props->highlight_status = FALSE;
        return status::kOk;
      },
      [&] {
        if (disp_props) {
          sim::api::poison(disp_props->layer);
          sim::api::poison(disp_props->blank_status);
        }
      });
}

extern "C" int UF_OBJ_set_layer(tag_t object, int layer) {
  return sim::api::call(Call::UF_OBJ_set_layer, [&](Session &s) {
    if (!geo::Layers::valid(layer))
      return status::kBadArgument;
    return change_object(s, object, [&](sim::Object &o) { o.layer = layer; });
  });
}

extern "C" int UF_OBJ_set_color(tag_t object, int color) {
  return sim::api::call(Call::UF_OBJ_set_color, [&](Session &s) {
    if (color < 1 || color > 216)
      return status::kBadArgument;
    return change_object(s, object, [&](sim::Object &o) { o.color = color; });
  });
}

extern "C" int UF_OBJ_set_blank_status(tag_t object, int blank_status) {
  return sim::api::call(Call::UF_OBJ_set_blank_status, [&](Session &s) {
    if (blank_status != UF_OBJ_BLANKED && blank_status != UF_OBJ_NOT_BLANKED)
      return status::kBadArgument;
    return change_object(s, object,
                         [&](sim::Object &o) { o.blanked = blank_status == UF_OBJ_BLANKED; });
  });
}

extern "C" int UF_OBJ_delete_object(tag_t object) {
  return sim::api::call(Call::UF_OBJ_delete_object, [&](Session &s) {
    if (geo::delete_object(s, object))
      return status::kOk;
    return sim::api::wrong_kind_status(s, object);
  });
}

extern "C" int UF_OBJ_delete_array_of_objects(int count, tag_t *objects, int **statuses) {
  return sim::api::call(Call::UF_OBJ_delete_array_of_objects, [&](Session &s) {
    if (count < 0 || (count > 0 && !objects))
      return status::kBadArgument;
    int *out = nullptr;
    if (statuses && count > 0)
      out = s.arrays().allocate_array<int>(static_cast<std::size_t>(count),
                                           Call::UF_OBJ_delete_array_of_objects);
    for (int i = 0; i < count; ++i) {
      int st = status::kOk;
      if (!geo::delete_object(s, objects[i]))
        st = sim::api::wrong_kind_status(s, objects[i]);
      if (out)
        out[i] = st;
    }
    if (statuses)
      *statuses = out;
    return status::kOk;
  });
}
