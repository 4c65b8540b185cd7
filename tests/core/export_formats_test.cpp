#include "dsp/export_formats.h"

#include "dsp/fir_design.h"
#include "dsp/series.h"
#include "dsp/wave_units.h"

#include <gtest/gtest.h>

#include <stdlib.h> // mkdtemp

#include <bit>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace dsp {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Values whose shortest exact text needs all 17 digits, the ends of the double range, both
// zeros, powers of ten whose text is an exponent without a point ("1e+22", which a careless
// ".0" would make "1e+22.0", no literal in C or Python), and the taps of the default design.
std::vector<double> awkwardValues()
{
    std::vector<double> values = {0.1,
                                  1.0 / 3,
                                  -2.0 / 3,
                                  0,
                                  -0.0,
                                  1,
                                  -1,
                                  1e23,
                                  1e22,
                                  -1e17,
                                  5e-324,
                                  std::numeric_limits<double>::min(),
                                  std::numeric_limits<double>::max(),
                                  -std::numeric_limits<double>::max(),
                                  123456789.123456789,
                                  std::nextafter(1.0, 2.0)};
    for (double tap : fir::blackmanLowpassTaps(1000, 150, 15))
        values.push_back(tap);
    return values;
}

// What was read back (a) is the double written (b), bit for bit, or both NaN; a zero of either
// sign is written as 0, so it must read back as +0 (a "-0" in the text fails).
bool sameDouble(double a, double b)
{
    const double written = b == 0 ? 0.0 : b;
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(written)
        || (std::isnan(a) && std::isnan(b));
}

double readBack(const std::string& text)
{
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    EXPECT_EQ(*end, '\0') << "unread text in '" << text << "'";
    return value;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::vector<std::string> fields(const std::string& line)
{
    std::vector<std::string> result;
    std::istringstream in(line);
    for (std::string field; std::getline(in, field, ',');)
        result.push_back(field);
    return result;
}

TEST(ExactNumber, MatchesPrintfWithSeventeenDigits)
{
    for (double value : awkwardValues()) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.17g", value == 0 ? 0.0 : value);
        EXPECT_EQ(exactNumber(value), expected);
    }
    EXPECT_EQ(exactNumber(0.1), "0.10000000000000001");
    EXPECT_EQ(exactNumber(-0.0), "0");
    EXPECT_EQ(exactNumber(1e22), "1e+22");
}

TEST(ExactNumber, NotFiniteValuesInTheWordsStrtodReads)
{
    EXPECT_EQ(exactNumber(kNaN), "nan");
    EXPECT_EQ(exactNumber(-kNaN), "nan");
    EXPECT_EQ(exactNumber(kInf), "inf");
    EXPECT_EQ(exactNumber(-kInf), "-inf");
    for (double value : {kNaN, kInf, -kInf})
        EXPECT_TRUE(sameDouble(readBack(exactNumber(value)), value));
}

TEST(ExactNumber, DecimalPointWhateverTheLocale)
{
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "the de_DE.UTF-8 locale is not installed, so no decimal comma to refuse";
    const std::string text = exactNumber(0.25);
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(text, "0.25");
}

TEST(TapsCsv, HeaderThenIndexAndValueOfEveryTapReadBackExactly)
{
    std::vector<double> taps = awkwardValues();
    taps.insert(taps.end(), {kNaN, kInf, -kInf});
    const std::vector<std::string> rows = lines(formatTaps(taps, TapFormat::Csv));
    ASSERT_EQ(rows.size(), taps.size() + 1);
    EXPECT_EQ(rows[0], "n,h");
    for (std::size_t n = 0; n < taps.size(); ++n) {
        const std::vector<std::string> row = fields(rows[n + 1]);
        ASSERT_EQ(row.size(), 2u) << rows[n + 1];
        EXPECT_EQ(row[0], std::to_string(n));
        EXPECT_TRUE(sameDouble(readBack(row[1]), taps[n])) << rows[n + 1];
    }
}

TEST(TapsText, OneValuePerLineReadBackExactly)
{
    const std::vector<double> taps = awkwardValues();
    const std::vector<std::string> rows = lines(formatTaps(taps, TapFormat::Text));
    ASSERT_EQ(rows.size(), taps.size());
    for (std::size_t n = 0; n < taps.size(); ++n)
        EXPECT_TRUE(sameDouble(readBack(rows[n]), taps[n])) << rows[n];
    EXPECT_EQ(formatTaps({}, TapFormat::Text), "");
    EXPECT_EQ(formatTaps({}, TapFormat::Csv), "n,h\n");
}

