//===- dialects.h - NC programs in the postprocessors' dialects -----------===//
//
// Two dialects: ISO G-code (word addresses, modal G codes, tool change by
// T.. M06) and a conversational dialect of our own (one statement a block,
// numbered lines, plain words: TOOL CALL, LINE, CENTER, ARC).
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_SIM_POSTPROC_DIALECTS_H
#define NCSHEET_SIM_POSTPROC_DIALECTS_H

#include "postproc/program.h"

#include <ctime>
#include <string>

namespace sim::post {

enum class Dialect { Iso, Conversational };

/// A postprocessor the host offers.
struct PostDefinition {
  std::string name;
  Dialect dialect = Dialect::Iso;
  double rapid_rate = 10000; ///< mm/min, for the machining time
  bool block_numbers = true; ///< ISO: N words
  int rotary_axes = 0;       ///< ISO: 0, 1 (A) or 2 (A, C), set to 0 at each tool change
  bool high_speed = false;   ///< ISO: continuous-path mode for high-speed machining
  std::string machine;       ///< the machine named in the header comment
};

struct NcJob {
  std::tm clock{};        ///< the date written in the header
  int program_number = 1; ///< ISO: the O number
  bool inch = false;      ///< output in inches (coordinates and feeds)
};

/// The NC program of a program group: text with line feeds, ASCII apart
/// from names in host bytes.
[[nodiscard]] std::string write_nc(const PostDefinition &post, const Program &program,
                                   const NcJob &job);

} // namespace sim::post

#endif
