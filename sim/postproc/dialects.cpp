//===- dialects.cpp - NC programs in the postprocessors' dialects ---------===//
#include "postproc/dialects.h"

#include <cmath>
#include <cstdio>
#include <optional>

namespace sim::post {
namespace {

constexpr double kMmPerInch = 25.4;

/// Text for a comment: no parentheses inside, no line feeds.
[[nodiscard]] std::string comment_text(const std::string &text) {
  std::string out = text;
  for (char &c : out)
    if (c == '(' || c == ')' || c == '\n' || c == '\r')
      c = '_';
  return out;
}

[[nodiscard]] std::string date_text(const std::tm &t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d", t.tm_year + 1900, t.tm_mon + 1,
                t.tm_mday, t.tm_hour, t.tm_min);
  return buf;
}

/// Writes blocks with optional block numbers.
class Blocks {
public:
  Blocks(bool numbered, int first, int step) : numbered_(numbered), next_(first), step_(step) {}
  void add(const std::string &block) {
    if (numbered_) {
      out_ += "N" + std::to_string(next_) + " ";
      next_ += step_;
    }
    out_ += block;
    out_ += '\n';
  }
  void raw(const std::string &line) {
    out_ += line;
    out_ += '\n';
  }
  [[nodiscard]] std::string take() { return std::move(out_); }

private:
  bool numbered_;
  int next_;
  int step_;
  std::string out_;
};

// --- ISO G-code -------------------------------------------------------------

class IsoWriter {
public:
  IsoWriter(const PostDefinition &post, const NcJob &job)
      : post_(post), job_(job), blocks_(post.block_numbers, 10, 10) {}

  std::string write(const Program &program) {
    char number[16];
    std::snprintf(number, sizeof number, "O%04d", job_.program_number % 10000);
    blocks_.raw("%");
    blocks_.raw(std::string(number) + " (" + comment_text(program.name) + ")");
    blocks_.raw("(POSTPROCESSOR " + post_.name + " - " + post_.machine + ")");
    blocks_.raw("(DATE " + date_text(job_.clock) + ")");
    blocks_.add(std::string("G17 ") + (job_.inch ? "G20" : "G21") + " G40 G49 G80 G90");
    if (post_.high_speed)
      blocks_.add("G64 (CONTINUOUS PATH)");
    for (const Operation &op : program.operations)
      operation(op);
    if (spindle_on_) {
      blocks_.add("M09");
      blocks_.add("M05");
    }
    blocks_.add("G91 G28 Z0.");
    blocks_.add("G90");
    blocks_.add("M30");
    blocks_.raw("%");
    return blocks_.take();
  }

private:
  [[nodiscard]] std::string num(double mm) const {
    const double value = job_.inch ? mm / kMmPerInch : mm;
    std::string text = trimmed_number(value, job_.inch ? 4 : 3);
    if (text.find('.') == std::string::npos)
      text += '.';
    return text;
  }
  [[nodiscard]] std::string feed(double mm_per_min) const {
    return "F" +
           trimmed_number(job_.inch ? mm_per_min / kMmPerInch : mm_per_min, job_.inch ? 2 : 1);
  }

  void operation(const Operation &op) {
    blocks_.add("(OPERATION " + comment_text(op.name) + ")");
    blocks_.add("(TOOL " + std::to_string(op.tool_number) + " " + comment_text(op.tool) +
                " - SIDE STOCK " + trimmed_number(op.side_stock, 3) + " FLOOR STOCK " +
                trimmed_number(op.floor_stock, 3) + ")");
    const bool new_tool = !tool_ || *tool_ != op.tool_number;
    if (new_tool) {
      if (spindle_on_) {
        blocks_.add("M09");
        blocks_.add("M05");
        spindle_on_ = false;
        spindle_ = 0;
      }
      blocks_.add("T" + std::to_string(op.tool_number) + " M06");
      tool_ = op.tool_number;
      if (post_.rotary_axes == 1)
        blocks_.add("G00 A0.");
      else if (post_.rotary_axes >= 2)
        blocks_.add("G00 A0. C0.");
    }
    bool first = true;
    for (const Move &move : op.moves) {
      if (move.spindle > 0 && move.spindle != spindle_) {
        blocks_.add("S" + std::to_string(move.spindle) + " M03");
        if (!spindle_on_)
          blocks_.add("M08");
        spindle_ = move.spindle;
        spindle_on_ = true;
      }
      if (move.first || first)
        first_move(move, new_tool);
      else
        this->move(move);
      first = false;
    }
  }

  /// The operation's first position: XY, then Z with the tool's length
  /// offset after a tool change.
  void first_move(const Move &move, bool new_tool) {
    if (move.motion == Motion::Rapid) {
      blocks_.add("G00 G90 G54 X" + num(move.end.x) + " Y" + num(move.end.y));
      std::string z = new_tool ? "G43 H" + std::to_string(*tool_) + " " : std::string();
      blocks_.add(z + "Z" + num(move.end.z));
      motion_ = 0;
    } else {
      std::string block = "G01 ";
      if (new_tool)
        block += "G43 H" + std::to_string(*tool_) + " ";
      block += "X" + num(move.end.x) + " Y" + num(move.end.y) + " Z" + num(move.end.z) + " " +
               feed(move.feed);
      blocks_.add(block);
      motion_ = 1;
      feed_ = move.feed;
    }
    x_ = num(move.end.x);
    y_ = num(move.end.y);
    z_ = num(move.end.z);
  }

