// The Analysis window's data, written by --analyse VIEW and --export analysis: each view against
// the design's own taps, worked out here again by sums, products and a direct convolution; and
// the steps' refusals.

#include "cli_support.h"
#include "support/test_tables.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace {

using namespace clitest;
using tables::PrintTo;

using Table = std::vector<std::vector<double>>;

// The rows of a CSV file after its header, as numbers; an empty field reads as NaN.
Table rowsOf(const QString& file)
{
    QFile csv(file);
    Table rows;
    if (!csv.open(QIODevice::ReadOnly))
        return rows;
    csv.readLine();
    while (!csv.atEnd()) {
        std::vector<double> row;
        for (const QByteArray& field : csv.readLine().trimmed().split(','))
            row.push_back(field.isEmpty() ? NAN : field.toDouble());
        rows.push_back(row);
    }
    return rows;
}

std::vector<double> column(const Table& rows, std::size_t index)
{
    std::vector<double> values;
    for (const auto& row : rows)
        values.push_back(row.at(index));
    return values;
}

struct Design {
    const char* name;
    QStringList steps;
};

// clang-format off
const Design kDesigns[] = {
    {"RectangularLowpass", screenWith("lowpass-rect", {"1000", "150", "15"})},
    {"BlackmanLowpass", screenWith("lowpass", {"1000", "150", "15", "N"})},
    {"Bandpass", screenWith("bandpass", {"1000", "100", "250", "21", "N"})},
    {"Highpass", screenWith("highpass", {"1000", "350", "15", "N"})},
    {"Bandstop", screenWith("bandstop", {"1000", "100", "250", "21", "N"})},
    {"OneTap", screenWith("lowpass", {"1000", "150", "1", "N"})},
    // Two taps, equal but for the last digits: a zero at z = -1, on the unit circle.
    {"TwoTaps", screenWith("lowpass", {"1000", "150", "2", "N"})},
};
// clang-format on

// Every view of the design written once, with the taps beside them.
class AnalysisOfEveryDesign : public ::testing::TestWithParam<Design> {
protected:
    void SetUp() override
    {
        QStringList arguments = GetParam().steps;
        arguments << "--export"
                  << "taps" << path("taps");
        for (const char* view : {"impulse", "step", "group-delay", "zeros"})
            arguments << "--analyse" << view << "--export"
                      << "analysis" << path(view);
        arguments << "--through"
                  << "square"
                  << "15"
                  << "15"
                  << "--export"
                  << "analysis" << path("through") << "--export"
                  << "through-spectrum" << path("spectrum");
        const ProgramRun run = runDsplab(arguments << "--snapshot" << m_folder.path());
        ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
        m_taps = column(rowsOf(path("taps")), 1);
        ASSERT_FALSE(m_taps.empty());
    }
    QString path(const char* name) const
    {
        return m_folder.filePath(QLatin1String(name) + QStringLiteral(".csv"));
    }
    Table rows(const char* view) const { return rowsOf(path(view)); }

    QTemporaryDir m_folder;
    std::vector<double> m_taps;
};

TEST_P(AnalysisOfEveryDesign, ImpulseIsTheTaps) { EXPECT_EQ(column(rows("impulse"), 1), m_taps); }

TEST_P(AnalysisOfEveryDesign, StepEndsOnTheSumOfTheTaps)
{
    long double sum = 0;
    for (double tap : m_taps)
        sum += tap;
    const Table steps = rows("step");
    ASSERT_EQ(steps.size(), m_taps.size());
    EXPECT_NEAR(steps.back()[1], static_cast<double>(sum), 1e-14);
}

