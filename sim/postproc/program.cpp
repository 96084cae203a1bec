//===- program.cpp - Summaries of program groups --------------------------===//
#include "postproc/program.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace sim::post {
namespace {

/// Machining time below this many minutes of a whole one rounds down.
constexpr double kMinuteSlack = 1e-9;

[[nodiscard]] std::string word(const std::string &text) {
  if (text.empty())
    return "-";
  std::string out = text;
  for (char &c : out)
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r')
      c = '_';
  return out;
}

/// Lowest and highest of the values met, or 0 and 0 when none was.
template <class T> struct Span {
  T low = 0, high = 0;
  bool seen = false;
  void add(T value) {
    low = seen ? std::min(low, value) : value;
    high = seen ? std::max(high, value) : value;
    seen = true;
  }
};

} // namespace

Summary summarize(const Program &program, double rapid_rate) {
  Summary s;
  s.program = program.name;
  if (!program.operations.empty()) {
    const Operation &first = program.operations.front();
    const Operation &last = program.operations.back();
    s.tool = first.tool;
    s.tool_number = first.tool_number;
    s.description = first.description;
    s.side_stock = last.side_stock;
    s.floor_stock = last.floor_stock;
  }
  Span<int> spindle;
  Span<double> feed;
  double lowest = std::numeric_limits<double>::infinity();
  double minutes = 0;
  const geo::Vec3 *previous_end = nullptr;
  for (const Operation &op : program.operations) {
    if (op.moves.empty()) {
      if (op.spindle > 0)
        spindle.add(op.spindle);
      if (op.feed > 0)
        feed.add(op.feed);
      continue;
    }
    for (const Move &move : op.moves) {
      if (move.first && previous_end)
        minutes += geo::norm(move.end - *previous_end) / rapid_rate;
      lowest = std::min({lowest, move.start.z, move.end.z});
      if (move.spindle > 0)
        spindle.add(move.spindle);
      if (move.motion == Motion::Rapid) {
        minutes += move_length(move) / rapid_rate;
      } else {
        feed.add(move.feed);
        minutes += move_length(move) / move.feed;
      }
    }
    previous_end = &op.moves.back().end;
  }
  s.lowest_z = std::isfinite(lowest) ? lowest : 0;
  s.exact_minutes = minutes;
  s.minutes = static_cast<long>(std::ceil(minutes - kMinuteSlack));
  if (s.minutes < 0)
    s.minutes = 0;
  s.min_spindle = spindle.low;
  s.max_spindle = spindle.high;
  s.min_feed = feed.low;
  s.max_feed = feed.high;
  return s;
}

std::string summary_line(const Summary &s) {
  std::string line;
  const auto add = [&line](const std::string &value) {
    if (!line.empty())
      line.push_back(' ');
    line += value;
  };
  char z[64];
  std::snprintf(z, sizeof z, "%.3f", s.lowest_z == 0 ? 0.0 : s.lowest_z);
  add(word(s.program));
  add(word(s.tool));
  add(word(s.description));
  add(trimmed_number(s.side_stock, 3));
  add(std::string(z) == "-0.000" ? "0.000" : z);
  add(std::to_string(s.minutes));
  add(std::to_string(s.tool_number));
  add(std::to_string(s.min_spindle));
  add(std::to_string(s.max_spindle));
  add(trimmed_number(s.min_feed, 3));
  add(trimmed_number(s.max_feed, 3));
  add(trimmed_number(s.floor_stock, 3));
  line.push_back('\n');
  return line;
}

} // namespace sim::post
