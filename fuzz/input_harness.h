//===- input_harness.h - One fuzz case of each reader of outside bytes ----===//
//
// Each routine takes the bytes of one fuzz input, feeds them to one reader
// (or helper) and checks what must hold whatever the bytes are.  It returns
// an empty text when all held, else what did not.  The libFuzzer targets
// abort on a non-empty answer; the corpus replay test expects it empty.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_FUZZ_INPUT_HARNESS_H
#define NCSHEET_FUZZ_INPUT_HARNESS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

/// The bytes as the saved dialog settings file, loaded and checked.
[[nodiscard]] std::string run_settings_case(const std::uint8_t *data, std::size_t size);
/// The bytes as a postprocessor summary line, split into its row values.
[[nodiscard]] std::string run_summary_case(const std::uint8_t *data, std::size_t size);
/// The bytes as a dialog file of the simulated host.
[[nodiscard]] std::string run_dialog_case(const std::uint8_t *data, std::size_t size);
/// The bytes as a scenario file, loaded into a fresh session.
[[nodiscard]] std::string run_scenario_case(const std::uint8_t *data, std::size_t size);
/// First byte even: the rest as an operation's move program; odd: the rest
/// as a STEP file imported as a body of a scenario.
[[nodiscard]] std::string run_moves_step_case(const std::uint8_t *data, std::size_t size);
/// First byte a length limit, the rest a GBK text: the cut, backslash and
/// upper-case helpers against a decoding of the text by iconv.
[[nodiscard]] std::string run_gbk_case(const std::uint8_t *data, std::size_t size);

} // namespace fuzz

#endif
