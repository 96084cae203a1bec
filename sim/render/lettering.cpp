//===- lettering.cpp - Text laid out from the font's own metrics ----------===//
#include "render/lettering.h"

#include <cairo.h>

namespace sim::render {

struct Lettering::Font {
  cairo_font_face_t *face = nullptr;
  cairo_scaled_font_t *unit = nullptr; ///< the face at an em of 1
};

Lettering::Lettering(Session &) : font_(std::make_unique<Font>()) {
  font_->face =
      cairo_toy_font_face_create(kPageFont, CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
  cairo_matrix_t em, identity;
  cairo_matrix_init_identity(&em);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t *options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  font_->unit = cairo_scaled_font_create(font_->face, &em, &identity, options);
  cairo_font_options_destroy(options);
}

Lettering::~Lettering() {
  cairo_scaled_font_destroy(font_->unit);
  cairo_font_face_destroy(font_->face);
}

void *Lettering::font_face() const { return font_->face; }

TextLine Lettering::lay_out(std::string_view utf8, double size, double stretch, double gap) const {
  TextLine line;
  line.utf8 = std::string(utf8);
  line.size = size;
  line.stretch = stretch;
  if (utf8.empty())
    return line;
  cairo_glyph_t *glyphs = nullptr;
  int count = 0;
  if (cairo_scaled_font_text_to_glyphs(font_->unit, 0, 0, line.utf8.data(),
                                       static_cast<int>(line.utf8.size()), &glyphs, &count, nullptr,
                                       nullptr, nullptr) != CAIRO_STATUS_SUCCESS)
    return line;
  double at = 0;
  for (int i = 0; i < count; ++i) {
    cairo_text_extents_t extents;
    cairo_scaled_font_glyph_extents(font_->unit, &glyphs[i], 1, &extents);
    if (i > 0)
      at += gap;
    line.glyphs.push_back(glyphs[i].index);
    line.x.push_back(at);
    at += extents.x_advance * size * stretch;
  }
  line.length = at;
  cairo_glyph_free(glyphs);
  return line;
}

} // namespace sim::render
