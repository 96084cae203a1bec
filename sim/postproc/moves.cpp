//===- moves.cpp - The tool moves of an operation -------------------------===//
#include "postproc/moves.h"

#include <charconv>
#include <cmath>
#include <numbers>
#include <optional>

namespace sim::post {
namespace {

/// Start and end of an arc may lie this far from its radius (mm).
constexpr double kArcRadiusTolerance = 0.01;
/// Points closer than this are the same point (a full circle).
constexpr double kSamePoint = 1e-9;

/// One line's words, after comments were dropped.
struct Words {
  std::optional<int> g_motion;
  std::optional<double> x, y, z, i, j, f, s;
};

[[nodiscard]] bool is_space(char c) noexcept { return c == ' ' || c == '\t' || c == '\r'; }

/// The line without its comments; false on an unclosed "(".
[[nodiscard]] bool strip_comments(std::string_view line, std::string &out) {
  out.clear();
  bool in_paren = false;
  for (char c : line) {
    if (in_paren) {
      in_paren = c != ')';
      continue;
    }
    if (c == '(') {
      in_paren = true;
      continue;
    }
    if (c == ';')
      break;
    out.push_back(c);
  }
  return !in_paren;
}

[[nodiscard]] bool read_number(std::string_view text, std::size_t &pos, double &value) {
  const std::size_t begin = pos;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
    ++pos;
  while (pos < text.size() && ((text[pos] >= '0' && text[pos] <= '9') || text[pos] == '.'))
    ++pos;
  std::string number(text.substr(begin, pos - begin));
  if (!number.empty() && number[0] == '+')
    number.erase(0, 1);
  if (!number.empty() && number.back() == '.')
    number.push_back('0'); // "10." as the controls write it
  if (!number.empty() &&
      (number[0] == '.' || (number[0] == '-' && number.size() > 1 && number[1] == '.')))
    number.insert(number[0] == '-' ? 1 : 0, "0");
  const char *first = number.data();
  const char *last = number.data() + number.size();
  const auto [end, ec] = std::from_chars(first, last, value);
  return !number.empty() && ec == std::errc() && end == last && std::isfinite(value);
}

/// Splits one line into words; false with why on a word it does not know.
[[nodiscard]] bool read_words(std::string_view line, Words &words, std::string &why) {
  std::size_t pos = 0;
  while (pos < line.size()) {
    if (is_space(line[pos])) {
      ++pos;
      continue;
    }
    char letter = line[pos];
    if (letter >= 'a' && letter <= 'z')
      letter = static_cast<char>(letter - 'a' + 'A');
    ++pos;
    while (pos < line.size() && is_space(line[pos]))
      ++pos;
    double value = 0;
    if (!read_number(line, pos, value)) {
      why = std::string("a number must follow ") + letter;
      return false;
    }
    switch (letter) {
    case 'G': {
      const int code = static_cast<int>(std::lround(value));
      if (code != value) {
        why = "G" + std::to_string(value) + " is not supported";
        return false;
      }
      if (code >= 0 && code <= 3) {
        words.g_motion = code;
      } else if (code == 91) {
        why = "incremental coordinates (G91) are not supported";
        return false;
      } else if (code != 17 && code != 21 && code != 40 && code != 49 && code != 80 && code != 90) {
        why = "G" + std::to_string(code) + " is not supported";
        return false;
      }
      break;
    }
    case 'X': words.x = value; break;
    case 'Y': words.y = value; break;
    case 'Z': words.z = value; break;
    case 'I': words.i = value; break;
    case 'J': words.j = value; break;
    case 'F': words.f = value; break;
    case 'S': words.s = value; break;
    case 'N':
    case 'M':
    case 'T':
    case 'H':
    case 'D': break;
    default: why = std::string("the word ") + letter + " is not supported"; return false;
    }
  }
  return true;
}

/// The reader's state between lines.
struct Reader {
  std::vector<Move> &moves;
  std::optional<int> motion;
  std::optional<geo::Vec3> position;
  double feed;
  int spindle;
};

/// Applies one line's words; false with why when they make no move.
[[nodiscard]] bool apply(const Words &w, Reader &r, std::string &why) {
  if (w.f) {
    if (*w.f <= 0) {
      why = "the feed must be greater than 0";
      return false;
    }
    r.feed = *w.f;
  }
  if (w.s) {
    if (*w.s < 0 || *w.s > 1e6 || *w.s != std::floor(*w.s)) {
      why = "the spindle speed must be a whole number from 0";
      return false;
    }
    r.spindle = static_cast<int>(*w.s);
  }
  if (w.g_motion)
    r.motion = *w.g_motion;
  const bool has_axis = w.x || w.y || w.z;
  if (!has_axis) {
    if (w.i || w.j) {
      why = "I and J need an arc end point";
      return false;
    }
    return true;
  }
  if (!r.motion) {
    why = "coordinates before any motion (G0, G1, G2, G3)";
    return false;
  }
  Move move;
  move.spindle = r.spindle;
  if (!r.position) {
    if (!(w.x && w.y && w.z)) {
      why = "the first move must give X, Y and Z";
      return false;
    }
    if (*r.motion >= 2) {
      why = "the first move cannot be an arc";
      return false;
    }
    move.first = true;
    r.position = geo::Vec3{*w.x, *w.y, *w.z};
  }
  move.start = *r.position;
  move.end = {w.x.value_or(move.start.x), w.y.value_or(move.start.y), w.z.value_or(move.start.z)};
  switch (*r.motion) {
  case 0: move.motion = Motion::Rapid; break;
  case 1: move.motion = Motion::Linear; break;
  case 2: move.motion = Motion::ArcCw; break;
  default: move.motion = Motion::ArcCcw; break;
  }
  if (move.motion != Motion::Rapid) {
    if (r.feed <= 0) {
      why = "a cutting move needs a feed (an F word or the operation's \"feed\")";
      return false;
    }
    move.feed = r.feed;
  }
  if (move.motion == Motion::ArcCw || move.motion == Motion::ArcCcw) {
    if (!w.i && !w.j) {
      why = "an arc needs its centre (I, J)";
      return false;
    }
    move.centre = {move.start.x + w.i.value_or(0), move.start.y + w.j.value_or(0), move.start.z};
    const double r0 = std::hypot(move.start.x - move.centre.x, move.start.y - move.centre.y);
    const double r1 = std::hypot(move.end.x - move.centre.x, move.end.y - move.centre.y);
    if (r0 < kSamePoint) {
      why = "the arc's radius is 0";
      return false;
    }
    if (std::abs(r0 - r1) > kArcRadiusTolerance) {
      why = "the arc's end point is not on its circle";
      return false;
    }
  } else if (w.i || w.j) {
    why = "I and J belong to arcs (G2, G3)";
    return false;
  }
  r.position = move.end;
  r.moves.push_back(move);
  return true;
}

} // namespace

bool parse_moves(std::string_view text, const MoveDefaults &defaults, std::vector<Move> &moves,
                 MoveError &error) {
  moves.clear();
  Reader reader{moves, std::nullopt, std::nullopt, defaults.feed, defaults.spindle};
  std::string line;
  int number = 0;
  while (!text.empty()) {
    const std::size_t eol = text.find('\n');
    const std::string_view raw = text.substr(0, eol);
    text = eol == std::string_view::npos ? std::string_view{} : text.substr(eol + 1);
    ++number;
    std::string why;
    if (!strip_comments(raw, line)) {
      error = {number, "a comment is not closed"};
      return false;
    }
    std::size_t first = 0;
    while (first < line.size() && is_space(line[first]))
      ++first;
    if (first == line.size() || line[first] == '%')
      continue;
    Words words;
    if (!read_words(line, words, why) || !apply(words, reader, why)) {
      error = {number, why};
      return false;
    }
  }
  return true;
}

double arc_angle(const Move &move) noexcept {
  const double a0 = std::atan2(move.start.y - move.centre.y, move.start.x - move.centre.x);
  const double a1 = std::atan2(move.end.y - move.centre.y, move.end.x - move.centre.x);
  double sweep = move.motion == Motion::ArcCcw ? a1 - a0 : a0 - a1;
  const double two_pi = 2 * std::numbers::pi;
  while (sweep <= 1e-12)
    sweep += two_pi;
  while (sweep > two_pi + 1e-12)
    sweep -= two_pi;
  return sweep;
}

double move_length(const Move &move) noexcept {
  if (move.motion == Motion::ArcCw || move.motion == Motion::ArcCcw) {
    const double radius = std::hypot(move.start.x - move.centre.x, move.start.y - move.centre.y);
    return std::hypot(radius * arc_angle(move), move.end.z - move.start.z);
  }
  return geo::norm(move.end - move.start);
}

} // namespace sim::post
