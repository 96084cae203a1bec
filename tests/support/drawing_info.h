//===- drawing_info.h - The drawing info the tests make pages with --------===//
#ifndef NCSHEET_TESTS_SUPPORT_DRAWING_INFO_H
#define NCSHEET_TESTS_SUPPORT_DRAWING_INFO_H

#include "host/draw.h"

namespace sim::testing {

/// A metric drawing of a custom size (A3 landscape unless told) at scale 1,
/// third-angle projection.
inline UF_DRAW_info_t sheet_info(double width = 420, double height = 297) {
  UF_DRAW_info_t info{};
  info.size_state = UF_DRAW_CUSTOM_SIZE;
  info.size.custom_size.height = height;
  info.size.custom_size.length = width;
  info.drawing_scale = 1.0;
  info.units = UF_PART_METRIC;
  info.projection_angle = UF_DRAW_THIRD_ANGLE_PROJECTION;
  return info;
}

} // namespace sim::testing

#endif
