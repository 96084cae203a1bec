//===- svg_texts.h - The texts of an SVG page, as a reader sees them ------===//
#ifndef NCSHEET_TESTS_SUPPORT_SVG_TEXTS_H
#define NCSHEET_TESTS_SUPPORT_SVG_TEXTS_H

#include <string>
#include <vector>

namespace sim::testing {

/// Each <text> element's characters, its spans joined, entities as written.
inline std::vector<std::string> svg_texts(const std::string &svg) {
  std::vector<std::string> texts;
  for (std::size_t at = 0; (at = svg.find("<text", at)) != std::string::npos;) {
    const std::size_t end = svg.find("</text>", at);
    if (end == std::string::npos)
      break;
    std::string text;
    bool in_tag = false;
    for (std::size_t i = svg.find('>', at) + 1; i < end; ++i) {
      if (svg[i] == '<')
        in_tag = true;
      else if (svg[i] == '>')
        in_tag = false;
      else if (!in_tag)
        text += svg[i];
    }
    texts.push_back(text);
    at = end;
  }
  return texts;
}

} // namespace sim::testing

#endif
