//===- api_modl.cpp - modl.h: bodies, topology, boxes, isoclines ----------===//
#include "host/modl.h"

#include "api/entry.h"
#include "geometry/model.h"
#include "objects/object_store.h"

using sim::Call;
using sim::Session;
namespace geo = sim::geo;
namespace status = sim::status;

namespace {

using List = geo::HostLists::List;

List *find_list(Session &s, uf_list_p_t list) {
  return list ? s.component<geo::HostLists>().find(list) : nullptr;
}

// A host list is handed out as an opaque handle, never dereferenced as such.
uf_list_p_t as_handle(List *list) { return reinterpret_cast<uf_list_p_t>(list); }

// The face or edge payload of a tag, with its body; null when it is not one.
struct Topology {
  geo::TopologyPayload *item = nullptr;
  geo::BodyPayload *body = nullptr;
};
Topology find_item(Session &s, tag_t tag, bool face) {
  geo::TopologyPayload *t = geo::find_topology(s, tag);
  if (t == nullptr || t->face != face)
    return {};
  return {t, t->owner};
}

// Appends the tags to *list, creating it when null.
int append_to_list(Session &s, uf_list_p_t *list, const std::vector<tag_t> &tags) {
  List *l = nullptr;
  if (*list == nullptr) {
    l = s.component<geo::HostLists>().create();
  } else {
    l = find_list(s, *list);
    if (l == nullptr)
      return status::kBadArgument;
  }
  l->items.insert(l->items.end(), tags.begin(), tags.end());
  *list = as_handle(l);
  return status::kOk;
}

void copy3(const geo::Vec3 &v, double out[3]) {
  out[0] = v.x;
  out[1] = v.y;
  out[2] = v.z;
}

} // namespace

extern "C" int UF_MODL_create_list(uf_list_p_t *list) {
  return sim::api::call(Call::UF_MODL_create_list, [&](Session &s) {
    if (!list)
      return status::kBadArgument;
    *list = as_handle(s.component<geo::HostLists>().create());
    return status::kOk;
  });
}

extern "C" int UF_MODL_delete_list(uf_list_p_t *list) {
  return sim::api::call(Call::UF_MODL_delete_list, [&](Session &s) {
    if (!list)
      return status::kBadArgument;
    if (*list == nullptr)
      return status::kOk;
    if (!s.component<geo::HostLists>().erase(*list))
      return status::kBadArgument;
    *list = nullptr;
    return status::kOk;
  });
}

extern "C" int UF_MODL_ask_list_count(uf_list_p_t list, int *count) {
  return sim::api::call(
      Call::UF_MODL_ask_list_count,
      [&](Session &s) {
        List *l = find_list(s, list);
        if (!l || !count)
          return status::kBadArgument;
        *count = static_cast<int>(l->items.size());
        return status::kOk;
      },
      [&] {
        if (count)
          sim::api::poison(*count);
      });
}

extern "C" int UF_MODL_ask_list_item(uf_list_p_t list, int index, tag_t *object) {
  return sim::api::call(
      Call::UF_MODL_ask_list_item,
      [&](Session &s) {
        List *l = find_list(s, list);
        if (!l || !object || index < 0 || static_cast<std::size_t>(index) >= l->items.size())
          return status::kBadArgument;
        *object = l->items[static_cast<std::size_t>(index)];
        return status::kOk;
      },
      [&] {
        if (object)
          sim::api::poison(*object);
      });
}

extern "C" int UF_MODL_ask_body_edges(tag_t body, uf_list_p_t *edge_list) {
  return sim::api::call(Call::UF_MODL_ask_body_edges, [&](Session &s) {
    if (!edge_list)
      return status::kBadArgument;
    geo::BodyPayload *b = geo::find_body(s, body);
    if (!b)
      return sim::api::wrong_kind_status(s, body);
    return append_to_list(s, edge_list, b->edges);
  });
}

extern "C" int UF_MODL_ask_body_faces(tag_t body, uf_list_p_t *face_list) {
  return sim::api::call(Call::UF_MODL_ask_body_faces, [&](Session &s) {
    if (!face_list)
      return status::kBadArgument;
    geo::BodyPayload *b = geo::find_body(s, body);
    if (!b)
      return sim::api::wrong_kind_status(s, body);
    return append_to_list(s, face_list, b->faces);
  });
}

