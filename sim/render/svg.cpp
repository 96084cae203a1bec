//===- svg.cpp - Drawings as SVG pages at true size -----------------------===//
#include "render/svg.h"
#include "render/view_strokes.h"

#include "text/number_text.h"

#include "drafting/drafting.h"
#include "drafting/ordinate.h"
#include "drawings/drawings.h"
#include "drawings/member_views.h"
#include "geometry/model.h"
#include "objects/object_store.h"
#include "session/session.h"
#include "text/gbk.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>
#include <map>
#include <numbers>
#include <sstream>
#include <system_error>

namespace sim::render {
namespace {

// Shortest text of a number that reads back the same at 1e-4 mm.
std::string num(double value) { return trimmed_number(value, 4); }

std::string xml_escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
    case '&':
      out += "&amp;";
      break;
    case '<':
      out += "&lt;";
      break;
    case '>':
      out += "&gt;";
      break;
    case '"':
      out += "&quot;";
      break;
    default:
      out += c;
    }
  }
  return out;
}

// Characters of a GBK text: a lead byte 0x81..0xFE with a following byte
// makes one character, any other byte one.
int gbk_chars(std::string_view text) {
  int count = 0;
  for (std::size_t i = 0; i < text.size(); ++i, ++count) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x81 && byte <= 0xFE && i + 1 < text.size())
      ++i;
  }
  return count;
}

// The SVG text of one page, handed to sink a buffer at a time, so that a
// page of a large part is never held whole.
class Page {
public:
  // Only the height is needed: it flips drawing y (upwards) into SVG y (downwards).
  Page(double height, std::ostream &sink) : height_(height), sink_(sink) {}
  Page(const Page &) = delete;
  Page &operator=(const Page &) = delete;
  ~Page() { flush(); }

  // A drawing y as an SVG y.
  [[nodiscard]] double svg_y(double y) const { return height_ - y; }

  void line(double x1, double y1, double x2, double y2, const char *cls) {
    append("<line class=\"", cls, "\" x1=\"", num(x1), "\" y1=\"", num(height_ - y1), "\" x2=\"",
           num(x2), "\" y2=\"", num(height_ - y2), "\"/>\n");
  }

  void polyline(const std::vector<std::array<double, 2>> &points, const char *cls) {
    if (points.size() < 2)
      return;
    append("<polyline class=\"", cls, "\" points=\"");
    for (std::size_t i = 0; i < points.size(); ++i)
      append(i ? " " : "", num(points[i][0]), ",", num(height_ - points[i][1]));
    append("\"/>\n");
  }

  void raw(std::string_view text) { append(text); }

  // A note: its lines as one block whose alignment position lies on the
  // origin; each character is size / aspect_ratio wide with
  // char_space_factor * size between characters, and lines are
  // line_space_factor * size apart.
  void note(const drf::NotePayload &note) {
    const UF_DRF_lettering_t &text = note.lettering.general_text;
    const double size = text.size, width = size / text.aspect_ratio;
    const double gap = text.char_space_factor * size, line_gap = text.line_space_factor * size;
    std::vector<double> lengths;
    double block_width = 0;
    for (const std::string &line : note.lines) {
      const int n = gbk_chars(line);
      lengths.push_back(n > 0 ? n * width + (n - 1) * gap : 0.0);
      block_width = std::max(block_width, lengths.back());
    }
    const auto m = static_cast<double>(note.lines.size());
    const double block_height = m * size + (m - 1) * line_gap;
    const int align = note.lettering.align_position;
    const int column = (align - 1) % 3, row = (align - 1) / 3;
    const double left = note.origin.x - block_width * column / 2.0;
    const double top = note.origin.y + block_height * row / 2.0;
    append("<g class=\"note\"");
    if (note.orientation != 0) {
      std::ostringstream angle; // the stream's own text of the angle
      angle << -note.orientation;
      append(" transform=\"rotate(", angle.str(), " ", num(note.origin.x), " ",
             num(height_ - note.origin.y), ")\"");
    }
    append(">\n");
    for (std::size_t i = 0; i < note.lines.size(); ++i) {
      if (lengths[i] <= 0)
        continue;
      const int just = note.lettering.horiz_text_just - 1;
      const double x = left + (block_width - lengths[i]) * just / 2.0;
      const double baseline = top - size - static_cast<double>(i) * (size + line_gap);
      append("<text x=\"", num(x), "\" y=\"", num(height_ - baseline), "\" font-size=\"", num(size),
             "\" textLength=\"", num(lengths[i]), "\" lengthAdjust=\"spacingAndGlyphs\">",
             xml_escape(gbk_to_utf8(note.lines[i])), "</text>\n");
    }
    append("</g>\n");
  }

