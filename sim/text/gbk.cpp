//===- gbk.cpp - Host code page (GBK, 936) and UTF-8 ----------------------===//
#include "text/gbk.h"

#include <cerrno>
#include <iconv.h>

namespace sim {
namespace {

/// One iconv conversion descriptor, closed on scope exit.
class Converter {
public:
  Converter(const char *to, const char *from) : cd_(iconv_open(to, from)) {}
  Converter(const Converter &) = delete;
  Converter &operator=(const Converter &) = delete;
  ~Converter() {
    if (valid())
      iconv_close(cd_);
  }
  [[nodiscard]] bool valid() const noexcept { return cd_ != reinterpret_cast<iconv_t>(-1); }

  /// Converts in; an unconvertible sequence of `skip` bytes becomes
  /// `replacement`.
  [[nodiscard]] std::string run(std::string_view in, std::string_view replacement, bool gbk_input) {
    std::string out;
    if (!valid())
      return std::string(in);
    char *src = const_cast<char *>(in.data());
    std::size_t left = in.size();
    char buffer[256];
    while (left > 0) {
      char *dst = buffer;
      std::size_t room = sizeof buffer;
      const std::size_t done = iconv(cd_, &src, &left, &dst, &room);
      out.append(buffer, static_cast<std::size_t>(dst - buffer));
      if (done != static_cast<std::size_t>(-1))
        break;
      if (errno == E2BIG)
        continue;
      // EILSEQ or EINVAL: replace one character and go on.
      out.append(replacement);
      std::size_t skip = 1;
      if (!gbk_input) {
        const auto lead = static_cast<unsigned char>(*src);
        skip = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
      } else if (left >= 2) {
        // A lead byte with a trail byte in range is one bad character.
        const auto lead = static_cast<unsigned char>(src[0]);
        const auto trail = static_cast<unsigned char>(src[1]);
        if (lead >= 0x81 && lead <= 0xFE && trail >= 0x40 && trail <= 0xFE && trail != 0x7F)
          skip = 2;
      }
      if (skip > left)
        skip = left;
      src += skip;
      left -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
  }

private:
  iconv_t cd_;
};

} // namespace

bool is_ascii(std::string_view bytes) noexcept {
  for (const char c : bytes)
    if (static_cast<unsigned char>(c) >= 0x80)
      return false;
  return true;
}

std::string gbk_to_utf8(std::string_view gbk) {
  if (is_ascii(gbk))
    return std::string(gbk);
  Converter converter("UTF-8", "GBK");
  return converter.run(gbk, "\xEF\xBF\xBD", true);
}

bool is_gbk(std::string_view bytes) {
  // GBK has no replacement character, so one in the decoded text stands
  // for a sequence the decoder could not read.
  return gbk_to_utf8(bytes).find("\xEF\xBF\xBD") == std::string::npos;
}

std::string utf8_to_gbk(std::string_view utf8) {
  if (is_ascii(utf8))
    return std::string(utf8);
  Converter converter("GBK", "UTF-8");
  return converter.run(utf8, "?", false);
}

std::string to_hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 0x0F]);
  }
  return out;
}

} // namespace sim
