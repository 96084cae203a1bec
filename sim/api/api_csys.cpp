//===- api_csys.cpp - csys.h: coordinate systems, matrices, the WCS -------===//
//
// Point mapping and the matrix of an object are in api_csys_map.cpp.
//
//===----------------------------------------------------------------------===//
#include "host/csys.h"

#include "api/entry.h"
#include "cam/cam_objects.h"
#include "cam/cam_state.h"
#include "cam/frame.h"
#include "objects/object_store.h"

using sim::Call;
using sim::Session;
namespace cam = sim::cam;
namespace status = sim::status;

extern "C" int UF_CSYS_ask_csys_info(tag_t csys, tag_t *matrix, double origin[3]) {
  return sim::api::call(
      Call::UF_CSYS_ask_csys_info,
      [&](Session &s) {
        if (!matrix || !origin)
          return status::kBadArgument;
        const auto *payload = s.objects().payload_as<cam::CsysPayload>(csys);
        if (!payload)
          return sim::api::wrong_kind_status(s, csys);
        *matrix = payload->matrix;
        origin[0] = payload->origin.x;
        origin[1] = payload->origin.y;
        origin[2] = payload->origin.z;
        return status::kOk;
      },
      [&] {
        if (matrix)
          sim::api::poison(*matrix);
        if (origin)
          for (int i = 0; i < 3; ++i)
            sim::api::poison(origin[i]);
      });
}

// Row-major: values 0-2 are the X axis, 3-5 the Y axis, 6-8 the Z axis,
// each in absolute coordinates.
extern "C" int UF_CSYS_ask_matrix_values(tag_t matrix, double values[9]) {
  return sim::api::call(
      Call::UF_CSYS_ask_matrix_values,
      [&](Session &s) {
        if (!values)
          return status::kBadArgument;
        const auto *payload = s.objects().payload_as<cam::MatrixPayload>(matrix);
        if (!payload)
          return sim::api::wrong_kind_status(s, matrix);
        const std::array<double, 9> m = cam::matrix_values(payload->axes);
        for (int i = 0; i < 9; ++i)
          values[i] = m[static_cast<std::size_t>(i)];
        return status::kOk;
      },
      [&] {
        if (values)
          for (int i = 0; i < 9; ++i)
            sim::api::poison(values[i]);
      });
}

extern "C" int UF_CSYS_set_wcs(tag_t csys) {
  return sim::api::call(Call::UF_CSYS_set_wcs, [&](Session &s) {
    if (!s.component<cam::CamState>().set_wcs(csys))
      return sim::api::wrong_kind_status(s, csys);
    return status::kOk;
  });
}
