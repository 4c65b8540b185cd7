// Axes over the plot and slide pictures, through the real program: the values stand where the
// plot's geometry puts them, and a slide's SVG, PDF and PNG carry the plot's values, the legend
// and the window's captions.

#include "cli_support.h"

#include <QImage>
#include <QJsonArray>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace clitest;

std::string text(const QString& s) { return s.toStdString(); }

// The Blackman lowpass with its phase, 1000 Hz, 150 Hz, 15 taps.
const QStringList kBlackman{"1000", "150", "15", "Y"};

QJsonObject windowNamed(const QJsonObject& state, const QString& name)
{
    for (const QJsonValue& window : state.value("windows").toArray())
        if (window.toObject().value("name").toString() == name)
            return window.toObject();
    return {};
}

// The value label with this text on the axes as the window shows them.
QJsonObject labelOf(const QJsonArray& axes, const QString& shown)
{
    for (const QJsonValue& label : axes)
        if (label.toObject().value("text").toString() == shown)
            return label.toObject();
    return {};
}

// A value, where its label stands on the 792 x 573 window (the middle of its box), and the value
// read back from that pixel by the plot's geometry: 0 Hz at x = 10 and fs/2 at x = 478 of 640;
// magnitude 1 280 units above y = 380, 3 units a dB above y = 89 for 0 dB, phase 1.275 degrees a
// unit from y = 196, of 480.
struct TickCase {
    const char* name;
    const char* shown;
    double value;
    bool across;                        // read from x, else from y
    double pixel;                       // where the label stands
    double (*readBack)(double logical); // the value under a logical coordinate
};

void PrintTo(const TickCase& c, std::ostream* out) { *out << c.name; }

constexpr double kAcross = 792.0 / 640; // window pixels a logical unit
constexpr double kDown = 573.0 / 480;

class AxisTicks : public ::testing::TestWithParam<TickCase> { };

TEST_P(AxisTicks, StandWhereThePlotPutsTheirValues)
{
    const TickCase& c = GetParam();
    static const QJsonArray axes = [] {
        QTemporaryDir folder;
        const ProgramRun run =
            runDsplab(screenWith("lowpass", kBlackman) << "--axes"
                                                       << "on"
                                                       << "--snapshot" << folder.path());
        EXPECT_EQ(run.exitCode, 0) << text(run.errors);
        return windowNamed(stateIn(folder.path()), "Form9").value("axes").toArray();
    }();
    const QJsonObject label = labelOf(axes, QString::fromUtf8(c.shown));
    ASSERT_FALSE(label.isEmpty()) << c.shown;
    EXPECT_DOUBLE_EQ(label.value("value").toDouble(), c.value);
    const double pixel = label.value(c.across ? "x" : "y").toDouble();
    EXPECT_NEAR(pixel, c.pixel, 0.01);
    const double logical = pixel / (c.across ? kAcross : kDown);
    EXPECT_NEAR(c.readBack(logical), c.value, 1e-9 + std::abs(c.value) * 1e-9);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Blackman, AxisTicks,
    ::testing::Values(
        TickCase{"ZeroHertz", "0", 0, true, 10 * kAcross,
                 [](double x) { return (x - 10) / 468 * 500; }},
        TickCase{"HundredHertz", "100", 100, true, (10 + 468 * 0.2) * kAcross,
                 [](double x) { return (x - 10) / 468 * 500; }},
        TickCase{"HalfTheSamplingRate", "500", 500, true, 478 * kAcross,
                 [](double x) { return (x - 10) / 468 * 500; }},
        TickCase{"UnityGain", "1.0", 1, false, 100 * kDown,
                 [](double y) { return (380 - y) / 280; }},
        TickCase{"GainOfAFifth", "0.2", 0.2, false, (380 - 56) * kDown,
                 [](double y) { return (380 - y) / 280; }},
        TickCase{"MinusFortyDecibels", "\u221240", -40, false, (89 + 120) * kDown,
                 [](double y) { return (89 - y) / 3; }},
        TickCase{"FiftyDegrees", "50°", 50, false, (196 - 50 / 1.275) * kDown,
                 [](double y) { return (196 - y) * 1.275; }}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

struct OptionRefusal {
    const char* name;
    QStringList arguments;
    const char* message;
};

void PrintTo(const OptionRefusal& c, std::ostream* out) { *out << c.name; }

class AxesAndScaleRefusals : public ::testing::TestWithParam<OptionRefusal> { };

TEST_P(AxesAndScaleRefusals, ExitTwoWithOneLine)
{
    const OptionRefusal& c = GetParam();
    const ProgramRun run = runDsplab(screenWith("lowpass", kBlackman) << c.arguments);
    EXPECT_EQ(run.exitCode, 2);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    EXPECT_TRUE(run.errors.contains(QString::fromUtf8(c.message))) << text(run.errors);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Options, AxesAndScaleRefusals,
    ::testing::Values(
        OptionRefusal{"AxesYes", {"--axes", "yes"}, "--axes takes on or off, not \"yes\""},
        OptionRefusal{"AxesCapitalOn", {"--axes", "ON"}, "--axes takes on or off"},
        OptionRefusal{"AxesWithoutValue", {"--axes"}, "--axes needs a value"},
        OptionRefusal{"ScaleZero", {"--slide-scale", "0"}, "--slide-scale takes a whole number from 1 to 4"},
        OptionRefusal{"ScaleFive", {"--slide-scale", "5"}, "from 1 to 4, not \"5\""},
        OptionRefusal{"ScaleFraction", {"--slide-scale", "2.5"}, "from 1 to 4"},
        OptionRefusal{"ScaleWord", {"--slide-scale", "big"}, "from 1 to 4"}),
    [](const auto& info) { return std::string(info.param.name); });
// clang-format on

TEST(AxesStep, FailsOnAWindowWithoutAPlot)
{
    const ProgramRun run = runDsplab(screenWith("menu", {}) << "--axes"
                                                            << "on");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.errors.contains("Form2 has no plot to put axes on")) << text(run.errors);
}

// A Blackman design held and drawn again at 21 taps, written as a slide in each form.
class BlackmanSlide : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new QTemporaryDir;
        const QDir dir(s_folder->path());
        // A rectangular design held under a Blackman one of the same sampling frequency.
        const ProgramRun run = runDsplab(
            QStringList{"--screen", "menu", "--click", "Lowpass Filter Design (rectangular window)"}
            << screenWith("lowpass-rect", {"1000", "150", "15"}).mid(2) << "--hold"
            << "--click"
            << "Main Menu"
            << "--click"
            << "Lowpass Filter Design (Blackman window)"
            << screenWith("lowpass", {"1000", "150", "21", "Y"}).mid(2) << "--export"
            << "slide" << dir.filePath("s.svg") << "--export"
            << "slide" << dir.filePath("s.pdf") << "--export"
            << "slide" << dir.filePath("s.png"));
        ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    }
    static void TearDownTestSuite() { delete s_folder; }
    static QString path(const char* name) { return QDir(s_folder->path()).filePath(name); }
    static QTemporaryDir* s_folder;
};

