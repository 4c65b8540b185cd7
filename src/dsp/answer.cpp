#include "dsp/answer.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace dsp {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

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

AnswerValue readAnswer(std::string_view text)
{
    if (text.empty())
        return {Reading::Empty, 0};
    std::string_view body = trimmed(text);
    bool negative = false;
    if (!body.empty() && (body.front() == '+' || body.front() == '-')) {
        negative = body.front() == '-';
        body.remove_prefix(1);
    }
    const auto scale = mantissaScale(body);
    if (!scale)
        return {Reading::NotANumber, 0};
    double magnitude = 0;
    const auto [end, error] = std::from_chars(body.data(), body.data() + body.size(), magnitude);
    if (error == std::errc::result_out_of_range) {
        if (*scale >= 0) // too large for a double: an infinity of the answer's sign
            return {Reading::OutOfRange, negative ? -HUGE_VAL : HUGE_VAL};
        magnitude = 0; // too small: reads as zero
    } else if (error != std::errc() || end != body.data() + body.size()) {
        return {Reading::NotANumber, 0};
    } else if (!std::isfinite(magnitude)) {
        return {Reading::OutOfRange, negative ? -HUGE_VAL : HUGE_VAL};
    }
    return {Reading::Number, negative ? -magnitude : magnitude};
}

std::optional<double> readNumber(std::string_view text)
{
    const AnswerValue answer = readAnswer(text);
    if (answer.reading != Reading::Number)
        return std::nullopt;
    return answer.value;
}

std::size_t answerLength(std::string_view text)
{
    std::size_t units = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if ((byte & 0xC0) != 0x80)
            ++units; // a character starts here
        if (byte >= 0xF0 && byte <= 0xF4 && i + 3 < text.size() && isContinuation(text[i + 1])
            && isContinuation(text[i + 2]) && isContinuation(text[i + 3]))
            ++units; // beyond the 16-bit plane: two code units
    }
    return units;
}

std::optional<std::string> answerRefusal(AnswerKind kind, std::string_view answer,
                                         CountConversion conversion)
{
    if (answer.empty())
        return std::nullopt;
    if (answerLength(answer) > kLongestAnswer)
        return "Too long an answer: at most 32767 characters.";
    const AnswerValue read = readAnswer(answer);
    if (read.reading != Reading::Number && read.reading != Reading::OutOfRange)
        return "Please type a number, such as 3 or 0.5.";
    if (read.value < 0)
        return std::nullopt; // the screen ends the program
    switch (kind) {
    case AnswerKind::Number:
        if (read.reading == Reading::OutOfRange)
            return "Too large a number: the largest is about 1.8E+308.";
        return std::nullopt;
    case AnswerKind::HarmonicCount: {
        const double count = conversion == CountConversion::WholePart ? wholePart(read.value)
                                                                      : roundHalfEven(read.value);
        if (count > kMostHarmonics)
            return "Too many harmonics: at most 32767.";
        return std::nullopt;
    }
    case AnswerKind::TapCount:
        if (read.value > kMostTaps)
            return std::nullopt; // the screen ends the program
        if (read.value != std::floor(read.value))
            return "Please type a whole number of taps.";
        return std::nullopt;
    }
    return std::nullopt;
}

double wholePart(double value) { return std::floor(value); }

double roundHalfEven(double value) { return std::nearbyint(value); }

CountKind classifyCount(std::string_view answer)
{
    const AnswerValue read = readAnswer(answer);
    if (read.reading != Reading::Number && read.reading != Reading::OutOfRange)
        return CountKind::Empty;
    if (read.value < 0)
        return CountKind::Negative;
    return read.value == 0 ? CountKind::Zero : CountKind::Positive;
}

} // namespace dsp
