#pragma once

#include <string>

namespace dsp {

// Turns a computed number into caption or list text: a leading blank before a number that is not
// negative, "-" before a negative one, at most 15 significant digits, no zero before the decimal
// point, trailing zeros dropped, exponent form (1E-05, 2.5E+15) below 1E-4 and from 1E15 up.
std::string captionNumber(double value);

} // namespace dsp
