//===- program.h - What a postprocessor reads of a program group ----------===//
//
// The postprocessors see a program group as its name and its operations in
// the order the group walk meets them, each with its tool, speeds, stocks
// and moves.  Texts are host bytes (GBK).
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_POSTPROC_PROGRAM_H
#define NCSHEET_SIM_POSTPROC_PROGRAM_H

#include "postproc/moves.h"

#include <string>
#include <vector>

#include "text/number_text.h"

namespace sim::post {

struct Operation {
  std::string name;
  std::string tool; ///< tool name
  int tool_number = 0;
  std::string description; ///< machining description
  double side_stock = 0;
  double floor_stock = 0;
  int spindle = 0;         ///< spindle speed when the moves give none
  double feed = 0;         ///< feed when the moves give none
  std::vector<Move> moves; ///< in the operation's machining coordinates
};

struct Program {
  std::string name;
  std::vector<Operation> operations;
};

/// The one-line summary of a program: the twelve values of the program
/// sheet's table, in their order.
struct Summary {
  std::string program;      ///< 0
  std::string tool;         ///< 1
  std::string description;  ///< 2
  double side_stock = 0;    ///< 3
  double lowest_z = 0;      ///< 4, machining coordinates
  long minutes = 0;         ///< 5, whole minutes, rounded up
  int tool_number = 0;      ///< 6
  int min_spindle = 0;      ///< 7
  int max_spindle = 0;      ///< 8
  double min_feed = 0;      ///< 9
  double max_feed = 0;      ///< 10
  double floor_stock = 0;   ///< 11
  double exact_minutes = 0; ///< the machining time before rounding
};

/// The summary of a program, the machine's rapid moves made at rapid_rate
/// (mm/min).  Tool, tool number and description are the first operation's,
/// the stocks the last operation's (what the program leaves); speeds and
/// feeds span every move; rapid travel between operations counts.
[[nodiscard]] Summary summarize(const Program &program, double rapid_rate);

/// The summary as one line of twelve words separated by blanks, ending in
/// a line feed.  A text with blanks has them turned into '_'; an empty
/// text is written "-", so that no value can shift the others.
[[nodiscard]] std::string summary_line(const Summary &summary);

} // namespace sim::post

#endif
