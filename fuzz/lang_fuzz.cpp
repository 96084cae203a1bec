//===- lang_fuzz.cpp - Fuzz target: the language file lookup --------------===//
#include "reader_harness.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string problem = fuzz::run_lang_case(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "lang lookup: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
