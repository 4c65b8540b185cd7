#include "dsp/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace dsp {
namespace {

constexpr int kSignificantDigits = 15;

struct Decimal {
    std::string digits; // significant digits, no trailing zeros, at least one digit
    int exponent = 0;   // decimal exponent of the first digit
};

// The magnitude rounded to 15 significant digits. to_chars, unlike printf, ignores the locale.
Decimal roundedDecimal(double magnitude)
{
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific,
                                kSignificantDigits - 1);
    std::string_view written(text, result.ptr - text);
    const auto e = written.find('e');
    Decimal decimal;
    for (char c : written.substr(0, e))
        if (c != '.')
            decimal.digits += c;
    decimal.exponent = std::atoi(std::string(written.substr(e + 1)).c_str());
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0')
        decimal.digits.pop_back();
    return decimal;
}

std::string scientific(const Decimal& d)
{
    std::string text = d.digits.substr(0, 1);
    if (d.digits.size() > 1) {
        text += '.';
        text += d.digits.substr(1);
    }
    const int magnitude = std::abs(d.exponent);
    text += d.exponent < 0 ? "E-" : "E+";
    if (magnitude < 10)
        text += '0';
    return text + std::to_string(magnitude);
}

std::string positional(const Decimal& d)
{
    if (d.exponent < 0) {
        std::string text = ".";
        text.append(static_cast<std::size_t>(-d.exponent - 1), '0');
        return text + d.digits;
    }
    const auto wholeDigits = static_cast<std::size_t>(d.exponent) + 1;
    if (d.digits.size() <= wholeDigits)
        return d.digits + std::string(wholeDigits - d.digits.size(), '0');
    return d.digits.substr(0, wholeDigits) + "." + d.digits.substr(wholeDigits);
}

} // namespace

std::string captionNumber(double value)
{
    const std::string sign = value < 0 ? "-" : " ";
    if (value == 0)
        return " 0";
    if (!std::isfinite(value))
        return sign + (std::isnan(value) ? "NaN" : "Inf");
    const Decimal d = roundedDecimal(std::fabs(value));
    const bool exponentForm = d.exponent < -4 || d.exponent >= kSignificantDigits;
    return sign + (exponentForm ? scientific(d) : positional(d));
}

} // namespace dsp
