#include "core/number_format.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace orniva {

std::string FormatGeneral(double value, int significantDigits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
  if (value == 0) return "0";
  const int digits = std::clamp(significantDigits, 1, 17);
  // The exponent is the one after rounding to the significant digits (999.6
  // at 3 digits is 1E3).
  char sci[64];
  auto r = std::to_chars(sci, sci + sizeof sci, value, std::chars_format::scientific, digits - 1);
  std::string_view text(sci, static_cast<size_t>(r.ptr - sci));
  size_t e = text.find('e');
  int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
  auto stripZeros = [](std::string s) {
    if (s.find('.') == std::string::npos) return s;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s;
  };
  if (std::fabs(value) >= 0.00001 && exponent < digits) {
    char fixed[400];
    auto f = std::to_chars(fixed, fixed + sizeof fixed, value, std::chars_format::fixed,
                           std::max(0, digits - 1 - exponent));
    return stripZeros(std::string(fixed, f.ptr));
  }
  // The exponent has at least three digits: "1.75E004", "9.9E-006".
  std::string digitsText = std::to_string(std::abs(exponent));
  if (digitsText.size() < 3) digitsText.insert(0, 3 - digitsText.size(), '0');
  return stripZeros(std::string(text.substr(0, e))) + "E" + (exponent < 0 ? "-" : "") + digitsText;
}

}  // namespace orniva
