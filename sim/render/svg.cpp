//===- svg.cpp - Drawings as SVG pages at true size -----------------------===//
#include "render/svg.h"

#include "render/canvas.h"
#include "render/page.h"
#include "render/view_strokes.h"

#include "drawings/drawings.h"
#include "objects/object_store.h"
#include "session/session.h"
#include "text/gbk.h"
#include "text/number_text.h"

#include <cctype>
#include <fstream>
#include <map>
#include <sstream>
#include <system_error>

namespace sim::render {
namespace {

// Bytes of the UTF-8 character that starts with lead.
std::size_t utf8_length(unsigned char lead) {
  return lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
}

// Shortest text of a number that reads back the same at 1e-4 mm.
std::string num(double value) { return trimmed_number(value, 4); }

std::string xml_escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
    case '&': out += "&amp;"; break;
    case '<': out += "&lt;"; break;
    case '>': out += "&gt;"; break;
    case '"': out += "&quot;"; break;
    default: out += c;
    }
  }
  return out;
}

// A page as SVG text, handed to sink a buffer at a time, so that a page
// of a large part is never held whole.
class SvgCanvas : public Canvas {
public:
  // Only the height is needed: it flips drawing y (upwards) into SVG y (downwards).
  SvgCanvas(double height, std::ostream &sink) : height_(height), sink_(sink) {}
  SvgCanvas(const SvgCanvas &) = delete;
  SvgCanvas &operator=(const SvgCanvas &) = delete;
  ~SvgCanvas() override { flush(); }

  void line(Point a, Point b, const Pen &pen) override {
    append("<line class=\"", pen_class(pen), "\" x1=\"", num(a[0]), "\" y1=\"", num(height_ - a[1]),
           "\" x2=\"", num(b[0]), "\" y2=\"", num(height_ - b[1]), "\"/>\n");
  }

  void polyline(const std::vector<Point> &points, const Pen &pen) override {
    if (points.size() < 2)
      return;
    append("<polyline class=\"", pen_class(pen), "\" points=\"");
    for (std::size_t i = 0; i < points.size(); ++i)
      append(i ? " " : "", num(points[i][0]), ",", num(height_ - points[i][1]));
    append("\"/>\n");
  }

  // Each character at the x the layout gives it, in the glyphs' stretched
  // frame, one span a character (viewers differ on lists of positions), so
  // that no viewer's own spacing or font enters the widths.
  void text(const PlacedText &text) override {
    const TextLine &line = text.line;
    append("<text", text.ink == Ink::Dim ? " class=\"dim\"" : "", " transform=\"translate(",
           num(text.at[0]), " ", num(height_ - text.at[1]), ")");
    if (text.angle != 0) {
      std::ostringstream angle; // the stream's own text of the angle
      angle << -text.angle;
      append(" rotate(", angle.str(), ")");
    }
    if (line.stretch != 1)
      append(" scale(", num(line.stretch), " 1)");
    append("\" font-size=\"", num(line.size), "\">");
    std::size_t at = 0;
    for (std::size_t i = 0; i < line.x.size() && at < line.utf8.size(); ++i) {
      const std::size_t length = utf8_length(static_cast<unsigned char>(line.utf8[at]));
      append("<tspan x=\"", num(line.x[i] / line.stretch), "\">",
             xml_escape(std::string_view(line.utf8).substr(at, length)), "</tspan>");
      at += length;
    }
    append("</text>\n");
  }

  void begin_view(tag_t view, std::string_view why) override {
    append("<g class=\"view\" id=\"view-", std::to_string(view), "\">\n");
    if (!why.empty())
      append("<!-- every edge drawn: ", xml_escape(why), " -->\n");
  }
  void end_view() override { append("</g>\n"); }

  void raw(std::string_view text) { append(text); }

  void flush() {
    sink_.write(out_.data(), static_cast<std::streamsize>(out_.size()));
    out_.clear();
  }

private:
  static constexpr std::size_t kBufferSize = 1 << 20;

