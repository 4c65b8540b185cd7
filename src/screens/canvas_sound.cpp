// What the canvas tools play: a synthesis drawing's wave as a tone, and noise alone or through a
// filter drawing's design.

#include "screens/canvas_tools.h"

#include "dsp/sampled_wave.h"
#include "forms/form.h"
#include "screens/sound_player.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include <cmath>

namespace screens {
namespace {

// Noise plays at the design's own sampling frequency where it is a rate sound files and outputs
// commonly carry, a whole number of hertz; elsewhere at kSoundRate, which scales the design's
// frequency axis onto it. Listen also needs the output to take the rate.
constexpr double kLowestNoiseRate = 8000;
constexpr double kHighestNoiseRate = 192000;

bool ownRatePlayable(double samplingHz)
{
    return samplingHz >= kLowestNoiseRate && samplingHz <= kHighestNoiseRate
        && samplingHz == std::floor(samplingHz);
}

int noiseRate(double samplingHz, bool forOutput)
{
    const bool own = ownRatePlayable(samplingHz)
        && (!forOutput || SoundPlayer::outputTakes(static_cast<int>(samplingHz)));
    return own ? static_cast<int>(samplingHz) : dsp::kSoundRate;
}

QString hertz(double value) { return QString::number(value, 'g', 10); }

} // namespace

void CanvasTools::addListenEntries()
{
    // Ctrl+L plays what the screen has: its tone, or the noise through its design.
    auto* listenKey = addEntry("listenKey", QString(), [this] { listen(Thing::Sound); });
    listenKey->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    m_form.addAction(listenKey);
    m_listen = addEntry("listen", tr("Listen"), [this] { listen(Thing::Sound); });
    auto* fundamentals = new QMenu(&m_form);
    auto* group = new QActionGroup(this);
    for (double hz : dsp::kToneFundamentals) {
        QAction* entry = fundamentals->addAction(tr("%1 Hz").arg(hertz(hz)));
        entry->setObjectName(QStringLiteral("fundamental%1").arg(hertz(hz)));
        entry->setCheckable(true);
        entry->setActionGroup(group);
        connect(entry, &QAction::triggered, this, [this, hz] { m_state.toneFundamental = hz; });
    }
    m_fundamental = addEntry("fundamental", tr("Fundamental"), [] {});
    m_fundamental->setMenu(fundamentals);
    m_listenThrough = addEntry("listenThrough", tr("Listen to noise through this filter"),
                               [this] { listen(Thing::Sound); });
    for (QAction* shown : {m_listen, m_listenThrough}) {
        shown->setShortcut(listenKey->shortcut());
        shown->setShortcutVisibleInContextMenu(true);
    }
    m_listenAlone =
        addEntry("listenAlone", tr("Listen to the noise alone"), [this] { listen(Thing::Noise); });
    m_save[Thing::Sound] =
        addEntry("saveSound", tr("Save sound..."), [this] { saveWithDialog(Thing::Sound); });
    m_save[Thing::Noise] =
        addEntry("saveNoise", tr("Save noise alone..."), [this] { saveWithDialog(Thing::Noise); });
}

// The entries say what will play: how many harmonics lie below half the sound's rate when some
// do not, and at which rate the noise plays.
QList<QAction*> CanvasTools::listenEntries() const
{
    if (const auto tone = m_content.tone()) {
        const dsp::SampledWave wave{tone->wave, tone->harmonics, tone->dutyCycle,
                                    m_state.toneFundamental, dsp::kSoundRate};
        dsp::KeptTerms terms = dsp::termsBelowHalfSampling(wave);
        std::erase(terms.kept, 0);
        m_listen->setText(terms.leftOut == 0 ? tr("Listen")
                                             : tr("Listen (%1 of %2 harmonics lie below %3 Hz)")
                                                   .arg(terms.kept.size())
                                                   .arg(terms.kept.size() + terms.leftOut)
                                                   .arg(hertz(dsp::kSoundRate / 2.0)));
        for (QAction* entry : m_fundamental->menu()->actions())
            entry->setChecked(
                entry->objectName()
                == QStringLiteral("fundamental%1").arg(hertz(m_state.toneFundamental)));
        return {m_listen, m_fundamental, m_save.at(Thing::Sound)};
    }
    if (const auto filter = m_content.noiseFilter()) {
        const int rate = noiseRate(filter->samplingHz, true);
        m_listenThrough->setText(
            rate == dsp::kSoundRate && filter->samplingHz != dsp::kSoundRate
                ? tr("Listen to noise through this filter (its frequencies scaled to %1 Hz)")
                      .arg(rate)
                : tr("Listen to noise through this filter (at %1 Hz)").arg(rate));
        return {m_listenThrough, m_listenAlone, m_save.at(Thing::Sound), m_save.at(Thing::Noise)};
    }
    return {};
}

std::optional<dsp::Sound> CanvasTools::soundOf(Thing thing) const
{
    if (const auto tone = m_content.tone(); tone && thing == Thing::Sound)
        return dsp::synthesisTone(tone->wave, tone->harmonics, tone->dutyCycle,
                                  m_state.toneFundamental)
            .sound;
    if (const auto filter = m_content.noiseFilter()) {
        const int rate = noiseRate(filter->samplingHz, false);
        return dsp::noiseSound(thing == Thing::Sound ? filter->taps : std::vector<double>{}, rate)
            .sound;
    }
    return std::nullopt;
}

// Listen plays what Save sound writes, at the rate the output takes.
std::optional<dsp::Sound> CanvasTools::playableSound(Thing thing) const
{
    std::optional<dsp::Sound> sound = soundOf(thing);
    if (const auto filter = m_content.noiseFilter(); sound && filter)
        sound->sampleRate = noiseRate(filter->samplingHz, true); // the same samples, rescaled
    return sound;
}

void CanvasTools::listen(Thing thing)
{
    const std::optional<dsp::Sound> sound = playableSound(thing);
    if (!sound)
        return;
    if (!m_player)
        m_player = new SoundPlayer(m_form);
    m_playing = thing;
    m_player->playOrStop(*sound);
}

// A sound that is playing when the drawing changes (the Explore panel) goes on as the new one.
void CanvasTools::soundFollowsDrawing()
{
    if (!m_player || !m_player->playing())
        return;
    if (const std::optional<dsp::Sound> sound = playableSound(m_playing))
        m_player->play(*sound);
}

} // namespace screens
