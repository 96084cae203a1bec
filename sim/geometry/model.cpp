// model.cpp: bodies, faces, edges, curves and points as session objects;
// layers and host lists.
#include "geometry/model.h"

#include "objects/object_store.h"

#include <nlohmann/json.hpp>

namespace sim::geo {

namespace {

// Bodies larger than this list counts only in the dump.
constexpr std::size_t kDumpTopologyLimit = 5000;

nlohmann::json point_json(Vec3 p) { return nlohmann::json::array({p.x, p.y, p.z}); }

nlohmann::json box_json(const Box &b) {
  if (b.empty)
    return nullptr;
  return {{"min", point_json(b.min)}, {"max", point_json(b.max)}};
}

} // namespace

int edge_type_code(EdgeType t) {
  switch (t) {
  case EdgeType::Line: return 3001;
  case EdgeType::Circle: return 3002;
  case EdgeType::Ellipse: return 3003;
  case EdgeType::Spline: return 3005;
  default: return 3004;
  }
}

int face_type_code(FaceType t) {
  switch (t) {
  case FaceType::Cylinder: return 16;
  case FaceType::Cone: return 17;
  case FaceType::Sphere: return 18;
  case FaceType::Torus: return 19;
  case FaceType::Revolution:
  case FaceType::Extrusion: return 20;
  case FaceType::Plane: return 22;
  case FaceType::Offset: return 23;
  default: return 43;
  }
}

BodyPayload::BodyPayload(Shape shape, std::string source)
    : shape(std::move(shape)), source(std::move(source)) {}

void BodyPayload::dump(nlohmann::json &out) const {
  out["source"] = source;
  out["body_type"] = shape.is_solid() ? kSolidBody : kSheetBody;
  out["box"] = box_json(shape.box());
  out["face_count"] = faces.size();
  out["edge_count"] = edges.size();
  if (faces.size() + edges.size() > kDumpTopologyLimit)
    return;
  nlohmann::json fs = nlohmann::json::array();
  for (std::size_t i = 0; i < faces.size(); ++i) {
    FaceType t = shape.face_type(static_cast<int>(i));
    fs.push_back({{"tag", faces[i]}, {"type", face_type_code(t)}, {"kind", face_type_name(t)}});
  }
  out["faces"] = std::move(fs);
  nlohmann::json es = nlohmann::json::array();
  for (std::size_t i = 0; i < edges.size(); ++i) {
    const EdgeInfo &e = shape.edge(static_cast<int>(i));
    nlohmann::json verts = nlohmann::json::array();
    if (e.vertex_count == 2)
      verts = {point_json(e.v1), point_json(e.v2)};
    es.push_back({{"tag", edges[i]},
                  {"type", edge_type_code(e.type)},
                  {"kind", edge_type_name(e.type)},
                  {"vertices", std::move(verts)}});
  }
  out["edges"] = std::move(es);
}

void TopologyPayload::dump(nlohmann::json &out) const {
  out["body"] = body;
  out["index"] = index;
}

void CurvePayload::dump(nlohmann::json &out) const {
  out["curve"] = curve.kind();
  out["start"] = point_json(curve.start());
  out["end"] = point_json(curve.end());
  if (const Arc *a = std::get_if<Arc>(&curve.shape)) {
    out["center"] = point_json(a->center);
    out["radius"] = a->radius;
  }
  out["box"] = box_json(curve.box());
}

void PointPayload::dump(nlohmann::json &out) const { out["at"] = point_json(at); }

void Layers::dump(nlohmann::json &out) const {
  out["work_layer"] = work_;
  nlohmann::json others = nlohmann::json::object();
  for (int layer = 1; layer <= kLayerCount; ++layer)
    if (layer != work_ && status_[layer] != kSelectable)
      others[std::to_string(layer)] = status_[layer];
  out["status"] = std::move(others);
}

bool Layers::set(int layer, int status) {
  if (!valid(layer) || status < kWorkLayer || status > kInvisible)
    return false;
  if (status == kWorkLayer) {
    status_[work_] = kSelectable;
    work_ = layer;
  } else if (layer == work_) {
    return false; // the work layer stays until another becomes it
  }
  status_[layer] = status;
  return true;
}

void HostLists::finish(Session &session) {
  if (lists_.empty())
    return;
  session.transcript().add(EventKind::Note, {},
                           std::to_string(lists_.size()) + " host list(s) not deleted");
  session.fail_run(std::to_string(lists_.size()) +
                   " host list(s) not deleted with UF_MODL_delete_list");
  lists_.clear();
}

HostLists::List *HostLists::create() {
  auto list = std::make_unique<List>();
  List *raw = list.get();
  lists_.emplace(raw, std::move(list));
  return raw;
}

HostLists::List *HostLists::find(const void *handle) {
  auto it = lists_.find(handle);
  return it == lists_.end() ? nullptr : it->second.get();
}

bool HostLists::erase(const void *handle) { return lists_.erase(handle) == 1; }

tag_t add_body(Session &s, Shape shape, const BodyOptions &options) {
  ObjectStore &store = s.objects();
  auto payload = std::make_unique<BodyPayload>(std::move(shape), options.source);
  BodyPayload *body = payload.get();
  Object &object = store.create(kSolidType, kBodySubtype, options.name, std::move(payload));
  object.layer = options.layer;
  object.blanked = options.blanked;
  object.color = options.color;
  const tag_t tag = object.tag;
  const int faces = body->shape.face_count(), edges = body->shape.edge_count();
  body->faces.reserve(faces);
  body->edges.reserve(edges);
  for (int i = 0; i < faces; ++i) {
    Object &f = store.create(kSolidType, kFaceSubtype, {},
                             std::make_unique<TopologyPayload>(true, tag, i, body));
    f.layer = options.layer;
    f.color = options.color;
    body->faces.push_back(f.tag);
  }
  for (int i = 0; i < edges; ++i) {
    Object &e = store.create(kSolidType, kEdgeSubtype, {},
                             std::make_unique<TopologyPayload>(false, tag, i, body));
    e.layer = options.layer;
    e.color = options.color;
    body->edges.push_back(e.tag);
  }
  return tag;
}

BodyPayload *find_body(Session &s, tag_t tag) { return s.objects().payload_as<BodyPayload>(tag); }

TopologyPayload *find_topology(Session &s, tag_t tag) {
  return s.objects().payload_as<TopologyPayload>(tag);
}

bool delete_object(Session &s, tag_t tag) {
  ObjectStore &store = s.objects();
  Object *object = store.find(tag);
  if (object == nullptr || payload_cast<TopologyPayload>(object->payload.get()) != nullptr)
    return false;
  if (auto *body = payload_cast<BodyPayload>(object->payload.get())) {
    for (tag_t t : body->faces)
      store.erase(t);
    for (tag_t t : body->edges)
      store.erase(t);
  }
  return store.erase(tag);
}

tag_t add_curve(Session &s, Curve curve) {
  int type = std::holds_alternative<Line>(curve.shape)  ? kLineType
             : std::holds_alternative<Arc>(curve.shape) ? kArcType
                                                        : kSplineType;
  Object &o = s.objects().create(type, 0, {}, std::make_unique<CurvePayload>(std::move(curve)));
  o.layer = s.component<Layers>().work_layer();
  return o.tag;
}

tag_t add_point(Session &s, Vec3 at) {
  Object &o = s.objects().create(kPointType, 0, {}, std::make_unique<PointPayload>(at));
  o.layer = s.component<Layers>().work_layer();
  return o.tag;
}

bool object_box(Session &s, tag_t tag, Box &out) {
  Object *object = s.objects().find(tag);
  if (object == nullptr || !object->payload)
    return false;
  Payload *p = object->payload.get();
  if (auto *body = payload_cast<BodyPayload>(p)) {
    out = body->shape.box();
    return true;
  }
  if (auto *topo = payload_cast<TopologyPayload>(p)) {
    const BodyPayload *body = topo->owner;
    out = topo->face ? body->shape.face_box(topo->index) : body->shape.edge_box(topo->index);
    return true;
  }
  if (auto *curve = payload_cast<CurvePayload>(p)) {
    out = curve->curve.box();
    return true;
  }
  if (auto *point = payload_cast<PointPayload>(p)) {
    out = Box{};
    out.add(point->at);
    return true;
  }
  return false;
}

std::vector<tag_t> visible_bodies(Session &s) {
  std::vector<tag_t> out;
  Layers &layers = s.component<Layers>();
  s.objects().for_each([&](const Object &o) {
    if (o.type != kSolidType || o.subtype != kBodySubtype || o.blanked)
      return;
    if (Layers::valid(o.layer) && layers.status(o.layer) == kInvisible)
      return;
    auto *body = payload_cast<const BodyPayload>(o.payload.get());
    if (body != nullptr && body->shape.is_solid())
      out.push_back(o.tag);
  });
  return out;
}

} // namespace sim::geo
