#pragma once

#include "dsp/sound.h"

#include <QBuffer>
#include <QObject>

#include <memory>

class QAudioSink;
class QWidget;

namespace screens {

// Plays one sound at a time on the default sound output, without blocking the window: a sound
// that is still playing stops when the next starts, and when its window closes (the player is
// the window's child).
class SoundPlayer : public QObject {
    Q_OBJECT
public:
    explicit SoundPlayer(QWidget& window);
    ~SoundPlayer() override;

    // Whether the sound output plays `sampleRate` samples a second (false: there is none).
    static bool outputTakes(int sampleRate);
    // Starts the sound, or stops it if one is playing. With no sound output, a message box says
    // so in one line and nothing plays.
    void playOrStop(const dsp::Sound& sound);
    // Starts the sound in place of any that is playing.
    void play(const dsp::Sound& sound);
    bool playing() const;

private:
    void stop();

    QWidget& m_window;
    QByteArray m_bytes;
    QBuffer m_buffer;
    std::unique_ptr<QAudioSink> m_sink;
};

} // namespace screens
