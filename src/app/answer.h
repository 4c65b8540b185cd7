#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace dsp {

// The value of an answer that reads as a number: optional blanks, an optional sign, digits with at
// most one ".", an optional exponent, optional blanks; finite. The decimal separator is always ".",
// whatever the locale. Anything else (the empty text included) gives no value.
std::optional<double> readNumber(std::string_view text);

// The largest whole number not above the value.
double wholePart(double value);

// The nearest whole number, a half going to the even neighbour.
double roundHalfEven(double value);

// How a synthesis screen sorts a count answer before it draws.
enum class CountKind { Empty, Negative, Zero, Positive };
CountKind classifyCount(std::string_view answer);

} // namespace dsp