TEST(ResponseCsv, FourColumnsReadBackExactly)
{
    // clang-format off
    const std::vector<ResponseRow> rows = {
        {0, 1.0000938, 0.000814, 0}, {0.1, 1.0 / 3, -9.5424250943932485, -179.99999999},
        {500, 0, -kInf, 180}};
    const std::vector<std::string> text = lines(formatResponseCsv(rows));
    ASSERT_EQ(text.size(), rows.size() + 1);
    EXPECT_EQ(text[0], "frequency_hz,magnitude,magnitude_db,phase_deg");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::vector<std::string> row = fields(text[i + 1]);
        ASSERT_EQ(row.size(), 4u);
        EXPECT_TRUE(sameDouble(readBack(row[0]), rows[i].frequencyHz));
        EXPECT_TRUE(sameDouble(readBack(row[1]), rows[i].magnitude));
        EXPECT_TRUE(sameDouble(readBack(row[2]), rows[i].magnitudeDb));
        EXPECT_TRUE(sameDouble(readBack(row[3]), rows[i].phaseDeg));
    }
}

TEST(CurveAndSpectrumCsv, HeadersAndValuesReadBackExactly)
{
    const std::vector<CurveRow> curve = {{0, 0}, {1.0 / 3, -0.78539816339744828}, {2, 1e-300}};
    const std::vector<std::string> curveText = lines(formatCurveCsv(curve));
    ASSERT_EQ(curveText.size(), curve.size() + 1);
    EXPECT_EQ(curveText[0], "time,value");
    for (std::size_t i = 0; i < curve.size(); ++i) {
        const std::vector<std::string> row = fields(curveText[i + 1]);
        ASSERT_EQ(row.size(), 2u);
        EXPECT_TRUE(sameDouble(readBack(row[0]), curve[i].time));
        EXPECT_TRUE(sameDouble(readBack(row[1]), curve[i].value));
    }
    // Square-wave lines 4 / (n pi) with the five-decimal pi, and an even line of 0.
    const std::vector<SpectrumRow> spectrum = {
        {1, 4 / 3.14159, 1.2}, {3, 4 / (3 * 3.14159), 0.4}, {32766, 0, 0}};
    const std::vector<std::string> spectrumText = lines(formatSpectrumCsv(spectrum));
    ASSERT_EQ(spectrumText.size(), spectrum.size() + 1);
    EXPECT_EQ(spectrumText[0], "harmonic,amplitude,drawn_height");
    for (std::size_t i = 0; i < spectrum.size(); ++i) {
        const std::vector<std::string> row = fields(spectrumText[i + 1]);
        ASSERT_EQ(row.size(), 3u);
        EXPECT_EQ(row[0], std::to_string(spectrum[i].harmonic));
        EXPECT_TRUE(sameDouble(readBack(row[1]), spectrum[i].amplitude));
        EXPECT_TRUE(sameDouble(readBack(row[2]), spectrum[i].drawnHeight));
    }
}

// Every number of a text: the tokens between separators that strtod reads whole.
std::vector<std::string> numberTokens(const std::string& text)
{
    std::vector<std::string> tokens;
    std::string token;
    for (const char c : text + "\n") {
        if (std::string_view(",\n []{};=").find(c) == std::string_view::npos) {
            token += c;
            continue;
        }
        char* end = nullptr;
        if (!token.empty() && (std::strtod(token.c_str(), &end), *end == '\0'))
            tokens.push_back(token);
        token.clear();
    }
    return tokens;
}

struct ZeroCase {
    const char* name;
    std::function<std::string()> text;
};

void PrintTo(const ZeroCase& c, std::ostream* out) { *out << c.name; }

class NegativeZero : public testing::TestWithParam<ZeroCase> {};

TEST_P(NegativeZero, IsWrittenAsZero)
{
    int zeros = 0;
    for (const std::string& token : numberTokens(GetParam().text())) {
        if (std::strtod(token.c_str(), nullptr) != 0)
            continue;
        ++zeros;
        EXPECT_NE(token.front(), '-') << token;
    }
    EXPECT_GT(zeros, 0);
}

