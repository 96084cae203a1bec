#include "text/number_text.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>

namespace sim {

std::string trimmed_number(double value, int places) {
  // std::to_chars in fixed format writes what "%.*f" writes, without the
  // locale and the formatting machinery: pages write millions of numbers.
  char buf[352]; // the largest double in fixed notation with a few decimals
  const auto [end, error] =
      std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, places);
  std::size_t length = static_cast<std::size_t>(end - buf);
  if (error != std::errc{})
    length = static_cast<std::size_t>(std::snprintf(buf, sizeof buf, "%.*f", places, value));
  std::string_view text(buf, std::min(length, sizeof buf - 1));
  if (text.find('.') != std::string_view::npos) {
    while (text.back() == '0')
      text.remove_suffix(1);
    if (text.back() == '.')
      text.remove_suffix(1);
  }
  if (text == "-0")
    return "0";
  return std::string(text);
}

} // namespace sim
