// The caption number format on every double: the shape its comment promises, and the text reads
// back as the number to 15 significant digits.

#include "fuzz_check.h"

#include "dsp/answer.h"
#include "dsp/number_format.h"

#include <cmath>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzzcheck::Bytes in(data, size);
    const double value = in.rawDouble();
    const std::string text = dsp::captionNumber(value);
    const std::string detail = fuzzcheck::show(value) + " -> \"" + text + "\"";
    if (!std::isfinite(value))
        return 0; // the screens never hand it one; it only must not crash
    FUZZ_CHECK(!text.empty() && text.size() <= 22, detail);
    FUZZ_CHECK(text[0] == (value < 0 ? '-' : ' '), detail);
    FUZZ_CHECK(text.find("0.") != 1, detail); // no zero before the decimal point
    FUZZ_CHECK(text.find(',') == std::string::npos, detail);
    const std::size_t exponent = text.find('E');
    const std::string mantissa =
        text.substr(1, exponent == std::string::npos ? std::string::npos : exponent - 1);
    FUZZ_CHECK(mantissa.empty() || mantissa.back() != '.', detail);
    if (mantissa.find('.') != std::string::npos)
        FUZZ_CHECK(mantissa.back() != '0', detail); // trailing zeros dropped
    int digits = 0;
    bool significant = false;
    for (char c : mantissa)
        if (c >= '1' && c <= '9')
            significant = true, ++digits;
        else if (c == '0' && significant)
            ++digits;
    FUZZ_CHECK(digits <= 15, detail);
    if (exponent != std::string::npos) {
        FUZZ_CHECK(exponent + 4 <= text.size()
                       && (text[exponent + 1] == '+' || text[exponent + 1] == '-'),
                   detail);
        const int power = std::stoi(text.substr(exponent + 1));
        FUZZ_CHECK(power < -4 || power >= 15, detail);
    }
    // The largest doubles round up past the range: their 15 digits read as out of range.
    const dsp::AnswerValue read = dsp::readAnswer(text);
    if (read.reading == dsp::Reading::OutOfRange) {
        FUZZ_CHECK(std::fabs(value) > 1.79769313486231e308 && (read.value < 0) == (value < 0),
                   detail);
        return 0;
    }
    const auto back = dsp::readNumber(text);
    FUZZ_CHECK(back.has_value(), detail);
    // Half a unit in the 15th digit is at most 5e-15 of the value; reading back adds a rounding.
    const double tolerance = std::fabs(value) * 5.5e-15;
    FUZZ_CHECK(std::fabs(*back - value) <= tolerance || (std::fabs(value) < 1e-307 && *back == 0),
               detail);
    return 0;
}
