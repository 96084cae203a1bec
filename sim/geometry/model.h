// model.h: the model geometry of the part as objects of the session:
// bodies with their faces and edges, model curves and points, layer
// states, host lists.
//
// A body is an object of type 70, subtype 0; its faces (subtype 2) and
// edges (subtype 3) are objects too, created right after it in the host's
// stable order, so cycling the objects of type 70 meets a body and then
// its faces and edges.  Deleting a body deletes them with it.
#ifndef NCSHEET_SIM_GEOMETRY_MODEL_H
#define NCSHEET_SIM_GEOMETRY_MODEL_H

#include "geometry/curve.h"
#include "geometry/shape.h"
#include "objects/object.h"
#include "session/session.h"

#include <array>
#include <functional>
#include <optional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace sim::geo {

// Object types and subtypes of model geometry.
inline constexpr int kPointType = 1;
inline constexpr int kLineType = 3;
inline constexpr int kArcType = 5;
inline constexpr int kSplineType = 9;
inline constexpr int kSolidType = 70;
inline constexpr int kBodySubtype = 0;
inline constexpr int kFaceSubtype = 2;
inline constexpr int kEdgeSubtype = 3;

// Body types.
inline constexpr int kSolidBody = 5601;
inline constexpr int kSheetBody = 5602;

// Host codes of edge and face types.
[[nodiscard]] int edge_type_code(EdgeType t);
[[nodiscard]] int face_type_code(FaceType t);

class BodyPayload : public PayloadOf<PayloadKind::Body> {
public:
  BodyPayload(Shape shape, std::string source);
  [[nodiscard]] const char *kind() const override { return "body"; }
  void dump(nlohmann::json &out) const override;

  Shape shape;
  std::string source; ///< where it came from: a STEP file, a primitive
  std::vector<tag_t> faces;
  std::vector<tag_t> edges;
};

// A face or an edge of a body: the body's tag and the index in its lists.
// It lives exactly as long as its body, so it keeps the body's payload.
class TopologyPayload : public PayloadOf<PayloadKind::Topology> {
public:
  TopologyPayload(bool face, tag_t body, int index, BodyPayload *owner)
      : face(face), body(body), index(index), owner(owner) {}
  [[nodiscard]] const char *kind() const override { return face ? "face" : "edge"; }
  void dump(nlohmann::json &out) const override;

  bool face;
  tag_t body;
  int index;
  BodyPayload *owner;
};

class CurvePayload : public PayloadOf<PayloadKind::Curve> {
public:
  explicit CurvePayload(Curve curve) : curve(std::move(curve)) {}
  [[nodiscard]] const char *kind() const override { return "curve"; }
  void dump(nlohmann::json &out) const override;

  Curve curve;
};

class PointPayload : public PayloadOf<PayloadKind::Point> {
public:
  explicit PointPayload(Vec3 at) : at(at) {}
  [[nodiscard]] const char *kind() const override { return "point"; }
  void dump(nlohmann::json &out) const override;

  Vec3 at;
};

// Layer statuses.
inline constexpr int kWorkLayer = 1;
inline constexpr int kSelectable = 2;
inline constexpr int kVisibleOnly = 3;
inline constexpr int kInvisible = 4;
inline constexpr int kLayerCount = 256;

// The status of every layer; layer 1 is the work layer at first, all
// others selectable.
class Layers : public Component {
public:
  explicit Layers(Session &) {
    status_.fill(kSelectable);
    status_[1] = kWorkLayer;
  }
  [[nodiscard]] std::string_view name() const override { return "layers"; }
  void dump(nlohmann::json &out) const override;

  [[nodiscard]] static bool valid(int layer) { return layer >= 1 && layer <= kLayerCount; }
  [[nodiscard]] int status(int layer) const { return status_.at(layer); }
  [[nodiscard]] int work_layer() const { return work_; }
  // Sets a status; false when the layer or status is out of range or the
  // change would leave no work layer.
  [[nodiscard]] bool set(int layer, int status);

private:
  std::array<int, kLayerCount + 1> status_{};
  int work_ = 1;
};

// The host lists handed out (UF_MODL_create_list); the ones not deleted
// are reported at the end of the session.
class HostLists : public Component {
public:
  struct List {
    std::vector<tag_t> items;
  };
  explicit HostLists(Session &) {}
  [[nodiscard]] std::string_view name() const override { return "host_lists"; }
  void finish(Session &session) override;

  [[nodiscard]] List *create();
  [[nodiscard]] List *find(const void *handle);
  [[nodiscard]] bool erase(const void *handle);
  [[nodiscard]] std::size_t live() const { return lists_.size(); }

private:
  std::unordered_map<const void *, std::unique_ptr<List>> lists_;
};

// Lines made while a drawing is shown go to the drawing side, which sets
// drawing_line: it returns the new line's tag, or nothing when the line is
// model geometry.
class LineRouting : public Component {
public:
  explicit LineRouting(Session &) {}
  [[nodiscard]] std::string_view name() const override { return "line_routing"; }

  std::function<std::optional<tag_t>(Session &, Vec3, Vec3)> drawing_line;
};

struct BodyOptions {
  std::string name;
  std::string source;
  int layer = 1;
  bool blanked = false;
  int color = 1;
};

// Places a body and its faces and edges; returns the body's tag.
tag_t add_body(Session &s, Shape shape, const BodyOptions &options);
// The body payload of a tag, or null.
[[nodiscard]] BodyPayload *find_body(Session &s, tag_t tag);
// A face or edge payload of a tag, or null.
[[nodiscard]] TopologyPayload *find_topology(Session &s, tag_t tag);
// Deletes an object; a body takes its faces and edges along.  False when
// there is no such object or it is a face or edge (they go with their body).
[[nodiscard]] bool delete_object(Session &s, tag_t tag);

tag_t add_curve(Session &s, Curve curve);
tag_t add_point(Session &s, Vec3 at);

// The exact box of an object: body, face, edge, curve or point.  False for
// other objects.
[[nodiscard]] bool object_box(Session &s, tag_t tag, Box &out);

// The visible solid bodies (not blanked, on a layer that is not invisible).
[[nodiscard]] std::vector<tag_t> visible_bodies(Session &s);

} // namespace sim::geo

#endif