const std::vector<double> kZeroTaps = {-0.0, 0.5, -0.0};

INSTANTIATE_TEST_SUITE_P(
    EveryExport, NegativeZero,
    testing::Values(
        ZeroCase{"TapsCsv", [] { return formatTaps(kZeroTaps, TapFormat::Csv); }},
        ZeroCase{"TapsText", [] { return formatTaps(kZeroTaps, TapFormat::Text); }},
        ZeroCase{"TapsC", [] { return formatTaps(kZeroTaps, TapFormat::CHeader); }},
        ZeroCase{"TapsPython", [] { return formatTaps(kZeroTaps, TapFormat::Python); }},
        ZeroCase{"Response", [] { return formatResponseCsv({{-0.0, -0.0, -0.0, -0.0}}); }},
        ZeroCase{"Curve", [] { return formatCurveCsv({{-0.0, -0.0}}); }},
        ZeroCase{"Spectrum", [] { return formatSpectrumCsv({{0, -0.0, -0.0}}); }},
        // A synthesised square wave is exactly zero, with either sign, at its crossings.
        ZeroCase{"SquareCurve",
                 [] {
                     return formatCurveCsv(
                         curveInSeriesUnits(Wave::Square, squareWaveCurve(7)));
                 }}),
    [](const auto& info) { return std::string(info.param.name); });

struct NameCase {
    const char* file;
    const char* name;
};

class CTapsName : public testing::TestWithParam<NameCase> {};

