//===- gbk_text.h - UTF-8 to GBK for test expectations --------------------===//
//
// The system's built-in texts are GBK bytes; tests write their expectations
// in UTF-8 and convert them here, so that a wrong byte in the module shows;
// the language lookup's notices, which several areas expect, are made here.
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

/// The language lookup's notices: a key not found, a file ending before
/// the key's message, a language file missing.
inline std::string no_key(const std::string &file, const std::string &key) {
  return gbk("在 ") + file + gbk(" 文件中找不到 ") + key + gbk(" 标题,请查看标题否正确!");
}
inline std::string no_text(const std::string &file, const std::string &key) {
  return gbk("在 ") + file + gbk(" 文件中读数据错误,找不到 ") + key + gbk(" 的数据,请查看是否有 ") +
         key + gbk(" 的数据!");
}
inline std::string no_lang_file(const std::string &file) {
  return gbk("找不到 ") + file + gbk(" 语言配置文件,请重新安装!");
}

} // namespace test_text

#endif
