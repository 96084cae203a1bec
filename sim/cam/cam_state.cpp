//===- cam_state.cpp - The CAM setup, the navigator and the WCS -----------===//
#include "cam/cam_state.h"

#include "cam/frame.h"
#include "objects/object_store.h"
#include "text/gbk.h"

#include <nlohmann/json.hpp>

#include <stdexcept>

namespace sim::cam {

CamState::CamState(Session &session) : session_(session) {}

void CamState::dump(nlohmann::json &out) const {
  out["has_setup"] = has_setup_;
  out["setup"] = setup_;
  out["program_root"] = root_;
  nlohmann::json names = nlohmann::json::array();
  for (tag_t tag : selected) {
    const Object *object = session_.objects().find(tag);
    names.push_back(object ? gbk_to_utf8(object->name) : std::string("(deleted)"));
  }
  out["selected"] = {{"tags", selected}, {"names", std::move(names)}};
  out["wcs"] = {{"csys", wcs_csys_},
                {"origin", {wcs_.origin.x, wcs_.origin.y, wcs_.origin.z}},
                {"matrix", matrix_values(wcs_.axes)}};
}

void CamState::remove_setup() {
  if (setup_ != NULL_TAG)
    throw std::logic_error("the setup exists already");
  has_setup_ = false;
}

tag_t CamState::setup() {
  if (!has_setup_)
    return NULL_TAG;
  if (setup_ == NULL_TAG) {
    auto root_payload = std::make_unique<ProgramGroupPayload>();
    Object &root = session_.objects().create(kProgramGroupType, kProgramGroupSubtype,
                                             kProgramRootName, std::move(root_payload));
    auto payload = std::make_unique<SetupPayload>();
    payload->program_root = root.tag;
    root_ = root.tag;
    setup_ = session_.objects().create(kSetupType, 0, "SETUP", std::move(payload)).tag;
  }
  return setup_;
}

tag_t CamState::program_root() {
  setup();
  return root_;
}

tag_t CamState::add_group(std::string_view name, tag_t parent) {
  if (parent == NULL_TAG)
    parent = program_root();
  auto *holder = session_.objects().payload_as<ProgramGroupPayload>(parent);
  if (!holder)
    throw std::logic_error("a program group belongs in a program group");
  auto payload = std::make_unique<ProgramGroupPayload>();
  payload->parent = parent;
  const tag_t tag =
      session_.objects()
          .create(kProgramGroupType, kProgramGroupSubtype, std::string(name), std::move(payload))
          .tag;
  holder->members.push_back(tag);
  return tag;
}

tag_t CamState::add_operation(std::string_view name, tag_t parent, tag_t mcs, post::Operation data,
                              std::string moves_source) {
  auto *holder = session_.objects().payload_as<ProgramGroupPayload>(parent);
  if (!holder)
    throw std::logic_error("an operation belongs in a program group");
  auto payload = std::make_unique<OperationPayload>();
  payload->parent = parent;
  payload->mcs = mcs;
  payload->data = std::move(data);
  payload->moves_source = std::move(moves_source);
  const tag_t tag =
      session_.objects()
          .create(kOperationType, kOperationSubtype, std::string(name), std::move(payload))
          .tag;
  holder->members.push_back(tag);
  return tag;
}

tag_t CamState::add_matrix(const geo::Mat3 &axes) {
  auto payload = std::make_unique<MatrixPayload>();
  payload->axes = axes;
  return session_.objects().create(kMatrixType, 0, {}, std::move(payload)).tag;
}

tag_t CamState::add_csys(std::string_view name, const geo::Frame &frame) {
  const tag_t matrix = add_matrix(frame.axes);
  auto payload = std::make_unique<CsysPayload>();
  payload->matrix = matrix;
  payload->origin = frame.origin;
  return session_.objects().create(kCsysType, 0, std::string(name), std::move(payload)).tag;
}

bool CamState::csys_frame(tag_t csys, geo::Frame &frame) const {
  const auto *payload = session_.objects().payload_as<CsysPayload>(csys);
  if (!payload)
    return false;
  const auto *matrix = session_.objects().payload_as<MatrixPayload>(payload->matrix);
  if (!matrix)
    return false;
  frame.origin = payload->origin;
  frame.axes = matrix->axes;
  return true;
}

bool CamState::set_wcs(tag_t csys) {
  geo::Frame frame;
  if (!csys_frame(csys, frame))
    return false;
  wcs_ = frame;
  wcs_csys_ = csys;
  return true;
}

geo::Frame work_frame(Session &session) {
  const CamState *cam = session.find<CamState>();
  return cam ? cam->wcs() : geo::Frame{};
}

} // namespace sim::cam