TEST_P(CTapsName, ComesFromTheFileName)
{
    EXPECT_EQ(cTapsName(GetParam().file), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(
    Files, CTapsName,
    testing::Values(NameCase{"lowpass-15.h", "lowpass_15"},
                    NameCase{"out/Band Pass.H", "Band_Pass"},
                    NameCase{"C:\\out\\my.taps.h", "my_taps"}, NameCase{"15.h", "taps_15"},
                    NameCase{"_hidden.h", "taps__hidden"}, NameCase{"int.h", "taps_int"},
                    NameCase{".h", "taps"}, NameCase{"filter", "filter"},
                    NameCase{"tiefpa\xc3\x9f.h", "tiefpa__"}));

TEST(CHeader, GuardCountAndArrayAreNamedAfterTheFile)
{
    const std::vector<std::string> text = lines(formatTaps({0.5}, TapFormat::CHeader, "lp-3.h"));
    ASSERT_GE(text.size(), 5u);
    EXPECT_EQ(text[0], "#ifndef LP_3_H");
    EXPECT_EQ(text[1], "#define LP_3_H");
    EXPECT_EQ(text[3], "#define LP_3_COUNT 1");
    EXPECT_EQ(text[4], "static const double lp_3[1] = {");
}

// The decimal text of hundredths / 100 with no trailing zeros: 2 -> 0.02, 150 -> 1.5.
std::string decimalOfHundredths(int hundredths)
{
    std::string text = std::to_string(hundredths / 100);
    const int fraction = hundredths % 100;
    if (fraction != 0) {
        text += '.' + std::string(1, char('0' + fraction / 10));
        if (fraction % 10 != 0)
            text += char('0' + fraction % 10);
    }
    return text;
}

struct TimeCase {
    const char* name;
    Wave wave;
    std::function<Curve()> curve;
    int hundredthsPerStep;
};

void PrintTo(const TimeCase& c, std::ostream* out) { *out << c.name; }

class CurveTimes : public testing::TestWithParam<TimeCase> {};

// Point k of a sweep of step 0.02 lies at 0.02 k exactly: its time reads as that decimal.
TEST_P(CurveTimes, AreTheStepTimesTheNumberInItsShortestForm)
{
    const TimeCase& c = GetParam();
    const std::vector<std::string> text =
        lines(formatCurveCsv(curveInSeriesUnits(c.wave, c.curve())));
    ASSERT_GT(text.size(), 300u);
    for (std::size_t k = 1; k < text.size(); ++k)
        ASSERT_EQ(fields(text[k])[0], decimalOfHundredths(int(k - 1) * c.hundredthsPerStep))
            << "point " << k - 1;
}

INSTANTIATE_TEST_SUITE_P(
    Sweeps, CurveTimes,
    testing::Values(TimeCase{"Square", Wave::Square, [] { return squareWaveCurve(3); }, 2},
                    TimeCase{"Sawtooth", Wave::Sawtooth, [] { return sawtoothWaveCurve(3); }, 2},
                    TimeCase{"HalfWave", Wave::HalfWaveRectified,
                             [] { return halfWaveRectifiedCurve(3); }, 4},
                    TimeCase{"Pulse", Wave::PulseTrain, [] { return pulseTrainCurve(3, 0.2); }, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpectrumCsv, RowsByAscendingHarmonicDcFirst)
{
    const std::vector<std::string> text =
        lines(formatSpectrumCsv({{1, 0.25, 0.5}, {2, 0, 0}, {0, 0.75, 0.375}}));
    ASSERT_EQ(text.size(), 4u);
    EXPECT_EQ(text[1], "0,0.75,0.375");
    EXPECT_EQ(text[2], "1,0.25,0.5");
    EXPECT_EQ(text[3], "2,0,0");
}

struct FileNameCase {
    const char* name;
    std::optional<TapFormat> format;
};

class TapFormatForFile : public testing::TestWithParam<FileNameCase> {};

TEST_P(TapFormatForFile, ByExtensionInAnyCase)
{
    EXPECT_EQ(tapFormatForFile(GetParam().name), GetParam().format);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TapFormatForFile,
    testing::Values(FileNameCase{"taps.csv", TapFormat::Csv},
                    FileNameCase{"/home/a/TAPS.CSV", TapFormat::Csv},
                    FileNameCase{"taps.Txt", TapFormat::Text},
                    FileNameCase{"filter.h", TapFormat::CHeader},
                    FileNameCase{"FILTER.H", TapFormat::CHeader},
                    FileNameCase{"my.taps.py", TapFormat::Python},
                    FileNameCase{"C:\\out\\taps.PY", TapFormat::Python},
                    FileNameCase{"taps", std::nullopt}, FileNameCase{"taps.hpp", std::nullopt},
                    FileNameCase{"taps.csv.bak", std::nullopt},
                    FileNameCase{"out.py/taps", std::nullopt},
                    FileNameCase{"out.h\\taps", std::nullopt}, FileNameCase{"", std::nullopt}),
    [](const testing::TestParamInfo<FileNameCase>& row) {
        std::string name;
        for (const char* c = row.param.name; *c != '\0'; ++c)
            name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
        return "Case" + std::to_string(row.index) + "_" + name;
    });
// clang-format on

// The C and Python files checked by the real tools, where the machine has them.
class TapFilesInTheirLanguage : public testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "dsplab-export-XXXXXX");
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    static bool hasTool(const char* tool)
    {
        return std::system(("command -v " + std::string(tool) + " >/dev/null 2>&1").c_str()) == 0;
    }
    std::filesystem::path write(const std::string& name, const std::string& text) const
    {
        const std::filesystem::path path = m_folder / name;
        std::ofstream(path) << text;
        return path;
    }
    // Runs a shell command; its standard output, and whether it exited with 0.
    static std::pair<std::string, bool> run(const std::string& command)
    {
        std::string output;
        FILE* pipe = popen(command.c_str(), "r");
        if (pipe == nullptr)
            return {output, false};
        char buffer[4096];
        while (const std::size_t count = std::fread(buffer, 1, sizeof buffer, pipe))
            output.append(buffer, count);
        return {output, pclose(pipe) == 0};
    }
    static void expectSameValues(const std::string& printed, const std::vector<double>& taps)
    {
        const std::vector<std::string> rows = lines(printed);
        ASSERT_EQ(rows.size(), taps.size()) << printed;
        for (std::size_t n = 0; n < taps.size(); ++n)
            EXPECT_TRUE(sameDouble(readBack(rows[n]), taps[n])) << n << ": " << rows[n];
    }
    static std::string quoted(const std::filesystem::path& path)
    {
        return "'" + path.string() + "'";
    }

    std::filesystem::path m_folder;
};

// A program printing each tap with %.17g; run with the header in its folder.
constexpr const char* kCPrinter = R"(#include <stdio.h>
#include "taps.h"
int main(void)
{
    for (int n = 0; n < TAPS_COUNT; ++n)
        printf("%.17g\n", taps[n]);
    return 0;
}
)";

// Two filters' headers, each included twice, in one program that prints both tables.
constexpr const char* kTwoHeadersPrinter = R"(#include <stdio.h>
#include "lowpass-15.h"
#include "15.h"
#include "lowpass-15.h"
#include "15.h"
int main(void)
{
    for (int n = 0; n < LOWPASS_15_COUNT; ++n)
        printf("%.17g\n", lowpass_15[n]);
    for (int n = 0; n < TAPS_15_COUNT; ++n)
        printf("%.17g\n", taps_15[n]);
    return 0;
}
)";

