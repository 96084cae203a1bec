// number_text.h: numbers written as short texts, for NC programs, pages,
// templates and dimension values.
#pragma once

#include <string>

namespace sim {

/// A number with at most `places` decimals, trailing zeros and a trailing
/// point dropped ("0.3", "12", "-0.25"); never "-0".
[[nodiscard]] std::string trimmed_number(double value, int places);

} // namespace sim
