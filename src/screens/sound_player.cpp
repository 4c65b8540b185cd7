#include "screens/sound_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QMessageBox>
#include <QWidget>

namespace screens {
namespace {

QAudioFormat monoFormat(int sampleRate)
{
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    return format;
}

} // namespace

SoundPlayer::SoundPlayer(QWidget& window) : QObject(&window), m_window(window) { }

SoundPlayer::~SoundPlayer() { stop(); }

bool SoundPlayer::outputTakes(int sampleRate)
{
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    return !device.isNull() && device.isFormatSupported(monoFormat(sampleRate));
}

bool SoundPlayer::playing() const { return m_sink && m_sink->state() == QAudio::ActiveState; }

void SoundPlayer::stop()
{
    if (m_sink)
        m_sink->stop();
    m_sink.reset();
    m_buffer.close();
}

void SoundPlayer::playOrStop(const dsp::Sound& sound)
{
    if (playing())
        stop();
    else
        play(sound);
}

void SoundPlayer::play(const dsp::Sound& sound)
{
    stop();
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || !device.isFormatSupported(monoFormat(sound.sampleRate))) {
        QMessageBox::information(&m_window, tr("Listen"),
                                 tr("There is no sound output to play on; Save sound... writes "
                                    "the sound to a WAV file instead."));
        return;
    }
    m_bytes = QByteArray(reinterpret_cast<const char*>(sound.samples.data()),
                         static_cast<qsizetype>(sound.samples.size() * sizeof(std::int16_t)));
    m_buffer.setBuffer(&m_bytes);
    m_buffer.open(QIODevice::ReadOnly);
    m_sink = std::make_unique<QAudioSink>(device, monoFormat(sound.sampleRate));
    m_sink->start(&m_buffer);
}

} // namespace screens
