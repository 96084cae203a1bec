#include "text/number_text.h"

#include <cstdio>

namespace sim {

std::string trimmed_number(double value, int places) {
  char buf[352]; // "%.*f" of the largest double with a few decimals
  std::snprintf(buf, sizeof buf, "%.*f", places, value);
  std::string text = buf;
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0')
      text.pop_back();
    if (text.back() == '.')
      text.pop_back();
  }
  if (text == "-0")
    text = "0";
  return text;
}

} // namespace sim
