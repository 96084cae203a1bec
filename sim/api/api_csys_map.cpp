//===- api_csys_map.cpp - csys.h: point mapping, matrix of an object ------===//
#include "host/csys.h"

#include "api/entry.h"
#include "cam/cam_objects.h"
#include "cam/cam_state.h"
#include "objects/object_store.h"

using sim::Call;
using sim::Session;
namespace geo = sim::geo;
namespace status = sim::status;

namespace {

// Frame codes: absolute coordinates of the work part (which is the display
// part here) and WCS coordinates.
bool known_frame(int code) {
  return code == UF_CSYS_WORK_COORDS || code == UF_CSYS_ROOT_WCS_COORDS;
}

} // namespace

// The result is computed whole before it is written, so input and output
// may be the same array.
extern "C" int UF_CSYS_map_point(int input_csys, const double input_point[3], int output_csys,
                                 double output_point[3]) {
  return sim::api::call(Call::UF_CSYS_map_point, [&](Session &s) {
    if (!input_point || !output_point || !known_frame(input_csys) || !known_frame(output_csys))
      return status::kBadArgument;
    const geo::Frame wcs = sim::cam::work_frame(s);
    geo::Vec3 p{input_point[0], input_point[1], input_point[2]};
    if (input_csys == UF_CSYS_ROOT_WCS_COORDS)
      p = wcs.to_absolute(p);
    if (output_csys == UF_CSYS_ROOT_WCS_COORDS)
      p = wcs.to_frame(p);
    output_point[0] = p.x;
    output_point[1] = p.y;
    output_point[2] = p.z;
    return status::kOk;
  });
}

extern "C" int UF_CSYS_ask_matrix_of_object(tag_t object, tag_t *matrix) {
  return sim::api::call(
      Call::UF_CSYS_ask_matrix_of_object,
      [&](Session &s) {
        if (!matrix)
          return status::kBadArgument;
        const auto *csys = s.objects().payload_as<sim::cam::CsysPayload>(object);
        if (!csys)
          return sim::api::wrong_kind_status(s, object);
        *matrix = csys->matrix;
        return status::kOk;
      },
      [&] {
        if (matrix)
          sim::api::poison(*matrix);
      });
}
