//===- reader_harness.h - One fuzz case of the two file readers -----------===//
//
// A case is the bytes of a fuzz input: its first line is the key to look
// up (cut to 300 bytes), the rest is the file.  The harness writes the file
// into a fresh simulated session, runs the lookups inside the API bracket
// and checks what must hold whatever the file holds.  It returns an empty
// text when all held, else what did not.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_FUZZ_READER_HARNESS_H
#define NCSHEET_FUZZ_READER_HARNESS_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzz {

/// read_lang_message on the case.
[[nodiscard]] std::string run_lang_case(const std::uint8_t *data, std::size_t size);
/// read_config_value and read_config_value_char on the case.
[[nodiscard]] std::string run_config_case(const std::uint8_t *data, std::size_t size);

} // namespace fuzz

#endif
