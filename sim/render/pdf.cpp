//===- pdf.cpp - The sheet as one PDF -------------------------------------===//
#include "render/pdf.h"

#include "render/canvas.h"
#include "render/page.h"

#include "drawings/drawings.h"
#include "objects/object_store.h"
#include "runtime/runtime.h"

#include <cairo-pdf.h>
#include <cairo.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <numbers>

namespace sim::render {
namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

struct SurfaceDeleter {
  void operator()(cairo_surface_t *surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
  void operator()(cairo_t *cr) const { cairo_destroy(cr); }
};

// One page of the PDF, in millimetres with y turned downwards.
class PdfCanvas : public Canvas {
public:
  PdfCanvas(cairo_t *cr, double height, cairo_font_face_t *face)
      : cr_(cr), height_(height), face_(face) {}

  void line(Point a, Point b, const Pen &pen) override {
    set_pen(pen);
    cairo_move_to(cr_, a[0], height_ - a[1]);
    cairo_line_to(cr_, b[0], height_ - b[1]);
    cairo_stroke(cr_);
  }

  void polyline(const std::vector<Point> &points, const Pen &pen) override {
    if (points.size() < 2)
      return;
    set_pen(pen);
    cairo_move_to(cr_, points[0][0], height_ - points[0][1]);
    for (std::size_t i = 1; i < points.size(); ++i)
      cairo_line_to(cr_, points[i][0], height_ - points[i][1]);
    cairo_stroke(cr_);
  }

  void text(const PlacedText &text) override {
    const TextLine &line = text.line;
    std::vector<cairo_glyph_t> glyphs(line.glyphs.size());
    for (std::size_t i = 0; i < glyphs.size(); ++i)
      glyphs[i] = {line.glyphs[i], line.x[i] / line.stretch, 0};
    cairo_save(cr_);
    cairo_set_source_rgb(cr_, 0, 0, 0); // every text is black, a dimension's too
    cairo_translate(cr_, text.at[0], height_ - text.at[1]);
    cairo_rotate(cr_, -text.angle * std::numbers::pi / 180);
    cairo_scale(cr_, line.stretch, 1);
    cairo_set_font_face(cr_, face_);
    cairo_set_font_size(cr_, line.size);
    cairo_show_glyphs(cr_, glyphs.data(), static_cast<int>(glyphs.size()));
    cairo_restore(cr_);
  }

private:
  void set_colour(Ink ink) {
    switch (ink) {
    case Ink::Model: cairo_set_source_rgb(cr_, 0x1f / 255.0, 0x4f / 255.0, 0xbf / 255.0); break;
    case Ink::Border: cairo_set_source_rgb(cr_, 0.6, 0.6, 0.6); break;
    case Ink::Dim: cairo_set_source_rgb(cr_, 0xaa / 255.0, 0, 0); break;
    default: cairo_set_source_rgb(cr_, 0, 0, 0);
    }
  }

  void set_pen(const Pen &pen) {
    set_colour(pen.ink);
    cairo_set_line_width(cr_, pen.width);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    static const double kDash[] = {1.5, 0.75};
    static const double kBorderDash[] = {1, 1};
    if (!pen.dashed)
      cairo_set_dash(cr_, nullptr, 0, 0);
    else
      cairo_set_dash(cr_, pen.ink == Ink::Border ? kBorderDash : kDash, 2, 0);
  }

  cairo_t *cr_;
  double height_;
  cairo_font_face_t *face_;
};

} // namespace

Expected<void> write_pdf(Session &session, const std::filesystem::path &file) {
  std::vector<tag_t> drawings;
  for (tag_t drawing : session.objects().tags_of_type(draw::kDrawingType))
    if (draw::find_drawing(session, drawing))
      drawings.push_back(drawing);
  if (drawings.empty())
    return {};
  double w = 0, h = 0;
  (void)page_size(session, drawings.front(), w, h);
  std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface(
      cairo_pdf_surface_create(file.c_str(), w * kPointsPerMm, h * kPointsPerMm));
  // Dated by the session's clock, so that a run gives the same bytes again.
  const std::tm when = session.runtime().now();
  char date[80];
  std::snprintf(date, sizeof date, "%04d-%02d-%02dT%02d:%02d:%02d", when.tm_year + 1900,
                when.tm_mon + 1, when.tm_mday, when.tm_hour, when.tm_min, when.tm_sec);
  cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_CREATE_DATE, date);
  cairo_pdf_surface_set_metadata(surface.get(), CAIRO_PDF_METADATA_TITLE, "program sheet");
  std::unique_ptr<cairo_t, ContextDeleter> cr(cairo_create(surface.get()));
  auto *face = static_cast<cairo_font_face_t *>(session.component<Lettering>().font_face());
  std::vector<std::string> warnings; // told by the SVG pages already
  const SheetObjects objects(session);
  for (tag_t drawing : drawings) {
    (void)page_size(session, drawing, w, h);
    cairo_pdf_surface_set_size(surface.get(), w * kPointsPerMm, h * kPointsPerMm);
    cairo_save(cr.get());
    cairo_scale(cr.get(), kPointsPerMm, kPointsPerMm);
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    PdfCanvas canvas(cr.get(), h, face);
    draw_page(session, drawing, objects, canvas, warnings);
    cairo_restore(cr.get());
    cairo_show_page(cr.get());
  }
  cr.reset();
  cairo_surface_finish(surface.get());
  if (const cairo_status_t status = cairo_surface_status(surface.get());
      status != CAIRO_STATUS_SUCCESS) {
    return Expected<void>::failure(file.string() + ": " + cairo_status_to_string(status));
  }
  return {};
}

} // namespace sim::render
