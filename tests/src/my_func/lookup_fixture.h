// lookup_fixture.h: a lookup of the language or the definition file run
// inside the API bracket, with what it wrote and the notices it showed; no
// lookup leaves a file open, whichever way it ends.
#ifndef NCSHEET_TESTS_MY_FUNC_LOOKUP_FIXTURE_H
#define NCSHEET_TESTS_MY_FUNC_LOOKUP_FIXTURE_H

#include "my_func/my_func.h"

#include "gbk_text.h"
#include "host/core.h"
#include "runtime/runtime.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace my_func_test {

using test_text::no_key;
using test_text::no_text;

struct Lookup {
  int result = -1;
  double number = -99.0; // a number read
  std::string out;       // a text read, "untouched" when none
  std::vector<std::string> shown;
};

class LookupTest : public sim::testing::SystemTest {
protected:
  // Runs call(out, &number) inside the API bracket.
  template <class F> Lookup bracket(F &&call) {
    Lookup r;
    char out[MESSAGE_BUFSIZE] = "untouched";
    EXPECT_EQ(UF_initialize(), 0);
    r.result = call(out, &r.number);
    EXPECT_EQ(UF_terminate(), 0);
    EXPECT_EQ(session().runtime().open_files(), std::vector<std::string>{});
    r.out = out;
    r.shown = transcript().messages_shown();
    return r;
  }
};

} // namespace my_func_test

#endif