  void flush() {
    sink_.write(out_.data(), static_cast<std::streamsize>(out_.size()));
    out_.clear();
  }

private:
  static constexpr std::size_t kBufferSize = 1 << 20;

  template <class... Parts> void append(const Parts &...parts) {
    (out_.append(parts), ...);
    if (out_.size() >= kBufferSize)
      flush();
  }

  double height_;
  std::ostream &sink_;
  std::string out_;
};

bool shows(Session &session, const Object &object) {
  if (object.blanked)
    return false;
  const geo::Layers &layers = session.component<geo::Layers>();
  return !geo::Layers::valid(object.layer) || layers.status(object.layer) != geo::kInvisible;
}

// The SVG classes of a body stroke: its width and whether it is dashed.
std::string stroke_class(const Stroke &stroke) {
  std::string cls = "edge";
  if (stroke.width == kThinWidth)
    cls += " thin";
  else if (stroke.width == kThickWidth)
    cls += " thick";
  if (stroke.dashed)
    cls += " dashed";
  return cls;
}

// A member view: the bodies as its display settings draw them, then the
// model curves and points over them.
void member_view(Session &session, Page &page, tag_t tag, const draw::MemberViewPayload &view,
                 bool border) {
  std::vector<std::vector<std::array<double, 2>>> curves;
  std::vector<std::array<double, 2>> points;
  auto project = [&](const std::vector<geo::Vec3> &model) {
    std::vector<std::array<double, 2>> out;
    for (const geo::Vec3 &p : model)
      out.push_back(draw::model_to_drawing(view, p));
    return out;
  };
  std::string why;
  const std::vector<Stroke> strokes = view_body_strokes(session, tag, view, why);
  session.objects().for_each([&](const Object &object) {
    if (!object.payload || !shows(session, object))
      return;
    if (const auto *curve = payload_cast<const geo::CurvePayload>(object.payload.get()))
      curves.push_back(project(curve_points(curve->curve)));
    else if (const auto *point = payload_cast<const geo::PointPayload>(object.payload.get()))
      points.push_back(draw::model_to_drawing(view, point->at));
  });
  page.raw("<g class=\"view\" id=\"view-" + std::to_string(tag) + "\">\n");
  if (!why.empty())
    page.raw("<!-- every edge drawn: " + xml_escape(why) + " -->\n");
  double lo[2] = {1e300, 1e300}, hi[2] = {-1e300, -1e300};
  for (const Stroke &stroke : strokes) {
    page.polyline(stroke.points, stroke_class(stroke).c_str());
    for (const auto &p : stroke.points)
      for (int k = 0; k < 2; ++k) {
        lo[k] = std::min(lo[k], p[k]);
        hi[k] = std::max(hi[k], p[k]);
      }
  }
  for (const auto &curve : curves)
    page.polyline(curve, "model");
  for (const auto &p : points) {
    page.line(p[0] - 0.75, p[1], p[0] + 0.75, p[1], "model");
    page.line(p[0], p[1] - 0.75, p[0], p[1] + 0.75, "model");
  }
  if (border && !strokes.empty()) {
    constexpr double kMargin = 3.0;
    page.polyline({{lo[0] - kMargin, lo[1] - kMargin},
                   {hi[0] + kMargin, lo[1] - kMargin},
                   {hi[0] + kMargin, hi[1] + kMargin},
                   {lo[0] - kMargin, hi[1] + kMargin},
                   {lo[0] - kMargin, lo[1] - kMargin}},
                  "border");
  }
  page.raw("</g>\n");
}

// An ordinate dimension: a line from its point to its margin, and its
// value beyond the margin, upright on a vertical margin and turned to read
// upwards on a horizontal one.
void ordinate_dimension(Page &page, const drf::OrdDimensionPayload &dim) {
  const double size = dim.lettering.size > 0 ? dim.lettering.size : 3.5;
  const double x = dim.text_at[0], y = dim.text_at[1];
  page.line(dim.at.sheet[0], dim.at.sheet[1], x, y, "dim");
  std::string text = "<text font-size=\"" + num(size) + "\" text-anchor=\"end\" ";
  if (dim.text_at[1] != dim.at.sheet[1]) { // below a horizontal margin
    const std::string tx = num(x + size / 3), ty = num(page.svg_y(y - 1));
    text += "x=\"" + tx + "\" y=\"" + ty + "\" transform=\"rotate(-90 " + tx + " " + ty + ")\"";
  } else { // left of a vertical margin
    text += "x=\"" + num(x - 1) + "\" y=\"" + num(page.svg_y(y - size / 3)) + "\"";
  }
  page.raw(text + ">" + xml_escape(dim.text) + "</text>\n");
}

} // namespace

