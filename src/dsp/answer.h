#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace dsp {

// The value of an answer that reads as a number: optional blanks, an optional sign, digits with at
// most one ".", an optional exponent, optional blanks; finite (a magnitude below the smallest
// double reads as 0). The decimal separator is always ".", whatever the locale. Anything else (the
// empty text and numbers beyond the range of doubles included) gives no value.
std::optional<double> readNumber(std::string_view text);

// The most characters the question box's field holds; a longer answer is refused whole, never cut.
inline constexpr std::size_t kLongestAnswer = 32767;

// An answer's length as the question box counts it (UTF-16 code units of UTF-8 text).
std::size_t answerLength(std::string_view text);

// How an answer reads. OutOfRange is a number written correctly whose magnitude lies beyond the
// largest double (1e309, -1e309): its value is then an infinity of its sign, so that it compares
// as the very large positive or negative answer it is.
enum class Reading { Empty, NotANumber, Number, OutOfRange };
struct AnswerValue {
    Reading reading = Reading::Empty;
    double value = 0;
    bool negative() const
    {
        return (reading == Reading::Number || reading == Reading::OutOfRange) && value < 0;
    }
};
AnswerValue readAnswer(std::string_view text);

// What a question asks for, which decides the answers its box refuses. The box never refuses the
// empty answer (Cancel gives it) nor an answer whose sign or size the screen itself acts on: a
// negative answer ends the program, and so does a tap count below 0 or above 500, whole or not,
// written out or beyond the range of doubles.
enum class AnswerKind {
    Number,        // a frequency or the duty cycle
    HarmonicCount, // at most 32767 once the screen has made it whole (see CountConversion)
    TapCount,      // range first (the screen ends below 0 and above 500), then a whole number
};
// How a synthesis screen makes a harmonic count whole.
enum class CountConversion { WholePart, NearestEven };

// The one-line reason the box gives when it refuses the answer; nothing when it takes it.
std::optional<std::string> answerRefusal(AnswerKind kind, std::string_view answer,
                                         CountConversion conversion = CountConversion::WholePart);

inline constexpr double kMostHarmonics = 32767;
inline constexpr double kMostTaps = 500;

// The largest whole number not above the value.
double wholePart(double value);

// The nearest whole number, a half going to the even neighbour.
double roundHalfEven(double value);

// How a synthesis screen sorts a count answer before it draws; a count beyond the range of
// doubles sorts by its sign.
enum class CountKind { Empty, Negative, Zero, Positive };
CountKind classifyCount(std::string_view answer);

} // namespace dsp
