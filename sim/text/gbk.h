//===- gbk.h - Host code page (GBK, 936) and UTF-8 ------------------------===//
#ifndef NCSHEET_SIM_TEXT_GBK_H
#define NCSHEET_SIM_TEXT_GBK_H

#include <string>
#include <string_view>

namespace sim {

/// GBK bytes to UTF-8; a byte sequence that is not GBK becomes U+FFFD.
[[nodiscard]] std::string gbk_to_utf8(std::string_view gbk);
/// UTF-8 to GBK; a character GBK lacks becomes '?'.
[[nodiscard]] std::string utf8_to_gbk(std::string_view utf8);
/// Lower-case hex of the bytes ("d5d2").
[[nodiscard]] std::string to_hex(std::string_view bytes);
/// True when the bytes decode as GBK text (every double-byte character
/// one the code page has).
[[nodiscard]] bool is_gbk(std::string_view bytes);
/// True when every byte is below 0x80.
[[nodiscard]] bool is_ascii(std::string_view bytes) noexcept;

} // namespace sim

#endif
