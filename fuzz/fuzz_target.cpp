//===- fuzz_target.cpp - The libFuzzer entry of one harness case ----------===//
//
// Built once per target; NCSHEET_FUZZ_CASE names the harness routine and
// NCSHEET_FUZZ_NAME the target.  A case that breaks what must hold aborts
// with what broke, which libFuzzer reports as a crash with its input.
//
//===----------------------------------------------------------------------===//
#include "input_harness.h"
#include "reader_harness.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string problem = NCSHEET_FUZZ_CASE(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s: %s\n", NCSHEET_FUZZ_NAME, problem.c_str());
    std::abort();
  }
  return 0;
}