  void move(const Move &move) {
    static constexpr const char *kCodes[] = {"G00", "G01", "G02", "G03"};
    const int code = static_cast<int>(move.motion);
    std::string block;
    const auto word = [&block](const std::string &w) {
      if (!block.empty())
        block += ' ';
      block += w;
    };
    if (code != motion_)
      word(kCodes[code]);
    const bool arc = move.motion == Motion::ArcCw || move.motion == Motion::ArcCcw;
    const std::string x = num(move.end.x), y = num(move.end.y), z = num(move.end.z);
    if (arc || x != x_)
      word("X" + x);
    if (arc || y != y_)
      word("Y" + y);
    if (z != z_)
      word("Z" + z);
    if (arc) {
      word("I" + num(move.centre.x - move.start.x));
      word("J" + num(move.centre.y - move.start.y));
    }
    if (move.motion != Motion::Rapid && (!feed_ || *feed_ != move.feed)) {
      word(feed(move.feed));
      feed_ = move.feed;
    }
    if (block.empty())
      return; // no travel
    motion_ = code;
    x_ = x;
    y_ = y;
    z_ = z;
    blocks_.add(block);
  }

  const PostDefinition &post_;
  const NcJob &job_;
  Blocks blocks_;
  std::optional<int> tool_;
  int spindle_ = 0;
  bool spindle_on_ = false;
  int motion_ = -1;
  std::optional<double> feed_;
  std::string x_, y_, z_;
};

// --- Conversational ---------------------------------------------------------

class ConversationalWriter {
public:
  ConversationalWriter(const PostDefinition &post, const NcJob &job)
      : post_(post), job_(job), blocks_(true, 0, 1) {}

  std::string write(const Program &program) {
    const std::string units = job_.inch ? "INCH" : "MM";
    blocks_.add("BEGIN PROGRAM " + program.name + " " + units);
    blocks_.add("; POSTPROCESSOR " + post_.name + " - " + post_.machine);
    blocks_.add("; DATE " + date_text(job_.clock));
    for (const Operation &op : program.operations)
      operation(op);
    if (spindle_on_)
      blocks_.add("SPINDLE OFF COOLANT OFF");
    blocks_.add("END PROGRAM " + program.name + " " + units);
    return blocks_.take();
  }

private:
  [[nodiscard]] std::string num(double mm) const {
    const double value = job_.inch ? mm / kMmPerInch : mm;
    char buf[64];
    std::snprintf(buf, sizeof buf, job_.inch ? "%+.4f" : "%+.3f", value);
    std::string text = buf;
    if (text == "-0.000" || text == "-0.0000")
      text[0] = '+';
    return text;
  }

  void operation(const Operation &op) {
    blocks_.add("; OPERATION " + op.name + "  TOOL " + op.tool + "  SIDE STOCK " +
                trimmed_number(op.side_stock, 3) + "  FLOOR STOCK " +
                trimmed_number(op.floor_stock, 3));
    const bool new_tool = !tool_ || *tool_ != op.tool_number;
    int first_speed = op.spindle;
    for (const Move &move : op.moves)
      if (move.spindle > 0) {
        first_speed = move.spindle;
        break;
      }
    if (new_tool) {
      if (spindle_on_)
        blocks_.add("SPINDLE OFF COOLANT OFF");
      blocks_.add("TOOL CALL " + std::to_string(op.tool_number) + " AXIS Z SPEED " +
                  std::to_string(first_speed));
      tool_ = op.tool_number;
      spindle_ = first_speed;
      spindle_on_ = false;
    }
    for (const Move &move : op.moves) {
      if (move.spindle > 0 && move.spindle != spindle_) {
        blocks_.add("SPEED " + std::to_string(move.spindle));
        spindle_ = move.spindle;
      }
      if (!spindle_on_ && spindle_ > 0) {
        blocks_.add("SPINDLE ON CW COOLANT ON");
        spindle_on_ = true;
      }
      this->move(move);
    }
  }

  void move(const Move &move) {
    const std::string x = num(move.end.x), y = num(move.end.y), z = num(move.end.z);
    const bool arc = move.motion == Motion::ArcCw || move.motion == Motion::ArcCcw;
    std::string block;
    if (move.first) {
      blocks_.add("LINE X" + x + " Y" + y + " RAPID");
      block = "LINE Z" + z;
    } else if (arc) {
      blocks_.add("CENTER X" + num(move.centre.x) + " Y" + num(move.centre.y));
      block = "ARC X" + x + " Y" + y;
      if (z != z_)
        block += " Z" + z;
      block += move.motion == Motion::ArcCw ? " CW" : " CCW";
    } else {
      block = "LINE";
      if (x != x_)
        block += " X" + x;
      if (y != y_)
        block += " Y" + y;
      if (z != z_)
        block += " Z" + z;
      if (block == "LINE")
        return; // no travel
    }
    if (move.motion == Motion::Rapid)
      block += " RAPID";
    else if (!feed_ || *feed_ != move.feed || move.first) {
      block += " FEED " +
               trimmed_number(job_.inch ? move.feed / kMmPerInch : move.feed, job_.inch ? 2 : 1);
      feed_ = move.feed;
    }
    x_ = x;
    y_ = y;
    z_ = z;
    blocks_.add(block);
  }

  const PostDefinition &post_;
  const NcJob &job_;
  Blocks blocks_;
  std::optional<int> tool_;
  int spindle_ = 0;
  bool spindle_on_ = false;
  std::optional<double> feed_;
  std::string x_, y_, z_;
};

} // namespace

std::string write_nc(const PostDefinition &post, const Program &program, const NcJob &job) {
  if (post.dialect == Dialect::Conversational)
    return ConversationalWriter(post, job).write(program);
  return IsoWriter(post, job).write(program);
}

} // namespace sim::post