QTemporaryDir* BlackmanSlide::s_folder = nullptr;

// What the slide says: the plot's values and titles, the legend, the window's captions.
const char* const kSaid[] = {"100",
                             "500",
                             "Hz",
                             "|H|",
                             "1.0",
                             "dB re largest tap",
                             "\u221240",
                             "100°",
                             "FIR low-pass filter design [Blackman window]",
                             "Blackman lowpass, fs 1000 Hz, fc 150 Hz, 21 taps",
                             "rectangular lowpass, fs 1000 Hz, fc 150 Hz, 15 taps",
                             "The sampling frequency is 1000 Hz",
                             "The cutoff frequency is 150 Hz",
                             "The number of taps is 21",
                             "250 Hz"};

TEST_F(BlackmanSlide, SvgHoldsItsTextAsText)
{
    QFile svg(path("s.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QString svgText = QString::fromUtf8(svg.readAll());
    EXPECT_FALSE(svgText.contains("<image")) << "no picture inside";
    // The text as a reader of the file meets it: a line may be written in runs of its own.
    const QString content =
        QString(svgText).replace(QRegularExpression("<[^>]*>"), " ").simplified();
    for (const char* said : kSaid)
        EXPECT_TRUE(content.contains(QString::fromUtf8(said).toHtmlEscaped())) << said;
}

TEST_F(BlackmanSlide, PdfReadsBackAsText)
{
    const QString pdftotext = QStandardPaths::findExecutable("pdftotext");
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "no pdftotext (poppler-utils)";
    QProcess read;
    read.start(pdftotext, {path("s.pdf"), "-"});
    ASSERT_TRUE(read.waitForFinished(30000));
    // The PDF keeps the font's ligatures ("ﬁ"); compatibility normalisation spells them out.
    const QString content = QString::fromUtf8(read.readAllStandardOutput())
                                .normalized(QString::NormalizationForm_KC)
                                .simplified();
    for (const char* said : kSaid)
        EXPECT_TRUE(content.contains(QString::fromUtf8(said))) << said << "\n" << text(content);
    EXPECT_FALSE(content.contains("<span")) << "the legend is text, not markup";
}

TEST_F(BlackmanSlide, PngIsTwiceTheWindowAcrossAtSixteenByNine)
{
    const QImage png(path("s.png"));
    EXPECT_EQ(png.width(), 2 * 792);
    EXPECT_EQ(png.height(), 891);
}

TEST(SlideScale, SetsThePngsWidth)
{
    QTemporaryDir folder;
    const QString png = QDir(folder.path()).filePath("s.png");
    const ProgramRun run =
        runDsplab(QStringList{"--slide-scale", "3"} << screenWith("square", {"5"}) << "--export"
                                                    << "slide" << png);
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    EXPECT_EQ(QImage(png).width(), 3 * 792);
}

} // namespace
