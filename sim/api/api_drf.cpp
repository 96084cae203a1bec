//===- api_drf.cpp - drf.h: drafting and lettering preferences, notes -----===//
#include "host/drf.h"

#include "api/entry.h"
#include "drafting/drafting.h"
#include "drawings/drawings.h"

#include <cstring>
#include <string>
#include <vector>

using sim::Call;
using sim::Session;
namespace drf = sim::drf;
namespace status = sim::status;

namespace {

void copy_symbol(const std::string &symbol, char out[UF_DRF_SYMBOL_BUFSIZE]) {
  const std::size_t length =
      symbol.size() < UF_DRF_SYMBOL_BUFSIZE ? symbol.size() : UF_DRF_SYMBOL_BUFSIZE - 1;
  std::memcpy(out, symbol.data(), length);
  out[length] = '\0';
}

// The symbol text, or false when it does not end within its buffer.
bool read_symbol(const char in[UF_DRF_SYMBOL_BUFSIZE], std::string &out) {
  const void *end = std::memchr(in, '\0', UF_DRF_SYMBOL_BUFSIZE);
  if (!end)
    return false;
  out.assign(in, static_cast<const char *>(end));
  return true;
}

} // namespace

extern "C" int UF_DRF_ask_preferences(int int_prefs[UF_DRF_INT_PREFS],
                                      double real_prefs[UF_DRF_REAL_PREFS],
                                      char radius_symbol[UF_DRF_SYMBOL_BUFSIZE],
                                      char diameter_symbol[UF_DRF_SYMBOL_BUFSIZE]) {
  return sim::api::call(
      Call::UF_DRF_ask_preferences,
      [&](Session &s) {
        if (!int_prefs || !real_prefs || !radius_symbol || !diameter_symbol)
          return status::kBadArgument;
        const drf::Drafting &d = s.component<drf::Drafting>();
        std::memcpy(int_prefs, d.int_prefs.data(), sizeof(int) * UF_DRF_INT_PREFS);
        std::memcpy(real_prefs, d.real_prefs.data(), sizeof(double) * UF_DRF_REAL_PREFS);
        copy_symbol(d.radius_symbol, radius_symbol);
        copy_symbol(d.diameter_symbol, diameter_symbol);
        return status::kOk;
      },
      [&] {
        if (int_prefs)
          for (int i = 0; i < UF_DRF_INT_PREFS; ++i)
            sim::api::poison(int_prefs[i]);
        if (real_prefs)
          for (int i = 0; i < UF_DRF_REAL_PREFS; ++i)
            sim::api::poison(real_prefs[i]);
        if (radius_symbol)
          sim::api::poison(radius_symbol, UF_DRF_SYMBOL_BUFSIZE);
        if (diameter_symbol)
          sim::api::poison(diameter_symbol, UF_DRF_SYMBOL_BUFSIZE);
      });
}

extern "C" int UF_DRF_set_preferences(int int_prefs[UF_DRF_INT_PREFS],
                                      double real_prefs[UF_DRF_REAL_PREFS],
                                      char radius_symbol[UF_DRF_SYMBOL_BUFSIZE],
                                      char diameter_symbol[UF_DRF_SYMBOL_BUFSIZE]) {
  return sim::api::call(Call::UF_DRF_set_preferences, [&](Session &s) {
    if (!int_prefs || !real_prefs || !radius_symbol || !diameter_symbol)
      return status::kBadArgument;
    std::string radius, diameter;
    if (!read_symbol(radius_symbol, radius) || !read_symbol(diameter_symbol, diameter))
      return status::kBadArgument;
    drf::Drafting &d = s.component<drf::Drafting>();
    std::memcpy(d.int_prefs.data(), int_prefs, sizeof(int) * UF_DRF_INT_PREFS);
    std::memcpy(d.real_prefs.data(), real_prefs, sizeof(double) * UF_DRF_REAL_PREFS);
    d.radius_symbol = std::move(radius);
    d.diameter_symbol = std::move(diameter);
    return status::kOk;
  });
}

extern "C" int UF_DRF_ask_lettering_preferences(UF_DRF_lettering_preferences_t *lettering) {
  return sim::api::call(
      Call::UF_DRF_ask_lettering_preferences,
      [&](Session &s) {
        if (!lettering)
          return status::kBadArgument;
        *lettering = s.component<drf::Drafting>().lettering;
        return status::kOk;
      },
      [&] {
        if (lettering) {
          sim::api::poison(lettering->general_text.size);
          sim::api::poison(lettering->general_text.aspect_ratio);
          sim::api::poison(lettering->align_position);
        }
      });
}

extern "C" int UF_DRF_set_lettering_preferences(UF_DRF_lettering_preferences_t *lettering) {
  return sim::api::call(Call::UF_DRF_set_lettering_preferences, [&](Session &s) {
    if (!lettering || !drf::lettering_valid(*lettering))
      return status::kBadArgument;
    s.component<drf::Drafting>().lettering = *lettering;
    return status::kOk;
  });
}

extern "C" int UF_DRF_create_note(int num_lines, char *text[], double origin[3], int orientation,
                                  tag_t *note) {
  return sim::api::call(
      Call::UF_DRF_create_note,
      [&](Session &s) {
        if (num_lines < 1 || !text || !origin || !note)
          return status::kBadArgument;
        if (s.display_part() == NULL_TAG)
          return status::kNoPart;
        std::vector<std::string> lines;
        for (int i = 0; i < num_lines; ++i) {
          if (!text[i])
            return status::kBadArgument;
          lines.emplace_back(text[i]);
        }
        *note = drf::create_note(s, sim::draw::shown_drawing(s), std::move(lines),
                                 {origin[0], origin[1], origin[2]}, orientation);
        return status::kOk;
      },
      [&] {
        if (note)
          sim::api::poison(*note);
      });
}
