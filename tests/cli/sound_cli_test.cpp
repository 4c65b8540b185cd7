// The sounds --export writes, read back as a player would: the WAV header, then the lines.

#include "cli_support.h"
#include "support/sound_lines.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>

namespace clitest {
namespace {

using namespace soundlines;

std::string readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

std::uint32_t rateOf(const std::string& wav)
{
    std::uint32_t rate = 0;
    for (int i = 3; i >= 0; --i)
        rate = rate << 8 | static_cast<unsigned char>(wav.at(24 + i));
    return rate;
}

double decibels(double ratio) { return 20 * std::log10(ratio); }

// Five odd harmonics of a square wave on 220 Hz: 220, 660, 1100, 1540 and 1980 Hz at 1/n of the
// fundamental, and nothing else within 60 dB of it.
TEST(SoundExport, WritesTheSquareWavesFiveLinesInTheirRatios)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QStringLiteral("square.wav"));
    const ProgramRun run =
        runDsplab(screenWith("square", {QStringLiteral("5")})
                  << QStringLiteral("--export") << QStringLiteral("sound") << file);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const std::string wav = readAll(file);
    EXPECT_EQ(rateOf(wav), 44100u);
    const std::vector<double> x = oneSecond(wavSamples(wav), kRate / 2);
    ASSERT_EQ(x.size(), std::size_t(kRate));
    const double fundamental = lineAmplitude(x, 220);
    for (int n : {3, 5, 7, 9})
        EXPECT_NEAR(decibels(lineAmplitude(x, 220.0 * n) / fundamental), decibels(1.0 / n), 0.1)
            << n;
    EXPECT_LT(decibels(largestOffGrid(x, 220) / fundamental), -60);
}

// Noise keeps a design's own rate where a sound file commonly carries it, else 44100 Hz; a tone
// is written on the fundamental asked for.
TEST(SoundExport, WritesEachSoundAtItsRate)
{
    QTemporaryDir folder;
    const QString at48k = folder.filePath(QStringLiteral("a.wav"));
    const QString at1k = folder.filePath(QStringLiteral("b.wav"));
    const QString tone = folder.filePath(QStringLiteral("c.wav"));
    const auto design = [](const char* fs) {
        return screenWith("lowpass",
                          {QString::fromLatin1(fs), QStringLiteral("150"), QStringLiteral("15"),
                           QStringLiteral("N")});
    };
    EXPECT_EQ(runDsplab(design("48000") << "--export"
                                        << "noise" << at48k)
                  .exitCode,
              0);
    EXPECT_EQ(runDsplab(design("1000") << "--export"
                                       << "sound" << at1k)
                  .exitCode,
              0);
    EXPECT_EQ(rateOf(readAll(at48k)), 48000u);
    EXPECT_EQ(rateOf(readAll(at1k)), 44100u);
    EXPECT_EQ(wavSamples(readAll(at48k)).size(), 96000u);
    const ProgramRun run =
        runDsplab(screenWith("square", {QStringLiteral("1")}) << "--listen-fundamental"
                                                              << "880"
                                                              << "--export"
                                                              << "sound" << tone);
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    const std::vector<double> x = oneSecond(wavSamples(readAll(tone)), kRate / 2);
    // One sine, its peak at -1 dBFS.
    EXPECT_NEAR(lineAmplitude(x, 880), 32767 * std::pow(10, -1 / 20.0), 3);
}

// A fundamental the menu does not offer, or a screen that plays no tone, stops the script.
TEST(SoundExport, RefusesAFundamentalItCannotPlay)
{
    EXPECT_EQ(runDsplab(screenWith("square", {QStringLiteral("5")}) << "--listen-fundamental"
                                                                    << "300")
                  .exitCode,
              2);
    EXPECT_EQ(runDsplab(screenWith("lowpass",
                                   {QStringLiteral("1000"), QStringLiteral("150"),
                                    QStringLiteral("15"), QStringLiteral("N")})
                        << "--listen-fundamental"
                        << "220")
                  .exitCode,
              2);
}

} // namespace
} // namespace clitest
