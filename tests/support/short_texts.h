//===- short_texts.h - Short message texts put before the installed ones --===//
//
// The first occurrence of a key in a language file wins, so a test puts
// short texts of the keys it reads in front of the installed file and
// expects exact short messages.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_TESTS_SUPPORT_SHORT_TEXTS_H
#define NCSHEET_TESTS_SUPPORT_SHORT_TEXTS_H

#include "session_fixture.h"

#include <cstdio>
#include <string>

namespace test_text {

/// Lines "<prefix>NN:<text>N" for N = 1..count (NN in two digits), the key
/// skip left out.
inline std::string numbered_texts(const char *prefix, int count, const std::string &text,
                                  const std::string &skip = "") {
  std::string out;
  for (int i = 1; i <= count; ++i) {
    char key[64];
    std::snprintf(key, sizeof key, "%s%02d:", prefix, i);
    if (key != skip)
      out += key + text + std::to_string(i) + "\n";
  }
  return out;
}

/// The installed language file's bytes.
inline std::string installed_lang() {
  return sim::testing::slurp(sim::testing::installation_dir() / "lang" / "ncsheet_elec_uni.txt");
}

} // namespace test_text

#endif
