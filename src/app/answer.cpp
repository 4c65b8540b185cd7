#include "app/answer.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace dsp {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Checks the shape [digits][.digits] [e|E [sign] digits], with at least one mantissa digit,
// and returns the decimal position of the first non-zero digit relative to the units digit
// (only used to tell an underflow from an overflow).
std::optional<long> mantissaScale(std::string_view body)
{
    std::size_t i = 0;
    long wholeDigits = 0;
    long leadingFractionZeros = 0;
    bool anyDigit = false;
    bool seenNonZero = false;
    while (i < body.size() && isDigit(body[i])) {
        seenNonZero = seenNonZero || body[i] != '0';
        if (seenNonZero)
            ++wholeDigits;
        anyDigit = true;
        ++i;
    }
    if (i < body.size() && body[i] == '.') {
        ++i;
        while (i < body.size() && isDigit(body[i])) {
            if (!seenNonZero && body[i] == '0')
                ++leadingFractionZeros;
            seenNonZero = seenNonZero || body[i] != '0';
            anyDigit = true;
            ++i;
        }
    }
    if (!anyDigit)
        return std::nullopt;
    long exponent = 0;
    if (i < body.size() && (body[i] == 'e' || body[i] == 'E')) {
        ++i;
        bool negative = false;
        if (i < body.size() && (body[i] == '+' || body[i] == '-'))
            negative = body[i++] == '-';
        if (i == body.size())
            return std::nullopt;
        for (; i < body.size() && isDigit(body[i]); ++i)
            exponent = std::min(exponent * 10 + (body[i] - '0'), 100000L);
        if (negative)
            exponent = -exponent;
    }
    if (i != body.size())
        return std::nullopt;
    return (wholeDigits > 0 ? wholeDigits - 1 : -leadingFractionZeros - 1) + exponent;
}

} // namespace

std::optional<double> readNumber(std::string_view text)
{
    std::string_view body = trimmed(text);
    bool negative = false;
    if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    const auto scale = mantissaScale(body);
    if (!scale)
        return std::nullopt;
    double magnitude = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), magnitude);
    if (error == std::errc::result_out_of_range) {
        if (*scale >= 0)
            return std::nullopt; // too large to be finite
        magnitude = 0;           // too small: reads as zero
    } else if (error != std::errc() || end != body.data() + body.size() || !std::isfinite(magnitude)) {
        return std::nullopt;
    }
    return negative ? -magnitude : magnitude;
}

double wholePart(double value) { return std::floor(value); }

double roundHalfEven(double value) { return std::nearbyint(value); }

CountKind classifyCount(std::string_view answer)
{
    const auto value = readNumber(answer);
    if (answer.empty() || !value)
        return CountKind::Empty;
    if (*value < 0)
        return CountKind::Negative;
    return *value == 0 ? CountKind::Zero : CountKind::Positive;
}

} // namespace dsp
