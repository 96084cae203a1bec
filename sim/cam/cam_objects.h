//===- cam_objects.h - The CAM setup's objects ----------------------------===//
//
// The CAM setup of the part: the setup object with its program root,
// program groups (type 121, subtype 160) holding groups and operations in
// order, operations with their machining coordinate system and tool path
// data, and the coordinate systems and orientation matrices they refer to.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_CAM_CAM_OBJECTS_H
#define NCSHEET_SIM_CAM_CAM_OBJECTS_H

#include "geometry/types.h"
#include "host/defs.h"
#include "objects/object.h"
#include "postproc/program.h"

#include <string>
#include <vector>

namespace sim::cam {

// Object types and subtypes of the CAM setup (program groups as the system
// looks them up; the others are this host's own numbers).
inline constexpr int kProgramGroupType = UF_machining_ncgroup_type;
inline constexpr int kProgramGroupSubtype = UF_machining_program_grp_subtype;
inline constexpr int kSetupType = 120;
inline constexpr int kOperationType = 100;
inline constexpr int kOperationSubtype = 110;
inline constexpr int kCsysType = 45;
inline constexpr int kMatrixType = 55;

/// Name of the program root group.
inline constexpr const char *kProgramRootName = "NC_PROGRAM";

class SetupPayload final : public PayloadOf<PayloadKind::Setup> {
public:
  tag_t program_root = NULL_TAG;

  [[nodiscard]] const char *kind() const override { return "setup"; }
  void dump(nlohmann::json &out) const override;
};

class ProgramGroupPayload final : public PayloadOf<PayloadKind::ProgramGroup> {
public:
  tag_t parent = NULL_TAG;    ///< the group holding it; null for the root
  std::vector<tag_t> members; ///< groups and operations, in order

  [[nodiscard]] const char *kind() const override { return "program_group"; }
  void dump(nlohmann::json &out) const override;
};

class OperationPayload final : public PayloadOf<PayloadKind::Operation> {
public:
  tag_t parent = NULL_TAG;  ///< its program group
  tag_t mcs = NULL_TAG;     ///< machining coordinate system (UF_PARAM_MCS)
  post::Operation data;     ///< what the postprocessors read (name filled when posting)
  std::string moves_source; ///< where the moves came from, for the dump

  [[nodiscard]] const char *kind() const override { return "operation"; }
  void dump(nlohmann::json &out) const override;
};

class MatrixPayload final : public PayloadOf<PayloadKind::Matrix> {
public:
  geo::Mat3 axes; ///< rows: X, Y, Z axes in absolute coordinates

  [[nodiscard]] const char *kind() const override { return "matrix"; }
  void dump(nlohmann::json &out) const override;
};

class CsysPayload final : public PayloadOf<PayloadKind::Csys> {
public:
  tag_t matrix = NULL_TAG; ///< its orientation matrix object
  geo::Vec3 origin;

  [[nodiscard]] const char *kind() const override { return "csys"; }
  void dump(nlohmann::json &out) const override;
};

} // namespace sim::cam

#endif
