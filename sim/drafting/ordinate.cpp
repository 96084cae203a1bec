//===- ordinate.cpp - Ordinate origins, margins and dimensions ------------===//
#include "drafting/ordinate.h"

#include "text/number_text.h"

#include "cam/cam_state.h"
#include "drafting/drafting.h"
#include "drawings/member_views.h"
#include "geometry/model.h"
#include "objects/object_store.h"
#include "session/status.h"
#include "text/gbk.h"

#include <nlohmann/json.hpp>

#include <cmath>
#include <utility>

namespace sim::drf {
namespace {

nlohmann::json vec_json(geo::Vec3 v) { return nlohmann::json::array({v.x, v.y, v.z}); }

void attachment_json(nlohmann::json &out, const Attachment &at) {
  out["view"] = at.view;
  out["object"] = at.object;
  out["modifier"] = at.modifier;
  out["model_point"] = vec_json(at.model);
  out["sheet_point"] = at.sheet;
}

void put_text(nlohmann::json &out, const char *key, const std::string &bytes) {
  out[key] = gbk_to_utf8(bytes);
  if (!is_ascii(bytes))
    out[std::string(key) + "_gbk_hex"] = to_hex(bytes);
}

// How the attached point of an object is chosen.
enum class Pick { End, Middle };

// The model point of an edge or line end by modifier, or their middle.
int pick_end(geo::Vec3 first, geo::Vec3 second, int modifier, Pick pick, geo::Vec3 &out) {
  if (pick == Pick::Middle) {
    out = 0.5 * (first + second);
    return status::kOk;
  }
  if (modifier == UF_DRF_FIRST_END) {
    out = first;
    return status::kOk;
  }
  if (modifier == UF_DRF_SECOND_END) {
    out = second;
    return status::kOk;
  }
  return status::kBadArgument;
}

// The model point of the object of a request.
int model_point(Session &session, const AttachRequest &request, Pick pick, geo::Vec3 &out) {
  const Object *object = session.objects().find(request.object);
  if (!object)
    return status::kBadTag;
  const Payload *payload = object->payload.get();
  if (payload_cast<const SheetLinePayload>(payload) ||
      payload_cast<const SheetPointPayload>(payload))
    return status::kDrawingObject;
  if (const auto *point = payload_cast<const geo::PointPayload>(payload)) {
    out = point->at;
    return status::kOk;
  }
  if (const auto *curve = payload_cast<const geo::CurvePayload>(payload)) {
    const auto *line = std::get_if<geo::Line>(&curve->curve.shape);
    if (!line)
      return status::kWrongType;
    return pick_end(line->start, line->end, request.modifier, pick, out);
  }
  if (const auto *topology = payload_cast<const geo::TopologyPayload>(payload)) {
    const geo::BodyPayload *body = geo::find_body(session, topology->body);
    if (topology->face || !body)
      return status::kWrongType;
    const geo::EdgeInfo &edge = body->shape.edge(topology->index);
    if (edge.vertex_count != 2)
      return status::kBadArgument; // a closed edge has no end to attach to
    return pick_end(edge.v1, edge.v2, request.modifier, pick, out);
  }
  return status::kWrongType;
}

// Resolves what a drafting object attaches to, seen in its member view.
int attach(Session &session, const AttachRequest &request, Pick pick, Attachment &out,
           const draw::MemberViewPayload *&view) {
  view = draw::find_member_view(session, request.view);
  if (!view)
    return session.objects().find(request.view) ? status::kWrongType : status::kBadTag;
  if (request.assoc_type != UF_DRF_ASSOC_END_POINT)
    return status::kBadArgument;
  Attachment at;
  at.object = request.object;
  at.view = request.view;
  at.modifier = request.modifier;
  if (const int rc = model_point(session, request, pick, at.model); rc != status::kOk)
    return rc;
  at.sheet = draw::model_to_drawing(*view, at.model);
  out = at;
  return status::kOk;
}

Object &place(Session &session, int subtype, std::unique_ptr<Payload> payload) {
  Object &object = session.objects().create(kOrdinateType, subtype, {}, std::move(payload));
  object.layer = session.component<geo::Layers>().work_layer();
  return object;
}

// The WCS axis (0 X, 1 Y, 2 Z) running along a sheet direction, or -1.
int wcs_axis_along(const geo::Frame &wcs, geo::Vec3 direction) {
  for (int i = 0; i < 3; ++i)
    if (std::fabs(std::fabs(geo::dot(wcs.axes.row[i], direction)) - 1.0) < 1e-9)
      return i;
  return -1;
}

} // namespace

void OrdOriginPayload::dump(nlohmann::json &out) const {
  out["drawing"] = drawing;
  attachment_json(out, at);
  out["origin_type"] = origin_type;
  out["symbol_display"] = symbol_display;
  out["name_display"] = name_display;
  put_text(out, "name", name);
}

void OrdMarginPayload::dump(nlohmann::json &out) const {
  out["drawing"] = drawing;
  out["origin"] = origin;
  out["type"] = type;
  out["direction"] = type == UF_DRF_MARGIN_HORIZONTAL ? "horizontal" : "vertical";
  attachment_json(out, at);
  out["offset"] = offset;
  out[type == UF_DRF_MARGIN_HORIZONTAL ? "line_y" : "line_x"] = line;
}

void OrdDimensionPayload::dump(nlohmann::json &out) const {
  out["drawing"] = drawing;
  out["margin"] = margin;
  out["origin"] = origin;
  out["dimension_type"] = dimension_type;
  attachment_json(out, at);
  out["value"] = value;
  out["measured_along"] = measured_along;
  out["text"] = text;
  out["text_at"] = text_at;
  put_text(out, "user_text", user_text);
  nlohmann::json appended = nlohmann::json::array();
  for (const std::string &line : appended_text)
    appended.push_back(gbk_to_utf8(line));
  out["appended_text"] = std::move(appended);
  out["text_placement"] = text_placement;
  out["origin_argument"] = vec_json(origin_argument);
  out["dogleg_angle"] = dogleg_angle;
  out["dogleg_distance"] = dogleg_distance;
  out["drafting_prefs"] = {{"int", int_prefs}, {"real", real_prefs}};
  out["lettering"] = {{"size", lettering.size},
                      {"char_space_factor", lettering.char_space_factor},
                      {"aspect_ratio", lettering.aspect_ratio}};
}

std::string ordinate_text(double value) {
  if (!std::isfinite(value))
    return "?";
  return trimmed_number(value, 3);
}

int create_ordinate_origin(Session &session, const AttachRequest &object, int origin_type,
                           int symbol_display, int name_display, std::string name, tag_t &origin) {
  if (origin_type != UF_DRF_ORIGIN_ASSOCIATIVE || symbol_display != UF_DRF_ORIGIN_SYMBOL_SHOWN ||
      name_display != UF_DRF_ORIGIN_NAME_HIDDEN || name.size() > kMaxNameLength)
    return status::kBadArgument;
  auto payload = std::make_unique<OrdOriginPayload>();
  const draw::MemberViewPayload *view = nullptr;
  if (const int rc = attach(session, object, Pick::End, payload->at, view); rc != status::kOk)
    return rc;
  payload->drawing = view->drawing;
  payload->origin_type = origin_type;
  payload->symbol_display = symbol_display;
  payload->name_display = name_display;
  payload->name = std::move(name);
  origin = place(session, kOrdOriginSubtype, std::move(payload)).tag;
  return status::kOk;
}

int create_ordinate_margin(Session &session, int type, tag_t origin, const AttachRequest &object,
                           const double point[3], const double direction[2], double offset,
                           tag_t &margin) {
  const OrdOriginPayload *from = find_ordinate_origin(session, origin);
  if (!from)
    return session.objects().find(origin) ? status::kWrongType : status::kBadTag;
  if (type != UF_DRF_MARGIN_HORIZONTAL && type != UF_DRF_MARGIN_VERTICAL)
    return status::kBadArgument;
  if (point[0] != 0 || point[1] != 0 || point[2] != 0 || direction[0] != 0 || direction[1] != 0 ||
      !std::isfinite(offset))
    return status::kBadArgument;
  auto payload = std::make_unique<OrdMarginPayload>();
  const draw::MemberViewPayload *view = nullptr;
  if (const int rc = attach(session, object, Pick::Middle, payload->at, view); rc != status::kOk)
    return rc;
  if (object.view != from->at.view)
    return status::kOtherView;
  payload->drawing = view->drawing;
  payload->origin = origin;
  payload->type = type;
  payload->offset = offset;
  payload->line =
      (type == UF_DRF_MARGIN_HORIZONTAL ? payload->at.sheet[1] : payload->at.sheet[0]) + offset;
  margin = place(session, kOrdMarginSubtype, std::move(payload)).tag;
  return status::kOk;
}

int create_ordinate_dimension(Session &session, const DimensionRequest &request, tag_t &dimension) {
  const OrdMarginPayload *margin = find_ordinate_margin(session, request.margin);
  if (!margin)
    return session.objects().find(request.margin) ? status::kWrongType : status::kBadTag;
  const OrdOriginPayload *origin = find_ordinate_origin(session, margin->origin);
  if (!origin)
    return status::kBadTag; // the margin's origin was deleted
  if (request.dimension_type != UF_DRF_ORDINATE_POINT ||
      request.text_placement != UF_DRF_TEXT_AUTOMATIC || !std::isfinite(request.dogleg_angle) ||
      !std::isfinite(request.dogleg_distance))
    return status::kBadArgument;
  auto payload = std::make_unique<OrdDimensionPayload>();
  const draw::MemberViewPayload *view = nullptr;
  if (const int rc = attach(session, request.object, Pick::End, payload->at, view);
      rc != status::kOk)
    return rc;
  if (request.object.view != margin->at.view)
    return status::kOtherView;

  const bool horizontal = margin->type == UF_DRF_MARGIN_HORIZONTAL;
  const geo::Vec3 along = view->axes.row[horizontal ? 0 : 1];
  const geo::Frame wcs = cam::work_frame(session);
  const geo::Vec3 span = payload->at.model - origin->at.model;
  const int axis = wcs_axis_along(wcs, along);
  payload->value = axis >= 0 ? geo::dot(span, wcs.axes.row[axis]) : geo::dot(span, along);
  payload->measured_along = axis >= 0 ? std::string(1, static_cast<char>('X' + axis)) : "sheet";
  payload->text = ordinate_text(payload->value);
  payload->text_at = horizontal ? std::array<double, 2>{payload->at.sheet[0], margin->line}
                                : std::array<double, 2>{margin->line, payload->at.sheet[1]};

  payload->drawing = view->drawing;
  payload->margin = request.margin;
  payload->origin = margin->origin;
  payload->dimension_type = request.dimension_type;
  payload->text_placement = request.text_placement;
  payload->dogleg_angle = request.dogleg_angle;
  payload->dogleg_distance = request.dogleg_distance;
  payload->origin_argument = request.origin_argument;
  payload->user_text = request.user_text;
  payload->appended_text = request.appended_text;
  const Drafting &prefs = session.component<Drafting>();
  payload->int_prefs = prefs.int_prefs;
  payload->real_prefs = prefs.real_prefs;
  payload->lettering = prefs.lettering.dimension_text;
  dimension = place(session, kOrdDimensionSubtype, std::move(payload)).tag;
  return status::kOk;
}

const OrdOriginPayload *find_ordinate_origin(const Session &session, tag_t tag) {
  return session.objects().payload_as<OrdOriginPayload>(tag);
}

const OrdMarginPayload *find_ordinate_margin(const Session &session, tag_t tag) {
  return session.objects().payload_as<OrdMarginPayload>(tag);
}

const OrdDimensionPayload *find_ordinate_dimension(const Session &session, tag_t tag) {
  return session.objects().payload_as<OrdDimensionPayload>(tag);
}

} // namespace sim::drf