// h[0] times the product of (z - zero) over the zeros gives back every tap.
TEST_P(AnalysisOfEveryDesign, ZerosRebuildTheTaps)
{
    std::vector<std::complex<double>> poly{m_taps.front()};
    for (const auto& row : rows("zeros")) {
        const std::complex<double> zero(row[0], row[1]);
        EXPECT_NEAR(row[2], std::abs(zero), 1e-12);
        poly.push_back(0);
        for (std::size_t k = poly.size() - 1; k > 0; --k)
            poly[k] -= zero * poly[k - 1];
    }
    ASSERT_EQ(poly.size(), m_taps.size());
    for (std::size_t k = 0; k < m_taps.size(); ++k)
        EXPECT_NEAR(poly[k].real(), m_taps[k], 1e-9) << k;
}

TEST_P(AnalysisOfEveryDesign, ThroughOutputIsTheInputConvolvedWithTheTaps)
{
    const Table through = rows("through");
    const std::size_t taps = m_taps.size();
    ASSERT_GT(through.size(), taps);
    for (std::size_t n = taps - 1; n < through.size(); ++n) {
        double output = 0;
        for (std::size_t k = 0; k < taps; ++k)
            output += m_taps[k] * through[n - k][2];
        EXPECT_NEAR(through[n][3], output, 1e-12) << n;
        EXPECT_NEAR(through[n][1], static_cast<double>(n) / 1000, 1e-15);
    }
}

// |H| at each harmonic by its own sum, and output = input x gain.
TEST_P(AnalysisOfEveryDesign, ThroughSpectrumIsInputTimesGain)
{
    for (const auto& row : rows("spectrum")) {
        std::complex<long double> sum = 0;
        for (std::size_t n = 0; n < m_taps.size(); ++n)
            sum += static_cast<long double>(m_taps[n])
                * std::polar(1.0L, -2 * std::numbers::pi_v<long double> * row[1] / 1000 * n);
        EXPECT_NEAR(row[3], static_cast<double>(std::abs(sum)), 1e-13) << row[0];
        EXPECT_DOUBLE_EQ(row[4], row[2] * row[3]);
        EXPECT_DOUBLE_EQ(row[1], 15 * row[0]);
    }
}

TEST_P(AnalysisOfEveryDesign, SnapshotPicturesTheWindow)
{
    EXPECT_EQ(entriesOf(m_folder.path()).filter(".analysis.png").size(), 1);
}

INSTANTIATE_TEST_SUITE_P(Designs, AnalysisOfEveryDesign, ::testing::ValuesIn(kDesigns),
                         tables::rowName);

TEST(AnalysisDesigns, TwoTapsHaveAZeroOnTheUnitCircleAtHalfTheSamplingFrequency)
{
    QTemporaryDir folder;
    const ProgramRun run = runDsplab(screenWith("lowpass", {"1000", "150", "2", "N"})
                                     << "--analyse"
                                     << "zeros"
                                     << "--export"
                                     << "analysis" << folder.filePath("z.csv"));
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const Table zeros = rowsOf(folder.filePath("z.csv"));
    ASSERT_EQ(zeros.size(), 1U);
    // The screens' taps are symmetric to some 5 parts in a million, no closer.
    EXPECT_NEAR(zeros[0][2], 1, 1e-5);
    EXPECT_DOUBLE_EQ(zeros[0][3], 500);
}

// The default Blackman lowpass, 15 taps, is symmetric (to some 5 parts in a million): a delay
// of 7 samples all through its pass band (up to its -3 dB point, 136 Hz).
TEST(AnalysisDesigns, BlackmanLowpassDelaysItsPassBandBySevenSamples)
{
    QTemporaryDir folder;
    const ProgramRun run = runDsplab(screenWith("lowpass", {"1000", "150", "15", "N"})
                                     << "--analyse"
                                     << "group-delay"
                                     << "--export"
                                     << "analysis" << folder.filePath("gd.csv"));
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    int inPassBand = 0;
    for (const auto& row : rowsOf(folder.filePath("gd.csv")))
        if (row[0] <= 136) {
            EXPECT_NEAR(row[1], 7, 1e-5) << row[0];
            ++inPassBand;
        }
    EXPECT_GT(inPassBand, 100);
}

