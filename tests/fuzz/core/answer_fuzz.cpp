// Answer reading and the question boxes' rules on any text: the sorting is consistent, a number
// read is the number strtod reads from the same text, and every rule holds as stated in answer.h.

#include "fuzz_check.h"

#include "dsp/answer.h"

#include <cfloat>
#include <clocale>
#include <cmath>

namespace {

std::string quoted(const std::string& text) { return "\"" + text.substr(0, 200) + "\""; }

bool isBlank(char c) { return c == ' ' || c == '\t'; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const dsp::AnswerValue read = dsp::readAnswer(text);
    const auto number = dsp::readNumber(text);

    FUZZ_CHECK((read.reading == dsp::Reading::Empty) == text.empty(), quoted(text));
    FUZZ_CHECK(number.has_value() == (read.reading == dsp::Reading::Number), quoted(text));
    if (number) {
        FUZZ_CHECK(std::isfinite(*number) && *number == read.value, quoted(text));
        // The same digits through the C library (in the "C" locale, '.' is the separator).
        std::string body = text;
        while (!body.empty() && isBlank(body.back()))
            body.pop_back();
        char* end = nullptr;
        const double reference = std::strtod(body.c_str(), &end);
        const bool whole = end && *end == '\0';
        FUZZ_CHECK(whole, quoted(text) + " is a number strtod stops early in");
        // Below the smallest normal double the answer reads as 0 where strtod keeps a subnormal.
        const bool subnormal = std::fabs(reference) < DBL_MIN;
        FUZZ_CHECK(*number == reference || (subnormal && *number == 0),
                   quoted(text) + " reads " + fuzzcheck::show(*number) + ", strtod "
                       + fuzzcheck::show(reference));
    }
    if (read.reading == dsp::Reading::OutOfRange)
        FUZZ_CHECK(std::isinf(read.value), quoted(text));

    const auto kind = dsp::classifyCount(text);
    if (read.negative())
        FUZZ_CHECK(kind == dsp::CountKind::Negative, quoted(text));
    if (read.reading == dsp::Reading::Empty || read.reading == dsp::Reading::NotANumber)
        FUZZ_CHECK(kind == dsp::CountKind::Empty, quoted(text));

    const bool tooLong = dsp::answerLength(text) > dsp::kLongestAnswer;
    FUZZ_CHECK(dsp::answerLength(text) <= text.size(), quoted(text));
    for (const auto question :
         {dsp::AnswerKind::Number, dsp::AnswerKind::HarmonicCount, dsp::AnswerKind::TapCount})
        for (const auto conversion :
             {dsp::CountConversion::WholePart, dsp::CountConversion::NearestEven}) {
            const auto reason = dsp::answerRefusal(question, text, conversion);
            if (reason)
                FUZZ_CHECK(!reason->empty() && reason->find('\n') == std::string::npos
                               && reason->size() < 60,
                           *reason);
            if (text.empty()) {
                FUZZ_CHECK(!reason, "the empty answer (Cancel) is never refused");
                continue;
            }
            if (tooLong || read.reading == dsp::Reading::NotANumber) {
                FUZZ_CHECK(reason.has_value(), quoted(text) + " must be refused");
                continue;
            }
            // Negative answers reach the screen, which ends the program.
            if (read.negative())
                FUZZ_CHECK(!reason, quoted(text) + " is negative and must reach the screen");
            if (question == dsp::AnswerKind::TapCount) {
                const bool endsTheProgram = read.value < 0 || read.value > dsp::kMostTaps;
                const bool whole = read.value == std::floor(read.value);
                FUZZ_CHECK(reason.has_value() == (!endsTheProgram && !whole), quoted(text));
            }
            if (question == dsp::AnswerKind::HarmonicCount && reason.has_value())
                FUZZ_CHECK(read.value > dsp::kMostHarmonics, quoted(text));
        }
    return 0;
}
