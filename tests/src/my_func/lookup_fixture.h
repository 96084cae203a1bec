// lookup_fixture.h: a lookup of the language or the definition file run
// inside the API bracket, with what it wrote and the notices it showed.
#ifndef NCSHEET_TESTS_MY_FUNC_LOOKUP_FIXTURE_H
#define NCSHEET_TESTS_MY_FUNC_LOOKUP_FIXTURE_H

#include "my_func/my_func.h"

#include "gbk_text.h"
#include "host/core.h"
#include "system_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace my_func_test {

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
    r.out = out;
    r.shown = transcript().messages_shown();
    return r;
  }
  // The language lookup's notices of a key not found and of a file ending
  // before the message.
  static std::string no_key(const std::string &file, const std::string &key) {
    using test_text::gbk;
    return gbk("在 ") + file + gbk(" 文件中找不到 ") + key + gbk(" 标题,请查看标题否正确!");
  }
  static std::string no_text(const std::string &file, const std::string &key) {
    using test_text::gbk;
    return gbk("在 ") + file + gbk(" 文件中读数据错误,找不到 ") + key +
           gbk(" 的数据,请查看是否有 ") + key + gbk(" 的数据!");
  }
};

} // namespace my_func_test

#endif
