#pragma once

#include <string>

namespace orniva {

// A number in the general format of the program's fields: at most
// `significantDigits` significant digits, trailing zeros dropped, fixed
// notation while the rounded value has fewer digits before the point than
// that and is not below 0.00001, otherwise mantissa and an exponent of at
// least three digits ("1.75E004", "9.9E-006", "1E120"). Always with a "."
// whatever the locale.
std::string FormatGeneral(double value, int significantDigits);

}  // namespace orniva