bool write_drawing_svg(Session &session, tag_t drawing, std::ostream &out) {
  const draw::DrawingPayload *sheet = draw::find_drawing(session, drawing);
  if (!sheet)
    return false;
  const double w = sheet->width, h = sheet->height;
  const bool border = session.component<draw::Drawings>().border_display;
  Page page(h, out);
  page.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  page.raw("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(w) + "mm\" height=\"" +
           num(h) + "mm\" viewBox=\"0 0 " + num(w) + " " + num(h) + "\">\n");
  page.raw("<title>" + xml_escape(gbk_to_utf8(session.objects().find(drawing)->name)) +
           "</title>\n");
  page.raw("<style>line,polyline{fill:none;stroke:#000;stroke-linecap:round}"
           ".sheet{stroke-width:0.25}.edge{stroke-width:0.35}.thin{stroke-width:0.18}"
           ".thick{stroke-width:0.7}.dashed{stroke-dasharray:1.5 0.75}"
           ".model{stroke-width:0.18;stroke:#1f4fbf}.border{stroke-width:0.1;stroke:#999;"
           "stroke-dasharray:1 1}.dim{stroke-width:0.13;stroke:#a00}"
           "text{font-family:'Noto Sans Mono CJK SC',SimSun,monospace;"
           "fill:#000}</style>\n");
  page.raw("<rect x=\"0\" y=\"0\" width=\"" + num(w) + "\" height=\"" + num(h) +
           "\" fill=\"#fff\"/>\n");
  session.objects().for_each([&](const Object &object) {
    if (!object.payload || !shows(session, object))
      return;
    if (const auto *line = payload_cast<const drf::SheetLinePayload>(object.payload.get())) {
      if (line->drawing == drawing)
        page.line(line->start.x, line->start.y, line->end.x, line->end.y, "sheet");
    } else if (const auto *note = payload_cast<const drf::NotePayload>(object.payload.get())) {
      if (note->drawing == drawing)
        page.note(*note);
    } else if (const auto *dim =
                   payload_cast<const drf::OrdDimensionPayload>(object.payload.get())) {
      if (dim->drawing == drawing)
        ordinate_dimension(page, *dim);
    }
  });
  for (tag_t view : sheet->views)
    if (const draw::MemberViewPayload *member = draw::find_member_view(session, view))
      member_view(session, page, view, *member, border);
  page.raw("</svg>\n");
  page.flush();
  return static_cast<bool>(out);
}

std::string drawing_svg(Session &session, tag_t drawing) {
  std::ostringstream out;
  if (!write_drawing_svg(session, drawing, out))
    return {};
  return std::move(out).str();
}

std::string page_file_name(std::string_view drawing_name) {
  std::string name = gbk_to_utf8(drawing_name);
  for (char &c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x80 && !std::isalnum(byte) && c != '_' && c != '-' && c != '.')
      c = '_';
  }
  if (name.empty())
    name = "drawing";
  return name + ".svg";
}

std::vector<std::filesystem::path> write_pages(Session &session,
                                               const std::filesystem::path &folder,
                                               std::string &why) {
  const std::vector<tag_t> drawings = session.objects().tags_of_type(draw::kDrawingType);
  if (drawings.empty())
    return {};
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) {
    why = folder.string() + ": " + error.message();
    return {};
  }
  std::vector<std::filesystem::path> written;
  std::map<std::string, int> used;
  for (tag_t drawing : drawings) {
    if (!draw::find_drawing(session, drawing))
      continue;
    std::string name = page_file_name(session.objects().find(drawing)->name);
    if (const int seen = used[name]++; seen > 0)
      name = name.substr(0, name.size() - 4) + "_" + std::to_string(seen + 1) + ".svg";
    const std::filesystem::path file = folder / name;
    std::ofstream out(file, std::ios::binary);
    if (!write_drawing_svg(session, drawing, out) || !out.flush()) {
      why = file.string() + ": cannot be written";
      return {};
    }
    written.push_back(file);
  }
  return written;
}

} // namespace sim::render
