//===- lettering.h - Text laid out from the font's own metrics ------------===//
//
// Every text of a page is set in one font, WenQuanYi Micro Hei (Latin and
// Chinese, from Debian's fonts-wqy-microhei), and laid out from its glyph
// advances: a character is the font's advance at the lettering's size wide,
// stretched by 1 / aspect_ratio (the aspect ratio is height to width), and
// characters are char_space_factor * size apart.  The SVG and the PDF
// writers place each glyph where the layout says, so every viewer shows
// the same widths.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_RENDER_LETTERING_H
#define NCSHEET_SIM_RENDER_LETTERING_H

#include "session/session.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace sim::render {

/// The family every page text is set in.
inline constexpr const char *kPageFont = "WenQuanYi Micro Hei";

/// One line of text, laid out.
struct TextLine {
  std::string utf8;
  std::vector<unsigned long> glyphs; ///< the font's glyph indices
  std::vector<double> x;             ///< each glyph's start from the line's start, mm
  double size = 0;                   ///< height of the characters, mm
  double stretch = 1;                ///< horizontal scale of the glyphs (1 / aspect ratio)
  double length = 0;                 ///< from the first glyph's start to the last one's end, mm
};

/// The page font, opened once a session (a cache: no part of the dump).
class Lettering : public Component {
public:
  explicit Lettering(Session &);
  ~Lettering() override;
  Lettering(const Lettering &) = delete;
  Lettering &operator=(const Lettering &) = delete;
  [[nodiscard]] std::string_view name() const override { return "lettering"; }
  [[nodiscard]] bool in_dump() const override { return false; }

  /// Lays out utf8 at size with the stretch and the gap between characters.
  [[nodiscard]] TextLine lay_out(std::string_view utf8, double size, double stretch,
                                 double gap) const;
  /// The font face as cairo knows it (a cairo_font_face_t).
  [[nodiscard]] void *font_face() const;

private:
  struct Font;
  std::unique_ptr<Font> font_;
};

} // namespace sim::render

#endif