extern "C" int UF_MODL_ask_body_type(tag_t body, int *body_type) {
  return sim::api::call(
      Call::UF_MODL_ask_body_type,
      [&](Session &s) {
        if (!body_type)
          return status::kBadArgument;
        geo::BodyPayload *b = geo::find_body(s, body);
        if (!b)
          return sim::api::wrong_kind_status(s, body);
        *body_type = b->shape.is_solid() ? geo::kSolidBody : geo::kSheetBody;
        return status::kOk;
      },
      [&] {
        if (body_type)
          sim::api::poison(*body_type);
      });
}

extern "C" int UF_MODL_ask_edge_type(tag_t edge, int *edge_type) {
  return sim::api::call(
      Call::UF_MODL_ask_edge_type,
      [&](Session &s) {
        if (!edge_type)
          return status::kBadArgument;
        Topology t = find_item(s, edge, false);
        if (!t.body)
          return sim::api::wrong_kind_status(s, edge);
        *edge_type = geo::edge_type_code(t.body->shape.edge(t.item->index).type);
        return status::kOk;
      },
      [&] {
        if (edge_type)
          sim::api::poison(*edge_type);
      });
}

extern "C" int UF_MODL_ask_face_type(tag_t face, int *face_type) {
  return sim::api::call(
      Call::UF_MODL_ask_face_type,
      [&](Session &s) {
        if (!face_type)
          return status::kBadArgument;
        Topology t = find_item(s, face, true);
        if (!t.body)
          return sim::api::wrong_kind_status(s, face);
        *face_type = geo::face_type_code(t.body->shape.face_type(t.item->index));
        return status::kOk;
      },
      [&] {
        if (face_type)
          sim::api::poison(*face_type);
      });
}

extern "C" int UF_MODL_ask_edge_verts(tag_t edge, double point1[3], double point2[3],
                                      int *vertex_count) {
  return sim::api::call(
      Call::UF_MODL_ask_edge_verts,
      [&](Session &s) {
        if (!point1 || !point2 || !vertex_count)
          return status::kBadArgument;
        Topology t = find_item(s, edge, false);
        if (!t.body)
          return sim::api::wrong_kind_status(s, edge);
        const geo::EdgeInfo &e = t.body->shape.edge(t.item->index);
        *vertex_count = e.vertex_count;
        if (e.vertex_count == 2) {
          copy3(e.v1, point1);
          copy3(e.v2, point2);
        }
        return status::kOk;
      },
      [&] {
        if (vertex_count)
          sim::api::poison(*vertex_count);
        for (double *p : {point1, point2})
          if (p)
            for (int i = 0; i < 3; ++i)
              sim::api::poison(p[i]);
      });
}

extern "C" int UF_MODL_ask_bounding_box(tag_t object, double bounding_box[6]) {
  return sim::api::call(
      Call::UF_MODL_ask_bounding_box,
      [&](Session &s) {
        if (!bounding_box)
          return status::kBadArgument;
        geo::Box b;
        if (!geo::object_box(s, object, b) || b.empty)
          return sim::api::wrong_kind_status(s, object);
        copy3(b.min, bounding_box);
        copy3(b.max, bounding_box + 3);
        return status::kOk;
      },
      [&] {
        if (bounding_box)
          for (int i = 0; i < 6; ++i)
            sim::api::poison(bounding_box[i]);
      });
}

extern "C" int UF_MODL_create_isocline_curves(tag_t face, double direction[3], double angle,
                                              double tolerance, tag_t **curves, int *curve_count) {
  return sim::api::call(Call::UF_MODL_create_isocline_curves, [&](Session &s) {
    if (!direction || !curves || !curve_count || tolerance <= 0)
      return status::kBadArgument;
    Topology t = find_item(s, face, true);
    if (!t.body)
      return sim::api::wrong_kind_status(s, face);
    auto made = t.body->shape.isoclines(t.item->index, {direction[0], direction[1], direction[2]},
                                        angle, tolerance);
    if (!made.ok()) {
      s.transcript().add(sim::EventKind::Note, {},
                         "UF_MODL_create_isocline_curves: " + made.error());
      return status::kFailed;
    }
    if (made->empty()) {
      *curves = nullptr;
      *curve_count = 0;
      return status::kOk;
    }
    tag_t *out =
        s.arrays().allocate_array<tag_t>(made->size(), Call::UF_MODL_create_isocline_curves);
    for (std::size_t i = 0; i < made->size(); ++i)
      out[i] = geo::add_curve(s, std::move((*made)[i]));
    *curves = out;
    *curve_count = static_cast<int>(made->size());
    return status::kOk;
  });
}
