// Listen in a real window with a real sound path: a sound server of the test's own plays into a
// null output, whose monitor is recorded, and the recording holds the lines of the WAV export.

#include "support/sound_lines.h"
#include "x_session.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <optional>

namespace e2e {
namespace {

using namespace soundlines;

// pulseaudio with one null output and a socket in a folder of its own.
class SoundServer {
public:
    explicit SoundServer(const QString& folder) : m_socket(folder + QStringLiteral("/native"))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), folder);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), folder);
        m_server.setProcessEnvironment(env);
        m_server.start(
            QStringLiteral("pulseaudio"),
            {QStringLiteral("-n"), QStringLiteral("--daemonize=no"),
             QStringLiteral("--exit-idle-time=-1"), QStringLiteral("-L"),
             QStringLiteral("module-native-protocol-unix auth-anonymous=1 socket=") + m_socket,
             QStringLiteral("-L"), QStringLiteral("module-null-sink sink_name=null")});
        m_ready = waitUntil([this] { return QFile::exists(m_socket); }, 10000);
    }
    ~SoundServer()
    {
        m_server.terminate();
        if (!m_server.waitForFinished(5000))
            m_server.kill();
    }
    bool ready() const { return m_ready; }
    QString address() const { return QStringLiteral("unix:") + m_socket; }

private:
    QString m_socket;
    QProcess m_server;
    bool m_ready = false;
};

std::vector<std::int16_t> samplesOf(const QByteArray& raw)
{
    std::vector<std::int16_t> samples(static_cast<std::size_t>(raw.size()) / 2);
    std::memcpy(samples.data(), raw.constData(), samples.size() * 2);
    return samples;
}

// The harmonics' levels against the fundamental's, in dB, over one second from `first`.
std::vector<double> levels(const std::vector<std::int16_t>& samples, std::size_t first)
{
    const std::vector<double> x = oneSecond(samples, first);
    std::vector<double> db;
    for (int n : {3, 5, 7, 9})
        db.push_back(20 * std::log10(lineAmplitude(x, 220.0 * n) / lineAmplitude(x, 220)));
    return db;
}

class ListenOnScreen : public XServerTest { };

TEST_F(ListenOnScreen, PlaysTheLinesOfTheWavExport)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pulseaudio")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("parec")).isEmpty())
        GTEST_SKIP() << "no pulseaudio and parec to play and record through";
    QTemporaryDir folder;
    SoundServer server(folder.path());
    ASSERT_TRUE(server.ready());
    QProcess recorder;
    recorder.start(QStringLiteral("parec"),
                   {QStringLiteral("--server=") + server.address(),
                    QStringLiteral("--device=null.monitor"), QStringLiteral("--format=s16le"),
                    QStringLiteral("--rate=44100"), QStringLiteral("--channels=1"),
                    QStringLiteral("--raw")});
    ASSERT_TRUE(recorder.waitForStarted());

    QProcessEnvironment env;
    env.insert(QStringLiteral("PULSE_SERVER"), server.address());
    RealProgram program(*s_x, {QStringLiteral("--screen"), QStringLiteral("square")}, env);
    ASSERT_TRUE(program.answer(QStringLiteral("Number of Odd Harmonics"), QStringLiteral("5")));
    const auto id = program.window(QStringLiteral("Fourier square generator"));
    ASSERT_TRUE(id);
    program.activate(*id);
    program.key(QStringLiteral("ctrl+l"));
    QByteArray raw;
    // Heard: well over a second of sound past its onset.
    const auto heardFrom = [&raw]() -> std::optional<std::size_t> {
        const std::vector<std::int16_t> samples = samplesOf(raw);
        for (std::size_t i = 0; i < samples.size(); ++i)
            if (std::abs(samples[i]) > 1000)
                return samples.size() > i + kRate * 3 / 2 ? std::optional(i) : std::nullopt;
        return std::nullopt;
    };
    ASSERT_TRUE(waitUntil(
        [&] {
            recorder.waitForReadyRead(100);
            raw += recorder.readAllStandardOutput();
            return heardFrom().has_value();
        },
        15000))
        << "nothing reached the sound server's output";
    recorder.kill();
    recorder.waitForFinished();

    QProcess exporter;
    exporter.setProcessEnvironment([] {
        QProcessEnvironment offscreen = QProcessEnvironment::systemEnvironment();
        offscreen.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return offscreen;
    }());
    const QString wav = folder.filePath(QStringLiteral("square.wav"));
    exporter.start(QStringLiteral(DSPLAB_BINARY),
                   {QStringLiteral("--screen"), QStringLiteral("square"),
                    QStringLiteral("--answer"), QStringLiteral("5"), QStringLiteral("--export"),
                    QStringLiteral("sound"), wav});
    ASSERT_TRUE(exporter.waitForFinished(30000));
    QFile file(wav);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::vector<double> exported =
        levels(wavSamples(file.readAll().toStdString()), kRate / 2);
    // A quarter second in, clear of the fade-in.
    const std::vector<double> heard = levels(samplesOf(raw), *heardFrom() + kRate / 4);
    for (std::size_t i = 0; i < exported.size(); ++i)
        EXPECT_NEAR(heard[i], exported[i], 0.5) << "harmonic " << 2 * i + 3;
}

} // namespace
} // namespace e2e
