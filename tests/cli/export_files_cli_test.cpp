// What --export writes besides taps: pictures (PNG as drawn, SVG and PDF as vectors), the tables
// of curves, spectra and responses; what it refuses; and --hold.

#include "cli_support.h"
#include "support/test_tables.h"

#include <QImage>
#include <QJsonArray>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include <unistd.h>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace clitest;

const QStringList kSquare = screenWith("square", {"3"});
const QStringList kMenu = screenWith("menu", {});
const QStringList kLowpass = screenWith("lowpass", {"1000", "150", "15", "N"});

std::string text(const QString& s) { return s.toStdString(); }

QStringList linesOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QJsonObject windowIn(const QString& folder, const QString& form)
{
    for (const QJsonValue& window : stateIn(folder).value("windows").toArray())
        if (window.toObject().value("name").toString() == form)
            return window.toObject();
    return {};
}

ProgramRun exportInto(QStringList arguments, const QString& what, const QString& file)
{
    return runDsplab(arguments << "--export" << what << file);
}

TEST(ExportPicture, PngIsTheCanvasImage)
{
    QTemporaryDir folder;
    const QString png = folder.filePath("p.png");
    const QStringList snapshot{"--snapshot", folder.path()};
    const ProgramRun run = runDsplab(QStringList(kSquare) << "--export"
                                                          << "picture" << png << snapshot);
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    EXPECT_EQ(QImage(png), QImage(folder.filePath("Form3.canvas.png")));
}

