//===- gbk_text.h - UTF-8 to GBK for test expectations --------------------===//
//
// The system's built-in texts are GBK bytes; tests write their expectations
// in UTF-8 and convert them here, so that a wrong byte in the module shows.
//
//===----------------------------------------------------------------------===//
#ifndef NCSHEET_TESTS_GBK_TEXT_H
#define NCSHEET_TESTS_GBK_TEXT_H

#include <iconv.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace test_text {

/// Converts text between two encodings with iconv; throws when it cannot.
inline std::string convert(std::string_view text, const char *from, const char *to) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1))
    throw std::runtime_error("iconv_open failed");
  std::string in(text);
  std::string out(in.size() * 4 + 16, '\0');
  char *src = in.data();
  std::size_t src_left = in.size();
  char *dst = out.data();
  std::size_t dst_left = out.size();
  const std::size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1))
    throw std::runtime_error("cannot convert: " + in);
  out.resize(out.size() - dst_left);
  return out;
}

/// The GBK bytes of a UTF-8 text.
inline std::string gbk(std::string_view utf8) { return convert(utf8, "UTF-8", "GBK"); }
/// The UTF-8 text of GBK bytes.
inline std::string utf8(std::string_view gbk_bytes) { return convert(gbk_bytes, "GBK", "UTF-8"); }

} // namespace test_text

#endif