TEST_F(TapFilesInTheirLanguage, CHeaderCompilesAndHoldsTheSameNumbers)
{
    if (!hasTool("cc"))
        GTEST_SKIP() << "no C compiler (cc) on this machine";
    std::vector<double> special = awkwardValues();
    special.insert(special.end(), {kNaN, kInf, -kInf});
    for (const std::vector<double>& taps : {awkwardValues(), special, std::vector<double>{}}) {
        SCOPED_TRACE(testing::Message() << taps.size() << " taps");
        const auto header = write("taps.h", formatTaps(taps, TapFormat::CHeader, "taps.h"));
        const auto [syntaxOutput, syntaxOk] =
            run("cc -std=c99 -Wall -Wextra -pedantic -fsyntax-only " + quoted(header) + " 2>&1");
        EXPECT_TRUE(syntaxOk) << syntaxOutput;
        const auto source = write("print.c", kCPrinter);
        const auto program = m_folder / "print";
        const auto [buildOutput, built] =
            run("cc -std=c99 -o " + quoted(program) + " " + quoted(source) + " 2>&1");
        ASSERT_TRUE(built) << buildOutput;
        const auto [printed, ran] = run(quoted(program));
        ASSERT_TRUE(ran);
        expectSameValues(printed, taps);
    }
}

TEST_F(TapFilesInTheirLanguage, TwoHeadersCompileIntoOneProgramKeepingBothTables)
{
    if (!hasTool("cc"))
        GTEST_SKIP() << "no C compiler (cc) on this machine";
    const std::vector<double> lowpass = awkwardValues();
    const std::vector<double> other = {1e22, -0.25, 3};
    write("lowpass-15.h", formatTaps(lowpass, TapFormat::CHeader, "lowpass-15.h"));
    write("15.h", formatTaps(other, TapFormat::CHeader, "15.h"));
    const auto source = write("print.c", kTwoHeadersPrinter);
    const auto program = m_folder / "print";
    const auto [buildOutput, built] = run("cc -std=c99 -Wall -Wextra -pedantic -Werror -o "
                                          + quoted(program) + " " + quoted(source) + " 2>&1");
    ASSERT_TRUE(built) << buildOutput;
    const auto [printed, ran] = run(quoted(program));
    ASSERT_TRUE(ran);
    std::vector<double> both = lowpass;
    both.insert(both.end(), other.begin(), other.end());
    expectSameValues(printed, both);
}

// Python starts slowly, so one run reads every file, each run as a script of its own, and
// prints its values with %.17g, each file's list closed by a line "end".
constexpr const char* kPythonPrinter = R"(import runpy, sys
for path in sys.argv[1:]:
    for tap in runpy.run_path(path, run_name='__main__')['taps']:
        print('%.17g' % tap)
    print('end')
)";

TEST_F(TapFilesInTheirLanguage, PythonFilesRunAndHoldTheSameNumbers)
{
    if (!hasTool("python3"))
        GTEST_SKIP() << "no python3 on this machine";
    std::vector<double> special = awkwardValues();
    special.insert(special.end(), {kNaN, kInf, -kInf});
    const std::vector<std::vector<double>> tables = {awkwardValues(), special, {}};
    std::string files;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const std::string name = "taps" + std::to_string(t) + ".py";
        files += " " + quoted(write(name, formatTaps(tables[t], TapFormat::Python)));
    }
    const auto printer = write("print.py", kPythonPrinter);
    const auto [printed, ran] = run("python3 " + quoted(printer) + files + " 2>&1");
    ASSERT_TRUE(ran) << printed;
    std::size_t from = 0;
    for (const std::vector<double>& taps : tables) {
        SCOPED_TRACE(testing::Message() << taps.size() << " taps");
        const std::size_t end = printed.find("end\n", from);
        ASSERT_NE(end, std::string::npos) << printed;
        expectSameValues(printed.substr(from, end - from), taps);
        from = end + 4;
    }
}

} // namespace
} // namespace dsp