// The square wave of 3 harmonics is 1 + 629 points (dsp/series.h), the pen placed on the first
// point of the sum (10, 196): its first join has no length, and the other 628 make one line
// through 629 points.
TEST(ExportPicture, SvgHoldsTheTraceAsVectorsNotAnImage)
{
    QTemporaryDir folder;
    const ProgramRun run = exportInto(kSquare, "picture", folder.filePath("p.svg"));
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    QFile file(folder.filePath("p.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QXmlStreamReader svg(&file);
    QString root;
    int images = 0;
    int longest = 0;
    while (!svg.atEnd()) {
        if (svg.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (root.isEmpty())
            root = svg.name().toString();
        images += svg.name() == QLatin1String("image");
        if (svg.name() == QLatin1String("polyline")) {
            const QString points = svg.attributes().value("points").toString();
            const auto count = points.split(' ', Qt::SkipEmptyParts).size();
            longest = std::max(longest, static_cast<int>(count));
        }
    }
    ASSERT_FALSE(svg.hasError()) << text(svg.errorString());
    EXPECT_EQ(root, "svg");
    EXPECT_EQ(images, 0);
    EXPECT_EQ(longest, 629);
}

TEST(ExportPicture, PdfOpensAsOnePageOfTheCanvasSize)
{
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        GTEST_SKIP() << "no pdftoppm (poppler-utils)";
    QTemporaryDir folder;
    const QString pdf = folder.filePath("p.pdf");
    const QStringList snapshot{"--snapshot", folder.path()};
    const ProgramRun run = runDsplab(QStringList(kSquare) << "--export"
                                                          << "picture" << pdf << snapshot);
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    QProcess render;
    render.start(pdftoppm, {"-png", "-r", "96", "-singlefile", pdf, folder.filePath("page")});
    ASSERT_TRUE(render.waitForFinished(30000));
    ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
    const QImage page(folder.filePath("page.png"));
    const QImage canvas(folder.filePath("Form3.canvas.png"));
    EXPECT_NEAR(page.width(), canvas.width(), 1);
    EXPECT_NEAR(page.height(), canvas.height(), 1);
    // The curve: black where the canvas has it, near the middle of the sweep (x = 10 + 37 t).
    int dark = 0;
    for (int y = 0; y < page.height(); ++y)
        dark += qGray(page.pixel(page.width() / 3, y)) < 64;
    EXPECT_GT(dark, 0);
}

// The square wave's series is 0 at t = 0; 629 steps of 0.02 follow it.
TEST(ExportTable, CurveIsInTheSeriesUnits)
{
    QTemporaryDir folder;
    const ProgramRun run = exportInto(kSquare, "curve", folder.filePath("c.csv"));
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    const QStringList lines = linesOf(folder.filePath("c.csv"));
    ASSERT_EQ(lines.size(), 1 + 629);
    EXPECT_EQ(lines[0], "time,value");
    EXPECT_EQ(lines[1].section(',', 0, 0).toDouble(), 0.0);
    EXPECT_EQ(lines[1].section(',', 1, 1).toDouble(), 0.0);
    EXPECT_NEAR(lines[51].section(',', 0, 0).toDouble(), 1.0, 1e-9);
    // Point k at k times the step, in its shortest form.
    EXPECT_EQ(lines[2].section(',', 0, 0), "0.02");
    EXPECT_EQ(lines[51].section(',', 0, 0), "1");
    EXPECT_EQ(lines[629].section(',', 0, 0), "12.56");
}

// A square wave's nth harmonic has amplitude 4 / (n pi), its even harmonics none.
TEST(ExportTable, SpectrumListsEveryHarmonicShown)
{
    QTemporaryDir folder;
    const QStringList spectrum = QStringList(kSquare) << "--click"
                                                      << "View Spectrum";
    const ProgramRun run = exportInto(spectrum, "spectrum", folder.filePath("s.csv"));
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    const QStringList lines = linesOf(folder.filePath("s.csv"));
    ASSERT_EQ(lines.size(), 1 + 6);
    EXPECT_EQ(lines[0], "harmonic,amplitude,drawn_height");
    for (int n = 1; n <= 6; ++n) {
        EXPECT_EQ(lines[n].section(',', 0, 0).toInt(), n);
        const double expected = n % 2 ? 4 / (n * std::numbers::pi) : 0;
        EXPECT_NEAR(lines[n].section(',', 1, 1).toDouble(), expected, 1e-5) << n;
    }
}

// The full-wave rectified sine |sin(t / 2)| is 2 / pi + sum -4 / (pi (4 n^2 - 1)) cos(n t); its
// spectrum draws the dc line at 0.9 and the first line at 10 / (3 pi) of full scale.
TEST(ExportTable, SpectrumGivesTheSeriesAmplitudesAndTheDrawnHeightsDcFirst)
{
    QTemporaryDir folder;
    const QStringList spectrum = screenWith("rectified", {"F", "3"}) << "--click"
                                                                     << "View Spectrum";
    const ProgramRun run = exportInto(spectrum, "spectrum", folder.filePath("s.csv"));
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    const QStringList lines = linesOf(folder.filePath("s.csv"));
    ASSERT_EQ(lines.size(), 1 + 4);
    constexpr double pi = std::numbers::pi;
    const double first = 10 / (3 * pi);
    const double expected[4][2] = {{2 / pi, 0.9 * first},
                                   {4 / (3 * pi), first},
                                   {4 / (15 * pi), 4 / (15 * pi)},
                                   {4 / (35 * pi), 4 / (35 * pi)}};
    for (int n = 0; n <= 3; ++n) {
        const QStringList row = lines[n + 1].split(',');
        ASSERT_EQ(row.size(), 3) << text(lines[n + 1]);
        EXPECT_EQ(row[0].toInt(), n);
        EXPECT_NEAR(row[1].toDouble(), expected[n][0], 1e-5) << n;
        EXPECT_NEAR(row[2].toDouble(), expected[n][1], 1e-5) << n;
    }
}

// A zero is written 0 in every table, whatever its sign where it was worked out (the lowpass's
// phase and the square wave's value at its crossings).
TEST(ExportTable, NoNegativeZeroInAnyTable)
{
    QTemporaryDir folder;
    const ProgramRun lowpass =
        runDsplab(QStringList(kLowpass) << "--export"
                                        << "response" << folder.filePath("r.csv") << "--export"
                                        << "taps" << folder.filePath("t.csv"));
    ASSERT_EQ(lowpass.exitCode, 0) << text(lowpass.errors);
    ASSERT_EQ(exportInto(kSquare, "curve", folder.filePath("c.csv")).exitCode, 0);
    for (const char* file : {"r.csv", "t.csv", "c.csv"})
        for (const QString& line : linesOf(folder.filePath(file)))
            for (const QString& field : line.split(','))
                EXPECT_FALSE(field.startsWith("-0") && field.toDouble() == 0)
                    << file << ": " << text(line);
}

// The sweep runs 0, 0.01, ... bins of fs/N up to N/2: 751 points for 15 taps, 1000 / 15 Hz a bin.
TEST(ExportTable, ResponseIsTheSweepTheTracesWereDrawnFrom)
{
    QTemporaryDir folder;
    const ProgramRun run = exportInto(kLowpass, "response", folder.filePath("r.csv"));
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    const QStringList lines = linesOf(folder.filePath("r.csv"));
    ASSERT_EQ(lines.size(), 1 + 751);
    EXPECT_EQ(lines[0], "frequency_hz,magnitude,magnitude_db,phase_deg");
    const QStringList last = lines.back().split(',');
    EXPECT_NEAR(last[0].toDouble(), 500, 1e-9);
    // u = 1, the 101st point.
    EXPECT_NEAR(lines[1 + 100].section(',', 0, 0).toDouble(), 100 * 0.01 * 1000 / 15, 1e-9);
    for (const QString& line : lines.mid(1)) {
        const QStringList row = line.split(',');
        EXPECT_NEAR(row[2].toDouble(), 20 * std::log10(row[1].toDouble()), 1e-9) << text(line);
    }
}

struct Refusal {
    const char* name;
    QStringList steps;
    const char* what;
    const char* file;
    const char* reason;
};

class ExportRefusal : public ::testing::TestWithParam<Refusal> { };

TEST_P(ExportRefusal, FailsTheStepWithExitCode2AndWritesNothing)
{
    const Refusal& c = GetParam();
    QTemporaryDir folder;
    QStringList arguments = c.steps;
    if (QLatin1String(c.what) == QLatin1String("--hold"))
        arguments << "--hold";
    else
        arguments << "--export" << c.what << folder.filePath(c.file);
    const ProgramRun run = runDsplab(arguments);
    EXPECT_EQ(run.exitCode, 2) << text(run.errors);
    EXPECT_TRUE(run.errors.contains(QLatin1String(c.reason))) << text(run.errors);
    EXPECT_TRUE(entriesOf(folder.path()).isEmpty()) << text(entriesOf(folder.path()).join(' '));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Cases, ExportRefusal,
    ::testing::Values(
        Refusal{"TapsFromTheMainMenu", kMenu, "taps", "t.csv", "no window has taps"},
        Refusal{"TapsFromASquareWave", kSquare, "taps", "t.csv", "no window has taps"},
        Refusal{"SpectrumFromAFilter", kLowpass, "spectrum", "s.csv", "no window has spectrum"},
        Refusal{"CurveBeforeItIsDrawn", {"--screen", "square", "--cancel"}, "curve", "c.csv",
                "no window has curve"},
        Refusal{"TapsAsAPicture", kLowpass, "taps", "t.png",
                "taps are written as .csv, .txt, .h or .py"},
        Refusal{"PictureAsJpeg", kSquare, "picture", "p.jpg",
                "picture is written as .png, .svg or .pdf"},
        Refusal{"UnknownThing", kSquare, "video", "v.mp4", "no window has video"},
        Refusal{"HoldOnTheMainMenu", kMenu, "--hold", "", "no window has a drawing to hold"}),
    tables::rowName);
// clang-format on

TEST(ExportFile, APlantedLinkIsRefusedAndNeverFollowed)
{
    QTemporaryDir outside;
    QTemporaryDir folder;
    QFile victim(outside.filePath("victim"));
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.write("the user's own file\n");
    victim.close();
    const QString link = folder.filePath("t.csv");
    const QByteArray target = QFile::encodeName(victim.fileName());
    ASSERT_EQ(symlink(target.constData(), QFile::encodeName(link).constData()), 0);

    const ProgramRun run = exportInto(kLowpass, "taps", link);
    EXPECT_EQ(run.exitCode, 2) << text(run.errors);
    EXPECT_TRUE(run.errors.contains(link + " is a symbolic link")) << text(run.errors);
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    ASSERT_TRUE(victim.open(QIODevice::ReadOnly));
    EXPECT_EQ(victim.readAll(), "the user's own file\n");
    EXPECT_EQ(entriesOf(folder.path()), QStringList{"t.csv"}) << "no temporary file left";
}

TEST(ExportFile, ReplacesAFileWholeAndLeavesNoTemporaryFile)
{
    QTemporaryDir folder;
    QFile old(folder.filePath("t.txt"));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray("an older, longer file that must not show through")
              + QByteArray(30, '\n'));
    old.close();
    const ProgramRun run = exportInto(kLowpass, "taps", old.fileName());
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    EXPECT_EQ(linesOf(old.fileName()).size(), 15);
    EXPECT_EQ(entriesOf(folder.path()), QStringList{"t.txt"});
}

struct WaveFigures {
    const char* name;
    QStringList steps;
    const char* form;
    bool measured;
};

class SynthesisFigures : public ::testing::TestWithParam<WaveFigures> { };

// The waves that jump measure their overshoot; the others have no figures at all.
TEST_P(SynthesisFigures, ArePresentWhereTheWaveJumps)
{
    QTemporaryDir folder;
    const QStringList arguments = QStringList(GetParam().steps) << "--snapshot" << folder.path();
    const ProgramRun run = runDsplab(arguments);
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    const QJsonObject window = windowIn(folder.path(), GetParam().form);
    ASSERT_FALSE(window.isEmpty());
    EXPECT_EQ(window.contains("figures"), GetParam().measured);
    if (GetParam().measured) {
        EXPECT_TRUE(window.value("figures").toObject().value("overshootPercent").isDouble());
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Waves, SynthesisFigures,
    ::testing::Values(WaveFigures{"Square", kSquare, "Form3", true},
                      WaveFigures{"Sawtooth", screenWith("sawtooth", {"5"}), "Form5", true},
                      WaveFigures{"Pulse", screenWith("pulse", {"13", "0.2"}), "Form13", true},
                      WaveFigures{"Triangle", screenWith("triangle", {"3"}), "Form4", false},
                      WaveFigures{"Rectified", screenWith("rectified", {"F", "3"}), "Form6",
                                  false}),
    tables::rowName);
// clang-format on

// The held trace shows in the window's picture, never in its canvas image.
TEST(Hold, TheNextDrawingShowsTheHeldTraceAndBothFigures)
{
    QTemporaryDir held;
    QTemporaryDir plain;
    const QStringList again{"--click", "Do Another", "--answer", "10"};
    const QStringList holding = QStringList(kSquare) << "--hold" << again;
    ASSERT_EQ(runDsplab(QStringList(holding) << "--snapshot" << held.path()).exitCode, 0);
    ASSERT_EQ(runDsplab(QStringList(kSquare) << again << "--snapshot" << plain.path()).exitCode, 0);
    const QJsonObject window = windowIn(held.path(), "Form3");
    EXPECT_TRUE(window.value("heldFigures").toObject().value("overshootPercent").isDouble());
    EXPECT_FALSE(windowIn(plain.path(), "Form3").contains("heldFigures"));
    const QString canvas = QStringLiteral("Form3.canvas.png");
    EXPECT_EQ(QImage(held.filePath(canvas)), QImage(plain.filePath(canvas)));
    EXPECT_NE(QImage(held.filePath("Form3.png")), QImage(plain.filePath("Form3.png")));
}

} // namespace