// The slide of the through view: both curves and the gain named in its legend, as text in the
// SVG; the PNG at twice 1280 x 720; the PDF a PDF.
TEST(AnalysisPictures, SlideCarriesBothCurvesWithALegend)
{
    QTemporaryDir folder;
    QStringList arguments = screenWith("lowpass", {"1000", "150", "15", "N"}) << "--through"
                                                                              << "square"
                                                                              << "15"
                                                                              << "15";
    for (const char* file : {"s.svg", "s.png", "s.pdf"})
        arguments << "--export"
                  << "analysis-slide" << folder.filePath(file);
    const ProgramRun run = runDsplab(arguments);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    QFile svg(folder.filePath("s.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray text = svg.readAll();
    for (const char* name : {">input<", ">output<", ">gain |H|<"})
        EXPECT_TRUE(text.contains(name)) << name;
    EXPECT_EQ(QImage(folder.filePath("s.png")).size(), QSize(2560, 1440));
    QFile pdf(folder.filePath("s.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.read(5) == "%PDF-");
}

struct Refusal {
    const char* name;
    QStringList steps;
    const char* message;
};

const QStringList kLowpass = screenWith("lowpass", {"1000", "150", "15", "N"});

// clang-format off
const Refusal kRefusals[] = {
    {"UnknownView", kLowpass + QStringList{"--analyse", "poles"}, "VIEW is impulse"},
    {"UnknownWave", kLowpass + QStringList{"--through", "sine", "3", "10"}, "WAVE is square"},
    {"PulseDutyAboveOne", kLowpass + QStringList{"--through", "pulse:1.5", "3", "10"},
     "WAVE is square"},
    {"HarmonicsAboveTheMost", kLowpass + QStringList{"--through", "square", "32768", "10"},
     "HARMONICS takes"},
    {"NegativeHarmonics", kLowpass + QStringList{"--through", "square", "-1", "10"},
     "HARMONICS takes"},
    {"FractionOfAHarmonic", kLowpass + QStringList{"--through", "square", "2.5", "10"},
     "HARMONICS takes"},
    {"ZeroFundamental", kLowpass + QStringList{"--through", "square", "3", "0"}, "F0 takes"},
    {"NegativeFundamental", kLowpass + QStringList{"--through", "square", "3", "-5"}, "F0 takes"},
    {"FundamentalNotANumber", kLowpass + QStringList{"--through", "square", "3", "nan"},
     "F0 takes"},
    {"InfiniteFundamental", kLowpass + QStringList{"--through", "square", "3", "inf"}, "F0 takes"},
    {"SynthesisScreen", screenWith("square", {"3"}) + QStringList{"--analyse", "step"},
     "no filter screen has a design to analyse (the topmost is Form3)"},
    {"QuestionBoxOpen", screenWith("lowpass", {"1000"}) + QStringList{"--analyse", "step"},
     "no window takes input"},
    {"ExportWithoutTheWindow", kLowpass + QStringList{"--export", "analysis", "a.csv"},
     "no window has analysis to write"},
    {"ExportNotCsv", kLowpass + QStringList{"--analyse", "step", "--export", "analysis", "a.txt"},
     "analysis is written as .csv, .png"},
    {"SlideAsCsv", kLowpass + QStringList{"--analyse", "zeros", "--export", "analysis-slide", "a.csv"},
     "analysis-slide is written as .png"},
};
// clang-format on

class AnalysisRefusals : public ::testing::TestWithParam<Refusal> { };

TEST_P(AnalysisRefusals, FailTheStepWithExitTwoAndOneLine)
{
    QTemporaryDir folder;
    const ProgramRun run = runDsplab(GetParam().steps + QStringList{"--snapshot", folder.path()});
    EXPECT_EQ(run.exitCode, 2);
    ASSERT_EQ(messageLines(run).size(), 1) << run.errors.toStdString();
    EXPECT_TRUE(run.errors.contains(QLatin1String(GetParam().message))) << run.errors.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Steps, AnalysisRefusals, ::testing::ValuesIn(kRefusals), tables::rowName);

} // namespace