  static std::string pen_class(const Pen &pen) {
    switch (pen.ink) {
    case Ink::Sheet: return "sheet";
    case Ink::Model: return "model";
    case Ink::Border: return "border";
    case Ink::Dim: return "dim";
    case Ink::Edge: break;
    }
    std::string cls = "edge";
    if (pen.width == kThinWidth)
      cls += " thin";
    else if (pen.width == kThickWidth)
      cls += " thick";
    if (pen.dashed)
      cls += " dashed";
    return cls;
  }

  template <class... Parts> void append(const Parts &...parts) {
    (out_.append(parts), ...);
    if (out_.size() >= kBufferSize)
      flush();
  }

  double height_;
  std::ostream &sink_;
  std::string out_;
};

/// Writes the SVG document of drawing, whose objects are in objects, to
/// out; false when tag is not a drawing or out failed.
bool write_svg(Session &session, tag_t drawing, const SheetObjects &objects, std::ostream &out,
               std::vector<std::string> &warnings) {
  double w = 0, h = 0;
  if (!page_size(session, drawing, w, h))
    return false;
  SvgCanvas page(h, out);
  page.raw("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
  page.raw("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + num(w) + "mm\" height=\"" +
           num(h) + "mm\" viewBox=\"0 0 " + num(w) + " " + num(h) + "\">\n");
  page.raw("<title>" + xml_escape(gbk_to_utf8(session.objects().find(drawing)->name)) +
           "</title>\n");
  page.raw("<style>line,polyline{fill:none;stroke:#000;stroke-linecap:round}"
           ".sheet{stroke-width:0.25}.edge{stroke-width:0.35}.thin{stroke-width:0.18}"
           ".thick{stroke-width:0.7}.dashed{stroke-dasharray:1.5 0.75}"
           ".model{stroke-width:0.18;stroke:#1f4fbf}.border{stroke-width:0.1;stroke:#999;"
           "stroke-dasharray:1 1}line.dim{stroke-width:0.13;stroke:#a00}"
           "text{font-family:'" +
           std::string(kPageFont) + "',sans-serif;fill:#000;white-space:pre}</style>\n");
  page.raw("<rect x=\"0\" y=\"0\" width=\"" + num(w) + "\" height=\"" + num(h) +
           "\" fill=\"#fff\"/>\n");
  draw_page(session, drawing, objects, page, warnings);
  page.raw("</svg>\n");
  page.flush();
  return static_cast<bool>(out);
}

} // namespace

bool write_drawing_svg(Session &session, tag_t drawing, std::ostream &out,
                       std::vector<std::string> &warnings) {
  return write_svg(session, drawing, SheetObjects(session), out, warnings);
}

bool write_drawing_svg(Session &session, tag_t drawing, std::ostream &out) {
  std::vector<std::string> warnings;
  return write_drawing_svg(session, drawing, out, warnings);
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

Expected<std::vector<std::filesystem::path>> write_pages(Session &session,
                                                         const std::filesystem::path &folder,
                                                         std::vector<std::string> *warnings) {
  using Pages = Expected<std::vector<std::filesystem::path>>;
  std::vector<std::string> unused;
  if (!warnings)
    warnings = &unused;
  const std::vector<tag_t> drawings = session.objects().tags_of_type(draw::kDrawingType);
  if (drawings.empty())
    return std::vector<std::filesystem::path>{};
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error)
    return Pages::failure(folder.string() + ": " + error.message());
  std::vector<std::filesystem::path> written;
  std::map<std::string, int> used;
  const SheetObjects objects(session);
  for (tag_t drawing : drawings) {
    if (!draw::find_drawing(session, drawing))
      continue;
    std::string name = page_file_name(session.objects().find(drawing)->name);
    if (const int seen = used[name]++; seen > 0)
      name = name.substr(0, name.size() - 4) + "_" + std::to_string(seen + 1) + ".svg";
    const std::filesystem::path file = folder / name;
    std::ofstream out(file, std::ios::binary);
    if (!write_svg(session, drawing, objects, out, *warnings) || !out.flush())
      return Pages::failure(file.string() + ": cannot be written");
    written.push_back(file);
  }
  return written;
}

} // namespace sim::render
