#include "dsp/export_formats.h"

#include "dsp/fir_design.h"

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
#include <limits>
#include <sstream>
#include <string>
#include <vector>

namespace dsp {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

// Values whose shortest exact text needs all 17 digits, the ends of the double range, both
// zeros, and the taps of the default design.
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

// Same double, bit for bit (so -0 differs from 0), or both NaN.
bool sameDouble(double a, double b)
{
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b)
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
        std::snprintf(expected, sizeof expected, "%.17g", value);
        EXPECT_EQ(exactNumber(value), expected);
    }
    EXPECT_EQ(exactNumber(0.1), "0.10000000000000001");
    EXPECT_EQ(exactNumber(-0.0), "-0");
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
        {1, 4 / 3.14159}, {3, 4 / (3 * 3.14159)}, {32766, 0}};
    const std::vector<std::string> spectrumText = lines(formatSpectrumCsv(spectrum));
    ASSERT_EQ(spectrumText.size(), spectrum.size() + 1);
    EXPECT_EQ(spectrumText[0], "harmonic,amplitude");
    for (std::size_t i = 0; i < spectrum.size(); ++i) {
        const std::vector<std::string> row = fields(spectrumText[i + 1]);
        ASSERT_EQ(row.size(), 2u);
        EXPECT_EQ(row[0], std::to_string(spectrum[i].harmonic));
        EXPECT_TRUE(sameDouble(readBack(row[1]), spectrum[i].amplitude));
    }
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
    for (int n = 0; n < DSPLAB_TAP_COUNT; ++n)
        printf("%.17g\n", dsplab_taps[n]);
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
        const auto header = write("taps.h", formatTaps(taps, TapFormat::CHeader));
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
